#pragma once
// The program's command line.

#include "platform/session.h"

#include <variant>

// Parses argv. Either the options of a run, or the exit status to end with at once (0 after
// --help, 2 after a usage error; CLI11 has printed the message).
std::variant<Options, int> parse_command_line(int argc, char** argv);
