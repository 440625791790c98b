#pragma once

#include <QString>

class ClientConfig;

// The rules by which the server's configuration file replaces the advertisement settings.
namespace ServerConfig {

// Applies the keys of the configuration file at `path` to `config`, each only when its value is
// usable; returns the announced version (empty when none).
QString apply(const QString &path, ClientConfig &config);
// Why `address` may not be used as a page address from the server; empty when it may: an absolute
// http(s) URL without control characters and without a user name or password.
QString addressProblem(const QString &address);

} // namespace ServerConfig
