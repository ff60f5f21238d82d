#include "core/random.h"

#include <ctime>

namespace duskwend {

uint64_t clock_seed() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return static_cast<uint64_t>(local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec);
}

} // namespace duskwend
