#pragma once
// What a whole game state looks like, checked by the soak after every script.

#include "core/game.h"

#include <set>
#include <string>

namespace duskwend {

// The first broken rule found, or an empty string when the state is whole: at most seven
// members in use; no negative hit points, magic points or quantities; hit points and magic
// points within their maxima; pack and hand items within the item file; the party on the grid
// facing 0..3; a fight only while there are groups to fight.
std::string state_problem(const Game& g);

// The places of the game a soak has reached.
struct Coverage {
    std::set<int> locations, combat_steps, sheet_pages;
    long fights = 0, sheets = 0;
    bool in_fight = false, in_sheet = false;
};
void note_coverage(const Game& g, Coverage& c);
std::string coverage_text(const Coverage& c);

} // namespace duskwend
