#pragma once
// The game's one random generator: uniform reals r with 0 <= r < 1, reproducible from a seed.

#include <cstdint>
#include <random>

namespace duskwend {

// Seconds since local midnight: the seed of a run that is given none.
uint64_t clock_seed();

class Random {
  public:
    void seed(uint64_t s) { engine_.seed(s); }
    double next() { return static_cast<double>(engine_() >> 11) * 0x1.0p-53; }

  private:
    std::mt19937_64 engine_{0};
};

} // namespace duskwend
