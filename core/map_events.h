#pragma once
// The fields of a map event (one row of MapRec::events) and the condition an event may carry:
// a game flag tested as set, clear, equal to, below or above a value. The square events, the
// end of a fixed fight and the world's checker all test it here.

#include "core/records.h"

#include <array>
#include <cstdint>
#include <span>

namespace duskwend {

using MapEvent = std::array<int16_t, MAP_EVENT_FIELDS>;

// Field 0 the kind (0: no event), 2 and 3 the square, 4 to 7 what the kind makes of them, 8 the
// flag of the condition (below 1: none), 9 the test, 10 the value tested against.
constexpr int EVENT_KIND = 0, EVENT_X = 2, EVENT_Y = 3, EVENT_P1 = 4, EVENT_P2 = 5, EVENT_P3 = 6,
              EVENT_P4 = 7, EVENT_FLAG = 8, EVENT_TEST = 9, EVENT_TEST_VALUE = 10;

// Test 1: the flag is set (above 0); 2: clear (0); 3: equal to `want`; 4: below it; 5: above
// it. Any other test never holds.
bool event_test_holds(int test, int flag_value, int want);

// An event without a flag always holds; a flag number past the table never does, so damaged
// data is skipped rather than followed.
bool event_condition_holds(const MapEvent& e, std::span<const int16_t> flags);

} // namespace duskwend
