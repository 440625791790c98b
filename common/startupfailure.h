#pragma once

#include <QProcessEnvironment>
#include <QString>

// Start-up failures that a user must be told about in plain words instead of an abort or silence.
namespace StartupFailure {

// The one line to print when `env` names no window system to open windows on, otherwise empty. Only
// the plain case is decided here (nothing set at all); a display that is set but cannot be reached is
// caught while the application object is built (guardPlatform).
QString missingDisplay(const QProcessEnvironment &env);

// Prints "<program>: " + missingDisplay() on stderr when there is no display; false then.
bool checkDisplay(const char *program);

// True when the web engine will refuse to start: run as root without switching its sandbox off,
// either by QTWEBENGINE_DISABLE_SANDBOX (set at all) or by the engine's own --no-sandbox flag.
bool engineRefusesUser(uint uid, const QProcessEnvironment &env);

// Between these two calls (around the application object's construction), a failure of the platform
// plugin ends the program with one line, "<program>: no display: <reason>", and exit code 1, instead
// of an abort with the plugin's long report. Messages printed meanwhile are held back and passed on
// once the construction has succeeded.
void guardPlatform(const char *program);
void platformReady();

} // namespace StartupFailure
