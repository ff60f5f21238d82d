// The sheet over the other screens: keys stay with the sheet, X gives back exactly the screen
// underneath, and an action that screen already carried out is not carried out again.
#include "sheet_fixture.h"

#include "core/game.h"
#include "guildhall/guild_hall.h"

namespace duskwend {

using namespace sheet_test;

namespace {

using OverScreens = SheetTest;

TEST_F(OverScreens, ANightAtTheInnIsNotRepeatedByASheetUseOverIt) {
    party_of(2);
    member(1).crowns = 60;
    member(1).bank = -100;
    put(1, 0, SALVE, 2);
    member(2).hit_points = 5;
    g().current_location = LOCATION_GUILD_HALL;
    g().location_step = GUILD_INN_PAYER;
    sub_render_screen(g());
    type("a"); // the first member pays for the night
    ASSERT_EQ(g().location_step, GUILD_INN_REST);
    const int32_t crowns = member(1).crowns;
    const int32_t bank = member(1).bank;
    const std::vector<TextRun> inn = g().Form1.Text.runs();

    type("1nu12"); // open the sheet, use a Salve on the second member
    EXPECT_EQ(member(1).pack[0][PACK_QUANTITY], 1);
    type("kx");
    EXPECT_EQ(g().sheet_member, 0);
    EXPECT_EQ(g().location_step, GUILD_INN_REST);
    EXPECT_EQ(member(1).crowns, crowns) << "the night is not paid again";
    EXPECT_EQ(member(1).bank, bank);
    EXPECT_EQ(g().Form1.Text.runs(), inn) << "the inn's text comes back as it was";
}

TEST_F(OverScreens, AFightUnderneathKeepsItsStateAndGetsNoSheetKeys) {
    party_of(2);
    put(2, 0, SALVE, 1);
    std::vector<std::string> calls;
    g().screens.combat_key = [&](Game&) { calls.push_back("combat key"); };
    g().screens.draw_combat = [&](Game&) { calls.push_back("draw combat"); };
    g().combat_active = -1;
    g().combat_step = COMBAT_ACTION_MENU;
    g().combat_member = 1;
    g().combat_actions[0] = {ACTION_ATTACK, 0, 11, 0};

    // The action menu's Equipment Change opens the member's equipment page.
    open(2, SHEET_EQUIPMENT);
    // (E changes weapons and armour, and takes the action: tests/combat.)
    EXPECT_FALSE(shows(" Use.")) << "no item commands in a fight";
    type("ugpnnpp");
    EXPECT_EQ(g().sheet_step, SHEET_STATS);
    type("p");
    EXPECT_EQ(member(2).pack[0][PACK_ITEM], SALVE);
    EXPECT_TRUE(calls.empty()) << "the fight sees none of the sheet's keys";
    type("x");
    EXPECT_EQ(g().sheet_member, 0);
    EXPECT_EQ(calls, std::vector<std::string>{"draw combat"});
    EXPECT_EQ(g().combat_active, -1);
    EXPECT_EQ(g().combat_step, COMBAT_ACTION_MENU);
    EXPECT_EQ(g().combat_member, 1);
    EXPECT_EQ(g().combat_actions[0], (std::array<int16_t, 4>{ACTION_ATTACK, 0, 11, 0}));
}

TEST_F(OverScreens, EveryLocationComesBackWithItsStep) {
    party_of(2);
    put(1, 0, ROCK, 1);
    int drawn = -1;
    int keys = 0;
    g().screens.draw_shop = [&](Game&) { drawn = LOCATION_SHOP; };
    g().screens.draw_temple = [&](Game&) { drawn = LOCATION_TEMPLE; };
    g().screens.draw_review_board = [&](Game&) { drawn = LOCATION_REVIEW; };
    g().screens.draw_city = [&](Game&) { drawn = LOCATION_CITY; };
    const auto count = [&](Game&) { ++keys; };
    g().screens.shop_key = g().screens.temple_key = g().screens.review_board_key = count;
    g().screens.city_key = [&](Game&) { return ++keys, 0; };
    for (const int location : {LOCATION_CITY, LOCATION_SHOP, LOCATION_TEMPLE, LOCATION_REVIEW}) {
        g().current_location = static_cast<int16_t>(location);
        g().location_step = 4;
        g().building_number = 2;
        type("2");
        EXPECT_EQ(g().sheet_member, 2);
        type("1"); // a digit is a sheet key now, not a new sheet
        EXPECT_EQ(g().sheet_member, 2);
        type("n");
        EXPECT_FALSE(shows(" E.")) << "the second member carries nothing";
        type("pnx");
        EXPECT_EQ(drawn, location);
        EXPECT_EQ(keys, 0);
        EXPECT_EQ(g().current_location, location);
        EXPECT_EQ(g().location_step, 4);
        EXPECT_EQ(g().building_number, 2);
    }
}

TEST_F(OverScreens, ThePartyOrderUnderneathMovesTheMemberItChose) {
    party_of(3);
    put(2, 0, SALVE, 1);
    g().screens.map_turn_events = [](Game&) {};
    g().current_location = LOCATION_CITY;
    g().location_step = -1;
    g().map_level = 1;
    sub_render_screen(g());
    type("nc");      // move Mirel...
    type("2nu11kx"); // ...but first Tallow uses a Salve on Corvath
    EXPECT_EQ(member(2).pack[0][PACK_ITEM], 0);
    type("a"); // ...to the front
    EXPECT_EQ(member(1).name.trimmed(), "Mirel");
    EXPECT_EQ(member(3).name.trimmed(), "Corvath");
}

} // namespace

} // namespace duskwend
