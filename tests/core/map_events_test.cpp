// The condition of a map event, as the square events, the end of a fixed fight and the
// world's checker test it.
#include "core/map_events.h"

#include <gtest/gtest.h>

#include <vector>

namespace duskwend {

namespace {

MapEvent with_condition(int flag, int test, int want) {
    MapEvent e{};
    e[EVENT_KIND] = 4;
    e[EVENT_FLAG] = static_cast<int16_t>(flag);
    e[EVENT_TEST] = static_cast<int16_t>(test);
    e[EVENT_TEST_VALUE] = static_cast<int16_t>(want);
    return e;
}

TEST(MapEvents, EachTestComparesTheFlagWithTheValue) {
    struct Case {
        int test, flag_value, want;
        bool holds;
    };
    const std::vector<Case> cases = {
        {1, 1, 0, true},  {1, 0, 0, false}, {1, -1, 0, false}, // set: above 0
        {2, 0, 9, true},  {2, 3, 0, false},                    // clear
        {3, 4, 4, true},  {3, 5, 4, false},                    // equal
        {4, 3, 4, true},  {4, 4, 4, false},                    // below
        {5, 5, 4, true},  {5, 4, 4, false},                    // above
        {0, 1, 1, false}, {6, 1, 0, false},                    // no such test
    };
    std::array<int16_t, 101> flags{};
    for (const Case& c : cases) {
        EXPECT_EQ(event_test_holds(c.test, c.flag_value, c.want), c.holds)
            << "test " << c.test << ", flag " << c.flag_value << ", value " << c.want;
        flags[7] = static_cast<int16_t>(c.flag_value);
        EXPECT_EQ(event_condition_holds(with_condition(7, c.test, c.want), flags), c.holds)
            << "test " << c.test << " through flag 7";
    }
}

TEST(MapEvents, NoFlagAlwaysHoldsAndAFlagPastTheTableNever) {
    std::array<int16_t, 101> flags{};
    flags.fill(1);
    EXPECT_TRUE(event_condition_holds(with_condition(0, 3, 99), flags));
    EXPECT_TRUE(event_condition_holds(with_condition(-5, 1, 0), flags));
    EXPECT_TRUE(event_condition_holds(with_condition(100, 1, 0), flags));
    EXPECT_FALSE(event_condition_holds(with_condition(101, 1, 0), flags));
    EXPECT_FALSE(event_condition_holds(with_condition(32767, 2, 0), flags));
}

} // namespace

} // namespace duskwend
