// A party member's current attributes, resistances and armour class, derived from base
// values, class, level, equipment and effects.
#include "core/class_rules.h"
#include "core/exact.h"
#include "core/game.h"
#include "core/numbers.h"
#include "core/rules.h"

namespace duskwend {

namespace {

void add(int16_t& field, int amount) {
    field = to_integer(double(field) + amount);
}

void apply_attribute_effect(PartyMemberRec& p, int kind, int s) {
    switch (kind) {
    case EFFECT_BLESS:
        break;
    case EFFECT_DISEASE:
        add(p.strength, -(s + 1));
        add(p.dexterity, -s);
        add(p.speed, -(s + 1));
        add(p.vitality, -s);
        add(p.personality, -(s + 1));
        break;
    case EFFECT_BERSERK:
    case EFFECT_STRENGTH_CHANGE:
        add(p.strength, s);
        break;
    default:
        break;
    }
}

void apply_armour_effect(ExactValue& A, int kind, int s) {
    switch (kind) {
    case EFFECT_BLESS:
        A.add(5 * s).scale(20 + s, 20);
        break;
    case EFFECT_DISEASE:
        A.add(-s).scale(20 - s, 20);
        break;
    case EFFECT_BERSERK:
        A.scale(1, 2);
        break;
    case EFFECT_ARMOUR:
        A.add(s);
        break;
    default:
        break;
    }
}

// The attribute factor as a multiplier, at least 0.8 or else a half.
void apply_speed_factor(ExactValue& A, int v) {
    const int f = sub_attribute_factor(v);
    if (f >= 80)
        A.scale(f, 100);
    else
        A.scale(1, 2);
}

} // namespace

// Every member present is derived, the seventh too: a party of seven is allowed, and a seventh
// member left underived would show armour class 0 for good.
void sub_update_party_stats(Game& g) {
    for (int m = 0; m < PARTY_SIZE; ++m) {
        PartyMemberRec& p = g.party[m];
        if (p.in_use < 1) continue;
        sub_tidy_pack(g, m);
        for (int k = 0; k < ATTRIBUTE_COUNT; ++k) attribute(p, k) = base_attribute(p, k);

        bool affected = false;
        for (const auto& e : p.effects) {
            if (e[EFFECT_DURATION] == 0) continue;
            affected = true;
            apply_attribute_effect(p, e[EFFECT_TYPE], e[EFFECT_STRENGTH]);
        }
        // Personality is never capped.
        for (int k : {0, 1, 2, 3, 4, 5, 7})
            if (attribute(p, k) > 25) attribute(p, k) = 25;

        ExactValue A(int64_t(p.dexterity) + p.speed);
        const LevelTerm& armour = class_rules(p.class_id).armour;
        A.add(armour.constant + int64_t(armour.per_level) * p.level);
        const int16_t worn[3] = {p.body, p.right_hand[0], p.left_hand[0]};
        for (int16_t item : worn) {
            if (item <= 0) continue;
            sub_read_item(g, item);
            A.add(g.item_rec.armour);
        }
        apply_speed_factor(A, p.speed);
        apply_speed_factor(A, p.dexterity);
        for (int16_t item : worn) {
            if (item <= 0) continue;
            sub_read_item(g, item);
            if (g.item_rec.armour_percent > 0) A.scale(g.item_rec.armour_percent, 100);
        }
        if (affected)
            for (const auto& e : p.effects)
                if (e[EFFECT_DURATION] != 0)
                    apply_armour_effect(A, e[EFFECT_TYPE], e[EFFECT_STRENGTH]);
        p.armour_class = to_integer(double(A.rounded()));

        p.resistances = p.base_resistances;
        if (affected)
            for (const auto& e : p.effects)
                if (e[EFFECT_DURATION] != 0 && e[EFFECT_TYPE] == EFFECT_BLESS)
                    for (auto& r : p.resistances) add(r, 5 * e[EFFECT_STRENGTH]);
    }
}

bool alive(const PartyMemberRec& m) {
    return m.in_use > 0 && m.hit_points > 0;
}

} // namespace duskwend
