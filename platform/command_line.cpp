#include "platform/command_line.h"

#include <CLI/CLI.hpp>

#include <fstream>
#include <sstream>
#include <unistd.h>

namespace {

// The Data folder beside the executable.
std::filesystem::path default_data_dir() {
    std::error_code ec;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::filesystem::path("Data") : exe.parent_path() / "Data";
}

const CLI::Validator whole_number(
    [](const std::string& s) {
        return !s.empty() && s.find_first_not_of("0123456789") == std::string::npos
                   ? std::string()
                   : "must be a whole number, 0 or more (not " + s + ")";
    },
    "N");

} // namespace

std::variant<Options, int> parse_command_line(int argc, char** argv) {
    Options o;
    CLI::App app{"Duskwend: a fantasy role-playing game played from the keyboard.", "duskwend"};
    std::string data_dir, keys, keys_file;
    uint64_t seed = 0;
    double delay = 0.5;

    app.add_option("--data-dir", data_dir, "the Data folder (default: Data beside the executable)");
    auto* seed_option =
        app.add_option("--seed", seed, "seed the random generator with N instead of the clock")
            ->check(whole_number);
    app.add_option("--scale", o.scale, "window size as a whole multiple of 490 x 355")
        ->check(CLI::Range(1, 16))
        ->default_val(2);
    app.add_flag("--fullscreen", o.fullscreen,
                 "start in full screen (Alt+Enter toggles it at any time)");
    auto* delay_option =
        app.add_option("--message-delay", delay, "seconds of the message pause (default 0.5)")
            ->check(CLI::Range(0.0, 60.0));
    app.add_flag("--headless", o.headless,
                 "no window: start, type the key script, write the outputs, exit");
    auto* keys_option = app.add_option("--keys", keys, "the key script to type after start-up");
    app.add_option("--keys-file", keys_file, "a file holding the key script")
        ->check(CLI::ExistingFile)
        ->excludes(keys_option);
    app.add_option("--dump-text", o.dump_text,
                   "after the keys, write the picture areas' texts (- = stdout)");
    app.add_option("--dump-state", o.dump_state,
                   "after the keys, write the game state as JSON (- = stdout)");
    app.add_option("--screenshot", o.screenshot,
                   "after the keys, write the frame as a PNG at 490 x 355");

    try {
        app.parse(argc, argv);
        if (!keys_file.empty()) {
            std::ifstream in(keys_file, std::ios::binary);
            std::stringstream text;
            text << in.rdbuf();
            if (!in) throw CLI::ValidationError("--keys-file", "cannot read " + keys_file);
            keys = text.str();
        }
        try {
            o.keys = parse_key_script(keys);
        } catch (const std::invalid_argument& e) {
            throw CLI::ValidationError(keys_file.empty() ? "--keys" : "--keys-file", e.what());
        }
    } catch (const CLI::ParseError& e) {
        const int status = app.exit(e);
        return status == 0 ? 0 : 2;
    }
    o.data_dir = data_dir.empty() ? default_data_dir() : std::filesystem::path(data_dir);
    if (*seed_option) o.seed = seed;
    if (*delay_option) o.message_delay = delay;
    return o;
}
