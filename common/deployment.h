#pragma once

#include <QString>

// Where this build finds its servers. Each address comes from the build configuration and can be
// overridden at run time by the environment variable of the same name (the tests and the demo do).
namespace Deployment {

// The product's web server, e.g. "http://127.0.0.1:18080", never with a trailing slash.
QString serverUrl();
// The updater's configuration server, same form.
QString updateServerUrl();

// The environment's value of `variable` when it is set and not blank, otherwise `fallback`;
// trailing slashes are removed so that paths can be appended with a single "/".
QString resolveServerUrl(const char *variable, const QString &fallback);

} // namespace Deployment
