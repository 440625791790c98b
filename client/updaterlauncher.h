#pragma once

#include <QString>

#include <functional>

// Starts the updater program that lies beside the client, without arguments and without waiting.
namespace UpdaterLauncher {

// True when the start was handed to the system.
bool start();

// Replaces the real start (tests capture it instead of running a program); an empty function restores it.
void setStarterForTest(std::function<bool()> starter);

// Remembers the time of the user's latest key or button, which the window manager needs to let the
// updater's window come to the front (X11 startup notification). Call once the application exists.
void followUserTime();

} // namespace UpdaterLauncher
