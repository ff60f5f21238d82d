#pragma once
// The program's command line.

#include "platform/session.h"

#include <variant>

namespace duskwend {

// Parses argv. Either the options of a run, or the exit status to end with at once (0 after
// --help, 2 after a usage error; CLI11 has printed the message).
std::variant<Options, int> parse_command_line(int argc, char** argv);

// The player's data folder: $XDG_DATA_HOME/duskwend, else ~/.local/share/duskwend; the
// fallback when neither is an absolute path.
std::filesystem::path player_data_dir(const std::filesystem::path& fallback);

} // namespace duskwend
