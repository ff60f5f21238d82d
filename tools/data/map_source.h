#pragma once
// One map per source file: header values, encounter table, the drawn grid, events by named
// kind, and the map's messages and long texts.

#include "tools/data/tables.h"

#include <string>

namespace duskwend {

// Where a map's parts stand in its source file, for messages about the map as a whole.
struct MapLines {
    int number = 0;          // the line of `number = `
    std::vector<int> events; // the [[event]] line of event i (0: not given)
};

// Reads one map file; `number` receives the map's number (0 when missing or unusable), `name`
// the map's own name in the game's code page (the map record has no room for it).
void read_map_source(const toml::table& root, const Source& src,
                     const std::vector<std::string>& file_lines, MapRec& map, int& number,
                     std::vector<Reference>& refs, MapLines* lines = nullptr,
                     std::string* name = nullptr);

// The source text of map `number`.
std::string map_source(const MapRec& map, int number);

} // namespace duskwend
