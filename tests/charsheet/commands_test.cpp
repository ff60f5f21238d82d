// The sheet's equipment commands: what moves where, and every refusal leaving things as they
// were.
#include "sheet_fixture.h"

#include "core/game.h"
#include "core/rules.h"

#include <array>

namespace duskwend {

using namespace sheet_test;

namespace {

using Equip = SheetTest;
using Give = SheetTest;

using Row = std::array<int16_t, 3>;

TEST_F(Equip, ReplacingTheHeldItemKeepsItsQuantityAndTakesOneFromAStack) {
    party_of(1);
    PartyMemberRec& m = member(1);
    m.right_hand = {3, 2, 0}; // two Swords
    put(1, 0, BLADE, 3);
    open(1, SHEET_EQUIPMENT);
    type("e");
    EXPECT_EQ(line_at(322).substr(0, 6), " R, 1.") << "offered: the right hand and slot 1";
    type("1");
    EXPECT_EQ(m.right_hand[0], BLADE);
    EXPECT_EQ(m.right_hand[1], 1);
    EXPECT_EQ(m.pack[0], (Row{BLADE, 2, 1}));
    EXPECT_EQ(m.pack[1], (Row{3, 2, 1})) << "the old item with its quantity, identified";
    EXPECT_EQ(g().sheet_step, SHEET_EQUIP);

    type("r"); // de-equip: one Blade back, merged by the tidy
    EXPECT_EQ(m.right_hand[0], 0);
    EXPECT_EQ(m.pack[0], (Row{BLADE, 3, 1}));
    type("x");
    EXPECT_EQ(g().sheet_step, SHEET_EQUIPMENT);
}

TEST_F(Equip, ZeroChoosesTheTenthLineAndRefusalsChangeNothing) {
    party_of(1);
    PartyMemberRec& m = member(1);
    m.class_id = 1;                                     // Thief
    for (int k = 0; k < 9; ++k) put(1, k, 2 + k, 1, 0); // nine different unknown things
    open(1, SHEET_EQUIPMENT);
    type("e");
    EXPECT_EQ(line_at(322), ". Equip/De-equip.") << "nothing to offer: the dot and caption stay";
    type("1");
    EXPECT_EQ(line_at(296), "You can't equip unknown items.");
    EXPECT_EQ(m.pack[0][PACK_ITEM], 2);
    type("x");
    EXPECT_EQ(g().sheet_step, SHEET_EQUIPMENT);
    EXPECT_FALSE(shows("You can't equip unknown items.")) << "the line goes with the next key";

    put(1, 9, ROUND_SHIELD, 1);
    m.body = PLATE;
    type("e");
    EXPECT_EQ(line_at(322), " B, 0. Equip/De-equip.");
    type("0");
    EXPECT_EQ(m.left_hand[0], ROUND_SHIELD) << "0 is pack slot 9";
    EXPECT_EQ(m.pack[9][PACK_ITEM], 0);

    // A full pack: de-equipping does nothing, and neither does an equip that would push the
    // old armour into it.
    put(1, 9, FIGHTERS_AXE, 1);
    put(1, 8, PLATE, 2);
    const PartyMemberRec before = m;
    type("bl");
    EXPECT_EQ(m, before) << "no room to take anything off";
    type("9");
    EXPECT_EQ(m, before) << "the second Plate would leave the worn one nowhere to go";
    type("0");
    EXPECT_EQ(m, before) << "a Thief cannot use the axe";
}

TEST_F(Equip, TheLastItemOfASlotMakesRoomForTheOldOne) {
    party_of(1);
    PartyMemberRec& m = member(1);
    for (int k = 0; k < 10; ++k) put(1, k, 2 + k, 1);
    m.pack[3][PACK_ITEM] = PLATE;
    m.body = 13;
    open(1, SHEET_EQUIPMENT);
    type("e4");
    EXPECT_EQ(m.body, PLATE);
    int chain = 0;
    for (int k = 0; k < 10; ++k) chain += m.pack[k][PACK_ITEM] == 13 ? 1 : 0;
    EXPECT_EQ(chain, 1) << "the old armour took the freed slot";
}

TEST_F(Equip, TwoHandedWeaponsAreWieldedWithBothHands) {
    party_of(1);
    PartyMemberRec& m = member(1);
    m.right_hand = {BLADE, 1, 0};
    m.left_hand = {ROUND_SHIELD, 1, 0};
    put(1, 0, GREATSWORD, 1);
    open(1, SHEET_EQUIPMENT);
    type("e1");
    EXPECT_EQ(m.right_hand[0], GREATSWORD);
    EXPECT_EQ(m.left_hand[0], 0);
    EXPECT_EQ(m.pack[0][PACK_ITEM], BLADE);
    EXPECT_EQ(m.pack[1][PACK_ITEM], ROUND_SHIELD);
    EXPECT_EQ(line_at(104), "Left Hand:");

    type("2");
    EXPECT_EQ(m.left_hand[0], 0) << "no shield beside a two-handed weapon";
    EXPECT_EQ(m.pack[1][PACK_ITEM], ROUND_SHIELD);

    type("1"); // the Blade back in the right hand; the Greatsword to the pack
    EXPECT_EQ(m.right_hand[0], BLADE);
    type("2"); // now the shield fits
    EXPECT_EQ(m.left_hand[0], ROUND_SHIELD);

    // Both hands full and one free slot: the two-hander would need two.
    for (int k = 0; k < 10; ++k)
        if (m.pack[k][PACK_ITEM] == 0) put(1, k, 2 + k, 1);
    m.pack[9][PACK_ITEM] = 0;
    sub_tidy_pack(g(), 0);
    m.pack[0][PACK_QUANTITY] = 2; // two Greatswords: taking one frees nothing
    ASSERT_EQ(m.pack[0][PACK_ITEM], GREATSWORD);
    const PartyMemberRec before = m;
    type("1");
    EXPECT_EQ(m, before);
}

TEST_F(Give, OneItemMovesAndNothingIsLost) {
    party_of(3);
    PartyMemberRec& giver = member(1);
    put(1, 0, ELIXIR, 5, 0);
    giver.right_hand = {2, 3, 0}; // three Daggers
    giver.body = PLATE;
    open(1, SHEET_EQUIPMENT);
    type("g");
    EXPECT_EQ(line_at(309), " 2, 3. Give to Who");
    EXPECT_EQ(line_at(322), " D. Drop.");
    type("5");
    EXPECT_EQ(g().sheet_step, SHEET_GIVE_TO) << "nobody at position 5";
    type("1");
    EXPECT_EQ(g().sheet_step, SHEET_GIVE_TO) << "not to oneself";

    type("21");
    EXPECT_EQ(g().sheet_step, SHEET_GIVE_WHAT);
    EXPECT_TRUE(shows(" Give What."));
    EXPECT_EQ(giver.pack[0], (Row{ELIXIR, 4, 0}));
    EXPECT_EQ(member(2).pack[0], (Row{ELIXIR, 1, 0})) << "the pack's own identified flag";
    type("r");
    EXPECT_EQ(giver.right_hand[0], 2);
    EXPECT_EQ(giver.right_hand[1], 2) << "one Dagger of three";
    EXPECT_EQ(member(2).pack[1], (Row{2, 1, 1}));

    // The receiver fills up while the giver goes on: the giver keeps what does not fit.
    for (int k = 0; k < 10; ++k)
        if (member(2).pack[k][PACK_ITEM] == 0) put(2, k, 3 + k, 1);
    const PartyMemberRec before = giver;
    type("b");
    EXPECT_EQ(giver, before);

    // A full receiver is not offered at all.
    type("xg2");
    EXPECT_EQ(g().sheet_step, SHEET_GIVE_TO);

    type("d");
    EXPECT_TRUE(shows(" Drop What."));
    type("b1");
    EXPECT_EQ(giver.body, 0);
    EXPECT_EQ(giver.pack[0], (Row{ELIXIR, 3, 0}));
    EXPECT_EQ(g().sheet_step, SHEET_GIVE_WHAT);
    type("x");
    EXPECT_EQ(g().sheet_step, SHEET_EQUIPMENT);
}

} // namespace

} // namespace duskwend
