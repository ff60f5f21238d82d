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

} // namespace
