// Products with fractional factors rounded on their true value, halves to even: the helper
// itself, and the haggled price and the armour class that go through it.
#include "core/exact.h"
#include "core/game.h"
#include "core/rules.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

namespace duskwend {

namespace {

TEST(Exact, ProductsRoundOnTheirTrueValueHalvesToEven) {
    struct Case {
        int64_t value, num, den, rounded;
    };
    const Case cases[] = {
        {95, 11, 10, 104}, {55, 11, 10, 60}, {105, 11, 10, 116},  {5, 1, 2, 2},   {7, 1, 2, 4},
        {-5, 1, 2, -2},    {-7, 1, 2, -4},   {-95, 11, 10, -104}, {5, -1, 2, -2}, {7, 1, -2, -4},
        {19, 1, 10, 2},    {-19, 1, 10, -2}, {0, 11, 10, 0},      {3, 1, 0, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(mul_round_even(c.value, c.num, c.den), c.rounded)
            << c.value << " x " << c.num << " / " << c.den;

    EXPECT_EQ(floor_div(7, 2), 3);
    EXPECT_EQ(floor_div(-7, 2), -4);
    EXPECT_EQ(floor_div(7, -2), -4);
    EXPECT_EQ(floor_div(-8, 2), -4);

    constexpr int64_t MAX = std::numeric_limits<int64_t>::max();
    EXPECT_EQ(mul_round_even(MAX, 3, 1), MAX) << "saturates";
    EXPECT_EQ(mul_round_even(MAX, -3, 1), -MAX);
    EXPECT_EQ(div_round_even(std::numeric_limits<int64_t>::min(), 3), -3074457345618258603);
}

TEST(Exact, AValueThroughSeveralFactorsRoundsOnce) {
    // 36 x 1.05 x 0.5 = 18.9; 45 + 10 = 55, x 1.1 = 60.5 goes to 60.
    EXPECT_EQ(ExactValue(36).scale(105, 100).scale(1, 2).rounded(), 19);
    EXPECT_EQ(ExactValue(45).add(10).scale(22, 20).rounded(), 60);
    EXPECT_EQ(ExactValue(-5).scale(1, 2).rounded(), -2);
    // Far beyond any game value it stays close instead of wrapping.
    ExactValue v(1000);
    for (int k = 0; k < 40; ++k) v.scale(21, 20);
    for (int k = 0; k < 40; ++k) v.scale(20, 21);
    EXPECT_NEAR(double(v.rounded()), 1000, 1);
}

TEST(Exact, HaggledPricesTakeTheWholeOfTheTrueDiscount) {
    struct Case {
        int personality, class_id, price, paid;
    };
    // Personality 28 (factor 4.06): 500 loses 50 + 203 = 253 exactly; 29 (4.35): 1800 loses
    // 180 + 783 = 963. A Merchant's 0.9 rounds halves to even (15 x 0.9 = 13.5 -> 14).
    const Case cases[] = {{28, 0, 500, 247},
                          {28, 0, 1000, 494},
                          {29, 0, 1800, 837},
                          {10, 0, 100, 85},
                          {10, 7, 15, 12}};
    for (const Case& c : cases) {
        Game g;
        g.party[0].personality = int16_t(c.personality);
        g.party[0].class_id = int16_t(c.class_id);
        int16_t price = int16_t(c.price);
        EXPECT_EQ(sub_haggle_price(g, price, 0), c.paid) << c.personality << " " << c.price;
    }
}

TEST(Exact, ABlessedArmourClassRoundsOnItsTrueValue) {
    // A level-33 Fighter with dexterity and speed 5: 5 + 5 + 5 + 165 = 180, halved twice
    // (factors below 0.8) = 45; a blessing of 2 makes (45 + 10) x 1.1 = 60.5, so 60.
    Game g;
    PartyMemberRec& m = g.party[0];
    m.in_use = 1, m.class_id = 0, m.level = 33, m.base_dexterity = 5, m.base_speed = 5;
    m.effects[0] = {10, EFFECT_BLESS, 2};
    sub_update_party_stats(g);
    EXPECT_EQ(m.armour_class, 60);
}

} // namespace

} // namespace duskwend
