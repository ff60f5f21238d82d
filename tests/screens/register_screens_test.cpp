// The layer above the screen folders hands each screen's own procedures to the dispatchers.
#include "charsheet/character_sheet.h"
#include "city/city_screen.h"
#include "combat/combat.h"
#include "core/game.h"
#include "guildhall/guild_hall.h"
#include "screens/register_screens.h"
#include "services/services.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace duskwend {

namespace {

// Whether the slot holds exactly this procedure.
template <class Signature> bool holds(const std::function<Signature>& slot, Signature* procedure) {
    const auto* held = slot.template target<Signature*>();
    return held && *held == procedure;
}

TEST(RegisterScreens, EverySlotHoldsItsOwnScreensProcedure) {
    Game g;
    EXPECT_FALSE(g.screens.guild_hall_key) << "a game starts without screens";
    EXPECT_FALSE(g.screens.draw_combat) << "a game starts without screens";
    register_screens(g);
    const ScreenProcedures& s = g.screens;
    const std::vector<std::pair<const char*, bool>> slots = {
        {"guild_hall_key", holds(s.guild_hall_key, sub_guild_hall_key)},
        {"draw_guild_hall", holds(s.draw_guild_hall, sub_draw_guild_hall)},
        {"city_key", holds(s.city_key, sub_city_key)},
        {"draw_city", holds(s.draw_city, sub_draw_city)},
        {"map_turn_events", holds(s.map_turn_events, sub_map_turn_events)},
        {"shop_key", holds(s.shop_key, sub_shop_key)},
        {"draw_shop", holds(s.draw_shop, sub_draw_shop)},
        {"temple_key", holds(s.temple_key, sub_temple_key)},
        {"draw_temple", holds(s.draw_temple, sub_draw_temple)},
        {"review_board_key", holds(s.review_board_key, sub_review_board_key)},
        {"draw_review_board", holds(s.draw_review_board, sub_draw_review_board)},
        {"combat_key", holds(s.combat_key, sub_combat_key)},
        {"draw_combat", holds(s.draw_combat, sub_draw_combat)},
        {"character_sheet_key", holds(s.character_sheet_key, sub_character_sheet_key)},
        {"draw_character_sheet", holds(s.draw_character_sheet, sub_draw_character_sheet)},
    };
    for (const auto& [name, right] : slots) EXPECT_TRUE(right) << name;
}

} // namespace

} // namespace duskwend
