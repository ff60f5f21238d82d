// The combat round: who acts when, the melee of both sides, hiding, diseases, berserk rage,
// the upkeep and the party's order afterwards.
#include "combat_fixture.h"

#include "core/item_use.h"
#include "core/numbers.h"
#include "core/output.h"

#include <regex>

namespace duskwend {

using namespace combat_test;

namespace {

// The number of hits in a melee message ("and hits" alone is one).
int hits_in(const std::string& line) {
    std::smatch m;
    if (std::regex_search(line, m, std::regex("and hits (\\d+) times"))) return std::stoi(m[1]);
    return line.find("and hits") != std::string::npos ? 1 : 0;
}

int damage_in(const std::string& line) {
    std::smatch m;
    if (std::regex_search(line, m, std::regex("doing (-?\\d+) point"))) return std::stoi(m[1]);
    return -1;
}

struct Round : CombatTest {
    // Member 0 carries out the chosen attack alone: the line that tells how it went.
    std::string attack_line() {
        clear_log();
        sub_party_member_attacks(game(), 0);
        return log().back();
    }
    // A round in which member 0 uses `item` on `target` (-(slot + 1) for a member)
    // against one monster 3.
    void use_item_round(int item, int target) {
        game().combat_actions[0] = {ACTION_USE_ITEM, int16_t(item), int16_t(target), 0};
        fix_initiative(0, 2);
        group(0, 3, 1, 10);
        sub_combat_round(game());
    }
};

TEST_F(Round, EqualInitiativePartyFirstThenGroupsInOrderAndHigherFirst) {
    member(0, "Ann");
    member(1, "Bo");
    member(2, "Cy");
    for (int s = 0; s < 3; ++s) game().combat_actions[s] = {ACTION_ATTACK, 0, 0, 0};
    fix_initiative(0, 2);
    fix_initiative(1, 2);
    fix_initiative(2, 5);
    group(0, 1, 1, 50);
    group(1, 2, 2, 50);
    fix_group_initiative(0, 2);
    fix_group_initiative(1, 2);
    monster(1).to_hit = monster(2).to_hit = -1000; // the monsters always miss
    rewrite_world();
    sub_combat_round(game());

    std::vector<std::string> acts;
    for (const auto& line : log())
        if (line.find(" attacks ") != std::string::npos) acts.push_back(line.substr(0, 4));
    const std::vector<std::string> want = {"Cy a", "Ann ", "Bo a", "Rat ", "Ghou", "Ghou"};
    EXPECT_EQ(acts, want);
    ASSERT_GE(log().size(), 4u);
    EXPECT_EQ(log()[0], "The combat begins...");
    EXPECT_EQ(log()[1], "");
    EXPECT_EQ(log()[log().size() - 2], "");
    EXPECT_EQ(log().back(), "Combat Round Finished.");
    EXPECT_EQ(game().keys_enabled, 1);
}

TEST_F(Round, AttacksPerLevelByClass) {
    struct Case {
        int class_id, level;
        const char* times;
    };
    const Case cases[] = {{0, 1, ""},         {0, 4, " 2 times"}, {0, 7, " 3 times"},
                          {1, 8, " 2 times"}, {2, 3, ""},         {3, 9, " 2 times"}};
    group(0, 1, 1, 30000);
    for (const Case& c : cases) {
        member(0, "Ann", c.class_id, c.level);
        game().combat_actions[0] = {ACTION_ATTACK, 0, 0, 0};
        clear_log();
        sub_party_member_attacks(game(), 0);
        ASSERT_EQ(log().size(), 2u);
        EXPECT_EQ(log()[0], "");
        EXPECT_EQ(log()[1].rfind(std::string("Ann attacks a Rat") + c.times + ",", 0), 0u)
            << log()[1];
    }
}

TEST_F(Round, EachHundredOfMarginIsOneMoreHit) {
    member(0, "Ann");
    game().combat_actions[0] = {ACTION_ATTACK, 0, 0, 0};
    group(0, 1, 1, 30000);
    for (int trial = 0; trial < 20; ++trial) {
        int hits[2];
        for (int k = 0; k < 2; ++k) {
            monster(1).armour = int16_t(k == 0 ? -1000 : -900);
            rewrite_world();
            game().rng.seed(uint64_t(trial));
            hits[k] = hits_in(attack_line());
        }
        EXPECT_GE(hits[0], 10);
        EXPECT_EQ(hits[0], hits[1] + 1) << "the same rolls against 100 more defence";
    }
}

TEST_F(Round, RollsOf99And100AreOpenEnded) {
    // A Fighter of level 1 with strength and speed 14: a roll of 100 makes 132, which the
    // defence of 132 holds; only a roll that goes on past 100 gets through.
    PartyMemberRec& p = member(0, "Ann");
    p.strength = p.dexterity = 14;
    game().combat_actions[0] = {ACTION_ATTACK, 0, 0, 0};
    monster(1).armour = 132;
    rewrite_world();
    group(0, 1, 1, 30000);
    int hit = 0;
    for (int k = 0; k < 1500; ++k) hit += hits_in(attack_line()) > 0;
    EXPECT_GT(hit, 8);
    EXPECT_LT(hit, 70) << "about two attacks in a hundred";
}

TEST_F(Round, DamageUsesTheStrengthFactorsMinimumAndAKillLeavesZero) {
    PartyMemberRec& p = member(0, "Ann");
    p.strength = 0; // factor 33: a hit of 1..3 does 0 or 1
    game().combat_actions[0] = {ACTION_ATTACK, 0, 0, 0};
    monster(1).armour = -50;
    rewrite_world();
    group(0, 1, 1, 30000);
    int ones = 0;
    for (int k = 0; k < 200; ++k) {
        const std::string line = attack_line();
        ASSERT_EQ(hits_in(line), 1) << line;
        const int d = damage_in(line);
        EXPECT_TRUE(d == 0 || d == 1) << line;
        ones += d == 1;
        if (d == 0) {
            EXPECT_EQ(line, "Ann attacks a Rat, and hits doing 0 point of damage.");
        }
    }
    EXPECT_GT(ones, 50);
    EXPECT_LT(ones, 190);

    // A sword of 1d1+4 against a Rat of 2 hit points: the kill stores 0, not -3.
    p.strength = 10;
    p.right_hand = {1, 1, 1};
    group(0, 1, 1, 2);
    EXPECT_EQ(attack_line(), "Ann attacks a Rat, and hits doing 3 points of damage killing the "
                             "monster.");
    EXPECT_EQ(game().monster_state[0][0][MONSTER_HIT_POINTS], 0);
}

TEST_F(Round, DefendingRaisesTheArmourClassByAFifth) {
    monster(1).to_hit = 20; // attack rolls 20..119
    rewrite_world();
    group(0, 1, 1, 10);
    int hits[2] = {0, 0};
    for (int defend = 0; defend < 2; ++defend) {
        for (int k = 0; k < 300; ++k) {
            PartyMemberRec& p = member(0, "Ann");
            p.armour_class = 100;
            game().combat_actions[0] = {int16_t(defend ? ACTION_DEFEND : ACTION_ATTACK), 0, 0, 0};
            clear_log();
            sub_monster_attacks(game(), 0, 0);
            hits[defend] += log().back().find("and hits") != std::string::npos;
        }
    }
    EXPECT_GT(hits[0], 20) << "armour 100 is beaten by rolls of 101 and more";
    EXPECT_EQ(hits[1], 0) << "a defender's 120 is never beaten";
}

TEST_F(Round, AMonsterRevealsAHiddenMember) {
    monster(1).to_hit = -1000;
    rewrite_world();
    group(0, 1, 1, 10);
    PartyMemberRec& p = member(0, "Ann");
    p.level = 50; // too far above the Rat to be spotted: the draw gives out, then takes her
    p.sex = 2;
    p.effects[3] = {-2, EFFECT_HIDDEN, 1};
    sub_monster_attacks(game(), 0, 0);
    EXPECT_EQ(log().back(), "Rat attacks Ann revealing her but missing.");
    EXPECT_EQ(p.effects[3][EFFECT_DURATION], 0);

    // With nobody alive in the front three the monster does nothing, and says nothing.
    p.hit_points = 0;
    member(3, "Dee");
    clear_log();
    EXPECT_LT(sub_choose_monster_target(game(), 0, 0), 0);
    sub_monster_attacks(game(), 0, 0);
    EXPECT_TRUE(log().empty());
}

TEST_F(Round, TargetChoiceAlwaysEnds) {
    group(0, 1, 2, 10);
    member(1, "Bo").effects[0] = {-2, EFFECT_HIDDEN, 1};
    game().party[1].level = 99;
    for (int k = 0; k < 50; ++k) EXPECT_EQ(sub_choose_monster_target(game(), 0, 0), 1);

    // A confused monster turns on its own group, itself included, but alone does nothing.
    member(0, "Ann");
    game().monster_state[0][0][MONSTER_EFFECT_KIND] = EFFECT_CONFUSION;
    game().monster_state[0][0][MONSTER_EFFECT_DURATION] = 3;
    game().monster_state[0][0][MONSTER_EFFECT_STRENGTH] = 200;
    bool own = false;
    for (int k = 0; k < 50; ++k) {
        const int t = sub_choose_monster_target(game(), 0, 0);
        EXPECT_TRUE(t == 10 || t == 11) << t;
        own = own || t == 11;
    }
    EXPECT_TRUE(own);
    game().monster_state[0][1][MONSTER_HIT_POINTS] = 0;
    for (int k = 0; k < 50; ++k) EXPECT_EQ(sub_choose_monster_target(game(), 0, 0), -10);
}

TEST_F(Round, DiseasesResistedImmuneAndCaught) {
    monster(1).to_hit = 1000;
    monster(1).attack_effects[0] = {-1, 1, 4};
    rewrite_world();
    group(0, 1, 1, 10);
    const std::string tries = " The Rat tries to infect Osk with a Disease but Osk";
    // An attack roll more than 100 above the armour class does one more point.
    const std::string hit = "Rat attacks Osk and hits doing 2 points of damage.";

    PartyMemberRec& p = member(0, "Osk");
    p.resistances[1] = 100;
    sub_monster_attacks(game(), 0, 0);
    EXPECT_EQ(log().back(), hit + tries + " resists.");
    EXPECT_EQ(p.effects[0][EFFECT_DURATION], 0);

    member(0, "Osk", 3, 3).resistances[1] = 100;
    sub_monster_attacks(game(), 0, 0);
    EXPECT_EQ(log().back(), hit + tries + " resists." + tries + " is immune.");
    member(0, "Osk", 3, 3);
    sub_monster_attacks(game(), 0, 0);
    EXPECT_EQ(log().back(), hit + tries + " is immune.");

    member(0, "Osk");
    game().party[0].effects[0] = {-2, EFFECT_HIDDEN, 1}; // revealed: the slot is free again
    sub_monster_attacks(game(), 0, 0);
    EXPECT_EQ(log().back().substr(log().back().find('.') + 1),
              " The Rat infects Osk with a nasty disease.");
    const std::array<int16_t, 3> disease = {10, EFFECT_DISEASE, 4};
    EXPECT_EQ(game().party[0].effects[0], disease);
    game().party[0].effects[0][EFFECT_DURATION] = 4;
    sub_monster_attacks(game(), 0, 0);
    EXPECT_NE(log().back().find("infects Osk with a nasty disease."), std::string::npos);
    EXPECT_EQ(game().party[0].effects[0][EFFECT_DURATION], 4) << "a second disease changes nothing";
    EXPECT_EQ(game().party[0].effects[1][EFFECT_DURATION], 0);
}

TEST_F(Round, ABerserkerHitGoesBerserkAndAKilledMemberHasZero) {
    monster(1).to_hit = 1000;
    monster(1).damage_bonus = 2; // 3 a hit, and 1 more for a roll far above the armour
    rewrite_world();
    group(0, 1, 1, 10);
    PartyMemberRec& p = member(0, "Brokk", 4, 1);
    game().combat_actions[0] = {ACTION_DEFEND, 2, 0, 0};
    game().rng.seed(7);
    bool went = false;
    for (int k = 0; k < 5 && !went; ++k) {
        sub_monster_attacks(game(), 0, 0);
        went = log().back().find("goes berserk!") != std::string::npos;
    }
    ASSERT_TRUE(went);
    EXPECT_NE(log().back().find("  Brokk" + std::string(15, ' ') + " goes berserk!"),
              std::string::npos)
        << "the name as stored, twenty characters";
    const std::array<int16_t, 3> rage = {-2, EFFECT_BERSERK, 2};
    EXPECT_EQ(p.effects[0], rage);
    const std::array<int16_t, 4> attack = {ACTION_ATTACK, 0, 0, 0};
    EXPECT_EQ(game().combat_actions[0], attack);

    p.hit_points = 2;
    clear_log();
    sub_monster_attacks(game(), 0, 0);
    EXPECT_EQ(log().back(), "Rat attacks Brokk and hits doing 4 points of damage.  This kills "
                            "Brokk.");
    EXPECT_EQ(p.hit_points, 0);
}

TEST_F(Round, HidingAndTheBackstab) {
    PartyMemberRec& p = member(0, "Sly", 1, 5);
    p.thief_skills[1] = 100;
    game().combat_actions[0] = {ACTION_HIDE, 0, 0, 0};
    fix_initiative(0, 3);
    group(0, 3, 1, 30000); // the Imp does not act
    sub_combat_round(game());
    EXPECT_TRUE(logged("Sly tries to hide in the shadows and succeeds."));
    EXPECT_TRUE(member_has_effect(game(), 0, EFFECT_HIDDEN));

    // Hidden, a level-5 Thief hits from the shadows for four times the damage.
    p.effects[9] = p.effects[10] = {0, 0, 0};
    p.right_hand = {1, 1, 1}; // 5 a hit
    monster(3).armour = -300;
    rewrite_world();
    game().combat_actions[0] = {ACTION_ATTACK, 0, 0, 0};
    const std::string line = attack_line();
    EXPECT_EQ(line.rfind("From the shadows Sly attacks a Imp,", 0), 0u) << line;
    const int hits = hits_in(line);
    ASSERT_GT(hits, 0);
    // Each hit: 5 x 0.55 = 3 (rounded), backstab x4 = 12.
    EXPECT_EQ(damage_in(line), 12 * hits) << line;
}

TEST_F(Round, UpkeepRegeneratesAndCountsDown) {
    PartyMemberRec& p = member(0, "Ann");
    p.hit_points = 95;
    p.effects[0] = {2, EFFECT_REGENERATION, 3};
    p.effects[1] = {-2, EFFECT_BERSERK, 1};
    p.effects[2] = {1, EFFECT_ARMOUR, 4};
    game().group_effects[1][2] = {2, EFFECT_ARMOUR, 1};
    game().monster_state[2][7][MONSTER_EFFECT_DURATION] = 1;
    sub_combat_upkeep(game());
    EXPECT_TRUE(logged("Ann recovers 3 hit points of damage."));
    EXPECT_EQ(p.hit_points, 98);
    EXPECT_EQ(p.effects[0][EFFECT_DURATION], 1);
    EXPECT_EQ(p.effects[1][EFFECT_DURATION], -2);
    EXPECT_EQ(p.effects[2][EFFECT_DURATION], 0);
    EXPECT_EQ(game().group_effects[1][2][0], 1);
    EXPECT_EQ(game().monster_state[2][7][MONSTER_EFFECT_DURATION], 0);
    sub_combat_upkeep(game());
    EXPECT_EQ(p.hit_points, 100) << "capped at the maximum";
}

TEST_F(Round, DeadMembersMoveBackWithTheirActions) {
    member(0, "Ann").hit_points = 0;
    member(1, "Bo").hit_points = 0;
    member(2, "Cy");
    game().combat_actions[0] = {ACTION_ATTACK, 1, 0, 0};
    game().combat_actions[2] = {ACTION_CASTING, 2, 3, 0};
    sub_move_dead_members_back(game());
    EXPECT_EQ(game().party[0].name.trimmed(), "Cy");
    EXPECT_EQ(game().party[1].hit_points, 0);
    EXPECT_EQ(game().party[2].hit_points, 0);
    const std::array<int16_t, 4> casting = {ACTION_CASTING, 2, 3, 0};
    EXPECT_EQ(game().combat_actions[0], casting) << "Cy's spell stays Cy's";
}

TEST_F(Round, StaleActionsBecomeDefend) {
    member(4, "Eve"); // fifth in line: cannot reach the monsters unless hidden
    member(1, "Bo");  // casts a spell no longer known
    member(2, "Cy");  // uses an item no longer held
    game().combat_actions[4] = {ACTION_ATTACK, 0, 0, 0};
    game().combat_actions[1] = {ACTION_CAST, 1, -1, 0};
    game().combat_actions[2] = {ACTION_USE_ITEM, 2, -3, 0};
    for (int s : {1, 2, 4}) fix_initiative(s, 2);
    group(0, 3, 1, 10);
    sub_combat_round(game());
    for (int s : {1, 2, 4}) EXPECT_EQ(game().combat_actions[s][0], ACTION_DEFEND) << s;
    EXPECT_EQ(count_logged(" attacks "), 0);
    EXPECT_EQ(count_logged("starts to cast"), 0);
    EXPECT_EQ(count_logged(" uses "), 0);
}

TEST_F(Round, AnItemWithoutHealingDoesNothingButSaySo) {
    PartyMemberRec& p = member(0, "Ann");
    p.pack[0] = {3, 2, 1};
    ASSERT_NE(sub_find_item_place(game(), 0, 3), USE_FROM_NOWHERE) << "the pack holds it";
    use_item_round(3, -1);
    EXPECT_TRUE(logged("Ann uses the Stone but nothing happens."));
    EXPECT_EQ(p.pack[0][PACK_QUANTITY], 2);
    EXPECT_EQ(game().combat_actions[0][0], ACTION_USE_ITEM) << "kept for the next round";
}

} // namespace

namespace {

TEST_F(Round, AHealingItemHealsItsMemberTargetAndIsUsedUp) {
    PartyMemberRec& p = member(0, "Ann");
    p.pack[0] = {2, 2, 1};
    member(1, "Bo").hit_points = 97;
    ASSERT_NE(sub_find_item_place(game(), 0, 2), USE_FROM_NOWHERE) << "the pack holds it";
    use_item_round(2, -2);
    EXPECT_TRUE(logged("Ann uses the Potion on Bo."));
    EXPECT_EQ(game().party[1].hit_points, 98) << "a Potion of strength 0 heals (0 + 1)^2";
    EXPECT_EQ(p.pack[0][PACK_QUANTITY], 1);
}

} // namespace

} // namespace duskwend
