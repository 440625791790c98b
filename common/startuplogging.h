#pragma once

#include <QByteArray>

// What the programs print while starting. By default the web engine's and the desktop bus's start-up
// reports (engine parameters, sandbox and GPU notes, failed D-Bus connections) stay quiet: they are
// noise to a user and say nothing about our own work. ORVANE_VERBOSE=1 in the environment brings them
// back; QT_LOGGING_RULES still takes precedence over everything here.
namespace StartupLogging {

// Whether ORVANE_VERBOSE asks for everything (set, and neither empty nor "0").
bool verbose();

// The engine's command-line flags with its own logging limited to fatal errors, unless `flags` already
// choose a level.
QByteArray quietEngineFlags(const QByteArray &flags);

// Applies the above unless verbose(); must run before the application object and the web engine.
void apply();

} // namespace StartupLogging
