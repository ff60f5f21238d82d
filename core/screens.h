#pragma once
// The key and draw procedure of every screen, and the city's turn events. The dispatchers of
// core/dispatch call them; each is defined in its subsystem's folder.

struct Game;

void sub_guild_hall_key(Game& g);
void sub_draw_guild_hall(Game& g);

int sub_city_key(Game& g); // non-zero: the map's turn events follow
void sub_draw_city(Game& g);
void sub_map_turn_events(Game& g);

void sub_shop_key(Game& g);
void sub_draw_shop(Game& g);

void sub_temple_key(Game& g);
void sub_draw_temple(Game& g);

void sub_review_board_key(Game& g);
void sub_draw_review_board(Game& g);

void sub_combat_key(Game& g);
void sub_draw_combat(Game& g);

void sub_character_sheet_key(Game& g);
void sub_draw_character_sheet(Game& g);

#include <functional>

// The procedures the dispatchers call, one slot per screen. A Game starts with the real
// ones; a test may put recorders in their place to watch the routing.
struct ScreenProcedures {
    std::function<void(Game&)> guild_hall_key = sub_guild_hall_key;
    std::function<void(Game&)> draw_guild_hall = sub_draw_guild_hall;
    std::function<int(Game&)> city_key = sub_city_key;
    std::function<void(Game&)> draw_city = sub_draw_city;
    std::function<void(Game&)> map_turn_events = sub_map_turn_events;
    std::function<void(Game&)> shop_key = sub_shop_key;
    std::function<void(Game&)> draw_shop = sub_draw_shop;
    std::function<void(Game&)> temple_key = sub_temple_key;
    std::function<void(Game&)> draw_temple = sub_draw_temple;
    std::function<void(Game&)> review_board_key = sub_review_board_key;
    std::function<void(Game&)> draw_review_board = sub_draw_review_board;
    std::function<void(Game&)> combat_key = sub_combat_key;
    std::function<void(Game&)> draw_combat = sub_draw_combat;
    std::function<void(Game&)> character_sheet_key = sub_character_sheet_key;
    std::function<void(Game&)> draw_character_sheet = sub_draw_character_sheet;
};
