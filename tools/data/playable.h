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

// The squares of each map a party can walk onto (entry y * 33 + x of map n's list at index
// n - 1), with every flag value any reachable switch gives.
std::vector<std::vector<bool>> reachable_squares(const World& world);
