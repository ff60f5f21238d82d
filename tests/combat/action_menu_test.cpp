// Choosing each member's action: the options offered by slot, class, spells and effects,
// the attack, spell and item targets with their codes, the summary, and Q, N and R.
#include "charsheet/character_sheet.h"
#include "selection_fixture.h"

namespace duskwend {

using namespace selection_test;

namespace {

class ActionMenu : public SelectionTest {
  protected:
    ActionMenu() {
        start();
        add(0, "Corvath");
    }
    const std::array<int16_t, 4>& actions(int slot) { return g().combat_actions[slot]; }
};

TEST_F(ActionMenu, OptionsFollowSlotClassSpellsAndEffects) {
    add(1, "Tallow", THIEF);
    add(2, "Brakka", BERSERKER);
    add(3, "Sefa", CLERIC).spells_known[4] = HEAL;
    add(4, "Ulm", MERCHANT);
    add(5, "Nim", THIEF).effects[2] = {3, EFFECT_HIDDEN, 1};
    add(6, "Gorm", FIGHTER, 0);
    fight({{GOBLIN, 2}});
    type("a");
    const std::vector<std::string> expected = {"ADENU", "ADEHNU", "ABDENU", "ACDENU",
                                               "DEHNU", "ADENU",  "EN"};
    for (int slot = 0; slot < 7; ++slot) {
        g().combat_member = int16_t(slot);
        sub_render_screen(g());
        EXPECT_EQ(menu_keys(), expected[slot]) << "slot " << slot;
    }
    EXPECT_TRUE(shows("   " + FixedText<20>("Gorm").str()));

    // A berserk member is offered nothing but No Change, whatever the action.
    g().combat_member = 2;
    g().party[2].effects[0] = {-2, EFFECT_BERSERK, 1};
    sub_render_screen(g());
    EXPECT_EQ(menu_keys(), "N");
    EXPECT_TRUE(shows("Berserking"));
    EXPECT_EQ(g().action_allowed[ALLOW_DEFEND], -1);
    type("d");
    EXPECT_EQ(g().combat_member, 2) << "Defend is not offered";
    type("e");
    EXPECT_EQ(g().sheet_member, 0) << "nor Equipment Change";
}

TEST_F(ActionMenu, CurrentActionTexts) {
    add(1, "Tallow", THIEF);
    fight({{GOBLIN, 2}, {ORC, 1}});
    type("a");
    g().combat_actions[0] = {ACTION_ATTACK, 1, 0, 0};
    sub_render_screen(g());
    EXPECT_TRUE(shows("Attacking " + FixedText<20>("Orc").str()));
    // The orcs are gone: the attack becomes a defence.
    g().monster_groups[1] = MonsterGroupRec{};
    sub_render_screen(g());
    EXPECT_TRUE(shows("Defending"));
    EXPECT_EQ(actions(0)[0], ACTION_DEFEND);

    g().combat_actions[0] = {ACTION_USE_ITEM, POTION, -2, 0};
    sub_render_screen(g());
    EXPECT_TRUE(shows("Using Potion on " + g().party[1].name.str() + "."));
    g().combat_actions[0][2] = -1;
    sub_render_screen(g());
    EXPECT_TRUE(shows("Using Potion."));
    g().combat_actions[0] = {ACTION_CAST, FIREBALL, 11, 0};
    sub_render_screen(g());
    EXPECT_TRUE(shows("Casting Fireball."));
    g().combat_member = 1;
    g().combat_actions[1] = {ACTION_HIDE, 0, 0, 0};
    sub_render_screen(g());
    EXPECT_TRUE(shows("Trying to hide in Shadows"));
    g().party[1].effects[0] = {3, EFFECT_HIDDEN, 1};
    sub_render_screen(g());
    EXPECT_TRUE(shows("Hiding in Shadows"));
}

TEST_F(ActionMenu, AttackChoosesAGroupOnlyWhenThereIsAChoice) {
    add(1, "Tallow");
    add(3, "Osk");
    add(5, "Nim", THIEF).effects[0] = {3, EFFECT_HIDDEN, 1};
    fight({{GOBLIN, 1}});
    type("aa");
    EXPECT_EQ(actions(0), (std::array<int16_t, 4>{ACTION_ATTACK, 0, 0, 0}));
    EXPECT_EQ(g().combat_member, 1);

    fight({{GOBLIN, 1}, {ORC, 2}, {GOBLIN, 3}, {ORC, 1}});
    type("aa");
    EXPECT_EQ(g().combat_step, COMBAT_ATTACK_WHICH);
    EXPECT_EQ(menu_keys(), "ABC") << "three groups within reach";
    type("dc");
    EXPECT_EQ(actions(0)[1], 2);
    EXPECT_EQ(g().combat_member, 1);
    type("ab");
    EXPECT_EQ(actions(1)[1], 1);
    EXPECT_EQ(g().combat_member, 3);
    type("a");
    EXPECT_EQ(actions(3), (std::array<int16_t, 4>{ACTION_ATTACK, 0, 0, 0})) << "the fourth slot";
    EXPECT_EQ(g().combat_member, 5);
    type("a");
    EXPECT_EQ(g().combat_step, COMBAT_ATTACK_WHICH) << "hidden, the sixth slot attacks too";
    type("b");
    EXPECT_EQ(g().combat_step, COMBAT_SUMMARY);
}

TEST_F(ActionMenu, BerserkerRageAttacksTheFrontGroupUntilTheFightEnds) {
    PartyMemberRec& b = add(1, "Brakka", BERSERKER);
    for (int k = 0; k < 4; ++k) b.effects[k] = {1, EFFECT_BLESS, 1};
    fight({{GOBLIN, 1}, {ORC, 1}});
    type("adb");
    EXPECT_EQ(actions(1)[0], ACTION_ATTACK);
    EXPECT_EQ(actions(1)[1], 0);
    EXPECT_EQ(b.effects[4], (std::array<int16_t, 3>{-2, EFFECT_BERSERK, 1}));
    EXPECT_EQ(g().combat_step, COMBAT_SUMMARY);
}

TEST_F(ActionMenu, QuickAttackNoChangeAndRedoKeepOrRestartTheChoices) {
    add(1, "Tallow", THIEF);
    add(2, "Mirel", FIGHTER, 0);
    g().combat_actions[0] = {ACTION_ATTACK, 1, 0, 0};
    g().combat_actions[1] = {ACTION_HIDE, 0, 0, 0};
    fight({{GOBLIN, 2}, {ORC, 1}});
    type("q");
    EXPECT_EQ(g().combat_step, COMBAT_SUMMARY);
    EXPECT_TRUE(shows("Attacks Orc"));
    EXPECT_TRUE(shows("Hides in Shadows"));
    EXPECT_TRUE(shows("DEAD"));
    EXPECT_EQ(menu_keys(), "BR");

    type("r");
    EXPECT_EQ(g().combat_member, 0);
    EXPECT_EQ(g().combat_step, COMBAT_ACTION_MENU);
    type("nd");
    EXPECT_EQ(actions(0)[0], ACTION_ATTACK) << "No Change keeps the last action";
    EXPECT_EQ(actions(1)[0], ACTION_DEFEND);
    EXPECT_EQ(g().combat_step, COMBAT_SUMMARY) << "the dead member is passed over";
    EXPECT_TRUE(shows("Defends"));
    type("b");
    EXPECT_EQ(g().combat_step, COMBAT_ROUND);
}

TEST_F(ActionMenu, SpellsAreChosenByPageAndTargetedByCode) {
    PartyMemberRec& c = add(1, "Sefa", CLERIC);
    c.spells_known[0] = BOLT;
    c.spells_known[3] = FIREBALL;
    c.spells_known[7] = HEAL;
    c.spells_known[9] = SHIELD;
    add(3, "Osk");
    fight({{GOBLIN, 1}, {ORC, 1}});
    type("adc");
    EXPECT_EQ(g().combat_step, COMBAT_CAST_WHAT);
    EXPECT_TRUE(shows(" Inherent Powers"));
    EXPECT_EQ(g().spell_level_shown, 0);
    type("p");
    EXPECT_EQ(g().spell_level_shown, 0);
    type("n");
    EXPECT_TRUE(shows(" Level  1 Powers"));
    EXPECT_TRUE(shows(FixedText<20>("Fireball").str() + ".  "));
    EXPECT_TRUE(shows(" Prev Page."));
    EXPECT_TRUE(shows(" Next Page."));
    type("c");
    EXPECT_EQ(g().combat_step, COMBAT_CAST_WHAT) << "only two spells on this page";

    type("a"); // Fireball, at a group
    EXPECT_EQ(g().combat_step, COMBAT_CAST_ON_GROUP);
    EXPECT_TRUE(shows(" Cast Fireball on which group:"));
    type("x");
    EXPECT_EQ(g().combat_step, COMBAT_CAST_WHAT);
    type("ac");
    EXPECT_EQ(g().combat_step, COMBAT_CAST_ON_GROUP) << "no third group";
    type("b");
    EXPECT_EQ(actions(1), (std::array<int16_t, 4>{ACTION_CAST, FIREBALL, 12, 0}));

    const auto cast = [&](const std::string& keys) {
        g().combat_member = 1;
        g().combat_step = COMBAT_ACTION_MENU;
        sub_render_screen(g());
        type(keys);
        return actions(1);
    };
    EXPECT_EQ(cast("cnap")[2], TARGET_PARTY);
    // Heal, at a member: only listed members can be chosen.
    EXPECT_EQ(cast("cnb")[0], ACTION_CAST);
    EXPECT_EQ(g().combat_step, COMBAT_CAST_ON_MEMBER);
    EXPECT_TRUE(shows(" Cast " + FixedText<20>("Heal").str() + " on who:"));
    type("3");
    EXPECT_EQ(g().combat_step, COMBAT_CAST_ON_MEMBER) << "slot 3 is empty";
    EXPECT_EQ(g().sheet_member, 0) << "digits are choices here";
    type("4");
    EXPECT_EQ(actions(1), (std::array<int16_t, 4>{ACTION_CAST, HEAL, 4, 0}));
    EXPECT_EQ(cast("cnba")[2], 11);
    // Shield needs no target; Bolt, a level 2 spell, takes a group.
    EXPECT_EQ(cast("ca")[1], SHIELD);
    EXPECT_EQ(g().combat_member, 3);
    EXPECT_EQ(cast("cnnaa")[2], 11);
    EXPECT_EQ(actions(1)[1], BOLT);
}

TEST_F(ActionMenu, ItemsAreChosenFromTheEquipmentAndTargetedByCode) {
    PartyMemberRec& p = g().party[0];
    p.pack[0] = {POTION, 2, 1};
    for (int k = 1; k <= 8; ++k) p.pack[k] = {int16_t(2 + k), 1, 1}; // all different
    p.pack[9] = {DAGGER, 1, 1};
    p.right_hand = {DAGGER, 1, 0};
    add(2, "Mirel");
    fight({{GOBLIN, 1}, {ORC, 2}});
    type("au");
    EXPECT_EQ(g().combat_step, COMBAT_USE_WHAT);
    EXPECT_EQ(actions(0)[0], ACTION_DEFEND) << "the action changes once a target is chosen";
    EXPECT_TRUE(shows(" R, 1, 2, 3, 4, 5, 6, 7, 8, 9, 0."));
    EXPECT_TRUE(shows(" Nothing"));
    EXPECT_TRUE(shows(FixedText<20>("Dagger").str() + " "));
    EXPECT_TRUE(shows(" 2 " + FixedText<20>("Potions").str()));
    type("l");
    EXPECT_EQ(g().combat_step, COMBAT_USE_WHAT) << "an empty hand is no choice";

    // A dagger cannot be used: the message, then any key back to the equipment.
    type("0");
    EXPECT_EQ(g().combat_step, COMBAT_USE_ON);
    EXPECT_TRUE(shows(" Dagger can not be used that way."));
    type("q");
    EXPECT_EQ(g().combat_step, COMBAT_USE_WHAT);
    EXPECT_EQ(g().message_lines[0], "");

    type("1");
    EXPECT_TRUE(shows(" Use Potion on which group:"));
    type("2");
    EXPECT_EQ(g().combat_step, COMBAT_USE_ON) << "slot 2 is empty";
    type("c");
    EXPECT_EQ(g().combat_step, COMBAT_USE_ON) << "no third group";
    type("x");
    EXPECT_EQ(g().combat_step, COMBAT_USE_WHAT);
    type("13");
    EXPECT_EQ(actions(0), (std::array<int16_t, 4>{ACTION_USE_ITEM, POTION, -3, 0}));
    EXPECT_EQ(g().combat_member, 2);
    type("ur5");
    EXPECT_EQ(g().combat_step, COMBAT_USE_WHAT) << "Mirel holds nothing";
    g().party[2].right_hand = {POTION, 1, 0};
    type("rb");
    EXPECT_EQ(actions(2), (std::array<int16_t, 4>{ACTION_USE_ITEM, POTION, 12, 0}));
    EXPECT_EQ(g().combat_step, COMBAT_SUMMARY);
}

TEST_F(ActionMenu, EquipmentChangeOpensTheSheetAndComesBackToTheSameMenu) {
    add(1, "Tallow", THIEF);
    fight({{GOBLIN, 1}});
    type("ad");
    ASSERT_EQ(g().combat_member, 1);
    type("e");
    EXPECT_EQ(g().sheet_member, 2);
    EXPECT_EQ(g().sheet_step, SHEET_EQUIPMENT);
    EXPECT_EQ(g().combat_active, -1);
    type("x");
    EXPECT_EQ(g().sheet_member, 0);
    EXPECT_EQ(g().combat_step, COMBAT_ACTION_MENU);
    EXPECT_EQ(g().combat_member, 1);
    EXPECT_TRUE(shows(" Do you want to :"));
    EXPECT_TRUE(shows("   " + g().party[1].name.str()));
}

TEST_F(ActionMenu, TheEncounterScreen) {
    fight({{GOBLIN, 1}, {ORC, 3}});
    EXPECT_EQ(texts(), (std::vector<std::string>{
                           "Combat", " You have encountered the Enemy in the form of :",
                           "   1 " + FixedText<20>("Goblin").str(),
                           "   3 " + FixedText<20>("Orcs").str(), " Do you wish to :", "  A.",
                           "Assign Actions.", "  Q.", "Quick Attack.", "  F.", "Flee."}));
    const auto& runs = g().Form1.Text.runs();
    EXPECT_TRUE(runs[0].bold);
    EXPECT_EQ(runs[1].y, 2 * LINE_HEIGHT);
    EXPECT_EQ(runs[4].y, 7 * LINE_HEIGHT);
    EXPECT_EQ(runs[6].x, 25);
    EXPECT_EQ(runs[5].colour, 1);
    EXPECT_EQ(g().Form1.mainPic.picture_name, "Mon1.bmp");
}

} // namespace

} // namespace duskwend
