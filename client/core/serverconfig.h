#pragma once

#include <QString>

class ClientConfig;

// The rules by which the server's configuration file replaces the advertisement settings.
namespace ServerConfig {

// Applies the keys of the configuration file at `path` to `config`, each only when its value is
// usable; returns the announced version (empty when none).
QString apply(const QString &path, ClientConfig &config);
// True when `address` may be used as a page address from the server: an absolute http(s) URL.
bool isWebAddress(const QString &address);

} // namespace ServerConfig
