#pragma once

#include <QString>

// The web engine will not start as root with its sandbox on, and the client never switches the
// sandbox off by itself. This tells the user so, and how to go on.
namespace EngineRefusal {

// The message, in the interface's language.
QString text();

// Prints text() on stderr and shows it in a box where someone can see one (not on the offscreen or
// minimal platforms). Returns the exit code for main().
int report();

} // namespace EngineRefusal
