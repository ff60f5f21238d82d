#include "platform/command_line.h"

#include "core/version.h"

#include <CLI/CLI.hpp>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace duskwend {

namespace {

// The Data folder beside the executable.
std::filesystem::path default_data_dir() {
    std::error_code ec;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) return "Data";
    // Installed, the Data folder lies in share/duskwend beside bin.
    const auto installed = exe.parent_path().parent_path() / "share/duskwend/Data";
    if (!std::filesystem::is_directory(exe.parent_path() / "Data", ec) &&
        std::filesystem::is_directory(installed, ec))
        return installed;
    return exe.parent_path() / "Data";
}

} // namespace

std::filesystem::path player_data_dir(const std::filesystem::path& fallback) {
    const char* xdg = std::getenv("XDG_DATA_HOME");
    if (xdg && *xdg == '/') return std::filesystem::path(xdg) / "duskwend";
    const char* home = std::getenv("HOME");
    if (home && *home == '/') return std::filesystem::path(home) / ".local/share/duskwend";
    return fallback;
}

namespace {

const CLI::Validator whole_number(
    [](const std::string& s) {
        return seed_from_digits(s) ? std::string()
                                   : "must be a whole number from 0 to " +
                                         std::to_string(UINT64_MAX) + " (not " + s + ")";
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
            ->check(CLI::Range(0.0, 60.0))
            ->check(CLI::Validator(
                [](const std::string& s) {
                    // "nan" passes a range check: no comparison with it is ever true.
                    return std::isfinite(std::strtod(s.c_str(), nullptr))
                               ? std::string()
                               : "must be a number of seconds (not " + s + ")";
                },
                "S"));
    app.add_flag("--headless", o.headless,
                 "no window: start, type the key script, write the outputs, exit");
    app.add_flag("--serve", o.serve,
                 "no window: answer JSON requests on stdin with frames on stdout, one a line")
        ->excludes("--headless");
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
    std::string save_dir;
    app.add_option("--save-dir", save_dir,
                   "the folder of saves, map and settings (default: $XDG_DATA_HOME/duskwend, "
                   "else ~/.local/share/duskwend; with --data-dir alone, the Data folder)");
    app.add_option("--record", o.record,
                   "write every key typed, with the seed, to FILE as a key script");
    app.set_version_flag("--version", std::string("duskwend ") + GAME_VERSION,
                         "print the version and exit");

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
            KeyScript script = read_key_script(keys);
            o.keys = std::move(script.keys);
            // A recorded script brings its seed; --seed given as well wins.
            if (script.seed && !*seed_option) o.seed = script.seed;
        } catch (const std::invalid_argument& e) {
            throw CLI::ValidationError(keys_file.empty() ? "--keys" : "--keys-file", e.what());
        }
    } catch (const CLI::ParseError& e) {
        const int status = app.exit(e);
        return status == 0 ? 0 : 2;
    }
    o.data_dir = data_dir.empty() ? default_data_dir() : std::filesystem::path(data_dir);
    // A run pointed at a Data folder keeps its saves there, as it always did.
    o.save_dir = !save_dir.empty()   ? std::filesystem::path(save_dir)
                 : !data_dir.empty() ? o.data_dir
                                     : player_data_dir(o.data_dir);
    if (*seed_option) o.seed = seed;
    if (*delay_option) o.message_delay = delay;
    return o;
}

} // namespace duskwend
