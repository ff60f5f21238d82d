// How fights start: groups from the map's encounter rows and from fixed-fight events, the
// bounds on what data and dice can ask for, and keeping the groups in order.
#include "selection_fixture.h"

#include <limits>

namespace duskwend {

using namespace selection_test;

namespace {

class Encounter : public SelectionTest {};

int group_count(const Game& g) {
    return int(std::count_if(g.monster_groups.begin(), g.monster_groups.end(),
                             [](const MonsterGroupRec& m) { return m.monster > 0; }));
}

TEST_F(Encounter, ExperienceAddsEachMembersIndexAndCrownsAddTheEventsBonus) {
    // Three goblins of 5 hit points: (10 + 10 + 0) + (10 + 10 + 1) + (10 + 10 + 2).
    maps[0].encounters[0] = {GOBLIN, 0, 0, 3, -1};
    maps[0].events[0] = event(5, 5, 5, GOBLIN, 3, 0, 5);
    Game& g = start();
    sub_start_random_encounter(g);
    EXPECT_EQ(g.combat_active, -1);
    EXPECT_EQ(g.combat_step, COMBAT_ENCOUNTER);
    EXPECT_EQ(g.monster_groups[0].count, 3);
    EXPECT_EQ(g.monster_groups[0].experience, 63);
    EXPECT_EQ(g.monster_groups[0].crowns, 9);
    EXPECT_EQ(g.monster_state[0][2][MONSTER_HIT_POINTS], 5);
    EXPECT_EQ(g.monster_state[0][3][MONSTER_HIT_POINTS], 0);
    EXPECT_EQ(group_count(g), 1) << "a chance of -1 never brings a further group";

    g.combat_active = 0;
    sub_start_event_encounter(g, 0, 0);
    EXPECT_EQ(g.monster_groups[0].experience, 63);
    EXPECT_EQ(g.monster_groups[0].crowns, 9 + 5);
    EXPECT_EQ(g.combat_active, -1);
}

TEST_F(Encounter, AFurtherGroupFollowsTheChanceOfTheGroupBeforeIt) {
    // Goblins bring company for certain (500 / 5 is still above any roll); orcs never do.
    maps[0].encounters[0] = {GOBLIN, 0, 0, 1, 500};
    Game& g = start();
    for (uint64_t seed = 1; seed <= 5; ++seed) {
        g.rng.seed(seed);
        sub_start_random_encounter(g);
        EXPECT_EQ(group_count(g), 6);
    }
    g.map_rec.encounters[1] = {ORC, 0, 0, 1, -1};
    bool orc_seen = false, goblin_last = false;
    for (uint64_t seed = 1; seed <= 40; ++seed) {
        g.rng.seed(seed);
        sub_start_random_encounter(g);
        const int n = group_count(g);
        for (int grp = 0; grp < n; ++grp) {
            if (g.monster_groups[grp].monster == ORC) {
                orc_seen = true;
                EXPECT_EQ(grp, n - 1) << "an orc group ends the line, seed " << seed;
            }
        }
        if (n < 6 && g.monster_groups[n - 1].monster == GOBLIN) goblin_last = true;
    }
    EXPECT_TRUE(orc_seen);
    EXPECT_FALSE(goblin_last);
}

TEST_F(Encounter, SizesAreClampedToAHundredAndCrownsAndExperienceSaturate) {
    auto all = monsters();
    all[GOBLIN].crowns_dice = {0, 0, 400};
    all[GOBLIN].experience_base = 30000;
    fixture::write_slots(dir.path / MONSTER_FILE, all, MONSTER_SLOT);
    maps[0].encounters[0] = {GOBLIN, 0, 0, 500, -1};
    maps[0].events[0] = event(5, 5, 5, ORC, 30000);
    Game& g = start();
    sub_start_random_encounter(g);
    EXPECT_EQ(g.monster_groups[0].count, 100);
    EXPECT_EQ(g.monster_state[0][99][MONSTER_HIT_POINTS], 5);
    EXPECT_EQ(g.monster_state[0][100][MONSTER_HIT_POINTS], 0) << "the last member stays empty";
    EXPECT_EQ(g.monster_groups[0].crowns, std::numeric_limits<int16_t>::max());
    EXPECT_EQ(g.monster_groups[0].experience, std::numeric_limits<int16_t>::max());
    sub_start_event_encounter(g, 0, 0);
    EXPECT_EQ(g.monster_groups[0].count, 100);
    EXPECT_EQ(g.monster_groups[0].crowns, 0);
}

TEST_F(Encounter, FightEventsOnOneSquareMakeOneFightOfAtMostSixGroups) {
    // Seven fights on the square the party steps onto; treasure fills the free slots in order.
    for (int k = 0; k < 7; ++k) maps[0].events[k] = event(5, 5, 4, k % 2 ? ORC : GOBLIN, 1, 0, 0);
    maps[0].events[1][6] = POTION;
    maps[0].events[3][6] = 999; // no such item: not kept
    maps[0].events[4][6] = DAGGER;
    maps[0].events[6][6] = POTION; // the seventh fight is ignored with its treasure
    Game& g = start();
    add(0, "Corvath");
    sub_render_screen(g);
    type("{up}");
    EXPECT_EQ(g.combat_active, -1);
    EXPECT_EQ(group_count(g), 6);
    for (int grp = 0; grp < 6; ++grp)
        EXPECT_EQ(g.monster_groups[grp].monster, grp % 2 ? ORC : GOBLIN) << "group " << grp;
    EXPECT_EQ(g.treasure_items, (std::array<int16_t, 6>{POTION, DAGGER, 0, 0, 0, 0}));
    // The fight is on screen in the same key: the next key is the fight's.
    EXPECT_TRUE(shows("Combat"));
    EXPECT_TRUE(shows(" You have encountered the Enemy in the form of :"));
    EXPECT_EQ(g.Form1.mainPic.picture_name, "Mon1.bmp");
    type("a");
    EXPECT_EQ(g.combat_step, COMBAT_ACTION_MENU);
}

TEST_F(Encounter, FullTreasureSlotsLoseTheItem) {
    maps[0].events[0] = event(5, 5, 5, GOBLIN, 1, POTION);
    Game& g = start();
    for (int k = 0; k < 6; ++k) {
        sub_start_event_encounter(g, 0, k);
    }
    EXPECT_EQ(g.treasure_items, (std::array<int16_t, 6>{1, 1, 1, 1, 1, 1}));
    g.map_rec.events[1] = event(5, 5, 5, ORC, 1, DAGGER);
    g.monster_groups[5] = MonsterGroupRec{};
    sub_start_event_encounter(g, 1, 5);
    EXPECT_EQ(g.monster_groups[5].monster, ORC);
    EXPECT_EQ(std::count(g.treasure_items.begin(), g.treasure_items.end(), DAGGER), 0);
}

TEST_F(Encounter, NoFightAgainstNothing) {
    // No encounter rows: even a certain encounter brings nothing and says nothing.
    maps[0].encounter_chance = 100;
    Game& g = start();
    add(0, "Corvath");
    g.message_line = -1;
    sub_render_screen(g);
    type("{up}");
    EXPECT_EQ(g.combat_active, 0);
    EXPECT_EQ(g.message_lines[0], "");

    // A row naming a monster Mon.dat does not hold makes no group, and so no fight.
    g.map_rec.encounters[0] = {77, 0, 0, 3, -1};
    sub_start_random_encounter(g);
    EXPECT_EQ(g.combat_active, 0);
    EXPECT_EQ(group_count(g), 0);

    // A fixed fight skips the unknown monster and keeps the known one.
    g.map_rec.events[0] = event(5, 5, 5, 77, 3);
    g.map_rec.events[1] = event(5, 5, 5, ORC, 2);
    sub_start_event_encounter(g, 0, 0);
    EXPECT_EQ(g.combat_active, 0);
    sub_start_event_encounter(g, 1, 1);
    EXPECT_EQ(g.combat_active, -1);
    EXPECT_EQ(g.monster_groups[0].monster, ORC);
    EXPECT_EQ(group_count(g), 1);
}

TEST_F(Encounter, AMissingMonsterPictureLeavesThePictureAreaAsItWas) {
    Host no_pictures; // serves no picture at all
    Game& g = start(&no_pictures);
    add(0, "Corvath");
    g.Form1.mainPic.picture_name = "view";
    EXPECT_NO_THROW(fight({{GOBLIN, 2}}));
    EXPECT_EQ(g.Form1.mainPic.picture_name, "view");
    EXPECT_TRUE(shows("   2 " + FixedText<20>("Goblins").str()));
}

TEST_F(Encounter, CompactionMovesWholeMembersAndSinksEmptiedGroups) {
    Game& g = start();
    // Group 0: members 0..7 dead, 8 and 9 alive, each with its own round values and effect.
    g.monster_groups[0] = {GOBLIN, 2, 11, 22};
    for (int m = 0; m < 10; ++m)
        for (int a = 1; a < MONSTER_ATTRIBUTES; ++a) g.monster_state[0][m][a] = int16_t(10 * m + a);
    g.monster_state[0][8][MONSTER_HIT_POINTS] = 3;
    g.monster_state[0][9][MONSTER_HIT_POINTS] = 6;
    // Group 1 has been wiped out; group 2 still fights.
    g.monster_groups[1] = {ORC, 4, 33, 44};
    g.monster_groups[2] = {GOBLIN, 1, 0, 0};
    g.monster_state[2][0] = {9, 1, 2, 3, 4, 5};
    g.treasure_items[1] = POTION;
    g.group_effects[1][0] = {3, 1, 1};

    sub_compact_monster_groups(g);

    EXPECT_EQ(g.monster_groups[0].count, 2);
    EXPECT_EQ(g.monster_state[0][0], (std::array<int16_t, 6>{6, 91, 92, 93, 94, 95}));
    EXPECT_EQ(g.monster_state[0][1], (std::array<int16_t, 6>{3, 81, 82, 83, 84, 85}));
    EXPECT_EQ(g.monster_state[0][2][1], 1) << "dead members follow with their own values";
    EXPECT_EQ(g.monster_groups[1].monster, GOBLIN);
    EXPECT_EQ(g.monster_state[1][0], (std::array<int16_t, 6>{9, 1, 2, 3, 4, 5}));
    // The emptied orcs keep monster, crowns and experience for the payout, behind the living.
    const auto orcs = std::find_if(g.monster_groups.begin(), g.monster_groups.end(),
                                   [](const MonsterGroupRec& m) { return m.monster == ORC; });
    ASSERT_NE(orcs, g.monster_groups.end());
    EXPECT_GE(orcs - g.monster_groups.begin(), 2);
    EXPECT_EQ(orcs->count, 0);
    EXPECT_EQ(orcs->crowns, 33);
    EXPECT_EQ(orcs->experience, 44);
    EXPECT_EQ(g.treasure_items[1], POTION) << "treasure does not move";
    EXPECT_EQ(g.group_effects[1][0][0], 3) << "group effects do not move";
}

TEST_F(Encounter, NextAbleMemberSkipsTheEmptyAndTheDead) {
    Game& g = start();
    add(0, "A");
    add(2, "B", FIGHTER, 0);
    add(3, "C");
    add(6, "D");
    add(7, "E");
    EXPECT_EQ(sub_next_able_member(g, 0), 3);
    EXPECT_EQ(sub_next_able_member(g, 3), 6);
    EXPECT_EQ(sub_next_able_member(g, 6), 7) << "slot 7 never chooses";
    EXPECT_EQ(sub_next_able_member(g, -1), 0);
}

} // namespace

} // namespace duskwend
