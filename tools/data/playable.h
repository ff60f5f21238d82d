#pragma once
// Whether a world can be played through: a party walking from the guild hall door of map 1
// (through open sides, doors and arches, and teleports) must be able to reach every map, every
// building door, fixed fight, treasure and teleport, see every sign that shows only to one
// facing, and find a way to set every flag that an event waits for; and whether a campaign
// plays in its order.

#include "tools/data/content.h"

#include <vector>

namespace duskwend {

// Adds one diagnostic per problem, at the line of the event (or map) concerned. `origins`
// holds the file and lines of map n at index n - 1, as load_content gives them.
void check_playable(const World& world, const std::vector<MapOrigin>& origins, Diagnostics& diags);

// Checks the campaign's order: each stage's map must be reachable with the flags that the
// switches on the maps of the stages before it can set (a step that cannot be opened is
// reported at its stage's line), and the last stage must hold a fixed fight, the final one.
void check_campaign(const World& world, const CampaignSource& campaign, Diagnostics& diags);

// The squares of each map a party can walk onto (entry y * 33 + x of map n's list at index
// n - 1), with every flag value any reachable switch gives.
std::vector<std::vector<bool>> reachable_squares(const World& world);

} // namespace duskwend
