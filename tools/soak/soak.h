#pragma once
// The soak: random keys, weighted toward real play, typed into the game headless for many
// seeds, with the whole state checked after every key.

#include "invariants.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>

namespace duskwend {

struct SoakOptions {
    std::filesystem::path data_dir;
    uint64_t total_keys = 1000000, first_seed = 1;
    double seconds = 0; // 0: no limit
    std::size_t keys_per_seed = 2000;
    // Keys typed between the lines of a replay script (the state is checked after each key).
    std::size_t script_length = 250;
    // Where a failing seed's key script is written.
    std::filesystem::path replay_dir = ".";
    // Run on each new game once its screens are registered: a test changes a rule here.
    std::function<void(Game&)> adjust_game;
};

struct SoakResult {
    uint64_t keys = 0, scripts = 0, seeds = 0;
    double seconds = 0;
    std::string problem; // empty when every state was whole
    uint64_t failing_seed = 0;
    std::filesystem::path replay; // the failing seed's key script
    Coverage coverage;
};

SoakResult run_soak(const SoakOptions& options);

} // namespace duskwend
