#pragma once

#include <optional>

// The two options both programs answer without a display: read before any application object
// exists, they print and end the program without touching the single-instance channel. Every other
// argument is ignored, as before.
namespace CommandLine {

// The exit code when `argv` asks for "--version" or "--help" (after printing the answer), otherwise
// nothing. `usage` is the program's own text for "--help".
std::optional<int> answerEarly(int argc, char **argv, const char *usage);

} // namespace CommandLine
