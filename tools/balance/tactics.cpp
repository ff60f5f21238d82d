#include "tools/balance/tactics.h"

#include "core/datafiles.h"
#include "core/game.h"
#include "core/rules.h"
#include "tools/balance/session.h"

#include <algorithm>
#include <array>
#include <set>

namespace duskwend {

namespace {

constexpr int ROUNDS_BEFORE_FLEEING = 40;
constexpr int MAX_KEYS = 5000;
constexpr int FALLEN_BEFORE_FLEEING = 2;
constexpr int SPELL_EFFECT_HEALING = 0, SPELL_EFFECT_DAMAGE = 1;

int living_members(const Game& g) {
    return static_cast<int>(std::count_if(g.party.begin(), g.party.end(), alive));
}

int fallen_members(const Game& g) {
    return static_cast<int>(std::count_if(g.party.begin(), g.party.end(), [](const auto& p) {
        return p.in_use > 0 && p.hit_points <= 0;
    }));
}

int living_groups(const Game& g) {
    return static_cast<int>(std::count_if(g.monster_groups.begin(), g.monster_groups.end(),
                                          [](const MonsterGroupRec& m) { return m.count > 0; }));
}

bool hurt(const PartyMemberRec& p) {
    return alive(p) && 2 * p.hit_points < p.max_hit_points;
}

// A member's choice for the round and the keys its action menu takes.
struct Choice {
    std::array<int16_t, 3> action{}; // action, object, target
    int keys = 1;
};

// The keys that pick a known spell in the fight's spell list: Cast, the pages before its
// level (the list opens on the lowest level known, N turns to the next), its letter, and its
// target.
int spell_keys(Game& g, const PartyMemberRec& p, int spell, bool targeted) {
    sub_read_spell(g, spell);
    const int level = g.spell_rec.level;
    std::set<int> lower_levels;
    for (const int s : p.spells_known) {
        if (!spell_exists(g, s)) continue;
        sub_read_spell(g, s);
        if (g.spell_rec.level < level) lower_levels.insert(g.spell_rec.level);
    }
    return 1 + static_cast<int>(lower_levels.size()) + 1 + (targeted ? 1 : 0);
}

// The known spell of an effect with the largest average the member has the mana for, with
// its target type; 0 when there is none.
int best_spell(Game& g, const PartyMemberRec& p, int effect, bool party_wide, int& target_type) {
    int best = 0;
    double best_amount = 0;
    for (const int s : p.spells_known) {
        if (!spell_exists(g, s)) continue;
        sub_read_spell(g, s);
        const SpellRec& r = g.spell_rec;
        if (r.effect != effect || r.mana_cost > p.magic_points) continue;
        const bool wide = r.target_type == 2 || r.target_type == 6;
        const bool one = r.target_type == 1 || r.target_type == 4;
        if (party_wide ? !wide : !one) continue;
        const int type = r.target_type;
        const double amount = spell_average(g, s, p.level);
        if (amount > best_amount) {
            best = s, best_amount = amount, target_type = type;
        }
    }
    return best;
}

int cheapest_healing_cost(Game& g, const PartyMemberRec& p) {
    int cost = 0;
    for (int s : p.spells_known) {
        if (!spell_exists(g, s)) continue;
        sub_read_spell(g, s);
        if (g.spell_rec.effect == SPELL_EFFECT_HEALING &&
            (cost == 0 || g.spell_rec.mana_cost < cost))
            cost = g.spell_rec.mana_cost;
    }
    return cost;
}

Choice attack(const Game& g, int slot) {
    Choice c;
    c.action = {ACTION_ATTACK, 0, 0};
    c.keys = 1 + (living_groups(g) > 1 && slot < 3 ? 1 : 0);
    return c;
}

Choice cast(Game& g, const PartyMemberRec& p, int spell, int target) {
    Choice c;
    c.action = {ACTION_CAST, static_cast<int16_t>(spell), static_cast<int16_t>(target)};
    sub_read_spell(g, spell);
    const int type = g.spell_rec.target_type;
    c.keys = spell_keys(g, p, spell, type != 0 && type != 3);
    return c;
}

// A fight is worth a caster's mana when it is a map's fixed fight, when many monsters stand,
// or when the front monster is a match for the caster.
bool worth_mana(Game& g, const PartyMemberRec& p, bool fixed) {
    if (fixed) return true;
    int standing = 0;
    for (const MonsterGroupRec& m : g.monster_groups) standing += std::max<int>(0, m.count);
    if (standing >= 3) return true;
    if (g.monster_groups[0].monster <= 0) return false;
    sub_read_monster(g, g.monster_groups[0].monster);
    return g.monster_rec.level >= p.level;
}

Choice choose(Game& g, int slot, bool fixed) {
    const PartyMemberRec& p = g.party[static_cast<std::size_t>(slot)];
    if (p.class_id == CLASS_CLERIC) {
        int most_hurt = -1, hurt_count = 0;
        for (int s = 0; s < PARTY_SIZE; ++s) {
            const PartyMemberRec& m = g.party[static_cast<std::size_t>(s)];
            if (!hurt(m)) continue;
            ++hurt_count;
            if (most_hurt < 0 ||
                m.hit_points * g.party[static_cast<std::size_t>(most_hurt)].max_hit_points <
                    g.party[static_cast<std::size_t>(most_hurt)].hit_points * m.max_hit_points)
                most_hurt = s;
        }
        int type = 0;
        if (hurt_count >= 2)
            if (const int s = best_spell(g, p, SPELL_EFFECT_HEALING, true, type))
                return cast(g, p, s, TARGET_PARTY);
        if (most_hurt >= 0)
            if (const int s = best_spell(g, p, SPELL_EFFECT_HEALING, false, type))
                return cast(g, p, s, most_hurt + 1);
        if (worth_mana(g, p, fixed))
            if (const int s = best_spell(g, p, SPELL_EFFECT_DAMAGE, false, type)) {
                sub_read_spell(g, s);
                // Mana for two healings stays in reserve.
                if (p.magic_points - g.spell_rec.mana_cost >= 2 * cheapest_healing_cost(g, p))
                    return cast(g, p, s, TARGET_GROUP_BASE);
            }
    } else if (p.class_id == CLASS_MAGE && worth_mana(g, p, fixed)) {
        int type = 0;
        if (const int s = best_spell(g, p, SPELL_EFFECT_DAMAGE, false, type))
            return cast(g, p, s, TARGET_GROUP_BASE);
    }
    if (slot < 4) return attack(g, slot);
    Choice c;
    c.action = {ACTION_DEFEND, 0, 0};
    return c;
}

} // namespace

double spell_average(Game& g, int spell, int level) {
    sub_read_spell(g, spell);
    const SpellRec& r = g.spell_rec;
    const auto dice = [](int n, int s, int b) { return n * (s + 1) / 2.0 + b; };
    return dice(r.amount_dice, r.amount_sides, r.amount_bonus) +
           level * dice(r.amount_level_dice, r.amount_level_sides, r.amount_level_bonus);
}

FightResult play_fight(Game& g, Keyboard& kb, bool fixed) {
    FightResult result;
    const int fallen_before = fallen_members(g);
    for (int keys = 0; is_on(g.combat_active); ++keys) {
        if (keys > MAX_KEYS) {
            result.stuck = true;
            return result;
        }
        if (g.combat_step == COMBAT_ENCOUNTER) {
            ++result.rounds;
            const bool losing = fallen_members(g) - fallen_before >= FALLEN_BEFORE_FLEEING;
            if ((losing || result.rounds > ROUNDS_BEFORE_FLEEING) && living_members(g) > 0) {
                kb.type("F");
                continue;
            }
            // The actions stay from round to round; a player changes only what must change.
            bool changed = false;
            int menu_keys = 0;
            for (int s = 0; s < PARTY_SIZE; ++s) {
                if (!alive(g.party[static_cast<std::size_t>(s)])) continue;
                const Choice c = choose(g, s, fixed);
                auto& a = g.combat_actions[static_cast<std::size_t>(s)];
                if (a[0] != c.action[0] || a[1] != c.action[1] || a[2] != c.action[2]) {
                    changed = true;
                    menu_keys += c.keys;
                    a = {c.action[0], c.action[1], c.action[2], 0};
                } else {
                    menu_keys += 1; // N: no change
                }
            }
            // Assign Actions and the menus instead of Quick Attack.
            if (changed) kb.count(menu_keys);
            kb.type("Q");
            kb.type("B");
        } else if (g.combat_step == COMBAT_VICTORY || g.combat_step == COMBAT_DEFEAT) {
            // The key that leaves the fight. Back on the map, the square's own fight may begin
            // at once: that is a fight of its own.
            result.end =
                g.combat_step == COMBAT_VICTORY ? FightResult::End::Won : FightResult::End::Lost;
            result.deaths = std::max(0, fallen_members(g) - fallen_before);
            kb.type(" ");
            return result;
        } else {
            // The round has been fought: the next key shows how it went.
            kb.type(" ");
        }
    }
    // The party fled.
    result.deaths = std::max(0, fallen_members(g) - fallen_before);
    result.end = FightResult::End::Fled;
    return result;
}

} // namespace duskwend
