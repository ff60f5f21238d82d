// Exact products and quotients, rounded half to even, saturating instead of wrapping.
#include "core/exact.h"

#include <cmath>
#include <limits>
#include <numeric>

namespace duskwend {

namespace {

// Saturated results stop at -MAX rather than the lowest value, which has no negative.
constexpr int64_t MAX = std::numeric_limits<int64_t>::max();

int64_t saturate(long double v) {
    if (std::isnan(v)) return 0;
    if (v >= static_cast<long double>(MAX)) return MAX;
    if (v <= -static_cast<long double>(MAX)) return -MAX;
    return static_cast<int64_t>(v);
}

int64_t negated(int64_t v) {
    return v == std::numeric_limits<int64_t>::min() ? MAX : -v;
}

int64_t saturated_product(int64_t a, int64_t b) {
    int64_t p = 0;
    if (__builtin_mul_overflow(a, b, &p)) return (a < 0) != (b < 0) ? -MAX : MAX;
    return p;
}

} // namespace

int64_t floor_div(int64_t num, int64_t den) {
    if (den == 0) return 0;
    if (den == -1) return negated(num);
    int64_t q = num / den;
    if (num % den != 0 && (num < 0) != (den < 0)) --q;
    return q;
}

int64_t div_round_even(int64_t num, int64_t den) {
    if (den == 0) return 0;
    if (den < 0) {
        num = negated(num);
        den = negated(den);
    }
    int64_t q = num / den, r = num % den;
    if (r < 0) --q, r += den; // now q is rounded down and 0 <= r < den
    const int64_t rest = den - r;
    if (r > rest || (r == rest && q % 2 != 0)) ++q;
    return q;
}

int64_t mul_round_even(int64_t value, int64_t num, int64_t den) {
    return div_round_even(saturated_product(value, num), den);
}

ExactValue& ExactValue::add(int64_t whole) {
    int64_t sum = 0;
    if (__builtin_add_overflow(num_, saturated_product(whole, den_), &sum))
        sum = whole < 0 ? -MAX : MAX;
    num_ = sum;
    return *this;
}

ExactValue& ExactValue::scale(int64_t num, int64_t den) {
    if (den == 0) return *this;
    if (den < 0) num = negated(num), den = negated(den);
    num = num < -MAX ? -MAX : num;
    // Cancelling crosswise first keeps every value a game reaches exact; beyond 64 bits the
    // value goes on as a close fraction instead of wrapping.
    const int64_t a = std::gcd(num_, den), b = std::gcd(num, den_);
    int64_t n = 0, d = 0;
    if (__builtin_mul_overflow(num_ / a, num / b, &n) ||
        __builtin_mul_overflow(den_ / b, den / a, &d)) {
        const long double v = static_cast<long double>(num_) / den_ * num / den;
        constexpr int64_t FINE = int64_t(1) << 20;
        num_ = saturate(std::nearbyint(v * FINE));
        den_ = FINE;
        return *this;
    }
    const int64_t c = std::gcd(n, d);
    num_ = n / c;
    den_ = d / c;
    return *this;
}

} // namespace duskwend
