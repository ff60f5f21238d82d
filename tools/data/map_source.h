#pragma once
// One map per source file: header values, encounter table, the drawn grid, events by named
// kind, and the map's messages and long texts.

#include "tools/data/tables.h"

#include <string>

// Reads one map file; `number` receives the map's number (0 when missing or unusable).
void read_map_source(const toml::table& root, const Source& src,
                     const std::vector<std::string>& file_lines, MapRec& map, int& number,
                     std::vector<Reference>& refs);

// The source text of map `number`.
std::string map_source(const MapRec& map, int number);
