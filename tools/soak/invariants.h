#pragma once
// What a whole game state looks like, checked by the soak after every key.

#include "core/game.h"

#include <set>
#include <string>

namespace duskwend {

// The first broken rule found, or an empty string when the state is whole: at most seven
// members in use, standing together in the first places; no negative hit points, magic points or
// crowns; hit points and magic points within their maxima; pack and hand items within
// the item file, each one held at least once; the party on the grid facing 0..3; a fight only
// while there are groups to fight (or its end is shown).
std::string state_problem(const Game& g);

// What the soak remembers from one key to the next to check what a key changed.
struct Watch {
    std::multiset<std::string> characters; // the names in the roster and the party
    // The screen under an overlay as it was when the overlay opened.
    bool covering = false, slot_loaded = false;
    std::vector<TextRun> text, side_text;
    Bitmap picture;
    std::string picture_name;
    int cursor_x = 0, cursor_y = 0;
};

// Remembers the state before a key.
void watch_before_key(const Game& g, Watch& w);
// What a key broke: a character gone from the roster and the party (other than by loading a
// game), or an overlay that did not give back the screen it covered exactly.
std::string key_problem(const Game& g, Watch& w);

// The places of the game a soak has reached.
struct Coverage {
    std::set<int> locations, combat_steps, sheet_pages, overlays;
    long fights = 0, sheets = 0;
    bool in_fight = false, in_sheet = false;
};
void note_coverage(const Game& g, Coverage& c);
std::string coverage_text(const Coverage& c);

} // namespace duskwend
