// A night at the inn: who may pay, what the night restores, and the growing debt.
#include "core/game.h"
#include "guildhall/guild_hall.h"
#include "support/fixture.h"

#include <gtest/gtest.h>

namespace duskwend {

using fixture::type;

namespace {

struct Inn : fixture::WorldTest {
    Inn() : WorldTest("inn") {
        start_game();
        for (int i = 0; i < 3; ++i) {
            PartyMemberRec& m = g().party[i];
            m.in_use = 1, m.name = std::string("M") + char('0' + i), m.hit_points = 10,
            m.max_hit_points = 10;
            m.base_vitality = 10, m.base_intelligence = 12, m.base_piety = 9, m.crowns = 25,
            m.bank = -100;
        }
    }
};

TEST_F(Inn, OnlyLivingMembersWith25CrownsMayPay) {
    g().party[0].crowns = 24;
    g().party[2].hit_points = 0;
    type(g(), "h");
    const auto t = texts();
    EXPECT_EQ(std::count(t.begin(), t.end(), "  B."), 1);
    EXPECT_EQ(std::count(t.begin(), t.end(), "  A."), 0);
    EXPECT_EQ(std::count(t.begin(), t.end(), "  C."), 0);
    type(g(), "a");
    EXPECT_EQ(g().location_step, GUILD_INN_PAYER);
    EXPECT_EQ(g().selected_member, 0) << "the letter is taken even when its member cannot pay";
    EXPECT_EQ(g().party[0].crowns, 24);
    type(g(), "b");
    EXPECT_EQ(g().party[1].crowns, 0);
    EXPECT_EQ(g().location_step, GUILD_INN_REST);
    type(g(), "x");
    EXPECT_EQ(g().location_step, GUILD_MENU);

    type(g(), "h");
    const auto none = texts();
    EXPECT_EQ(std::count(none.begin(), none.end(),
                         " No one in the party can afford to pay for the room."),
              1);
    type(g(), "q");
    EXPECT_EQ(g().location_step, GUILD_MENU);
    EXPECT_EQ(g().quit_requested, 0) << "any key leaves, none acts";
}

TEST_F(Inn, SaysWhoCannotPayAndWhy) {
    g().party[0].crowns = 24;
    g().party[2].hit_points = 0;
    type(g(), "h");
    // The payer list, then the others with their reasons.
    auto t = texts();
    const auto line = [&](const std::string& s) { return std::count(t.begin(), t.end(), s); };
    EXPECT_EQ(line(" M0 has 24 crowns, not 25."), 1);
    EXPECT_EQ(line(" M2 is dead."), 1);
    EXPECT_EQ(line(" M1 is dead."), 0);
    g().party[1].crowns = 3;
    type(g(), "rh");
    t = texts();
    EXPECT_EQ(line(" No one in the party can afford to pay for the room."), 1);
    EXPECT_EQ(line(" M1 has 3 crowns, not 25."), 1);
    EXPECT_EQ(line(" M2 is dead."), 1);
}

TEST_F(Inn, TheNightHealsRestoresManaAndGrowsDebt) {
    PartyMemberRec& wounded = g().party[0];
    wounded.hit_points = 9; // one point short: " gains 1 hit point."
    PartyMemberRec& mage = g().party[1];
    mage.class_id = 3, mage.max_magic_points = 3, mage.magic_points = 0;
    PartyMemberRec& dead = g().party[2];
    dead.hit_points = 0, dead.max_magic_points = 4, dead.magic_points = 1, dead.class_id = 2;
    type(g(), "hb");
    const auto t = texts();
    EXPECT_NE(std::find(t.begin(), t.end(), " M0 gains 1 hit point."), t.end());
    EXPECT_NE(std::find(t.begin(), t.end(), " M1 gains 3 points of mana."), t.end())
        << "capped at what is missing";
    EXPECT_NE(std::find(t.begin(), t.end(), " M2 gains 3 points of mana."), t.end())
        << "the dead regain mana";
    EXPECT_EQ(wounded.hit_points, 10);
    EXPECT_EQ(dead.hit_points, 0);
    EXPECT_EQ(wounded.bank, -101);
    type(g(), "x");
    for (int night = 0; night < 2; ++night) {
        g().party[0].crowns = 25;
        type(g(), "hax");
    }
    EXPECT_EQ(g().party[0].bank, -103) << "-101, -102 (-102.01), -103";
}

TEST_F(Inn, HugeMaximaDoNotOverflow) {
    PartyMemberRec& m = g().party[0];
    m.base_vitality = 18, m.max_hit_points = 30000, m.hit_points = 1;
    type(g(), "ha");
    EXPECT_EQ(m.hit_points, 30000);
}

} // namespace

} // namespace duskwend
