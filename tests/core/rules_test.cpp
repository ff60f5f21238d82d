// Dice and formulas, housekeeping, and the party's derived statistics.
#include "core/game.h"
#include "core/rules.h"
#include "support/fixture.h"

#include <gtest/gtest.h>

namespace duskwend {

namespace {

TEST(Formulas, Dice) {
    Game g;
    g.rng.seed(3);
    for (int i = 0; i < 200; ++i) {
        EXPECT_EQ(sub_roll_dice(g, 0, 6, 3), 3);
        EXPECT_EQ(sub_roll_dice(g, 2, 1, 0), 2);
        const int d = sub_roll_dice(g, 3, 6, 1);
        EXPECT_GE(d, 4);
        EXPECT_LE(d, 19);
        const int p = sub_random_percent(g);
        EXPECT_GE(p, 0);
        EXPECT_LE(p, 99);
    }
    EXPECT_EQ(sub_roll_dice(g, 1000, 1000, 32000), 32767) << "saturates, never wraps";
}

TEST(Formulas, AttributeFactorAndExperience) {
    for (auto [v, f] : {std::pair{0, 33},
                        {-4, 33},
                        {7, 33},
                        {8, 36},
                        {10, 55},
                        {12, 78},
                        {13, 91},
                        {15, 120},
                        {18, 171},
                        {25, 325}})
        EXPECT_EQ(sub_attribute_factor(v), f) << v;
    Game g;
    const auto needed = [&](int class_id, int level) {
        g.party[0].class_id = static_cast<int16_t>(class_id);
        g.party[0].level = static_cast<int16_t>(level);
        return sub_experience_needed(g, 0);
    };
    EXPECT_EQ(needed(0, 1), 1000);
    EXPECT_EQ(needed(1, 1), 750);
    EXPECT_EQ(needed(2, 1), 900);
    EXPECT_EQ(needed(3, 1), 1100);
    EXPECT_EQ(needed(3, 2), 2200);
    EXPECT_EQ(needed(0, 3), 4000);
    EXPECT_EQ(needed(1, 3), 3000);
    EXPECT_EQ(needed(0, 40), 2147483647) << "saturates";
}

TEST(Formulas, LevelGainsWithAndWithoutKarma) {
    Game g;
    PartyMemberRec& m = g.party[0];
    m.class_id = 0, m.vitality = 15;
    m.karma = 0;
    EXPECT_EQ(sub_roll_level_gains(g, 1, 0), 13);
    EXPECT_EQ(sub_roll_level_gains(g, 2, 0), 0);
    m.karma = 100;
    EXPECT_EQ(sub_roll_level_gains(g, 1, 0), 14);
    EXPECT_EQ(sub_roll_level_gains(g, 3, 0), 0);
    m.class_id = 3, m.intelligence = 18, m.karma = 0;
    EXPECT_EQ(sub_roll_level_gains(g, 2, 0), 14) << "1.71 x 8 = 13.68";
}

TEST(Formulas, Haggling) {
    Game g;
    g.party[0].personality = 10;
    int16_t price = 100;
    EXPECT_EQ(sub_haggle_price(g, price, 0), 85);
    EXPECT_EQ(price, 100);
    g.party[0].class_id = 7;
    EXPECT_EQ(sub_haggle_price(g, price, 0), 75);
    EXPECT_EQ(price, 90);
    // Personality 45 takes 1.135 times the price off: the price stops at nothing.
    g.party[0].class_id = 0;
    g.party[0].personality = 45;
    price = 100;
    EXPECT_EQ(sub_haggle_price(g, price, 0), 0);
    // Bases beyond the Integer range are haggled whole.
    g.party[0].personality = 10;
    EXPECT_EQ(sub_haggled_price(g, 400000, 0), 338000);
}

TEST(Housekeeping, RosterPartyAndSwaps) {
    Game g;
    const int16_t in_use[] = {1, 0, 2, 3};
    for (int e = 0; e < 4; ++e)
        g.roster[e].in_use = in_use[e], g.roster[e].name = std::to_string(e);
    g.roster[10].in_use = 9;
    sub_sort_roster(g);
    EXPECT_EQ((std::array<int16_t, 4>{g.roster[0].in_use, g.roster[1].in_use, g.roster[2].in_use,
                                      g.roster[3].in_use}),
              (std::array<int16_t, 4>{1, 2, 3, 0}));
    EXPECT_EQ(g.roster[1].name.trimmed(), "2") << "whole entries move";
    EXPECT_EQ(g.roster[10].in_use, 9);

    g.party[0].in_use = 1, g.party[0].name = "A";
    g.party[2].in_use = 1, g.party[2].name = "C";
    g.party[5].in_use = 1, g.party[5].name = "F";
    sub_compact_party(g);
    EXPECT_EQ(g.party[0].name.trimmed(), "A");
    EXPECT_EQ(g.party[1].name.trimmed(), "C");
    EXPECT_EQ(g.party[2].name.trimmed(), "F");
    EXPECT_EQ(g.party[3].in_use, 0);
}

TEST(Housekeeping, TidyPackCompactsAndMerges) {
    Game g;
    auto& pack = g.party[0].pack;
    pack[0] = {5, 1, 1};
    pack[3] = {5, 2, 1};
    pack[4] = {5, 4, 0};
    pack[10] = {7, 1, 0};
    sub_tidy_pack(g, 0);
    EXPECT_EQ(pack[0], (std::array<int16_t, 3>{5, 3, 1}));
    EXPECT_EQ(pack[1][0], 0) << "the merged slot is emptied where it lies";
    EXPECT_EQ(pack[2], (std::array<int16_t, 3>{5, 4, 0}))
        << "identified and unidentified stay apart";
    for (int s = 3; s < 10; ++s) EXPECT_NE(pack[s][0], 5);
    EXPECT_EQ(pack[10][0], 7) << "slot 10 is not touched";
    EXPECT_EQ(sub_find_empty_pack_slot(g, 0), 1);
    sub_tidy_pack(g, 0);
    EXPECT_EQ(pack[1], (std::array<int16_t, 3>{5, 4, 0})) << "the next tidy closes the gap";
    for (int s = 0; s < 10; ++s) pack[s][0] = int16_t(s + 1);
    EXPECT_EQ(sub_find_empty_pack_slot(g, 0), -1);
}

TEST(Housekeeping, PoolingCrownsNeverWraps) {
    Game g;
    for (int s = 0; s < 7; ++s) g.party[s].in_use = 1, g.party[s].crowns = 30000;
    g.party[7].in_use = 1, g.party[7].crowns = 5;
    sub_pool_crowns(g, 2);
    EXPECT_EQ(g.party[1].crowns, 210000);
    EXPECT_EQ(g.party[0].crowns, 0);
    EXPECT_EQ(g.party[7].crowns, 5) << "slot 7 is neither emptied nor counted";
    g.party[0].crowns = 2147483647, g.party[2].crowns = 2147483647;
    sub_pool_crowns(g, 1);
    EXPECT_EQ(g.party[0].crowns, 2147483647) << "a total beyond a Long saturates";
}

TEST(Housekeeping, TrendsAndSpellLevels) {
    fixture::SmallWorldDir dir("spells");
    fixture::StartedGame s(dir.path);
    Game& g = s.g;
    g.party[0].strength = 12, g.party[0].base_strength = 10;
    g.party[0].speed = 8, g.party[0].base_speed = 9;
    EXPECT_EQ(sub_attribute_trend(g, 0, 0), 1);
    EXPECT_EQ(sub_attribute_trend(g, 4, 0), -1);
    EXPECT_EQ(sub_attribute_trend(g, 1, 0), 0);
    EXPECT_EQ(sub_attribute_trend(g, 8, 0), 0);

    sub_lowest_spell_level(g, 0);
    EXPECT_EQ(g.spell_level_shown, 99) << "no spells known";
    g.party[0].spells_known[0] = 2; // level 3
    g.party[0].spells_known[1] = 1; // level 1
    sub_lowest_spell_level(g, 0);
    EXPECT_EQ(g.spell_level_shown, 1);
    EXPECT_EQ(sub_step_spell_level(g, 0, 1), 3);
    EXPECT_EQ(sub_step_spell_level(g, 0, 0), 1) << "nothing lower";
    g.spell_level_shown = 3;
    EXPECT_EQ(sub_step_spell_level(g, 0, 1), 3) << "nothing higher";
    EXPECT_EQ(sub_step_spell_level(g, 0, -1), 1);
}

TEST(PartyStats, ArmourClassOfAPlainFighter) {
    Game g;
    PartyMemberRec& m = g.party[0];
    m.in_use = 1, m.class_id = 0, m.level = 1, m.base_dexterity = 12, m.base_speed = 14;
    sub_update_party_stats(g);
    EXPECT_EQ(m.armour_class, 19);
    EXPECT_EQ(m.dexterity, 12);
}

TEST(PartyStats, CapsDiseaseAndUntouchedSlots) {
    Game g;
    PartyMemberRec& m = g.party[0];
    m.in_use = 1, m.class_id = 0, m.level = 1;
    m.base_strength = 30, m.base_personality = 30, m.base_dexterity = 12, m.base_speed = 14;
    m.base_vitality = 10;
    sub_update_party_stats(g);
    EXPECT_EQ(m.strength, 25);
    EXPECT_EQ(m.personality, 30);

    m.base_strength = 16;
    m.effects[4] = {10, EFFECT_DISEASE, 2};
    sub_update_party_stats(g);
    EXPECT_EQ(m.strength, 13);
    EXPECT_EQ(m.dexterity, 10);
    EXPECT_EQ(m.speed, 11);
    EXPECT_EQ(m.vitality, 8);
    EXPECT_EQ(m.personality, 27);
    // (10 + 11 + 5 + 5) x 0.5 x 0.5 = 7.75 (both factors below 0.8); - 2, then x 0.9 = 5.175
    EXPECT_EQ(m.armour_class, 5);

    // A seventh member (and an eighth, should one be present) is derived like the others.
    for (int slot : {6, 7}) {
        PartyMemberRec& p = g.party[slot];
        p.in_use = 1, p.armour_class = 77, p.base_strength = 9;
        p.level = 1, p.base_dexterity = 12, p.base_speed = 14;
    }
    sub_update_party_stats(g);
    for (int slot : {6, 7}) {
        EXPECT_EQ(g.party[slot].armour_class, 19) << slot;
        EXPECT_EQ(g.party[slot].strength, 9) << slot;
    }
}

TEST(PartyStats, ArmourFromItemsAndBlessing) {
    fixture::SmallWorldDir dir("armour");
    fixture::StartedGame s(dir.path);
    Game& g = s.g;
    PartyMemberRec& m = g.party[0];
    m.in_use = 1, m.class_id = 0, m.level = 1, m.base_dexterity = 12, m.base_speed = 14;
    m.body = 13;         // armour 4
    m.left_hand[0] = 10; // armour 2
    sub_update_party_stats(g);
    // (36 + 6) x 1.05 x 0.5 = 22.05
    EXPECT_EQ(m.armour_class, 22);
    m.effects[0] = {-1, EFFECT_BLESS, 2};
    m.base_resistances = {1, 2, 3, 4, 5, 6};
    sub_update_party_stats(g);
    // (22.05 + 10) x 1.1 = 35.255
    EXPECT_EQ(m.armour_class, 35);
    EXPECT_EQ(m.resistances, (std::array<int16_t, 6>{11, 12, 13, 14, 15, 16}));
}

} // namespace

} // namespace duskwend
