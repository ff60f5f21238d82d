#pragma once
// Storing computed values into record fields: round half to even, then saturate to the
// field's range, so nothing ever wraps.

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

namespace duskwend {

template <class T> T saturate(double v) {
    if (std::isnan(v)) return 0;
    const double r = std::nearbyint(v);
    if (r <= static_cast<double>(std::numeric_limits<T>::min()))
        return std::numeric_limits<T>::min();
    if (r >= static_cast<double>(std::numeric_limits<T>::max()))
        return std::numeric_limits<T>::max();
    return static_cast<T>(r);
}

inline int16_t to_integer(double v) {
    return saturate<int16_t>(v);
}
inline int32_t to_long(double v) {
    return saturate<int32_t>(v);
}

// "Str" form: a number that is not negative gets one leading blank (10 -> " 10", -3 -> "-3").
inline std::string str_form(long long n) {
    return (n >= 0 ? " " : "") + std::to_string(n);
}
// The "s" of a count above one: "1 point", "2 points" (and "0 point").
inline std::string plural(long long n) {
    return n > 1 ? "s" : "";
}
// Plain form: 10 -> "10".
inline std::string plain_form(long long n) {
    return std::to_string(n);
}

} // namespace duskwend
