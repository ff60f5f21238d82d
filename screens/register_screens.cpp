#include "screens/register_screens.h"

#include "charsheet/character_sheet.h"
#include "city/city_screen.h"
#include "combat/combat.h"
#include "core/game.h"
#include "guildhall/guild_hall.h"
#include "services/services.h"

namespace duskwend {

void register_screens(Game& g) {
    ScreenProcedures& s = g.screens;
    s.guild_hall_key = sub_guild_hall_key;
    s.draw_guild_hall = sub_draw_guild_hall;
    s.city_key = sub_city_key;
    s.draw_city = sub_draw_city;
    s.map_turn_events = sub_map_turn_events;
    s.shop_key = sub_shop_key;
    s.draw_shop = sub_draw_shop;
    s.temple_key = sub_temple_key;
    s.draw_temple = sub_draw_temple;
    s.review_board_key = sub_review_board_key;
    s.draw_review_board = sub_draw_review_board;
    s.combat_key = sub_combat_key;
    s.draw_combat = sub_draw_combat;
    s.character_sheet_key = sub_character_sheet_key;
    s.draw_character_sheet = sub_draw_character_sheet;
}

} // namespace duskwend
