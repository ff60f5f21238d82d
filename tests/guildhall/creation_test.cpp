// Making characters: the numbers of each step and the name as typed.
#include "core/game.h"
#include "guildhall/guild_hall.h"
#include "support/fixture.h"

#include <gtest/gtest.h>

namespace duskwend {

using fixture::type;

namespace {

struct Creation : fixture::WorldTest {
    Creation() : WorldTest("creation") { start_game(); }
    std::array<int16_t, 8> attributes() {
        Game& x = g();
        return {x.new_strength, x.new_intelligence, x.new_piety,       x.new_dexterity,
                x.new_speed,    x.new_vitality,     x.new_personality, x.new_karma};
    }
};

TEST_F(Creation, HumanFighterStartsAndRoundsItsHitPoints) {
    type(g(), "caaa");
    EXPECT_EQ(g().location_step, GUILD_CREATE_ATTRIBUTES);
    EXPECT_EQ(attributes(), (std::array<int16_t, 8>{10, 8, 8, 8, 8, 9, 8, 9}));
    EXPECT_EQ(g().bonus_points, 10);
    type(g(), "aa");
    EXPECT_EQ(g().location_step, GUILD_CREATE_NAME);
    EXPECT_EQ(g().new_hit_points, 10) << "F(9) = 45: 9.5 goes to the even 10";
    // 5 each; Human +2 on element 2; Fighter +5 on element 1; F(9)/100 rounds to 0; karma 9/3 = 3.
    EXPECT_EQ(g().new_resistances, (std::array<int16_t, 6>{8, 13, 10, 8, 8, 8}));
    type(g(), "x");
    EXPECT_EQ(g().new_name, "x") << "letters without Shift are small";
    type(g(), "{backspace}{enter}");
    EXPECT_EQ(g().location_step, GUILD_CREATE_DONE);
    EXPECT_EQ(g().new_name, "Fighter") << "an empty name takes the class";
    EXPECT_EQ(g().upper_case_input, -1);
    EXPECT_EQ(g().roster[1].name.trimmed(), "Fighter") << "stored, then sorted one place forward";
    EXPECT_EQ(g().roster[1].in_use, 7);
    EXPECT_EQ(g().roster[1].max_hit_points, 10);
    EXPECT_EQ(g().roster[1].level, 1);
    EXPECT_EQ(g().roster[1].bank, -100);
    type(g(), "x");
    EXPECT_EQ(g().location_step, GUILD_MENU);

    type(g(), "caaaaddddd+");
    EXPECT_EQ(g().new_vitality, 10);
    type(g(), "a");
    EXPECT_EQ(g().new_hit_points, 10) << "F(10) = 55: 10.5 goes to the even 10";
}

TEST_F(Creation, DwarfBerserkerMaximaAndRefunds) {
    type(g(), "cbae");
    EXPECT_EQ(g().new_class, 4) << "E chooses the unlisted Berserker";
    type(g(), "a");
    EXPECT_EQ(g().new_vitality, 11);
    EXPECT_EQ(g().bonus_points, 9);
    g().cursor_line = 5;
    for (int i = 0; i < 9; ++i) type(g(), "+");
    EXPECT_EQ(g().new_vitality, 20);
    EXPECT_EQ(g().bonus_points, 0);
    g().bonus_points = 5;
    type(g(), "+");
    EXPECT_EQ(g().new_vitality, 21) << "18 + 2 + 1";
    type(g(), "+");
    EXPECT_EQ(g().new_vitality, 21) << "at its maximum the point comes straight back";
    EXPECT_EQ(g().bonus_points, 4);
    g().cursor_line = 0;
    g().bonus_points = 20;
    for (int i = 0; i < 12; ++i) type(g(), "+");
    EXPECT_EQ(g().new_strength, 20) << "18 + 2";
}

TEST_F(Creation, LoweringKarmaGivesPointsDownToOne) {
    type(g(), "caaaa");
    type(g(), "u");
    EXPECT_EQ(g().cursor_line, 7) << "up from the first line wraps to the last";
    for (int i = 0; i < 8; ++i) type(g(), "-");
    EXPECT_EQ(g().new_karma, 1);
    EXPECT_EQ(g().bonus_points, 18);
    type(g(), "-");
    EXPECT_EQ(g().new_karma, 1);
    EXPECT_EQ(g().bonus_points, 18);
    type(g(), "d");
    EXPECT_EQ(g().cursor_line, 0);
}

TEST_F(Creation, ThiefAndMerchantSkills) {
    type(g(), "cabba");
    g().cursor_line = 0;
    for (int i = 0; i < 10; ++i) type(g(), "-");
    type(g(), "{down}{down}{down}");
    type(g(), "a");
    EXPECT_EQ(g().location_step, GUILD_CREATE_THIEF_SKILLS);
    // The strength went into bonus points that a thief loses; skills come from 9 and 8.
    EXPECT_EQ(g().new_thief_skills, (std::array<int16_t, 5>{8, 9, 8, 9, 8}));
    EXPECT_EQ(g().bonus_points, 40);
    type(g(), "d+++a");
    EXPECT_EQ(g().new_thief_skills[1], 14) << "female: 9 + 3 points + 2";
    EXPECT_EQ(g().location_step, GUILD_CREATE_NAME);

    type(g(), "{enter}x");
    type(g(), "caaha");
    EXPECT_EQ(g().new_class, 7);
    type(g(), "a");
    EXPECT_EQ(g().new_thief_skills, (std::array<int16_t, 5>{18, 4, 4, 9, 4}));
    EXPECT_EQ(g().bonus_points, 30);
    type(g(), "a");
    EXPECT_EQ(g().new_thief_skills[3], 11) << "male: Steal + 2";
}

TEST_F(Creation, NamesAreTypedWithShiftAndBackspaceAndCutAt20) {
    type(g(), "caaaa");
    type(g(), "a");
    type(g(), "Brannoc{backspace}k");
    EXPECT_EQ(g().new_name, "Brannok");
    type(g(), " The Unyielding Stone{enter}");
    EXPECT_EQ(g().new_name, "Brannok The Unyielding Stone");
    type(g(), "x");
    const CharacterRec& c = g().roster[1];
    EXPECT_EQ(c.name.str(), "Brannok The Unyieldi");
    EXPECT_EQ(c.in_use, 28);
    EXPECT_EQ(g().roster[0].name.trimmed(), "Tallow");
    EXPECT_EQ(g().roster[2].name.trimmed(), "Corvath") << "one pass of the sort";
}

TEST_F(Creation, XLeavesWithoutStoringAndTheFullRosterHasNoC) {
    type(g(), "cabx");
    EXPECT_EQ(g().location_step, GUILD_MENU);
    EXPECT_EQ(g().roster[2].in_use, 0);
    for (int e = 2; e < 10; ++e) g().roster[e].in_use = 1;
    type(g(), "c");
    EXPECT_EQ(g().location_step, GUILD_MENU) << "ten characters: no creation";
}

TEST_F(Creation, StartingSpellsComeFromTheProgression) {
    type(g(), "caac");
    EXPECT_EQ(g().new_class, 2);
    type(g(), "aa");
    EXPECT_EQ(g().new_spells[0], 1) << "the small world gives clerics spell 1 at level 1";
    EXPECT_EQ(g().new_spells[1], 0);
    EXPECT_EQ(g().new_magic_points, 8) << "a cleric's piety of 10: 0.55 x 5 + 5 = 7.75";
}

} // namespace

} // namespace duskwend
