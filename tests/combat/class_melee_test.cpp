// Melee that depends on class and effects, in rounds made deterministic: a weapon whose
// to-hit of 3000 dwarfs the percentile roll (so every seed gives the same hits), damage dice
// of one side, karma far below or above every roll, luck 0. Also the rage from a back rank,
// a disease's slowness and a confused monster's two tests.
#include "combat_fixture.h"

#include "core/rules.h"

namespace duskwend {

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

TEST_F(ClassMelee, RangersAndPaladinsBonusesCriticalsAndRage) {
    struct Case {
        int class_id, level, karma, monster, armour;
        std::array<int16_t, 3> effect;
        const char* message;
    };
    const std::array<int16_t, 3> none = {0, 0, 0};
    const std::array<int16_t, 3> rage = {-2, EFFECT_BERSERK, 1}, bless = {10, EFFECT_BLESS, 2};
    // Attack rolls 548..584 before any bonus; x 1.1 makes 603..642.
    const Case cases[] = {
        {0, 1, -100, RAT, 590, none, "Ann attacks a Rat, but misses."},
        {5, 1, -100, RAT, 590, none, "Ann attacks a Rat, and hits doing 7 points of damage."},
        {5, 1, -100, GHOUL, 590, none, "Ann attacks a Ghoul, but misses."},
        {6, 1, -100, GHOUL, 590, none, "Ann attacks a Ghoul, and hits doing 7 points of damage."},
        {6, 1, -100, IMP, 590, none, "Ann attacks a Imp, and hits doing 7 points of damage."},
        {6, 1, -100, RAT, 590, none, "Ann attacks a Rat, but misses."},
        // Karma above every roll: +10 and x 1.1 on the roll, x 1.1 on the damage, and a
        // Ranger's critical of level / 4 + 2 = 2.5, which rounds to 2.
        {5, 2, 100, RAT, 660, none,
         "Ann attacks a Rat, and hits doing 16 points of critical damage."},
        {5, 2, 100, GHOUL, 600, none,
         "Ann attacks a Ghoul, and hits doing 14 points of critical damage."},
        // Rage: (roll + 10) x 1.1 and twice the damage; a blessing adds 2 a hit.
        {4, 1, -100, RAT, 600, none, "Ann attacks a Rat, but misses."},
        {4, 1, -100, RAT, 600, rage,
         "Ann in a Berserk rage attacks a Rat, and hits doing 12 points of damage."},
        {0, 1, -100, RAT, 600, bless, "Ann attacks a Rat, and hits doing 8 points of damage."},
    };
    for (const Case& c : cases) {
        monster(c.monster).armour = int16_t(c.armour);
        rewrite_world();
        group(0, c.monster, 1, 30000);
        for (uint64_t seed = 0; seed < 8; ++seed) {
            fighter("Ann", c.class_id, c.level, c.karma).effects[0] = c.effect;
            game().rng.seed(seed);
            clear_log();
            sub_party_member_attacks(game(), 0);
            EXPECT_EQ(log().back(), c.message) << "class " << c.class_id << " seed " << seed;
        }
    }
}

TEST_F(ClassMelee, RangersAndPaladinsDefendBetterAgainstTheirFoes) {
    struct Case {
        int class_id, monster;
        bool hit;
    };
    // Attack rolls 1001..1100 against armour class 1000, or 1100 with the tenth more.
    const Case cases[] = {{0, RAT, true},    {5, RAT, false}, {5, GHOUL, true},
                          {6, GHOUL, false}, {6, IMP, false}, {6, RAT, true}};
    for (const Case& c : cases) {
        monster(c.monster).to_hit = 1001;
        rewrite_world();
        group(0, c.monster, 1, 10);
        for (uint64_t seed = 0; seed < 8; ++seed) {
            fighter("Ann", c.class_id, 1, -100).armour_class = 1000;
            game().rng.seed(seed);
            clear_log();
            sub_monster_attacks(game(), 0, 0);
            EXPECT_EQ(log().back().find("and hits") != std::string::npos, c.hit)
                << log().back() << " class " << c.class_id;
        }
    }
}

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

TEST_F(ClassMelee, ADiseaseSlowsMemberAndMonsterByATenth) {
    struct Case {
        bool member_diseased, monster_diseased;
        const char* first;
    };
    // Both start at 10; a disease makes 9. At equal values the party acts first.
    const Case cases[] = {{false, false, "Ann"}, {true, false, "Rat"}, {true, true, "Ann"}};
    for (const Case& c : cases) {
        member(0, "Ann").effects[8] = {-2, EFFECT_BLESS, -20};
        game().party[0].effects[9] = {-2, EFFECT_SPEED, 10};
        if (c.member_diseased) game().party[0].effects[10] = {10, EFFECT_DISEASE, 1};
        game().combat_actions[0] = {ACTION_ATTACK, 0, 0, 0};
        monster(RAT).to_hit = -1000;
        monster(RAT).armour = 30000;
        rewrite_world();
        group(0, RAT, 1, 30000);
        fix_group_initiative(0, 10);
        if (c.monster_diseased) {
            auto& state = game().monster_state[0][0];
            state[MONSTER_EFFECT_KIND] = EFFECT_DISEASE;
            state[MONSTER_EFFECT_DURATION] = 5;
            state[MONSTER_EFFECT_STRENGTH] = 1;
        }
        clear_log();
        sub_combat_round(game());
        std::string first;
        for (const auto& line : log())
            if (first.empty() && line.find(" attacks ") != std::string::npos)
                first = line.substr(0, 3);
        EXPECT_EQ(first, c.first) << c.member_diseased << c.monster_diseased;
    }
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

} // namespace duskwend
