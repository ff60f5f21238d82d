// duskwend-soak: types random keys, weighted toward real play, into the game headless for
// many seeds, and checks after every key that the state is whole.
//
//   duskwend-soak --data-dir build/Data [--keys N] [--seconds T] [--first-seed S]
//
// A broken state prints the seed, the problem and the seed's whole key script for replaying
// with `duskwend --keys-file`, and ends with status 1.
#include "soak.h"

#include <CLI/CLI.hpp>

#include <iostream>

int main(int argc, char** argv) {
    using namespace duskwend;
    CLI::App app{"Types random keys into the game and checks its state after every key"};
    SoakOptions o;
    std::string data_dir;
    app.add_option("--data-dir", data_dir, "the Data folder to copy")->required();
    app.add_option("--keys", o.total_keys, "keys to type in all (default 1,000,000)");
    app.add_option("--seconds", o.seconds, "stop after this many seconds (0: no limit)");
    app.add_option("--first-seed", o.first_seed, "the first seed (default 1)");
    app.add_option("--keys-per-seed", o.keys_per_seed, "keys typed into one game (default 2000)");
    app.add_option("--script-length", o.script_length,
                   "keys per line of a replay script (default 250)");
    CLI11_PARSE(app, argc, argv);
    o.data_dir = data_dir;

    const SoakResult r = run_soak(o);
    if (!r.problem.empty())
        std::cerr
            << "soak: seed " << r.failing_seed << ", after key " << r.keys << ": " << r.problem
            << "\n  replay: duskwend --headless --data-dir <a fresh copy of Data> --keys-file "
            << r.replay.string() << "\n";
    std::cout << "soak: " << r.keys << " keys, " << r.scripts << " scripts, " << r.seeds
              << " seeds (from " << o.first_seed << "), " << static_cast<long>(r.seconds)
              << " s; reached: " << coverage_text(r.coverage) << "; "
              << (r.problem.empty() ? "every state whole" : "FAILED") << "\n";
    return r.problem.empty() ? 0 : 1;
}
