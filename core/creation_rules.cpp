#include "core/creation_rules.h"

#include "core/game.h"
#include "core/numbers.h"

namespace duskwend {

int16_t& new_attribute(Game& g, int k) {
    int16_t* const list[ATTRIBUTE_COUNT] = {
        &g.new_strength, &g.new_intelligence, &g.new_piety,       &g.new_dexterity,
        &g.new_speed,    &g.new_vitality,     &g.new_personality, &g.new_karma};
    return *list[k];
}

void sub_clamp_creation_attributes(Game& g) {
    AttributeAdjustment maximum{};
    maximum.fill(18);
    for (int k = 0; k < ATTRIBUTE_COUNT; ++k) {
        if (is_race(g.new_race)) maximum[k] += RACE_ATTRIBUTES[g.new_race][k];
        maximum[k] += class_rules(g.new_class).maximum_attributes[k];
    }
    for (int k = 0; k < ATTRIBUTE_COUNT; ++k) {
        if (new_attribute(g, k) > maximum[k]) {
            new_attribute(g, k) = static_cast<int16_t>(maximum[k]);
            g.bonus_points = to_integer(g.bonus_points + 1.0);
        }
    }
}

} // namespace duskwend
