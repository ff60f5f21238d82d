// The effect modifiers of a round, cell by cell, and the monster's defence they feed:
// products with fractional factors round on their true value, halves to even.
#include "combat_fixture.h"

namespace duskwend {

using namespace combat_test;

namespace {

TEST(EffectTable, EachKindChangesItsColumnsOnly) {
    struct Row {
        int kind, strength, level, value;
        int initiative, defence, monster_attack, party_attack;
    };
    // Level 3 for the hidden kind. 95 x 1.1 = 104.5 and 85 x 0.9 = 76.5 go to the even
    // neighbour; so does (85 + 10) x 1.1 for a rage of 1.
    const Row rows[] = {
        {0, 2, 3, 95, 95, 95, 95, 95},      {1, 2, 3, 95, 104, 104, 105, 116},
        {1, -2, 3, 50, 45, 45, 40, 36},     {2, 1, 3, 85, 76, 76, 85, 85},
        {2, 1, 3, -15, -14, -14, -15, -15}, {3, 1, 3, 85, 87, 85, 95, 104},
        {3, 2, 3, 95, 99, 95, 115, 138},    {4, 1, 3, 95, 100, 190, 110, 110},
        {5, 2, 3, 95, 95, 97, 95, 95},      {6, 2, 3, 95, 95, 95, 97, 97},
        {7, 2, 3, 95, 97, 95, 95, 95},      {8, 2, 3, 95, 95, 95, 95, 95},
        {9, 60, 3, 95, 95, 95, 95, 95},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE("kind " + std::to_string(r.kind) + " strength " + std::to_string(r.strength));
        EXPECT_EQ(effect_on_initiative(r.value, r.kind, r.strength), r.initiative);
        EXPECT_EQ(effect_on_monster_defence(r.value, r.kind, r.strength), r.defence);
        EXPECT_EQ(effect_on_monster_attack(r.value, r.kind, r.strength, r.level), r.monster_attack);
        EXPECT_EQ(effect_on_party_attack(r.value, r.kind, r.strength, r.level), r.party_attack);
    }
}

struct MonsterDefence : CombatTest {};

TEST_F(MonsterDefence, GroupEffectsThenItsOwnThenLuck) {
    struct Case {
        int armour, luck;
        std::array<int16_t, 3> group_effect, own_effect; // (duration, kind, strength)
        int hit_points, defence;
    };
    const std::array<int16_t, 3> none = {0, 0, 0};
    const Case cases[] = {
        {55, 100, none, none, 10, 60}, // 60.5 goes to 60
        {100, 0, none, {3, EFFECT_DISEASE, 1}, 10, 90},
        {100, 0, {3, EFFECT_DISEASE, 1}, {3, EFFECT_DISEASE, 1}, 10, 81},
        {100, 0, {3, EFFECT_BLESS, 2}, {3, EFFECT_ARMOUR, 5}, 10, 115},
        {100, 0, none, {-2, EFFECT_HIDDEN, 1}, 10, 200},
        {100, 0, none, {3, EFFECT_ATTACK, 5}, 10, 100},
        {100, 100, none, {3, EFFECT_DISEASE, 1}, 0, 110}, // a dead member's own effect is over
    };
    for (const Case& c : cases) {
        monster(1).armour = int16_t(c.armour);
        monster(1).luck = int16_t(c.luck);
        rewrite_world();
        group(0, 1, 1, c.hit_points);
        game().group_effects[0][0] = c.group_effect;
        auto& state = game().monster_state[0][0];
        state[MONSTER_EFFECT_DURATION] = c.own_effect[0];
        state[MONSTER_EFFECT_KIND] = c.own_effect[1];
        state[MONSTER_EFFECT_STRENGTH] = c.own_effect[2];
        EXPECT_EQ(sub_monster_defence(game(), 0, 0), c.defence) << c.armour;
    }
}

} // namespace

} // namespace duskwend
