// The end of a round and of the fight: the outcome, defeat, victory with its shares, flags
// and treasure, acting once under repaints, and fleeing.
#include "combat_fixture.h"

#include "core/dispatch.h"

namespace duskwend {

using namespace combat_test;

namespace {

struct CombatEnd : CombatTest {
    CombatEnd() {
        member(0, "Ann");
        member(1, "Bo");
        game().party_x = 5, game().party_y = 5, game().party_facing = 0;
    }
    void draw() { sub_render_screen(game()); }
};

TEST_F(CombatEnd, TheKeyAfterARoundDecides) {
    Game& g = game();
    group(0, 1, 1, 5);
    g.combat_member = 4;
    sub_combat_end_key(g);
    EXPECT_EQ(g.combat_step, COMBAT_ENCOUNTER);
    EXPECT_EQ(g.combat_member, 0);

    g.combat_step = COMBAT_ROUND;
    g.monster_groups[0].count = 0;
    sub_combat_end_key(g);
    EXPECT_EQ(g.combat_step, COMBAT_VICTORY);

    g.combat_step = COMBAT_ROUND;
    g.monster_groups[0].count = 1;
    g.party[0].hit_points = g.party[1].hit_points = 0;
    sub_combat_end_key(g);
    EXPECT_EQ(g.combat_step, COMBAT_DEFEAT);
    g.combat_step = COMBAT_ROUND;
    g.monster_groups[0].count = 0;
    sub_combat_end_key(g);
    EXPECT_EQ(g.combat_step, COMBAT_DEFEAT) << "both sides wiped out is a defeat";
}

TEST_F(CombatEnd, DefeatShowsTheSkullThenTheGuildHall) {
    Game& g = game();
    g.party[0].hit_points = g.party[1].hit_points = 0;
    g.combat_step = COMBAT_DEFEAT;
    draw();
    const std::vector<std::string> want = {"", "", "", "The party has been slain!!!!!"};
    EXPECT_EQ(log(), want);
    EXPECT_EQ(g.Form1.mainPic.picture_name, "skull.bmp");
    fixture::type(g, "x");
    EXPECT_EQ(g.combat_active, 0);
    EXPECT_EQ(g.current_location, LOCATION_GUILD_HALL);
    EXPECT_EQ(g.location_step, 0);
    EXPECT_EQ(g.party[0].in_use, 1) << "the dead stay in the party";
}

TEST_F(CombatEnd, SharesRoundHalfToEvenWithAMinimumOfOne) {
    struct Case {
        int survivors, experience, crowns;
        const char* text;
        int e, c;
    };
    const Case cases[] = {
        {3, 10, 0, "Each surviving character will receive 3 experience points.", 3, 0},
        {2, 5, 7,
         "Each surviving character will receive 2 experience points and 4 imperial "
         "crowns.",
         2, 4},
        {1, 0, 1, "Each surviving character will receive 1 experience point and 1 imperial crown.",
         1, 1},
        {4, 0, 1, "Each surviving character will receive 1 experience point and 1 imperial crown.",
         1, 1},
    };
    for (const Case& c : cases) {
        Game& g = game();
        for (int s = 0; s < 5; ++s) {
            member(s, "M" + std::to_string(s));
            if (s >= c.survivors) g.party[s].hit_points = 0;
        }
        // Two groups, one emptied: both pay.
        group(0, 1, 0, 0);
        group(1, 2, 0, 0);
        g.monster_groups[0].experience = int16_t(c.experience - c.experience / 2);
        g.monster_groups[1].experience = int16_t(c.experience / 2);
        g.monster_groups[1].crowns = int16_t(c.crowns);
        g.combat_step = COMBAT_VICTORY;
        clear_log();
        g.one_time_step = {};
        draw();
        EXPECT_TRUE(logged(c.text)) << c.text;
        EXPECT_EQ(g.party[0].experience, c.e);
        EXPECT_EQ(g.party[0].crowns, c.c);
        EXPECT_EQ(g.party[4].experience, 0) << "the dead get nothing";
    }
    EXPECT_EQ(game().Form1.mainPic.picture_name, "Won.bmp");
}

TEST_F(CombatEnd, HugeSumsSaturate) {
    Game& g = game();
    g.party[1].in_use = 0;
    for (int grp = 0; grp < 6; ++grp) {
        group(grp, 1, 0, 0);
        g.monster_groups[grp].experience = 32000;
        g.monster_groups[grp].crowns = 32000;
    }
    g.party[0].experience = 2147400000;
    g.combat_step = COMBAT_VICTORY;
    draw();
    EXPECT_TRUE(logged("Each surviving character will receive 192000 experience points and "
                       "192000 imperial crowns."));
    EXPECT_EQ(g.party[0].experience, 2147483647);
    EXPECT_EQ(g.party[0].crowns, 192000);
}

TEST_F(CombatEnd, VictoryEndsRageAndHidingButNotDisease) {
    Game& g = game();
    g.party[1].hit_points = 0;
    g.party[0].effects[0] = {-2, EFFECT_BERSERK, 1};
    g.party[0].effects[1] = {5, EFFECT_DISEASE, 2};
    g.party[1].effects[4] = {-2, EFFECT_HIDDEN, 1};
    group(0, 1, 0, 0);
    g.combat_step = COMBAT_VICTORY;
    draw();
    const std::array<int16_t, 3> none = {0, 0, 0}, disease = {5, EFFECT_DISEASE, 2};
    EXPECT_EQ(g.party[0].effects[0], none);
    EXPECT_EQ(g.party[0].effects[1], disease);
    EXPECT_EQ(g.party[1].effects[4], none) << "the dead too";
}

TEST_F(CombatEnd, TreasureGoesOntoAnEarlierStack) {
    Game& g = game();
    g.party[1].hit_points = 0; // Ann finds everything
    PartyMemberRec& p = g.party[0];
    p.pack[0] = {1, 1, 1};
    p.pack[1] = {4, 2, 0};
    g.treasure_items = {4, 0, 0, 2, 99, 0}; // 99 is no item of the file
    group(0, 1, 0, 0);
    g.combat_step = COMBAT_VICTORY;
    draw();
    const std::array<int16_t, 3> gems = {4, 3, 0};
    EXPECT_EQ(p.pack[1], gems);
    EXPECT_EQ(p.pack[2][PACK_ITEM], 2);
    EXPECT_EQ(p.pack[2][PACK_QUANTITY], 1);
    EXPECT_TRUE(logged("Ann finds something.")) << "the Gems were never identified";
    EXPECT_EQ(count_logged("Ann finds"), 2);

    // A full pack loses the find without a word.
    for (int s = 0; s <= 9; ++s) p.pack[s] = {int16_t(11 + s), 1, 1};
    g.treasure_items = {4, 0, 0, 0, 0, 0};
    g.one_time_step = {};
    clear_log();
    draw();
    EXPECT_EQ(count_logged("finds"), 0);
}

TEST_F(CombatEnd, FixedFightFlags) {
    Game& g = game();
    auto& events = g.map_rec.events;
    events = {};
    // kind, -, x, y, flag, 1 = on victory, value, -, condition flag, test, test value
    events[0] = {6, 0, 5, 5, 10, 1, 7, 0, 0, 0, 0};
    events[1] = {6, 0, 5, 5, 11, 1, 8, 0, 12, 1, 0}; // only when flag 12 > 0
    events[2] = {6, 0, 5, 5, 13, 2, 9, 0, 0, 0, 0};  // set by the square, not the fight
    events[3] = {6, 0, 5, 6, 14, 1, 9, 0, 0, 0, 0};  // another square
    events[4] = {6, 0, 5, 5, 300, 1, 9, 0, 0, 0, 0}; // no such flag
    events[5] = {6, 0, 5, 5, 15, 1, 9, 0, 500, 1, 0};
    group(0, 1, 0, 0);
    g.combat_step = COMBAT_VICTORY;
    draw();
    EXPECT_EQ(g.game_flags[10], 7);
    EXPECT_EQ(g.game_flags[11], 0);
    EXPECT_EQ(g.game_flags[13], 0);
    EXPECT_EQ(g.game_flags[14], 0);
    EXPECT_EQ(g.game_flags[15], 0);

    g.game_flags[12] = 1;
    g.one_time_step = {};
    draw();
    EXPECT_EQ(g.game_flags[11], 8);
}

TEST_F(CombatEnd, ARoundAndAPayoutHappenOnceUnderRepaints) {
    Game& g = game();
    group(0, 3, 1, 10);
    draw();
    draw();
    EXPECT_EQ(count_logged("The combat begins..."), 1);
    const auto text = g.Form1.Text.runs();
    draw();
    EXPECT_EQ(g.Form1.Text.runs(), text) << "a repaint shows the round again";
    fixture::type(g, "1"); // a sheet opened over the round and closed again
    EXPECT_EQ(g.sheet_member, 1);
    fixture::type(g, "x");
    EXPECT_EQ(g.sheet_member, 0);
    EXPECT_EQ(g.combat_step, COMBAT_ROUND);
    EXPECT_EQ(count_logged("The combat begins..."), 1);

    // The key after the round decides; the next round is fought only when chosen anew.
    fixture::type(g, "x");
    EXPECT_EQ(g.combat_step, COMBAT_ENCOUNTER);
    g.combat_step = COMBAT_ROUND;
    draw();
    draw();
    EXPECT_EQ(count_logged("The combat begins..."), 2);

    // The Imp falls: the key decides for victory, whose payout repaints do not repeat.
    g.monster_state[0][0][MONSTER_HIT_POINTS] = 0;
    g.monster_groups[0].count = 0;
    g.monster_groups[0].experience = 10;
    fixture::type(g, "x");
    EXPECT_EQ(g.combat_step, COMBAT_VICTORY);
    draw();
    fixture::type(g, "2");
    fixture::type(g, "x");
    EXPECT_EQ(g.party[0].experience, 5);
    EXPECT_EQ(g.party[1].experience, 5);
    g.location_step = -1;
    fixture::type(g, "x");
    EXPECT_EQ(g.combat_active, 0);
    EXPECT_EQ(g.party[0].experience, 5);
}

TEST_F(CombatEnd, FleeingEscapesAndStepsOffAFixedFight) {
    Game& g = game();
    g.party[0].speed = 30; // 150 in 100
    g.map_rec.events = {};
    g.map_rec.events[0] = {5, 0, 5, 5, 1, 1, 0, 0, 0, 0, 0};
    g.combat_step = COMBAT_ENCOUNTER;
    sub_combat_flee(g);
    EXPECT_EQ(log().back(), "The party flees.");
    EXPECT_EQ(g.combat_active, 0);
    EXPECT_EQ(g.party_y, 6);
    EXPECT_EQ(g.party_facing, 2);

    // From a random fight the party stays where it is.
    g.combat_active = -1;
    g.map_rec.events = {};
    sub_combat_flee(g);
    EXPECT_EQ(g.combat_active, 0);
    EXPECT_EQ(g.party_y, 6);
    EXPECT_EQ(g.party_facing, 2);
}

TEST_F(CombatEnd, CaughtFleeingThePartyTakesARoundWithoutActing) {
    Game& g = game();
    g.party[0].speed = g.party[1].speed = -100;
    g.party[0].base_speed = g.party[1].base_speed = -100;
    g.party[1].speed = 0; // the dead do not set the pace
    g.party[1].hit_points = 0;
    for (int s = 0; s < 2; ++s) g.combat_actions[s] = {ACTION_ATTACK, 0, 0, 0};
    monster(1).to_hit = -1000;
    rewrite_world();
    group(0, 1, 1, 10);
    g.combat_step = COMBAT_ENCOUNTER;
    sub_combat_flee(g);
    EXPECT_EQ(g.combat_step, COMBAT_ROUND);
    EXPECT_EQ(g.flee_failed, 1);
    draw();
    ASSERT_GE(log().size(), 2u);
    EXPECT_EQ(log()[0], "The party could not escape!");
    EXPECT_EQ(log()[1], "The combat begins...");
    EXPECT_EQ(count_logged("Ann attacks"), 0);
    EXPECT_EQ(count_logged("Rat attacks"), 1);
    EXPECT_EQ(g.combat_actions[0][0], ACTION_ATTACK) << "kept for later rounds";
    EXPECT_EQ(g.flee_failed, 0);
    fixture::type(g, "x");
    EXPECT_EQ(g.combat_step, COMBAT_ENCOUNTER);
}

} // namespace

} // namespace duskwend
