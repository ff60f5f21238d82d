// Melee in a round: a member's attacks on a monster group, a monster's defence, a monster's
// choice of target and its attack, with the diseases and the berserk rage a hit may bring.
#include "combat/round.h"

#include "core/class_rules.h"
#include "core/datafiles.h"
#include "core/exact.h"
#include "core/game.h"
#include "core/numbers.h"
#include "core/output.h"
#include "core/rules.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace duskwend {

namespace {

bool valid_group(int grp) {
    return grp >= 0 && grp < MONSTER_GROUP_COUNT;
}

int members_of(const Game& g, int grp) {
    return std::clamp<int>(g.monster_groups[grp].count, 0, GROUP_MEMBERS);
}

// level / K rounded to nearest, plus one when that still falls short of the level.
int attack_count(int level, int k) {
    int n = int(std::nearbyint(double(level) / k));
    if (n * k < level) ++n;
    return std::max(n, 1);
}

// The right-hand item, when it is one of the file's items.
bool weapon_of(Game& g, const PartyMemberRec& p, ItemRec& weapon) {
    const int item = p.right_hand[0];
    if (!item_exists(g, item)) return false;
    sub_read_item(g, item);
    weapon = g.item_rec;
    return true;
}

int backstab_damage(int damage, const PartyMemberRec& p) {
    const ClassRules& rules = class_rules(p.class_id);
    if (rules.backstab_in_fights)
        return to_integer(damage * (std::floor((p.level - 1) / double(rules.backstab_levels)) + 2));
    return to_integer(mul_round_even(damage, 3, 2));
}

// The monster's to-hit, defence and initiative modifiers from its group's effects and its own.
template <class F> int with_monster_effects(Game& g, int grp, int m, int value, F apply) {
    for (const auto& e : g.group_effects[grp])
        if (e[0] != 0) value = apply(value, e[1], e[2]);
    const auto& state = g.monster_state[grp][m];
    if (state[MONSTER_HIT_POINTS] != 0 && state[MONSTER_EFFECT_DURATION] != 0)
        value = apply(value, state[MONSTER_EFFECT_KIND], state[MONSTER_EFFECT_STRENGTH]);
    return value;
}

const char* grade_word(int grade) {
    switch (grade) {
    case 0:
    case 1:
        return "mild ";
    case 4:
    case 5:
        return "nasty ";
    case 6:
    case 7:
        return "strong ";
    case 8:
    case 9:
        return "deadly ";
    default:
        return "";
    }
}

void diseases(Game& g, const MonsterRec& mon, int slot, std::string& text) {
    PartyMemberRec& p = g.party[slot];
    const std::string who = p.name.trimmed(), monster = mon.name.trimmed();
    for (const auto& row : mon.attack_effects) {
        const int chance = row[0];
        if (chance == 0) continue;
        if (chance != ATTACK_ALWAYS && !(sub_random_percent(g) < chance)) continue;
        if (row[1] != ATTACK_DISEASE) continue;
        bool infects = true;
        const std::string tries =
            " The " + monster + " tries to infect " + who + " with a Disease but " + who;
        if (sub_random_percent(g) < p.resistances[1]) {
            text += tries + " resists.";
            infects = false;
        }
        const int immune_from = class_rules(p.class_id).disease_immunity_level;
        if (immune_from > 0 && p.level >= immune_from) {
            text += tries + " is immune.";
            infects = false;
        }
        if (!infects) continue;
        int k = -1;
        for (int j = 0; j < int(p.effects.size()) && k < 0; ++j)
            if (p.effects[j][EFFECT_DURATION] != 0 && p.effects[j][EFFECT_TYPE] == EFFECT_DISEASE)
                k = j;
        const bool already = k >= 0;
        if (!already) k = free_effect_slot(g, slot);
        if (k < 0) continue;
        text +=
            " The " + monster + " infects " + who + " with a " + grade_word(row[2]) + "disease.";
        if (!already) p.effects[k] = {10, EFFECT_DISEASE, row[2]};
    }
}

void berserk_rage(Game& g, int slot, std::string& text) {
    PartyMemberRec& p = g.party[slot];
    if (!class_rules(p.class_id).berserker) return;
    if (!(p.level * p.karma < sub_random_percent(g))) return;
    if (member_has_effect(g, slot, EFFECT_BERSERK)) return;
    const int k = free_effect_slot(g, slot);
    if (k < 0) return;
    p.effects[k] = {-2, EFFECT_BERSERK, 2};
    text += "  " + p.name.str() + " goes berserk!";
    g.combat_actions[slot][0] = ACTION_ATTACK;
    g.combat_actions[slot][1] = 0;
}

} // namespace

// ---------------------------------------------------------------------------------------
// The party's melee

void sub_party_member_attacks(Game& g, int slot) {
    const PartyMemberRec p = g.party[slot];
    const int grp = g.combat_actions[slot][1];
    int m = -1;
    if (valid_group(grp)) {
        const int count = members_of(g, grp);
        for (int tries = 0; tries < 250 && m < 0; ++tries) {
            const int pick = sub_roll_dice(g, 1, count, 0) - 1;
            if (pick >= 0 && pick < GROUP_MEMBERS && g.monster_state[grp][pick][0] >= 1) m = pick;
        }
    }
    if (m < 0) {
        sub_show_message(g, "");
        return;
    }
    sub_read_monster(g, g.monster_groups[grp].monster);
    const MonsterRec mon = g.monster_rec;
    ItemRec weapon;
    const bool armed = weapon_of(g, p, weapon);
    const bool weapon_counts = armed && fights_as_weapon(weapon.kind);

    const int level = p.level;
    int d = 0; // in tenths: 11 is x 1.1
    int c = 0;
    const ClassRules& rules = class_rules(p.class_id);
    const int n = attack_count(level, rules.levels_per_attack);
    const int base_bonus = rules.attack_bonus.at(level);
    if (favours(rules, mon.monster_type)) d = 11;
    if (rules.critical_hits && sub_random_percent(g) <= level + p.karma)
        c = to_integer(level / 4.0 + 2);

    int hits = 0;
    for (int attack = 0; attack < n; ++attack) {
        int r = sub_random_percent(g) + 1;
        if (r > 98) r += sub_random_percent(g);
        if (sub_random_percent(g) < p.karma) r += 10;
        r += base_bonus;
        if (weapon_counts) r += weapon.to_hit;
        r = to_integer(mul_round_even(r, sub_attribute_factor(p.strength), 100));
        r = to_integer(mul_round_even(r, sub_attribute_factor(p.dexterity), 100));
        if (weapon_counts) r = to_integer(mul_round_even(r, weapon.to_hit_percent, 100));
        for (const auto& e : p.effects)
            if (e[EFFECT_DURATION] != 0)
                r = effect_on_party_attack(r, e[EFFECT_TYPE], e[EFFECT_STRENGTH], level);
        if (d != 0) r = to_integer(mul_round_even(r, d, 10));
        if (sub_random_percent(g) < p.karma) r = to_integer(mul_round_even(r, 11, 10));
        const int v = sub_monster_defence(g, grp, m);
        for (int64_t left = r; left > v; left -= 100) ++hits;
    }

    const bool hidden = member_has_effect(g, slot, EFFECT_HIDDEN);
    std::string text = hidden ? "From the shadows " + p.name.trimmed() : p.name.trimmed();
    if (member_has_effect(g, slot, EFFECT_BERSERK)) text += " in a Berserk rage";
    text += " attacks a " + mon.name.trimmed();
    if (n > 1) text += str_form(n) + " times";
    text += ",";
    if (hits == 0) {
        text += " but misses.";
    } else {
        text += " and hits";
        if (hits > 1) text += str_form(hits) + " times";
        text += " doing";
        int64_t sum = 0;
        for (int h = 0; h < hits; ++h) {
            int dmg = armed ? sub_roll_dice(g, weapon.damage_dice, weapon.damage_sides,
                                            weapon.damage_bonus)
                            : sub_roll_dice(g, 1, 3, 0);
            dmg = to_integer(mul_round_even(dmg, sub_attribute_factor(p.strength), 100));
            for (const auto& e : p.effects) {
                if (e[EFFECT_DURATION] == 0) continue;
                if (e[EFFECT_TYPE] == EFFECT_BLESS)
                    dmg = to_integer(double(dmg) + e[EFFECT_STRENGTH]);
                else if (e[EFFECT_TYPE] == EFFECT_BERSERK)
                    dmg = to_integer(dmg * 2.0);
                else if (e[EFFECT_TYPE] == EFFECT_HIDDEN)
                    dmg = backstab_damage(dmg, p);
            }
            if (d != 0) dmg = to_integer(mul_round_even(dmg, d, 10));
            if (sub_random_percent(g) < p.karma) dmg = to_integer(mul_round_even(dmg, 11, 10));
            sum += dmg;
        }
        if (c > 0) sum *= c;
        text +=
            str_form(sum) + " point" + plural(sum) + " of " + (c > 0 ? "critical " : "") + "damage";
        int16_t& hp = g.monster_state[grp][m][MONSTER_HIT_POINTS];
        hp = to_integer(double(hp) - double(sum));
        if (hp < 1) {
            hp = 0;
            text += " killing the monster";
        }
        text += ".";
    }
    sub_show_message(g, "");
    sub_show_message(g, text);
}

int sub_monster_defence(Game& g, int grp, int m) {
    sub_read_monster(g, g.monster_groups[grp].monster);
    const MonsterRec mon = g.monster_rec;
    int v = with_monster_effects(g, grp, m, mon.armour, effect_on_monster_defence);
    if (sub_random_percent(g) < mon.luck) v = to_integer(mul_round_even(v, 11, 10));
    return v;
}

// ---------------------------------------------------------------------------------------
// The monsters' melee

int sub_choose_monster_target(Game& g, int grp, int m) {
    sub_read_monster(g, g.monster_groups[grp].monster);
    const MonsterRec mon = g.monster_rec;
    // Confusion may keep the monster from acting, or turn it on its own group.
    constexpr int TURNS_ON_OWN_GROUP = -2;
    int r = -1;
    // Two tests one after the other: the second roll is drawn whatever the first gave.
    const auto confusion = [&](int s) {
        if (sub_random_percent(g) < s) r = MONSTER_TARGET_NONE;
        if (s / 2.0 > sub_random_percent(g)) r = TURNS_ON_OWN_GROUP;
    };
    for (const auto& e : g.group_effects[grp])
        if (e[0] != 0 && e[1] == EFFECT_CONFUSION) confusion(e[2]);
    const auto& own = g.monster_state[grp][m];
    if (own[MONSTER_EFFECT_DURATION] != 0 && own[MONSTER_EFFECT_KIND] == EFFECT_CONFUSION)
        confusion(own[MONSTER_EFFECT_STRENGTH]);
    if (r == MONSTER_TARGET_NONE) return MONSTER_TARGET_NONE;

    if (r == TURNS_ON_OWN_GROUP) {
        // Turning on its own group needs another living member; alone, it does nothing.
        const int count = members_of(g, grp);
        bool company = false;
        for (int j = 0; j < count; ++j)
            if (j != m && g.monster_state[grp][j][MONSTER_HIT_POINTS] >= 1) company = true;
        if (!company) return MONSTER_TARGET_NONE;
        for (int tries = 0; tries < 1000; ++tries) {
            const int j = sub_roll_dice(g, 1, count, 0) - 1;
            if (j >= 0 && j < count && g.monster_state[grp][j][MONSTER_HIT_POINTS] >= 1)
                return MONSTER_TARGET_OWN_GROUP + j;
        }
        return MONSTER_TARGET_OWN_GROUP + m;
    }

    // Only the front three can be reached. The draw passes over hidden members it fails to
    // spot, each time less likely to spot the next; when the draws give out it takes the
    // first living visible member, else the first living hidden one.
    int first_visible = -1, first_hidden = -1;
    for (int s = 0; s < 3; ++s) {
        if (!alive(g.party[s])) continue;
        if (member_has_effect(g, s, EFFECT_HIDDEN)) {
            if (first_hidden < 0) first_hidden = s;
        } else if (first_visible < 0) {
            first_visible = s;
        }
    }
    if (first_visible < 0 && first_hidden < 0) return MONSTER_TARGET_NONE;
    int passed_over = 0;
    for (int tries = 0; tries < 100; ++tries) {
        const int s = sub_roll_dice(g, 1, 3, 0) - 1;
        if (s < 0 || s > 2 || !alive(g.party[s])) continue;
        if (!member_has_effect(g, s, EFFECT_HIDDEN)) return s;
        const PartyMemberRec& p = g.party[s];
        const double keep =
            p.thief_skills[1] / 2.0 + (mon.level - p.level) + mon.luck - passed_over;
        if (sub_random_percent(g) <= keep) return s;
        passed_over += 25;
    }
    return first_visible >= 0 ? first_visible : first_hidden;
}

void sub_monster_attacks(Game& g, int grp, int m) {
    const int t = sub_choose_monster_target(g, grp, m);
    if (t < 0) return;
    sub_read_monster(g, g.monster_groups[grp].monster);
    const MonsterRec mon = g.monster_rec;
    int a = sub_random_percent(g) + mon.to_hit;
    a = with_monster_effects(g, grp, m, a, [&](int v, int kind, int s) {
        return effect_on_monster_attack(v, kind, s, mon.level);
    });
    if (sub_random_percent(g) < mon.luck) a = to_integer(mul_round_even(a, 11, 10));
    const std::string name = mon.name.trimmed();
    std::string text = name + " ";
    const auto hit_text = [&](int damage) {
        return "and hits doing" + str_form(damage) + " point" + plural(damage) + " of damage.";
    };

    if (t < MONSTER_TARGET_OWN_GROUP) {
        PartyMemberRec& p = g.party[t];
        text += "attacks " + p.name.trimmed() + " ";
        int v = p.armour_class;
        if (g.combat_actions[t][0] == ACTION_DEFEND) v = to_integer(mul_round_even(v, 12, 10));
        if (favours(class_rules(p.class_id), mon.monster_type))
            v = to_integer(mul_round_even(v, 11, 10));
        bool revealed = false, looked = false;
        for (auto& e : p.effects) {
            if (e[EFFECT_DURATION] == 0 || e[EFFECT_TYPE] != EFFECT_HIDDEN) continue;
            e[EFFECT_DURATION] = 0;
            v = to_integer(double(v) + 5.0 * p.level);
            if (!looked) {
                looked = true;
                if (sub_random_percent(g) > p.thief_skills[1] / 10.0) {
                    text += std::string("revealing h") + (p.sex == 1 ? "im " : "er ");
                    revealed = true;
                }
            }
        }
        if (sub_random_percent(g) < p.karma) v = to_integer(mul_round_even(v, 11, 10));
        if (v < a) {
            int damage = sub_roll_dice(g, mon.damage_dice, mon.damage_sides, mon.damage_bonus);
            if (a > v + 100) damage = to_integer(double(damage) + 1);
            text += hit_text(damage);
            p.hit_points = to_integer(double(p.hit_points) - damage);
            if (p.hit_points > 0) {
                diseases(g, mon, t, text);
                berserk_rage(g, t, text);
            } else {
                // A killed member has no hit points left, never fewer.
                p.hit_points = 0;
                text += "  This kills " + p.name.trimmed() + ".";
            }
        } else {
            text += revealed ? "but missing." : "but misses.";
        }
    } else {
        const int j = t - MONSTER_TARGET_OWN_GROUP;
        text += "attacks a " + name + " ";
        const int v = sub_monster_defence(g, grp, j);
        if (v < a) {
            int damage = sub_roll_dice(g, mon.damage_dice, mon.damage_sides, mon.damage_bonus);
            if (a > v + 100) damage = to_integer(double(damage) + 1);
            text += hit_text(damage);
            int16_t& hp = g.monster_state[grp][j][MONSTER_HIT_POINTS];
            hp = to_integer(double(hp) - damage);
            if (hp < 1) {
                hp = 0;
                text += "  This kills the" + name + ".";
            }
        } else {
            text += "but misses.";
        }
    }
    sub_show_message(g, "");
    sub_show_message(g, text);
}

} // namespace duskwend
