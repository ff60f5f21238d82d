#include "core/creation_rules.h"

#include "core/game.h"
#include "core/numbers.h"

namespace {

// Attribute maxima by class (on top of 18 and the race's numbers).
constexpr AttributeAdjustment CLASS_MAXIMUM[8] = {
    {1, -1, 0, -1, -1, 1, 0, 0}, {0, 0, -1, 1, 1, 0, -1, 0},  {0, -1, 2, 0, 0, 0, 1, 0},
    {-1, 3, 0, 0, 0, -1, 0, 0},  {2, -2, 0, -1, -1, 1, 0, 0}, {1, -1, 0, 0, 0, 0, -1, 0},
    {1, -1, 1, -1, -1, 0, 1, 0}, {-1, 0, -1, 1, 0, 0, 1, 0}};

} // namespace

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
        if (valid_race(g.new_race)) maximum[k] += RACE_ATTRIBUTES[g.new_race][k];
        if (valid_class(g.new_class)) maximum[k] += CLASS_MAXIMUM[g.new_class][k];
    }
    for (int k = 0; k < ATTRIBUTE_COUNT; ++k) {
        if (new_attribute(g, k) > maximum[k]) {
            new_attribute(g, k) = static_cast<int16_t>(maximum[k]);
            g.bonus_points = to_integer(g.bonus_points + 1.0);
        }
    }
}
