// Using an item from the sheet and the item-use rule itself: the target choice, the texts,
// healing computed wide and capped, and one item used up from the place chosen.
#include "sheet_fixture.h"

#include "core/game.h"
#include "core/item_use.h"

namespace duskwend {

using namespace sheet_test;

namespace {

using Use = SheetTest;

std::string trimmed(std::string s) {
    return s.erase(s.find_last_not_of(' ') + 1);
}

// What the use printed from line 5 on, the wrapped lines put back together.
std::string result_text(const Game& g) {
    std::string out;
    for (int k = 5; k <= MESSAGE_LAST_LINE; ++k) out += trimmed(g.message_lines[k]);
    return out;
}

TEST_F(Use, OneItemIsUsedUpFromTheSlotChosen) {
    party_of(2);
    PartyMemberRec& m = member(1);
    put(1, 0, SALVE, 2);
    put(1, 1, SALVE, 3, 0); // unknown ones do not merge with known ones
    member(2).hit_points = 1;
    open(1, SHEET_EQUIPMENT);
    type("u");
    EXPECT_EQ(line_at(322), " 1, 2. Use What.");
    type("2");
    EXPECT_EQ(g().sheet_step, SHEET_USE_ON);
    EXPECT_EQ(line_at(322), " 1, 2. Use Salve on Who");
    type("3");
    EXPECT_EQ(g().sheet_step, SHEET_USE_ON) << "nobody at position 3";
    type("2");
    EXPECT_EQ(g().sheet_step, SHEET_USE);
    EXPECT_EQ(m.pack[0], (std::array<int16_t, 3>{SALVE, 2, 1})) << "the other slot is untouched";
    EXPECT_EQ(m.pack[1], (std::array<int16_t, 3>{SALVE, 2, 0}));
    EXPECT_EQ(member(2).hit_points, 5) << "strength 1 heals (1 + 1) squared";
    EXPECT_EQ(trimmed(g().message_lines[3]), "Corvath uses the Salve on Tallow.");
    EXPECT_EQ(trimmed(g().message_lines[5]).substr(0, 37), "The Salve heals Tallow of 4 points of");
    EXPECT_EQ(run("Corvath").y, 0) << "the name stays above the narration";

    // A repaint without a key shows the use again and does not repeat it.
    sub_render_screen(g());
    sub_render_screen(g());
    EXPECT_EQ(member(2).hit_points, 5);
    EXPECT_EQ(m.pack[1][PACK_QUANTITY], 2);
    EXPECT_TRUE(shows("Corvath uses the Salve on Tallow."));

    type("k");
    EXPECT_EQ(g().sheet_step, SHEET_EQUIPMENT);
    type("u22");
    EXPECT_EQ(m.pack[1][PACK_QUANTITY], 1) << "a second use takes its own keys";
}

TEST_F(Use, HeldItemsAreUsedFromTheHandAndRefusalsReturn) {
    party_of(1);
    PartyMemberRec& m = member(1);
    m.hit_points = 3;
    m.left_hand = {SALVE, 2, 0};
    put(1, 0, SALVE, 1);
    put(1, 1, ROCK, 1, 0);
    open(1, SHEET_EQUIPMENT);
    type("ul");
    EXPECT_EQ(g().sheet_step, SHEET_USE) << "alone in the party: used on oneself at once";
    EXPECT_EQ(trimmed(g().message_lines[3]), "Corvath uses the Salve.");
    EXPECT_EQ(m.left_hand, (std::array<int16_t, 3>{SALVE, 1, 0}));
    EXPECT_EQ(m.pack[0][PACK_QUANTITY], 1);
    EXPECT_EQ(m.hit_points, 7);

    type("k");
    type("u2");
    EXPECT_EQ(g().sheet_step, SHEET_USE_ON);
    EXPECT_EQ(line_at(322), " Unknown can not be used that way.");
    EXPECT_FALSE(shows(" X."));
    type("5");
    EXPECT_EQ(g().sheet_step, SHEET_USE_WHAT) << "any key after a refusal";
    EXPECT_EQ(m.pack[1][PACK_ITEM], ROCK);

    m.pack[1][PACK_IDENTIFIED] = 1;
    type("2");
    EXPECT_EQ(line_at(322), " Rock can not be used that way.");
}

TEST_F(Use, HealingIsComputedWideAndCappedAtWhatTheTargetLacks) {
    party_of(2);
    PartyMemberRec& t = member(2);
    t.max_hit_points = 30000, t.hit_points = 1;
    put(1, 0, TONIC, 1);
    sub_use_item(g(), 0, TONIC, 1, 1, 0);
    EXPECT_EQ(t.hit_points, 30000) << "201 squared and 200 dice of 40000 sides, capped";
    EXPECT_NE(result_text(g()).find("heals Tallow of 29999 points of damage."), std::string::npos);
    EXPECT_EQ(member(1).pack[0][PACK_ITEM], 0);

    t.max_hit_points = 10, t.hit_points = 12; // above the maximum: lacks nothing
    put(1, 0, ELIXIR, 1);
    sub_use_item(g(), 0, ELIXIR, 1, 1, 0);
    EXPECT_EQ(t.hit_points, 12);
    const std::string text = result_text(g());
    EXPECT_NE(text.find("The Elixir heals Tallow of 0 points of damage."), std::string::npos);
    EXPECT_NE(text.find("Tallow did not need healing."), std::string::npos);
    EXPECT_NE(text.find("The Elixir is consumed."), std::string::npos);

    t.hit_points = 1;
    put(1, 0, ELIXIR, 1);
    sub_use_item(g(), 0, ELIXIR, 1, 1, 0);
    EXPECT_EQ(t.hit_points, 10) << "16 plus three 9-sided dice, but only 9 are lacking";
    EXPECT_NE(result_text(g()).find("of 9 points of damage."), std::string::npos);
}

TEST_F(Use, TheRuleFindsThePlaceAndConsumesOnlyWhatItHolds) {
    party_of(1);
    PartyMemberRec& m = member(1);
    EXPECT_EQ(sub_find_item_place(g(), 0, SALVE), USE_FROM_NOWHERE);
    m.body = SALVE;
    EXPECT_EQ(sub_find_item_place(g(), 0, SALVE), USE_FROM_BODY);
    m.right_hand = {SALVE, 1, 0};
    EXPECT_EQ(sub_find_item_place(g(), 0, SALVE), USE_FROM_RIGHT_HAND);
    put(1, 4, SALVE, 2);
    EXPECT_EQ(sub_find_item_place(g(), 0, SALVE), 4);

    // A place that does not hold the item: the first place that does gives it up.
    sub_use_item(g(), 0, SALVE, 0, 1, 7);
    EXPECT_EQ(m.pack[4][PACK_QUANTITY], 1);
    EXPECT_EQ(m.right_hand[0], SALVE);
    EXPECT_EQ(m.body, SALVE);
    sub_use_item(g(), 0, SALVE, 0, 1, USE_FROM_BODY);
    EXPECT_EQ(m.body, 0);
    EXPECT_EQ(m.pack[4][PACK_QUANTITY], 1);

    // Items without a healing entry are not used up.
    sub_use_item(g(), 0, ROCK, 0, 1, USE_FROM_NOWHERE);
    EXPECT_EQ(trimmed(g().message_lines[3]), "Corvath uses the Rock.");
    EXPECT_EQ(trimmed(g().message_lines[5]), "");
}

} // namespace

} // namespace duskwend
