#include "core/map_events.h"

namespace duskwend {

bool event_test_holds(int test, int flag_value, int want) {
    switch (test) {
    case 1:
        return flag_value > 0;
    case 2:
        return flag_value == 0;
    case 3:
        return flag_value == want;
    case 4:
        return flag_value < want;
    case 5:
        return flag_value > want;
    default:
        return false;
    }
}

bool event_condition_holds(const MapEvent& e, std::span<const int16_t> flags) {
    const int flag = e[EVENT_FLAG];
    if (flag < 1) return true;
    if (static_cast<std::size_t>(flag) >= flags.size()) return false;
    return event_test_holds(e[EVENT_TEST], flags[static_cast<std::size_t>(flag)],
                            e[EVENT_TEST_VALUE]);
}

} // namespace duskwend
