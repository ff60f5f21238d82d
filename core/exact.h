#pragma once
// Game values times fractional factors (x 1.1, x (1 + 0.05 x s), a tenth of a price) computed
// exactly in integers and rounded to the nearest whole number, halves to even. In binary
// floating point 95 x 1.1 is 104.50000000000001 and would round to 105; here it is 104.5 and
// rounds to 104. Results beyond the 64-bit range saturate, they never wrap.

#include <cstdint>

namespace duskwend {

// num / den rounded to the nearest whole number, halves to even (den 0 gives 0).
int64_t div_round_even(int64_t num, int64_t den);
// value x num / den, rounded as div_round_even.
int64_t mul_round_even(int64_t value, int64_t num, int64_t den);
// num / den rounded down, towards minus infinity: the "whole part" the rules take.
int64_t floor_div(int64_t num, int64_t den);

// A value carried as an exact fraction through several steps and rounded once at the end
// (an armour class goes through attribute factors, item percentages and effects).
class ExactValue {
  public:
    explicit ExactValue(int64_t whole) : num_(whole) {}
    ExactValue& add(int64_t whole);
    ExactValue& scale(int64_t num, int64_t den); // x num / den
    int64_t rounded() const { return div_round_even(num_, den_); }

  private:
    int64_t num_;
    int64_t den_ = 1;
};

} // namespace duskwend
