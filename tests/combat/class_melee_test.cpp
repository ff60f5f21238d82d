// Melee that depends on class and effects, in rounds made deterministic: a weapon whose
// to-hit of 3000 dwarfs the percentile roll (so every seed gives the same hits), damage dice
// of one side, karma far below or above every roll, luck 0. Also the rage from a back rank,
// a disease's slowness and a confused monster's two tests.
#include "combat_fixture.h"

#include "core/rules.h"

using namespace combat_test;

namespace {

constexpr int RAT = 1, GHOUL = 2, IMP = 3; // a beast, undead, unholy

struct ClassMelee : CombatTest {
    ClassMelee() {
        items[1].to_hit = 3000;
        items[1].damage_bonus = 9; // 1d1 + 9 = 10 a hit, 6 after strength 10's 0.55
        rewrite_world();
    }
    // A member with strength 10 and dexterity 0 (factor 0.33), holding the sword.
    PartyMemberRec& fighter(const std::string& name, int class_id, int level, int karma) {
        PartyMemberRec& p = member(0, name, class_id, level);
        p.dexterity = 0;
        p.karma = int16_t(karma);
        p.right_hand = {1, 1, 1};
        game().combat_actions[0] = {ACTION_ATTACK, 0, 0, 0};
        return p;
    }
};

TEST_F(ClassMelee, ABerserkerRagesFromAnyRank) {
    PartyMemberRec& p = member(4, "Brokk", 4, 1);
    p.effects[0] = {-2, EFFECT_BERSERK, 1};
    game().combat_actions[4] = {ACTION_ATTACK, 0, 0, 0};
    fix_initiative(4, 2);
    group(0, IMP, 1, 30000); // the Imp does not act
    sub_combat_round(game());
    EXPECT_EQ(count_logged("Brokk in a Berserk rage attacks a Imp"), 1);
    EXPECT_EQ(game().combat_actions[4][0], ACTION_ATTACK);
}

TEST_F(ClassMelee, AConfusedMonsterMakesTwoTestsOneAfterTheOther) {
    struct Case {
        bool first_below, second_below; // roll < 50, second roll < 25
        int target;                     // -10 nothing, 10 its own group, 0 the party
    };
    const Case cases[] = {
        {true, false, -10}, {true, true, 10}, {false, true, 10}, {false, false, 0}};
    member(0, "Ann");
    for (const Case& c : cases) {
        group(0, RAT, 2, 10);
        auto& own = game().monster_state[0][1];
        own[MONSTER_EFFECT_KIND] = EFFECT_CONFUSION;
        own[MONSTER_EFFECT_DURATION] = 3;
        own[MONSTER_EFFECT_STRENGTH] = 50;
        // A seed whose first two percentile rolls fall as the case asks.
        uint64_t seed = 0;
        for (;; ++seed) {
            game().rng.seed(seed);
            const int a = sub_random_percent(game()), b = sub_random_percent(game());
            if ((a < 50) == c.first_below && (b < 25) == c.second_below) break;
        }
        game().rng.seed(seed);
        const int t = sub_choose_monster_target(game(), 0, 1);
        if (c.target == 10)
            EXPECT_TRUE(t == 10 || t == 11) << t;
        else
            EXPECT_EQ(t, c.target) << c.first_below << c.second_below;
    }
}

} // namespace
