// Spells: the success chance, casting from the sheet, the effects and texts of a spell in a
// fight, and the cast's course through the round (start, delay, effect, mana).
#include "combat_fixture.h"

namespace duskwend {

using namespace combat_test;

namespace {

struct Spells : CombatTest {
    // Spell 1 with a fixed amount and duration.
    SpellRec& fixed_spell(int effect, int target_type, int amount, int duration = 0) {
        SpellRec& s = spell(1);
        s.effect = int16_t(effect);
        s.target_type = int16_t(target_type);
        s.amount_bonus = int16_t(amount);
        s.duration_bonus = int16_t(duration);
        return s;
    }
    void cast(int caster, int target, bool in_combat) {
        rewrite_world();
        Game& g = game();
        g.cast_spell = 1;
        g.cast_caster = int16_t(caster);
        g.cast_target = int16_t(target);
        if (in_combat)
            sub_cast_spell_in_combat(g);
        else
            sub_cast_spell_outside_combat(g);
    }
};

TEST_F(Spells, SuccessChanceByClass) {
    PartyMemberRec& p = member(0, "Ann", 3, 3);
    p.intelligence = 15;
    p.piety = 15;
    SpellRec& s = game().spell_rec;
    s.success_base = 20;
    s.success_per_level = 10;
    EXPECT_EQ(sub_spell_success_chance(game(), 0), 65);
    p.class_id = 2;
    EXPECT_EQ(sub_spell_success_chance(game(), 0), 65);
    p.class_id = 6;
    p.level = 1;
    EXPECT_EQ(sub_spell_success_chance(game(), 0), 38) << "37.5 rounds to even";
    p.class_id = 0;
    EXPECT_EQ(sub_spell_success_chance(game(), 0), 30);
}

TEST_F(Spells, FromTheSheetHealingArmourAndFailure) {
    member(0, "Tallow").magic_points = 10;
    member(1, "Corvath").sex = 2;
    game().party[1].hit_points = 97;
    fixed_spell(0, 1, 5).mana_cost = 3;
    cast(0, 1, false);
    EXPECT_EQ(game().cast_result, "\\NTallow starts to cast Spell 1.\\NHe succeeds.\\NTallow "
                                  "casts at Corvath healing 5 points of damage.");
    EXPECT_EQ(game().party[1].hit_points, 100) << "never above the maximum";
    EXPECT_EQ(game().party[0].magic_points, 7);
    EXPECT_EQ(game().cast_done, 1);

    fixed_spell(3, 0, -2, 3);
    cast(0, -1, false);
    EXPECT_EQ(game().cast_result, "\\NTallow starts to cast Spell 1.\\NHe succeeds.\\NTallow "
                                  "casts at Himself worsening his armour by-2 points.");
    const std::array<int16_t, 3> armour = {3, EFFECT_ARMOUR, -2};
    EXPECT_EQ(game().party[0].effects[0], armour);
    cast(0, -1, false);
    EXPECT_EQ(game().party[0].effects[1][EFFECT_DURATION], 0) << "one armour effect at a time";

    // "Everyone": the armour goes on each member present, healing heals them all.
    fixed_spell(3, 2, 1, 2);
    cast(0, -1, false);
    EXPECT_NE(game().cast_result.find("casts at everyone improving their armour by 1 point."),
              std::string::npos);
    EXPECT_EQ(game().party[1].effects[0][EFFECT_TYPE], EFFECT_ARMOUR);
    game().party[0].hit_points = 50;
    game().party[1].hit_points = 60;
    fixed_spell(0, 2, 20);
    cast(0, -1, false);
    EXPECT_EQ(game().party[0].hit_points, 70);
    EXPECT_EQ(game().party[1].hit_points, 80);

    game().party[0].magic_points = 1;
    fixed_spell(0, 1, 5).success_base = -1000;
    cast(0, 1, false);
    EXPECT_EQ(game().cast_result, "\\NTallow starts to cast Spell 1.\\NHe fails.");
    EXPECT_EQ(game().cast_done, 0);
    EXPECT_EQ(game().party[0].magic_points, 0) << "paid even on failure, never below 0";
}

TEST_F(Spells, InAFightDamageHealingAndNoTarget) {
    member(0, "Ann");
    member(1, "Bo").hit_points = 5;
    group(0, 1, 2, 5);
    game().monster_state[0][0][MONSTER_HIT_POINTS] = 0; // the first living member is 1
    fixed_spell(1, 1, 10);
    cast(0, TARGET_GROUP_BASE + 0, true);
    EXPECT_EQ(game().cast_result,
              "Ann casts at the Rat doing 10 points of damage.  This kills the Rat.");
    EXPECT_EQ(game().monster_state[0][1][MONSTER_HIT_POINTS], 0);

    cast(0, TARGET_GROUP_BASE + 0, true);
    EXPECT_EQ(game().cast_result, "Ann casts Spell 1 but has no target.");
    EXPECT_EQ(game().cast_done, 1);

    // Aimed at a member, a damage spell hurts.
    cast(0, 2, true);
    EXPECT_EQ(game().cast_result, "Ann casts at Bo doing 10 points of damage.  This kills Bo.");
    EXPECT_EQ(game().party[1].hit_points, 0);

    // Healing a monster knows no maximum; healing "everyone" of type 2 heals the party.
    group(1, 2, 1, 90);
    fixed_spell(0, 1, 1);
    cast(0, TARGET_GROUP_BASE + 1, true);
    EXPECT_EQ(game().cast_result, "Ann casts at the Ghoul healing 1 point of damage.");
    EXPECT_EQ(game().monster_state[1][0][MONSTER_HIT_POINTS], 91);
    game().party[0].hit_points = 99;
    fixed_spell(0, 2, 7);
    cast(0, -1, true);
    EXPECT_EQ(game().cast_result, "Ann casts at everyone healing 7 points of damage.");
    EXPECT_EQ(game().party[0].hit_points, 100);

    fixed_spell(0, 1, 7).success_base = -1000;
    cast(0, 1, true);
    EXPECT_EQ(game().cast_result, "Ann fails.");
    EXPECT_EQ(game().cast_done, 0);
}

TEST_F(Spells, InAFightEffectsOnMonstersAndMembers) {
    member(0, "Ann");
    member(1, "Bo");
    group(0, 2, 1, 50);
    fixed_spell(4, 4, 3, 2);
    cast(0, TARGET_GROUP_BASE + 0, true);
    EXPECT_EQ(game().cast_result, "Ann casts at the Ghoul improving her attack by 3 points.");
    const auto& state = game().monster_state[0][0];
    EXPECT_EQ(state[MONSTER_EFFECT_KIND], EFFECT_ATTACK);
    EXPECT_EQ(state[MONSTER_EFFECT_DURATION], 3) << "one more: the upkeep takes one at once";
    EXPECT_EQ(state[MONSTER_EFFECT_STRENGTH], 3);

    fixed_spell(8, 1, 60, 1);
    cast(0, TARGET_GROUP_BASE + 0, true);
    EXPECT_EQ(game().cast_result, "Ann casts at the Ghoul.");
    EXPECT_EQ(state[MONSTER_EFFECT_KIND], EFFECT_CONFUSION) << "replaces the earlier effect";

    fixed_spell(3, 1, 0, 2);
    cast(0, 2, true);
    EXPECT_EQ(game().cast_result, "Ann casts at Bo worsening his armour by 0 point.");
    const std::array<int16_t, 3> armour = {3, EFFECT_ARMOUR, 0};
    EXPECT_EQ(game().party[1].effects[0], armour);

    fixed_spell(6, 0, 4, 2);
    cast(0, 1, true);
    EXPECT_EQ(game().cast_result, "Ann casts at Himself.");
    EXPECT_EQ(game().party[0].effects[0][EFFECT_TYPE], EFFECT_SPEED);

    // Effect 7 and unknown effects do nothing.
    for (int effect : {7, 12}) {
        fixed_spell(effect, 1, 4, 2);
        cast(0, TARGET_GROUP_BASE + 0, true);
        EXPECT_EQ(game().cast_result, "Ann casts at the Ghoul");
        EXPECT_EQ(state[MONSTER_EFFECT_KIND], EFFECT_CONFUSION);
    }
}

TEST_F(Spells, TheRoundStartsPaysAndCompletesACast) {
    PartyMemberRec& p = member(0, "Ann", 3, 1);
    p.intelligence = 0; // no caster's bonus on the amount
    p.spells_known[0] = 1;
    p.magic_points = 10;
    fixed_spell(1, 1, 10).mana_cost = 4;
    spell(1).casting_delay = 2;
    fix_initiative(0, 5);
    group(0, 3, 1, 30000); // the Imp does not act
    game().combat_actions[0] = {ACTION_CAST, 1, TARGET_GROUP_BASE + 0, 0};
    rewrite_world();

    sub_combat_round(game());
    EXPECT_TRUE(logged("Ann starts to cast Spell 1 at the Imp."));
    EXPECT_TRUE(logged("Ann casts at the Imp doing 10 points of damage."));
    EXPECT_EQ(p.magic_points, 6);
    EXPECT_EQ(game().combat_actions[0][0], ACTION_CAST) << "the spell is spent";

    clear_log();
    sub_combat_round(game());
    EXPECT_EQ(p.magic_points, 2) << "a new cast pays again";
    EXPECT_EQ(game().monster_state[0][0][MONSTER_HIT_POINTS], 29980);

    clear_log();
    sub_combat_round(game());
    EXPECT_TRUE(logged(
        "Ann starts to cast Spell 1 at the Imp.  However he does not have enough mana left."));
    EXPECT_TRUE(logged("Ann fails."));
    EXPECT_EQ(p.magic_points, 0);
    EXPECT_EQ(game().monster_state[0][0][MONSTER_HIT_POINTS], 29980);
}

TEST_F(Spells, ACastWithoutDelayTakesEffectNextRoundUnpaid) {
    PartyMemberRec& p = member(0, "Ann", 3, 1);
    p.intelligence = 0;
    p.spells_known[5] = 1;
    p.magic_points = 10;
    fixed_spell(1, 1, 10).mana_cost = 4;
    fix_initiative(0, 5);
    group(0, 3, 1, 30000);
    game().combat_actions[0] = {ACTION_CAST, 1, TARGET_GROUP_BASE + 0, 0};
    rewrite_world();
    sub_combat_round(game());
    EXPECT_EQ(count_logged("doing"), 0);
    EXPECT_EQ(game().combat_actions[0][0], ACTION_CASTING);
    clear_log();
    sub_combat_round(game());
    EXPECT_EQ(count_logged("starts to cast"), 0);
    EXPECT_TRUE(logged("Ann casts at the Imp doing 10 points of damage."));
    EXPECT_EQ(p.magic_points, 6);
}

} // namespace

} // namespace duskwend
