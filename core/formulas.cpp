// Dice, percentages and the formulas several screens share.
#include "core/class_rules.h"
#include "core/exact.h"
#include "core/game.h"
#include "core/numbers.h"
#include "core/rules.h"

#include <algorithm>
#include <cmath>

namespace duskwend {

double sub_random(Game& g) {
    return g.rng.next();
}

int16_t sub_roll_dice(Game& g, int n, int s, int b) {
    int64_t total = 0;
    for (int i = 0; i < n; ++i) total += static_cast<int64_t>(std::floor(s * sub_random(g) + 1));
    return to_integer(static_cast<double>(total + b));
}

int16_t sub_random_percent(Game& g) {
    return static_cast<int16_t>(std::floor(100 * sub_random(g)));
}

int16_t sub_attribute_factor(int v) {
    const int64_t sum = v <= 0 ? 0 : int64_t(v) * (v + 1) / 2;
    return to_integer(static_cast<double>(sum <= 32 ? 33 : sum));
}

int32_t sub_experience_needed(Game& g, int slot) {
    const PartyMemberRec& m = g.party[slot];
    const double x = to_long(1000.0 * std::pow(2.0, m.level - 1));
    return to_long(x * class_rules(m.class_id).experience_factor);
}

int16_t sub_roll_level_gains(Game& g, int which, int slot) {
    const PartyMemberRec& m = g.party[slot];
    const auto F = [](int a) { return sub_attribute_factor(a) / 100.0; };
    const ClassRules& c = class_rules(m.class_id);
    double H = F(m.vitality) * c.hit_points.per_level;
    double M = F(attribute(m, c.mana_attribute)) * c.mana.per_level;
    H = std::nearbyint(H) + 1;
    M = std::nearbyint(M);
    if (sub_random_percent(g) < m.karma) {
        H = double(mul_round_even(int64_t(H), 11, 10));
        M = double(mul_round_even(int64_t(M), 11, 10));
    }
    if (which == 1) return to_integer(H);
    if (which == 2) return to_integer(M);
    return 0;
}

double sub_haggled_price(const Game& g, double price, int slot) {
    const PartyMemberRec& m = g.party[slot];
    // Prices are whole: price / 10 + price / 10 x F / 100 = price x (100 + F) / 1000.
    const int64_t whole = static_cast<int64_t>(price);
    const int64_t discount = floor_div(whole * (100 + sub_attribute_factor(m.personality)), 1000);
    const int64_t paid = class_rules(m.class_id).haggler ? mul_round_even(whole, 9, 10) : whole;
    // A winning personality brings the price down to nothing, never below: buying must not pay
    // the buyer.
    return double(std::max<int64_t>(0, paid - discount));
}

int16_t sub_haggle_price(Game& g, int16_t& price, int slot) {
    const double result = sub_haggled_price(g, price, slot);
    if (class_rules(g.party[slot].class_id).haggler)
        price = to_integer(mul_round_even(price, 9, 10));
    return to_integer(result);
}

} // namespace duskwend
