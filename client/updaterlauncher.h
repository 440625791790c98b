#pragma once

#include <functional>

// Starts the updater program that lies beside the client, without arguments and without waiting.
namespace UpdaterLauncher {

// True when the start was handed to the system.
bool start();

// Replaces the real start (tests capture it instead of running a program); an empty function restores it.
void setStarterForTest(std::function<bool()> starter);

} // namespace UpdaterLauncher
