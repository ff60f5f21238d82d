// The combat round: initiative for every monster and member, the countdown in which each
// acts, the start of a spell, hiding, using an item, and the upkeep at the end of the round.
// Melee of both sides is in combat/melee.cpp.
#include "combat/round.h"
#include "combat/combat.h"

#include "core/class_rules.h"
#include "core/datafiles.h"
#include "core/exact.h"
#include "core/game.h"
#include "core/item_use.h"
#include "core/numbers.h"
#include "core/output.h"
#include "core/rules.h"

#include <algorithm>
#include <string>

namespace duskwend {

// ---------------------------------------------------------------------------------------
// Effects

namespace {

// Bless raises and disease lowers initiative and a monster's defence by the same shares.
int blessed_or_diseased(int value, int kind, int s) {
    return kind == EFFECT_BLESS ? to_integer(mul_round_even(value, 20 + s, 20))
                                : to_integer(mul_round_even(value, 9, 10));
}

} // namespace

int effect_on_initiative(int value, int kind, int s) {
    switch (kind) {
    case EFFECT_BLESS:
    case EFFECT_DISEASE:
        return blessed_or_diseased(value, kind, s);
    case EFFECT_BERSERK:
        return to_integer(double(value) + 2.0 * s);
    case EFFECT_HIDDEN:
        return to_integer(double(value) + 5);
    case EFFECT_SPEED:
        return to_integer(double(value) + s);
    default:
        return value;
    }
}

int effect_on_monster_defence(int value, int kind, int s) {
    switch (kind) {
    case EFFECT_BLESS:
    case EFFECT_DISEASE:
        return blessed_or_diseased(value, kind, s);
    case EFFECT_HIDDEN:
        return to_integer(value * 2.0);
    case EFFECT_ARMOUR:
        return to_integer(double(value) + s);
    default:
        return value;
    }
}

int effect_on_monster_attack(int value, int kind, int s, int level) {
    switch (kind) {
    case EFFECT_BLESS:
        return to_integer(value + 5.0 * s);
    case EFFECT_BERSERK:
        return to_integer(value + 10.0 * s);
    case EFFECT_HIDDEN:
        return to_integer(value + 5.0 * level);
    case EFFECT_ATTACK:
        return to_integer(double(value) + s);
    default:
        return value;
    }
}

int effect_on_party_attack(int value, int kind, int s, int level) {
    switch (kind) {
    case EFFECT_BLESS:
        return to_integer(mul_round_even(int64_t(value) + 5 * s, 20 + s, 20));
    case EFFECT_BERSERK:
        return to_integer(mul_round_even(int64_t(value) + 10 * s, 10 + s, 10));
    default:
        // Hiding and an enhanced or cursed attack change a member's attack as a monster's.
        return effect_on_monster_attack(value, kind, s, level);
    }
}

bool member_has_effect(const Game& g, int slot, int kind) {
    for (const auto& e : g.party[slot].effects)
        if (e[EFFECT_DURATION] != 0 && e[EFFECT_TYPE] == kind) return true;
    return false;
}

int free_effect_slot(const Game& g, int slot) {
    const auto& effects = g.party[slot].effects;
    for (int k = 0; k < int(effects.size()); ++k)
        if (effects[k][EFFECT_DURATION] == 0) return k;
    return -1;
}

namespace {

// ---------------------------------------------------------------------------------------
// Initiative

int monster_initiatives(Game& g) {
    int highest = 0;
    for (int grp = 0; grp < MONSTER_GROUP_COUNT; ++grp) {
        const MonsterGroupRec& group = g.monster_groups[grp];
        if (group.monster <= 0) continue;
        sub_read_monster(g, group.monster);
        const MonsterRec mon = g.monster_rec;
        const int count = std::clamp<int>(group.count, 0, GROUP_MEMBERS);
        for (int m = 0; m < count; ++m) {
            auto& state = g.monster_state[grp][m];
            int v = sub_roll_dice(g, 1, 10, mon.speed);
            for (const auto& e : g.group_effects[grp])
                if (e[0] != 0) v = effect_on_initiative(v, e[1], e[2]);
            if (state[MONSTER_HIT_POINTS] != 0 && state[MONSTER_EFFECT_DURATION] != 0)
                v = effect_on_initiative(v, state[MONSTER_EFFECT_KIND],
                                         state[MONSTER_EFFECT_STRENGTH]);
            v = std::max(v, 1);
            if (sub_random_percent(g) < mon.luck) v = to_integer(mul_round_even(v, 11, 10));
            state[MONSTER_INITIATIVE] = to_integer(v);
            highest = std::max(highest, int(state[MONSTER_INITIATIVE]));
        }
    }
    return highest;
}

int party_initiatives(Game& g, PartyInitiative& init) {
    int highest = 0;
    for (int slot = 0; slot < PARTY_SIZE; ++slot) {
        init[slot] = 0;
        const PartyMemberRec& p = g.party[slot];
        if (p.in_use == 0) continue;
        int64_t v = sub_roll_dice(g, 1, 10, p.speed);
        const int weapon = p.right_hand[0];
        if (item_exists(g, weapon)) {
            sub_read_item(g, weapon);
            if (fights_as_weapon(g.item_rec.kind)) v += g.item_rec.attack_speed;
        }
        int n = to_integer(mul_round_even(v, sub_attribute_factor(p.speed), 100));
        n = to_integer(double(n) + class_rules(p.class_id).initiative.at(p.level));
        for (const auto& e : p.effects)
            if (e[EFFECT_DURATION] != 0)
                n = effect_on_initiative(n, e[EFFECT_TYPE], e[EFFECT_STRENGTH]);
        if (sub_random_percent(g) < p.karma) n = to_integer(mul_round_even(n, 11, 10));
        init[slot] = n;
        highest = std::max(highest, n);
    }
    return highest;
}

// ---------------------------------------------------------------------------------------
// The party's actions besides melee

bool knows_spell(const PartyMemberRec& p, int spell) {
    return spell > 0 &&
           std::find(p.spells_known.begin(), p.spells_known.end(), spell) != p.spells_known.end();
}

std::string group_monster_name(Game& g, int group) {
    if (group < 0 || group >= MONSTER_GROUP_COUNT) return "";
    sub_read_monster(g, g.monster_groups[group].monster);
    return g.monster_rec.name.trimmed();
}

void start_casting(Game& g, int slot, PartyInitiative& init, int now) {
    PartyMemberRec& p = g.party[slot];
    auto& action = g.combat_actions[slot];
    sub_read_spell(g, action[1]);
    const SpellRec spell = g.spell_rec;
    std::string text = p.name.trimmed() + " starts to cast " + spell.name.trimmed();
    const int t = action[2];
    switch (spell.target_type) {
    case SPELL_TARGET_MEMBER:
    case SPELL_TARGET_COMBAT_MEMBER:
        if (t < TARGET_GROUP_BASE) {
            if (t >= 1 && t <= PARTY_SIZE) text += " at " + g.party[t - 1].name.trimmed();
        } else {
            text += " at the " + group_monster_name(g, t - TARGET_GROUP_BASE);
        }
        break;
    case SPELL_TARGET_PARTY:
    case SPELL_TARGET_COMBAT_NONE:
    case SPELL_TARGET_COMBAT_PARTY:
        if (t < 0)
            text += " at the party";
        else
            text += " at the " + group_monster_name(g, t - TARGET_GROUP_BASE);
        break;
    default:
        break;
    }
    const int left = p.magic_points - spell.mana_cost;
    // (slot, 3) remembers a cast begun without the mana for it: it fails when it would take
    // effect, so no spell is ever had for free.
    action[3] = 0;
    if (left < 0) {
        p.magic_points = 0;
        action[3] = 1;
        text += std::string(".  However ") + (p.sex != 1 ? "s" : "") +
                "he does not have enough mana left";
    } else {
        p.magic_points = to_integer(left);
    }
    action[0] = ACTION_CASTING;
    init[slot] = std::max(1, now - spell.casting_delay);
    text += ".";
    sub_show_message(g, "");
    sub_show_message(g, text);
}

void spell_takes_effect(Game& g, int slot) {
    auto& action = g.combat_actions[slot];
    if (action[3] == 1) {
        g.cast_done = 0;
        g.cast_result = g.party[slot].name.trimmed() + " fails.";
    } else {
        g.cast_spell = action[1];
        g.cast_caster = static_cast<int16_t>(slot);
        g.cast_target = action[2];
        sub_cast_spell_in_combat(g);
    }
    // The spell is spent: the next round starts a new one, and pays for it.
    action[0] = ACTION_CAST;
    action[3] = 0;
    sub_show_message(g, "");
    sub_show_message(g, g.cast_result);
}

void hide(Game& g, int slot) {
    PartyMemberRec& p = g.party[slot];
    const int k = free_effect_slot(g, slot);
    std::string text = p.name.trimmed() + " tries to hide in the shadows ";
    if (k >= 0 && sub_random_percent(g) < p.thief_skills[1] + p.karma) {
        p.effects[k] = {-2, EFFECT_HIDDEN, 1};
        text += "and succeeds.";
    } else {
        text += "but fails.";
    }
    sub_show_message(g, "");
    sub_show_message(g, text);
}

bool heals(const ItemRec& item) {
    return std::any_of(item.use_effects.begin(), item.use_effects.end(),
                       [](const auto& e) { return e[0] == USE_HEALING && e[1] == USE_HIT_POINTS; });
}

// A healing item heals its member target as on the character sheet; any other use says that
// nothing happens. (slot, 2) holds -(target slot + 1).
void use_item_in_combat(Game& g, int slot, int place) {
    const auto& action = g.combat_actions[slot];
    const int item = action[1];
    const int target = -action[2] - 1;
    sub_read_item(g, item);
    const bool member_target = target >= 0 && target < PARTY_SIZE && alive(g.party[target]);
    if (heals(g.item_rec) && member_target) {
        const PartyMemberRec& p = g.party[slot];
        const int identified = place >= 0 ? p.pack[place][PACK_IDENTIFIED] : 1;
        sub_use_item(g, slot, item, target, identified, place);
        return;
    }
    sub_show_message(g, "");
    sub_show_message(g, g.party[slot].name.trimmed() + " uses the " + g.item_rec.name.trimmed() +
                            " but nothing happens.");
}

// An action chosen in an earlier round that the member can no longer carry out becomes
// Defend: a spell no longer known, an item no longer held, melee from the back rows unhidden.
// A rage carries its Berserker to the front from any rank.
bool action_still_possible(Game& g, int slot, int& item_place) {
    const PartyMemberRec& p = g.party[slot];
    const auto& action = g.combat_actions[slot];
    switch (action[0]) {
    case ACTION_ATTACK:
        return slot < 4 || member_has_effect(g, slot, EFFECT_HIDDEN) ||
               member_has_effect(g, slot, EFFECT_BERSERK);
    case ACTION_CAST:
        return knows_spell(p, action[1]) && spell_exists(g, action[1]);
    case ACTION_CASTING:
        return spell_exists(g, action[1]);
    case ACTION_USE_ITEM:
        item_place =
            item_exists(g, action[1]) ? sub_find_item_place(g, slot, action[1]) : USE_FROM_NOWHERE;
        return item_place != USE_FROM_NOWHERE;
    default:
        return true;
    }
}

void party_member_acts(Game& g, int slot, PartyInitiative& init, int now) {
    int place = USE_FROM_NOWHERE;
    if (!action_still_possible(g, slot, place)) {
        g.combat_actions[slot][0] = ACTION_DEFEND;
        return;
    }
    switch (g.combat_actions[slot][0]) {
    case ACTION_ATTACK:
        sub_party_member_attacks(g, slot);
        break;
    case ACTION_CAST:
        start_casting(g, slot, init, now);
        break;
    case ACTION_CASTING:
        spell_takes_effect(g, slot);
        break;
    case ACTION_HIDE:
        hide(g, slot);
        break;
    case ACTION_USE_ITEM:
        use_item_in_combat(g, slot, place);
        break;
    default:
        break;
    }
}

} // namespace

// ---------------------------------------------------------------------------------------
// The round

void sub_combat_round(Game& g) {
    g.keys_enabled = 0;
    g.message_line = -1;
    // A party caught fleeing takes the round without acting; the choices stay for later.
    const bool party_acts = !is_on(g.flee_failed);
    g.flee_failed = 0;
    if (!party_acts) sub_show_message(g, "The party could not escape!");
    sub_show_message(g, "The combat begins...");
    sub_show_message(g, "");

    PartyInitiative init{};
    const int highest = std::max(monster_initiatives(g), party_initiatives(g, init));

    for (int t = highest; t >= 1; --t) {
        for (int slot = 0; slot < PARTY_SIZE && party_acts; ++slot)
            if (alive(g.party[slot]) && init[slot] == t) party_member_acts(g, slot, init, t);
        for (int grp = 0; grp < MONSTER_GROUP_COUNT; ++grp) {
            const int count = std::clamp<int>(g.monster_groups[grp].count, 0, GROUP_MEMBERS);
            if (count <= 0) continue;
            sub_read_monster(g, g.monster_groups[grp].monster);
            const int type = g.monster_rec.monster_type;
            for (int m = 0; m < count; ++m) {
                const auto& state = g.monster_state[grp][m];
                if (state[MONSTER_HIT_POINTS] <= 0 || state[MONSTER_INITIATIVE] != t) continue;
                if (acts_in_a_round(type)) sub_monster_attacks(g, grp, m);
            }
        }
    }

    sub_display_char_status(g);
    sub_combat_upkeep(g);
    sub_compact_monster_groups(g);
    sub_move_dead_members_back(g);
    g.keys_enabled = 1;
    sub_show_message(g, "");
    sub_show_message(g, "Combat Round Finished.");
}

void sub_combat_upkeep(Game& g) {
    for (int slot = 0; slot < PARTY_SIZE; ++slot) {
        PartyMemberRec& p = g.party[slot];
        if (p.in_use <= 0) continue;
        for (auto& e : p.effects) {
            if (e[EFFECT_DURATION] == 0) continue;
            if (e[EFFECT_TYPE] == EFFECT_REGENERATION && p.hit_points > 0 &&
                p.hit_points < p.max_hit_points) {
                const int s = e[EFFECT_STRENGTH];
                p.hit_points =
                    to_integer(std::min<double>(double(p.hit_points) + s, p.max_hit_points));
                sub_show_message(g, "");
                sub_show_message(g, p.name.trimmed() + " recovers" + str_form(s) + " hit point" +
                                        plural(s) + " of damage.");
            }
            if (e[EFFECT_DURATION] > 0) --e[EFFECT_DURATION];
        }
    }
    for (int grp = 0; grp < MONSTER_GROUP_COUNT; ++grp) {
        for (auto& e : g.group_effects[grp])
            if (e[0] > 0) --e[0];
        for (auto& state : g.monster_state[grp])
            if (state[MONSTER_EFFECT_DURATION] > 0) --state[MONSTER_EFFECT_DURATION];
    }
}

// The actions go with their members, so a living member moved forward does not carry out
// the choice (or finish the spell) of the dead one it changed places with.
void sub_move_dead_members_back(Game& g) {
    // As many passes as a full party has neighbours.
    for (int pass = 0; pass < MAX_PARTY - 1; ++pass) {
        for (int a = 1; a < PARTY_SIZE; ++a) {
            const PartyMemberRec& front = g.party[a - 1];
            if (front.in_use > 0 && front.hit_points <= 0 && g.party[a].in_use > 0) {
                sub_swap_party_members(g, a - 1, a);
                std::swap(g.combat_actions[a - 1], g.combat_actions[a]);
            }
        }
    }
}

} // namespace duskwend
