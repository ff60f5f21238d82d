// A party member's current attributes, resistances and armour class, derived from base
// values, class, level, equipment and effects.
#include "core/game.h"
#include "core/numbers.h"
#include "core/rules.h"

namespace {

struct ClassArmour {
    int constant, per_level;
};
constexpr ClassArmour CLASS_ARMOUR[8] = {{5, 5}, {15, 5}, {6, 3}, {5, 3},
                                         {8, 2}, {6, 4},  {7, 3}, {12, 4}};

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

double apply_armour_effect(double A, int kind, int s) {
    switch (kind) {
    case EFFECT_BLESS:
        return (A + 5.0 * s) * (1 + 0.05 * s);
    case EFFECT_DISEASE:
        return (A - s) * (1 - s / 20.0);
    case EFFECT_BERSERK:
        return A / 2;
    case EFFECT_ARMOUR:
        return A + s;
    default:
        return A;
    }
}

double speed_factor(int v) {
    const double f = sub_attribute_factor(v) / 100.0;
    return f >= 0.8 ? f : 0.5;
}

} // namespace

void sub_update_party_stats(Game& g) {
    for (int m = 0; m <= 5; ++m) {
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

        double A = double(p.dexterity) + p.speed;
        if (p.class_id >= 0 && p.class_id < 8)
            A += CLASS_ARMOUR[p.class_id].constant +
                 double(CLASS_ARMOUR[p.class_id].per_level) * p.level;
        const int16_t worn[3] = {p.body, p.right_hand[0], p.left_hand[0]};
        for (int16_t item : worn) {
            if (item <= 0) continue;
            sub_read_item(g, item);
            A += g.item_rec.armour;
        }
        A *= speed_factor(p.speed);
        A *= speed_factor(p.dexterity);
        for (int16_t item : worn) {
            if (item <= 0) continue;
            sub_read_item(g, item);
            if (g.item_rec.armour_percent > 0) A = A * g.item_rec.armour_percent / 100;
        }
        if (affected)
            for (const auto& e : p.effects)
                if (e[EFFECT_DURATION] != 0)
                    A = apply_armour_effect(A, e[EFFECT_TYPE], e[EFFECT_STRENGTH]);
        p.armour_class = to_integer(A);

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
