// The four pages: what each line shows where a slip would show, and the menus that move with
// their conditional lines.
#include "sheet_fixture.h"

#include "core/game.h"

namespace duskwend {

using namespace sheet_test;

namespace {

using SheetPages = SheetTest;

TEST_F(SheetPages, StatisticsColourTheTrendAndOfferPoolingOnlyOutsideAFight) {
    party_of(2);
    member(1).base_strength = 12;                          // current 10: below its base
    member(1).effects[0] = {5, EFFECT_STRENGTH_CHANGE, 3}; // stronger: 15 against 12
    member(1).base_piety = 20;
    member(1).effects[1] = {5, EFFECT_DISEASE, 0}; // mild disease: strength -1, speed -1
    member(1).sex = 2;
    member(1).crowns = 7, member(2).crowns = 30;
    open(1);
    EXPECT_EQ(line_at(52), "Race: Human Female");
    EXPECT_EQ(run(" 14").colour, 2) << "strength 12 + 3 - 1 is above its base";
    EXPECT_EQ(run(" 9").colour, 12) << "speed 10 - 1 is below its base";
    EXPECT_EQ(run(" 20").colour, 0) << "piety is unchanged";
    EXPECT_EQ(line_at(195), "Hit Points: 10 / 10");
    EXPECT_EQ(run(" 10 /").x + g().Form1.Text.TextWidth(" 10 /"), 125);
    EXPECT_EQ(run(" N.").y, 309);
    EXPECT_EQ(line_at(322), " P. Pool Gold.");

    type("p");
    EXPECT_EQ(member(1).crowns, 37);
    EXPECT_EQ(member(2).crowns, 0);

    g().combat_active = -1;
    sub_render_screen(g());
    EXPECT_EQ(run(" N.").y, 322);
    EXPECT_FALSE(shows(" Pool Gold."));
    member(2).crowns = 5;
    type("p");
    EXPECT_EQ(member(2).crowns, 5) << "no pooling in a fight";
}

TEST_F(SheetPages, EquipmentPageNamesPluralsUnknownsAndTheTenthLine) {
    party_of(1);
    open(1, SHEET_EQUIPMENT);
    EXPECT_EQ(line_at(78), "Body: Nothing");
    EXPECT_EQ(line_at(91), "Right Hand: Empty");
    EXPECT_EQ(line_at(104), "Left Hand: Empty");
    EXPECT_EQ(line_at(234), " 10:");
    EXPECT_FALSE(shows(" E.")) << "nothing carried: only P, N and X";
    EXPECT_EQ(run(" P.").y, 309);

    PartyMemberRec& m = member(1);
    m.right_hand = {GREATSWORD, 1, 0};
    m.body = PLATE;
    // The pack is tidied before every drawing: gaps close and equal stacks merge, so the
    // ten lines are filled with ten different things.
    const int pack[10][3] = {{BLADE, 1, 1}, {ELIXIR, 2, 1},      {PLATE, 1, 1},        {ROCK, 3, 0},
                             {SALVE, 1, 0}, {TONIC, 1, 1},       {ROUND_SHIELD, 1, 1}, {2, 1, 1},
                             {3, 1, 1},     {FIGHTERS_AXE, 1, 1}};
    for (int k = 0; k < 10; ++k) put(1, k, pack[k][0], pack[k][1], pack[k][2]);
    m.class_id = 1; // a Thief cannot use the axe
    sub_render_screen(g());
    EXPECT_EQ(line_at(78).substr(0, 11), "Body: Plate");
    EXPECT_EQ(line_at(104), "Left Hand:") << "a two-handed weapon leaves the line blank";
    EXPECT_EQ(line_at(117).substr(0, 9), " 1: Blade");
    EXPECT_EQ(line_at(130).substr(0, 13), " 2: 2 Elixirs") << "the plural after a quantity";
    EXPECT_EQ(line_at(156), " 4: 3 Unknowns");
    EXPECT_EQ(line_at(169), " 5: Unknown");
    EXPECT_EQ(line_at(234).substr(0, 17), " 10:! Fighter Axe");
    EXPECT_EQ(run(" P.").y, 270);
    EXPECT_TRUE(shows(" Equip/De-equip."));

    m.left_hand = {ROUND_SHIELD, 1, 0};
    m.right_hand = {0, 0, 0};
    sub_render_screen(g());
    EXPECT_EQ(line_at(91), "Right Hand: Empty");

    g().combat_active = -1;
    sub_render_screen(g());
    EXPECT_FALSE(shows(" E.")) << "no equipment commands in a fight";
    EXPECT_EQ(run(" P.").y, 309);
    type("e");
    EXPECT_EQ(g().sheet_step, SHEET_EQUIPMENT);
}

TEST_F(SheetPages, AbilitiesPageEffectsAndClassLines) {
    party_of(1);
    PartyMemberRec& m = member(1);
    m.effects[2] = {3, EFFECT_DISEASE, 10}; // no grade: no line, and not "no effects" either
    m.class_id = 2, m.level = 3;
    open(1, SHEET_ABILITIES);
    EXPECT_FALSE(shows("   No Current Effects or Afflications in Action."));
    EXPECT_FALSE(shows("   A Deadly Disease"));
    EXPECT_TRUE(shows("   Turn Undead"));
    EXPECT_FALSE(shows("   Minor Protection from Evil"));
    EXPECT_EQ(line_at(52), "Paralyzation, Poison, Death:0%");

    m.effects[2] = {0, 0, 0};
    m.effects[5] = {-1, EFFECT_CONFUSION, 51};
    m.effects[6] = {2, EFFECT_DISEASE, 9};
    m.level = 8;
    sub_render_screen(g());
    EXPECT_TRUE(shows("   Very Confused"));
    EXPECT_TRUE(shows("   A Deadly Disease"));
    EXPECT_TRUE(shows("   Protection from Evil"));

    m.class_id = 1, m.level = 5, m.thief_skills = {25, 30, 20, 30, 20};
    sub_render_screen(g());
    EXPECT_TRUE(shows("   25% chance to Identify Items"));
    EXPECT_TRUE(shows("   Backstab damage x 4"));
    m.class_id = 7, m.level = 7;
    sub_render_screen(g());
    EXPECT_TRUE(shows("   Backstab damage x 4"));
    m.class_id = 3;
    sub_render_screen(g());
    const auto t = texts();
    const auto heading = std::find(t.begin(), t.end(), " Special Abilities");
    ASSERT_NE(heading, t.end());
    EXPECT_EQ(*(heading + 1), " P.") << "a Mage has nothing under Special Abilities";
    EXPECT_FALSE(shows(" N.")) << "no spells known: the spell page cannot be reached";
    type("n");
    EXPECT_EQ(g().sheet_step, SHEET_ABILITIES);
}

TEST_F(SheetPages, SpellPageStepsThroughTheKnownLevels) {
    party_of(1);
    member(1).spells_known = {};
    member(1).spells_known[0] = SPARK;
    member(1).spells_known[1] = MEND;
    member(1).spells_known[2] = GLOW;
    member(1).spells_known[3] = AID;
    open(1, SHEET_ABILITIES);
    EXPECT_EQ(run(" P.").y, 309);
    type("n");
    EXPECT_EQ(g().sheet_step, SHEET_SPELLS);
    EXPECT_EQ(g().spell_level_shown, 0) << "the lowest level known";
    EXPECT_TRUE(shows(" Inherent Powers"));
    EXPECT_EQ(line_at(65).substr(0, 10), "  1.  Glow");
    EXPECT_EQ(run(" C.").y, 283) << "C, D, P, N and X";

    type("n");
    EXPECT_EQ(g().spell_level_shown, 1);
    EXPECT_TRUE(shows(" Level 1 Powers"));
    EXPECT_EQ(line_at(65).substr(0, 10), "  1.  Mend");
    EXPECT_EQ(line_at(78).substr(0, 9), "  2.  Aid");
    type("nn");
    EXPECT_EQ(g().spell_level_shown, 3);
    EXPECT_FALSE(shows(" Next Page.")) << "no higher level";
    EXPECT_EQ(run(" C.").y, 296);

    g().combat_active = -1;
    sub_render_screen(g());
    EXPECT_FALSE(shows(" Cast Spell."));
    EXPECT_EQ(run(" D.").y, 309);
    type("c");
    EXPECT_EQ(g().sheet_step, SHEET_SPELLS) << "no casting from the sheet in a fight";
    g().combat_active = 0;

    type("ppp");
    EXPECT_EQ(g().spell_level_shown, 0);
    EXPECT_EQ(g().sheet_step, SHEET_ABILITIES) << "P steps down the levels, then leaves";
    type("x");
    EXPECT_EQ(g().sheet_member, 0);
    EXPECT_EQ(g().sheet_step, SHEET_STATS) << "the sheet reopens on the statistics page";
}

} // namespace

} // namespace duskwend
