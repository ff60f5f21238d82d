#pragma once
// The maps' own names. The map record has no room for a name, so the content build writes
// them into a small text file of their own in the Data folder: a line "<number> <name>" per
// named map, in the game's code page.

#include <filesystem>
#include <string>
#include <vector>

namespace duskwend {

inline constexpr const char* MAP_NAMES_FILE = "MapNames.txt";
constexpr std::size_t MAP_NAME_LENGTH = 40;

// The file's text for names[n - 1] of map n; maps without a name are left out.
std::string map_names_text(const std::vector<std::string>& names);

// The name of map `map` in the names file of a Data folder; empty when the file, its line or
// the name is missing or unusable.
std::string read_map_name(const std::filesystem::path& data_dir, int map);

} // namespace duskwend
