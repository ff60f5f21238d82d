// Reading a spell's description and casting from the sheet: the choice of spell and target,
// the mana check, and one cast per key.
#include "sheet_fixture.h"

#include "core/game.h"
#include "core/output.h"

namespace duskwend {

using namespace sheet_test;

namespace {

using SheetSpells = SheetTest;

void know(PartyMemberRec& m, std::initializer_list<int> spells) {
    m.spells_known = {};
    int k = 0;
    for (const int s : spells) m.spells_known[k++] = static_cast<int16_t>(s);
}

TEST_F(SheetSpells, TheDigitZeroChoosesTheTenthSpellAndTheEleventhCannotBeChosen) {
    party_of(1);
    std::vector<int> runes;
    for (int k = 0; k < 11; ++k) runes.push_back(FIRST_RUNE + k);
    PartyMemberRec& m = member(1);
    m.spells_known = {};
    for (int k = 0; k < 11; ++k) m.spells_known[k] = static_cast<int16_t>(runes[k]);
    open(1, SHEET_ABILITIES);
    type("nd");
    EXPECT_EQ(g().spell_level_shown, 5);
    EXPECT_EQ(line_at(322), " 1, 2, 3, 4, 5, 6, 7, 8, 9, 0. Describe What.");
    type("0");
    EXPECT_EQ(g().sheet_step, SHEET_DESCRIPTION);
    EXPECT_EQ(g().sheet_spell, FIRST_RUNE + 9);
    EXPECT_EQ(g().page_lines[1], " Rune 10 ");
    type("k");
    EXPECT_EQ(g().sheet_step, SHEET_DESCRIBE_WHAT);
    EXPECT_EQ(g().page_line, 0) << "the page starts afresh";
    type("xc0");
    EXPECT_EQ(g().sheet_step, SHEET_CAST_ON);
    EXPECT_EQ(g().sheet_spell, FIRST_RUNE + 9);
}

TEST_F(SheetSpells, TheDescriptionIsPrintedLineByLine) {
    party_of(1);
    know(member(1), {MEND, AID});
    open(1, SHEET_SPELLS);
    g().spell_level_shown = 1;
    type("d3");
    EXPECT_EQ(g().sheet_step, SHEET_DESCRIBE_WHAT) << "only two spells on the level";
    type("1");
    EXPECT_EQ(g().page_lines[0], "  ");
    EXPECT_EQ(g().page_lines[1], " Mend ");
    EXPECT_EQ(g().page_lines[3], "Closes wounds. ");
    EXPECT_EQ(g().page_lines[4], " ");
    EXPECT_EQ(g().page_lines[5], "A second line. ");
    EXPECT_TRUE(shows("Corvath"));
    EXPECT_FALSE(shows(" X.")) << "no menu under a description";
}

TEST_F(SheetSpells, TargetChoiceManaAndCombatOnlySpells) {
    party_of(3);
    PartyMemberRec& m = member(1);
    know(m, {MEND, AID, SPARK, GLOW});
    m.magic_points = 4;
    open(1, SHEET_SPELLS);
    g().spell_level_shown = 1;
    type("c");
    EXPECT_EQ(line_at(322), " 1, 2. Cast What.");
    type("2"); // Aid: one target, five mana
    EXPECT_EQ(g().sheet_target, -1);
    EXPECT_TRUE(shows("One Target"));
    EXPECT_TRUE(shows("   Not enough left to cast."));
    EXPECT_EQ(line_at(322), " 1, 2, 3. Cast Spell on Who");
    type("3");
    EXPECT_EQ(g().sheet_target, 2) << "the target is chosen";
    EXPECT_EQ(g().sheet_step, SHEET_CAST_ON) << "but the mana is short";
    EXPECT_TRUE(shows("Mirel"));
    type("c");
    EXPECT_EQ(g().sheet_step, SHEET_CAST_ON);

    m.magic_points = 5;
    type("xc2");
    type("5");
    EXPECT_EQ(g().sheet_target, -1) << "nobody at position 5";
    type("2");
    EXPECT_EQ(g().sheet_step, SHEET_CAST);
    EXPECT_EQ(g().cast_spell, AID);
    EXPECT_EQ(g().cast_caster, 0);
    EXPECT_EQ(g().cast_target, 1);

    type("k");
    EXPECT_EQ(g().sheet_step, SHEET_SPELLS);
    m.magic_points = 50;
    type("c1"); // Mend: on oneself, two mana, 40 + 5 per level
    EXPECT_TRUE(shows("Self"));
    EXPECT_TRUE(shows("      45"));
    EXPECT_EQ(line_at(322), " C. Cast.");
    type("c");
    EXPECT_EQ(g().sheet_step, SHEET_CAST);
    EXPECT_EQ(g().cast_target, 0);

    type("k");
    g().spell_level_shown = 3;
    type("c1"); // Spark: a fight's spell
    EXPECT_TRUE(shows("This is a combat only spell."));
    EXPECT_EQ(line_at(322), " X. Exit.");
    type("c");
    EXPECT_EQ(g().sheet_step, SHEET_CAST_ON);
}

TEST_F(SheetSpells, ACastActsOncePerKeyAndItsReportIsPrinted) {
    party_of(1);
    know(member(1), {GLOW});
    open(1, SHEET_SPELLS);
    g().spell_level_shown = 0;
    type("c1");
    EXPECT_TRUE(shows("Group"));
    g().cast_result = "\\NThe glow fades.\\nIt is gone.";
    type("c");
    EXPECT_EQ(g().sheet_step, SHEET_CAST);
    EXPECT_EQ(g().cast_spell, GLOW);
    EXPECT_EQ(g().cast_caster, 0);
    EXPECT_EQ(g().cast_target, -1) << "everyone";
    // Whatever the cast reports is printed piece by piece into a fresh page.
    std::vector<std::string> pieces;
    for_each_text_line(g().cast_result, [&](const std::string& p) { pieces.push_back(p + " "); });
    ASSERT_FALSE(pieces.empty());
    for (std::size_t k = 0; k < pieces.size(); ++k) {
        if (g().Form1.Text.TextWidth(pieces[k]) > MESSAGE_WIDTH) break; // wrapped from here on
        EXPECT_EQ(g().page_lines[k], pieces[k]);
    }
    EXPECT_EQ(run("Corvath").y, 0);

    // Were the cast run again, it would be handed its spell anew.
    const std::vector<TextRun> shown = g().Form1.Text.runs();
    g().cast_spell = 0;
    sub_render_screen(g());
    sub_render_screen(g());
    EXPECT_EQ(g().cast_spell, 0);
    EXPECT_EQ(g().Form1.Text.runs(), shown) << "a repaint shows the same report";

    type("k");
    EXPECT_EQ(g().sheet_step, SHEET_SPELLS);
    type("c1c");
    EXPECT_EQ(g().cast_spell, GLOW) << "a new cast takes its own keys";
}

} // namespace

} // namespace duskwend
