// No dead ends in a fight: the member choosing may change weapons and armour on the sheet,
// which takes the member's action; an item that cannot be used leaves the action as it was.
#include "charsheet/character_sheet.h"
#include "selection_fixture.h"

namespace duskwend {

using namespace selection_test;

namespace {

constexpr int SWORD = 3, BUCKLER = 9;

class EquipmentChange : public SelectionTest {
  protected:
    EquipmentChange() {
        // Everybody may use the small world's sword and buckler.
        auto items = fixture::small_world_items();
        for (int item : {SWORD, BUCKLER}) items[item].usable_by.fill(-1);
        fixture::write_slots(dir.path / ITEM_FILE, items, ITEM_SLOT);
        start();
        add(0, "Corvath").pack[0] = {SWORD, 1, 1};
        add(1, "Tallow", THIEF).pack[0] = {BUCKLER, 1, 1};
        fight({{GOBLIN, 2}});
        type("a");
    }
    const std::array<int16_t, 4>& actions(int slot) { return g().combat_actions[slot]; }
};

TEST_F(EquipmentChange, EquippingAWeaponInAFightTakesTheRoundAsDefend) {
    g().combat_actions[0] = {ACTION_ATTACK, 0, 0, 0};
    type("e");
    ASSERT_EQ(g().sheet_step, SHEET_EQUIPMENT);
    EXPECT_TRUE(shows(" Equip/De-equip (takes the round)."));
    type("e1");
    EXPECT_EQ(g().party[0].right_hand[0], SWORD);
    EXPECT_EQ(g().party[0].pack[0][PACK_ITEM], 0);
    EXPECT_EQ(actions(0)[0], ACTION_DEFEND);
    EXPECT_EQ(g().combat_member, 1) << "the next member chooses";
    EXPECT_EQ(g().sheet_step, SHEET_EQUIPMENT);
    EXPECT_TRUE(shows(" The change takes the round: Corvath defends."));
    // Once is all: no second change, not even de-equipping.
    EXPECT_FALSE(shows(" Equip/De-equip (takes the round)."));
    type("e");
    EXPECT_EQ(g().sheet_step, SHEET_EQUIPMENT);
    g().sheet_step = SHEET_EQUIP;
    type("r");
    EXPECT_EQ(g().party[0].right_hand[0], SWORD);
    type("xx");
    EXPECT_EQ(g().sheet_member, 0);
    EXPECT_EQ(g().combat_step, COMBAT_ACTION_MENU);
    EXPECT_TRUE(shows("   " + g().party[1].name.str()));
    // The summary says what the change made of Corvath's action.
    type("d");
    EXPECT_TRUE(shows("Defends"));
}

TEST_F(EquipmentChange, OnlyTheMemberChoosingMayChangeAndLeavingUnchangedTakesNothing) {
    // Tallow's sheet, opened while Corvath chooses: no change offered.
    type("2");
    ASSERT_EQ(g().sheet_member, 2);
    type("n");
    EXPECT_FALSE(shows(" Equip/De-equip (takes the round)."));
    type("e");
    EXPECT_EQ(g().sheet_step, SHEET_EQUIPMENT);
    type("x");
    // Corvath opens the page and the choice, and leaves without a change: still his turn.
    g().combat_actions[0] = {ACTION_ATTACK, 0, 0, 0};
    type("eex");
    EXPECT_EQ(g().sheet_step, SHEET_EQUIPMENT);
    type("x");
    EXPECT_EQ(g().combat_member, 0);
    EXPECT_EQ(actions(0)[0], ACTION_ATTACK);
}

TEST_F(EquipmentChange, ARefusedOrAbandonedItemUseLeavesTheActionAsItWas) {
    g().party[0].right_hand = {BUCKLER, 1, 0};
    g().party[0].pack[1] = {1, 1, 1}; // a potion
    g().combat_actions[0] = {ACTION_ATTACK, 0, 0, 0};
    sub_render_screen(g());
    // The buckler cannot be used: the refusal, any key, Exit.
    type("u");
    type("r");
    EXPECT_TRUE(shows(" Buckler can not be used that way."));
    type("qx");
    EXPECT_EQ(g().combat_step, COMBAT_ACTION_MENU);
    EXPECT_EQ(actions(0), (std::array<int16_t, 4>{ACTION_ATTACK, 0, 0, 0}));
    EXPECT_TRUE(shows("Attacking " + FixedText<20>("Goblin").str()));
    // A potion chosen, then Exit before a target: still attacking.
    type("u2xx");
    EXPECT_EQ(actions(0), (std::array<int16_t, 4>{ACTION_ATTACK, 0, 0, 0}));
    // Given a target, the use is the action.
    type("u2a");
    EXPECT_EQ(actions(0), (std::array<int16_t, 4>{ACTION_USE_ITEM, 1, TARGET_GROUP_BASE, 0}));
}

} // namespace

} // namespace duskwend
