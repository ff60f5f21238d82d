#pragma once
// The slots of the screens' key and draw procedures, which the dispatchers of core/dispatch
// call. core/ names no screen: the layer above the screen folders (screens/register_screens)
// fills the slots with the real procedures when a game starts, and a test may put recorders in
// their place to watch the routing. A game does not start with a slot empty; one emptied later
// does nothing.

#include <functional>

namespace duskwend {

struct Game;

struct ScreenProcedures {
    // Whether every slot holds a procedure, as a game needs before it starts.
    bool complete() const {
        return guild_hall_key && draw_guild_hall && city_key && draw_city && map_turn_events &&
               shop_key && draw_shop && temple_key && draw_temple && review_board_key &&
               draw_review_board && combat_key && draw_combat && character_sheet_key &&
               draw_character_sheet;
    }

    std::function<void(Game&)> guild_hall_key, draw_guild_hall;
    // The city's key returns non-zero when the map's turn events follow.
    std::function<int(Game&)> city_key;
    std::function<void(Game&)> draw_city, map_turn_events;
    std::function<void(Game&)> shop_key, draw_shop;
    std::function<void(Game&)> temple_key, draw_temple;
    std::function<void(Game&)> review_board_key, draw_review_board;
    std::function<void(Game&)> combat_key, draw_combat;
    std::function<void(Game&)> character_sheet_key, draw_character_sheet;
};

// Runs a screen's procedure; an empty slot does nothing.
inline void run_screen(const std::function<void(Game&)>& procedure, Game& g) {
    if (procedure) procedure(g);
}

} // namespace duskwend
