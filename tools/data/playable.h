#pragma once
// Whether a world can be played through: a party walking from the guild hall door of map 1
// (through open sides, doors and arches, and teleports) must be able to reach every map, every
// building door, fixed fight, treasure and teleport, see every sign that shows only to one
// facing, and find a way to set every flag that an event waits for.

#include "tools/data/content.h"

#include <vector>

// Adds one diagnostic per problem, at the line of the event (or map) concerned. `origins`
// holds the file and lines of map n at index n - 1, as load_content gives them.
void check_playable(const World& world, const std::vector<MapOrigin>& origins, Diagnostics& diags);
