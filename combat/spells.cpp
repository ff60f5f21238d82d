// Spell casting: the success roll, amount and duration, the effects a spell leaves, and the
// report of a cast from the character sheet and in a fight.
#include "combat/combat.h"
#include "combat/round.h"

#include "core/class_rules.h"
#include "core/datafiles.h"
#include "core/exact.h"
#include "core/game.h"
#include "core/numbers.h"
#include "core/output.h"
#include "core/rules.h"

#include <algorithm>
#include <string>

namespace duskwend {

namespace {

constexpr int NO_TARGET = -100;

bool valid_member(const Game& g, int slot) {
    return slot >= 0 && slot < PARTY_SIZE && g.party[slot].in_use > 0;
}

std::string self_word(const PartyMemberRec& caster) {
    return caster.sex == 1 ? "Himself" : "Herself";
}

// The party member `t` as the target of a spell from `caster`, named at the end of `text`
// ("Himself" for the caster); NO_TARGET, and nothing named, when `t` is no member.
int member_target(const Game& g, int caster, int t, std::string& text) {
    if (t == caster) {
        text += self_word(g.party[caster]);
        return caster;
    }
    if (!valid_member(g, t)) return NO_TARGET;
    text += g.party[t].name.trimmed();
    return t;
}

// The party, named "everyone", for a spell of the party's target types; NO_TARGET for the
// types that name nobody.
int party_target(int target_type, std::string& text) {
    if (target_type != SPELL_TARGET_PARTY && target_type != SPELL_TARGET_COMBAT_PARTY)
        return NO_TARGET;
    text += "everyone";
    return TARGET_PARTY;
}

std::string plural_either_way(long long n) {
    return n > 1 || n < -1 ? "s" : "";
}

// The spell effects that last become these effect kinds on a member or monster.
int kind_of_effect(int effect) {
    switch (effect) {
    case SPELL_EFFECT_ARMOUR:
        return EFFECT_ARMOUR;
    case SPELL_EFFECT_ATTACK:
        return EFFECT_ATTACK;
    case SPELL_EFFECT_SPEED:
        return EFFECT_SPEED;
    case SPELL_EFFECT_CONFUSION:
        return EFFECT_CONFUSION;
    default:
        return -1;
    }
}

void heal(PartyMemberRec& p, int amount) {
    if (p.hit_points >= p.max_hit_points) return;
    p.hit_points = to_integer(std::min<double>(double(p.hit_points) + amount, p.max_hit_points));
}

int rolled_with_levels(Game& g, int dice, int sides, int bonus, int level_dice, int level_sides,
                       int level_bonus) {
    const int level = g.party[g.cast_caster & PARTY_SLOT_MASK].level;
    int64_t v = sub_roll_dice(g, dice, sides, bonus);
    for (int l = 0; l < level; ++l) v += sub_roll_dice(g, level_dice, level_sides, level_bonus);
    return sub_spell_caster_bonus(g, to_integer(double(v)));
}

bool cast_succeeds(Game& g, int caster) {
    return !(sub_spell_success_chance(g, caster) < sub_random_percent(g));
}

} // namespace

int sub_spell_success_chance(Game& g, int caster) {
    const PartyMemberRec& p = g.party[caster & PARTY_SLOT_MASK];
    const SpellRec& s = g.spell_rec;
    double chance = s.success_base + double(s.success_per_level) * p.level;
    const ClassRules& rules = class_rules(p.class_id);
    if (rules.spell_skill > 0) chance += attribute(p, rules.mana_attribute) * rules.spell_skill;
    return to_integer(chance);
}

int sub_spell_amount(Game& g) {
    const SpellRec& s = g.spell_rec;
    return rolled_with_levels(g, s.amount_dice, s.amount_sides, s.amount_bonus, s.amount_level_dice,
                              s.amount_level_sides, s.amount_level_bonus);
}

int sub_spell_duration(Game& g) {
    const SpellRec& s = g.spell_rec;
    return rolled_with_levels(g, s.duration_dice, s.duration_sides, s.duration_bonus,
                              s.duration_level_dice, s.duration_level_sides,
                              s.duration_level_bonus);
}

int sub_spell_caster_bonus(Game& g, int value) {
    const PartyMemberRec& p = g.party[g.cast_caster & PARTY_SLOT_MASK];
    const ClassRules& rules = class_rules(p.class_id);
    if (rules.spell_skill > 0 &&
        sub_random_percent(g) < attribute(p, rules.mana_attribute) * rules.spell_skill)
        value = to_integer(mul_round_even(value, 11, 10));
    if (sub_random_percent(g) < p.karma) value = to_integer(mul_round_even(value, 11, 10));
    return value;
}

void sub_place_spell_effect(Game& g, int effect, int target, int amount, int duration) {
    const int kind = kind_of_effect(effect);
    if (kind < 0 || !valid_member(g, target)) return;
    auto& effects = g.party[target].effects;
    for (const auto& e : effects)
        if (e[EFFECT_DURATION] != 0 && e[EFFECT_TYPE] == kind) return;
    const int k = free_effect_slot(g, target);
    if (k < 0) return;
    effects[k] = {to_integer(duration), int16_t(kind), to_integer(amount)};
}

void sub_place_combat_spell_effect(Game& g, int effect, int target, int member, int amount,
                                   int duration) {
    const int kind = kind_of_effect(effect);
    if (kind < 0) return;
    if (target >= 0 && target < CAST_GROUP_BASE) {
        sub_place_spell_effect(g, effect, target, amount, duration);
    } else if (target >= CAST_GROUP_BASE && target - CAST_GROUP_BASE < MONSTER_GROUP_COUNT &&
               member >= 0 && member < GROUP_MEMBERS) {
        auto& state = g.monster_state[target - CAST_GROUP_BASE][member];
        state[MONSTER_EFFECT_KIND] = int16_t(kind);
        state[MONSTER_EFFECT_DURATION] = to_integer(duration);
        state[MONSTER_EFFECT_STRENGTH] = to_integer(amount);
    }
}

// ---------------------------------------------------------------------------------------
// From the character sheet

void sub_cast_spell_outside_combat(Game& g) {
    g.cast_done = 0;
    g.cast_result.clear();
    const int caster = g.cast_caster;
    if (!valid_member(g, caster) || !spell_exists(g, g.cast_spell)) return;
    PartyMemberRec& p = g.party[caster];
    sub_read_spell(g, g.cast_spell);
    const SpellRec spell = g.spell_rec;
    std::string text = "\\N" + p.name.trimmed() + " starts to cast " + spell.name.trimmed() +
                       ".\\N" + (p.sex == 1 ? "He" : "She");
    if (!cast_succeeds(g, caster)) {
        text += " fails.";
    } else {
        text += " succeeds.\\N";
        const int a = sub_spell_amount(g);
        const int d = sub_spell_duration(g);
        text += p.name.trimmed() + " " + spell.cast_text.trimmed() + " ";
        int target = NO_TARGET;
        switch (spell.target_type) {
        case SPELL_TARGET_CASTER:
            target = member_target(g, caster, caster, text);
            break;
        case SPELL_TARGET_MEMBER:
            target = member_target(g, caster, g.cast_target, text);
            break;
        default:
            target = party_target(spell.target_type, text);
            break;
        }
        // "Everyone" means each member present; healing of type 2 heals them all as type 6.
        const auto each_target = [&](auto act) {
            if (target == TARGET_PARTY) {
                for (int m = 0; m < PARTY_SIZE; ++m)
                    if (g.party[m].in_use != 0) act(m);
            } else if (target != NO_TARGET) {
                act(target);
            }
        };
        if (spell.effect == SPELL_EFFECT_HEALING) {
            text += " healing" + str_form(a) + " point" + plural(a) + " of damage.";
            each_target([&](int m) { heal(g.party[m], a); });
        } else if (spell.effect == SPELL_EFFECT_ARMOUR) {
            const std::string whose = target == NO_TARGET ? "" : sub_possessive(g, target);
            text += (a <= 0 ? " worsening " : " improving ") + whose + " armour by" + str_form(a) +
                    " point" + plural_either_way(a) + ".";
            each_target([&](int m) { sub_place_spell_effect(g, SPELL_EFFECT_ARMOUR, m, a, d); });
        }
        g.cast_done = 1;
    }
    // The sheet offers the cast only with the mana for it; the pool never goes below empty.
    p.magic_points = to_integer(std::max(0.0, double(p.magic_points) - spell.mana_cost));
    g.cast_result = text;
}

// ---------------------------------------------------------------------------------------
// In a fight. The round paid the mana when the cast started.

void sub_cast_spell_in_combat(Game& g) {
    g.cast_done = 0;
    g.cast_result.clear();
    const int caster = g.cast_caster;
    if (!valid_member(g, caster) || !spell_exists(g, g.cast_spell)) return;
    const std::string name = g.party[caster].name.trimmed();
    sub_read_spell(g, g.cast_spell);
    const SpellRec spell = g.spell_rec;
    if (!cast_succeeds(g, caster)) {
        g.cast_result = name + " fails.";
        return;
    }
    const int a = sub_spell_amount(g);
    int d = sub_spell_duration(g);
    // The upkeep at the end of this round takes the first turn off at once.
    if (d > 0) d = to_integer(double(d) + 1);
    std::string text = name + " " + spell.cast_text.trimmed() + " ";
    const std::string no_target = name + " casts " + spell.name.trimmed() + " but has no target.";

    int target = NO_TARGET, member = -1;
    switch (spell.target_type) {
    case SPELL_TARGET_CASTER:
        target = member_target(g, caster, caster, text);
        break;
    case SPELL_TARGET_MEMBER:
    case SPELL_TARGET_COMBAT_MEMBER: {
        const int t = g.cast_target - 1;
        if (t < CAST_GROUP_BASE) {
            target = member_target(g, caster, t, text);
        } else {
            const int grp = t - CAST_GROUP_BASE;
            if (grp < MONSTER_GROUP_COUNT)
                for (int m = 0; m < GROUP_MEMBERS && member < 0; ++m)
                    if (g.monster_state[grp][m][MONSTER_HIT_POINTS] > 0) member = m;
            if (member >= 0) {
                target = t;
                sub_read_monster(g, g.monster_groups[grp].monster);
                text += "the " + g.monster_rec.name.trimmed();
            }
        }
        if (target == NO_TARGET) {
            g.cast_done = 1;
            g.cast_result = no_target;
            return;
        }
        break;
    }
    default:
        target = party_target(spell.target_type, text);
        break;
    }

    const bool on_monster = target >= CAST_GROUP_BASE;
    const auto monster_name = [&]() {
        sub_read_monster(g, g.monster_groups[target - CAST_GROUP_BASE].monster);
        return g.monster_rec.name.trimmed();
    };
    switch (spell.effect) {
    case SPELL_EFFECT_HEALING:
        text += " healing" + str_form(a) + " point" + plural(a) + " of damage.";
        if (target == TARGET_PARTY) {
            for (auto& m : g.party)
                if (m.in_use != 0) heal(m, a);
        } else if (on_monster) {
            int16_t& hp = g.monster_state[target - CAST_GROUP_BASE][member][MONSTER_HIT_POINTS];
            hp = to_integer(double(hp) + a);
        } else if (target != NO_TARGET) {
            heal(g.party[target], a);
        }
        break;
    case SPELL_EFFECT_DAMAGE:
        text += " doing" + str_form(a) + " point" + plural(a) + " of damage.";
        if (on_monster) {
            int16_t& hp = g.monster_state[target - CAST_GROUP_BASE][member][MONSTER_HIT_POINTS];
            hp = to_integer(double(hp) - a);
            if (hp < 1) {
                hp = 0;
                text += "  This kills the " + monster_name() + ".";
            }
        } else if (target >= 0 && target < PARTY_SIZE) {
            // Aimed at a member, the spell hurts the member.
            PartyMemberRec& victim = g.party[target];
            const bool was_alive = victim.hit_points > 0;
            victim.hit_points = to_integer(std::max(0.0, double(victim.hit_points) - a));
            if (was_alive && victim.hit_points == 0)
                text += "  This kills " + victim.name.trimmed() + ".";
        }
        break;
    case SPELL_EFFECT_ARMOUR:
    case SPELL_EFFECT_ATTACK: {
        const std::string whose = target == NO_TARGET ? "" : sub_possessive(g, target);
        text += (a < 1 ? " worsening " : " improving ") + whose +
                (spell.effect == SPELL_EFFECT_ARMOUR ? " armour by" : " attack by") + str_form(a) +
                " point" + plural_either_way(a) + ".";
        sub_place_combat_spell_effect(g, spell.effect, target, member, a, d);
        break;
    }
    case SPELL_EFFECT_SPEED:
    case SPELL_EFFECT_CONFUSION:
        text += ".";
        sub_place_combat_spell_effect(g, spell.effect, target, member, a, d);
        break;
    default:
        break;
    }
    g.cast_done = 1;
    g.cast_result = text;
}

} // namespace duskwend
