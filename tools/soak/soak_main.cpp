// duskwend-soak: types random keys, weighted toward real play, into the game headless for
// many seeds, and checks after every script that the state is whole.
//
//   duskwend-soak --data-dir build/Data [--keys N] [--seconds T] [--first-seed S]
//
// Each seed starts a fresh game on a scratch copy of the Data folder (saves land there) and
// types scripts of a few hundred keys. A broken state prints the seed, the script and the
// problem, writes the seed's whole key script for replaying with `duskwend --keys-file`, and
// ends with status 1.

#include "core/city_map.h"
#include "core/dispatch.h"
#include "core/game.h"
#include "invariants.h"
#include "platform/font.h"
#include "platform/keys.h"
#include "platform/session.h"
#include "screens/register_screens.h"

#include <CLI/CLI.hpp>

#include <chrono>
#include <fstream>
#include <iostream>
#include <map>
#include <random>
#include <tuple>
#include <unistd.h>

namespace duskwend {

namespace fs = std::filesystem;

namespace {

// The pictures do not change during a soak: each is read once (the loader itself is
// fuzzed on its own).
class SoakHost final : public Host {
  public:
    std::optional<Bitmap> load_bitmap(const std::string& path) override {
        auto it = pictures_.find(path);
        if (it == pictures_.end()) it = pictures_.emplace(path, read_bitmap_file(path)).first;
        return it->second;
    }

  private:
    std::map<std::string, std::optional<Bitmap>> pictures_;
};

// The font's widths, measured once per text.
class RememberedWidths final : public FontMetrics {
  public:
    explicit RememberedWidths(const FontMetrics& font) : font_(font) {}
    int text_width(std::string_view text, bool bold) const override {
        auto& known = widths_[bold ? 1 : 0];
        auto it = known.find(text);
        if (it == known.end())
            it = known.emplace(std::string(text), font_.text_width(text, bold)).first;
        return it->second;
    }

  private:
    const FontMetrics& font_;
    mutable std::map<std::string, int, std::less<>> widths_[2];
};

// Pieces of key script and their weights: forming a party, entering the city and walking
// (where fights begin), the fight's own keys, the sheets, the buildings' letters, saving and
// loading, creating characters, and now and then any key at all.
struct Piece {
    int weight;
    std::vector<std::string> choices;
};

const std::vector<Piece>& pieces() {
    static const std::vector<Piece> list = {
        {6, {"ataxtaxx", "atax", "ta", "aa", "a1", "a2", "t", "r", "rb"}},
        {6, {"e", "x", "xe", "xxe", "xxxe"}},
        {30,
         {"{up}", "{up}{up}", "{up}{up}{up}", "{left}", "{right}", "{down}", "-", "+", "-{up}",
          "+{up}"}},
        {16, {"a", "d", "f", "h", "p",  "u",  "c",  "r",       "b", "n", "1", "2",
              "3", "4", "5", "6", "a1", "u1", "c1", "{enter}", "y", "w", "k"}},
        {8, {"1", "2", "3", "4", "5", "6", "7", "n", "p", "g12", "g21", "e", "u1", "k", "x", "l"}},
        {8, {"a", "b", "i", "s", "r", "l", "x", "aa", "ab", "rsb", "raa", "ix", "abx", "rba"}},
        {2, {"s", "l", "xs", "xxl", "xxxs"}},
        {3, {"c", "b", "ddd++", "d+++", "Wrenn{enter}", "{backspace}", "z"}},
        {4, {""}}, // one key of any kind
    };
    return list;
}

const std::string ANY_KEYS = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789 +-!@#";
const std::vector<std::string> NAMED = {"{up}",    "{down}",      "{left}",  "{right}",
                                        "{enter}", "{backspace}", "{shift}", "{capslock}"};

// The square the party is heading for, and how many steps it has left to reach it.
struct Heading {
    int x = -1, y = -1, steps_left = 0;
};

// The next step of a walk over the city grid to an event square of the map (a door, a
// teleport, a fight...), found by a search over the walls as the game steps: the turn, then
// one step ahead. A new square is chosen when the last is reached or given up.
std::string walk_to_an_event(const Game& g, std::mt19937_64& r, Heading& h) {
    if (g.current_location != LOCATION_CITY || is_on(g.combat_active) || g.sheet_member >= 1 ||
        g.location_step != 0 || !inside_grid(g.party_x, g.party_y))
        return "";
    std::vector<std::pair<int, int>> targets;
    for (const auto& e : g.map_rec.events)
        if (e[0] != 0 && inside_grid(e[2], e[3])) targets.emplace_back(e[2], e[3]);
    if (targets.empty()) return "";
    if (h.steps_left <= 0 || (h.x == g.party_x && h.y == g.party_y)) {
        std::tie(h.x, h.y) = targets[r() % targets.size()];
        h.steps_left = 200;
    }
    --h.steps_left;
    const int tx = h.x, ty = h.y;
    // Breadth-first from the party; `from` holds the direction each square was entered by.
    std::array<std::array<int, MAP_SIZE>, MAP_SIZE> from;
    for (auto& col : from) col.fill(-1);
    std::vector<std::pair<int, int>> queue{{g.party_x, g.party_y}};
    from[std::size_t(g.party_x)][std::size_t(g.party_y)] = 4;
    for (std::size_t k = 0; k < queue.size(); ++k) {
        const auto [x, y] = queue[k];
        if (x == tx && y == ty) break;
        for (int d = 0; d < 4; ++d) {
            const Step a = facing_ahead(d);
            const int nx = x + a.dx, ny = y + a.dy;
            if (!inside_grid(nx, ny) || from[std::size_t(nx)][std::size_t(ny)] != -1) continue;
            const int t = wall_type(square_value(g, nx, ny), side_bit(d + 2));
            if (t != 0 && t < 6) continue;
            from[std::size_t(nx)][std::size_t(ny)] = d;
            queue.emplace_back(nx, ny);
        }
    }
    if (from[std::size_t(tx)][std::size_t(ty)] == -1) return "";
    std::vector<int> path;
    for (int x = tx, y = ty; from[std::size_t(x)][std::size_t(y)] != 4;) {
        const int d = from[std::size_t(x)][std::size_t(y)];
        path.push_back(d);
        const Step a = facing_ahead(d);
        x -= a.dx, y -= a.dy;
    }
    if (path.empty()) return "";
    const int turn = (path.back() - g.party_facing + 4) % 4;
    return std::string(turn == 1 ? "+" : turn == 2 ? "{down}" : turn == 3 ? "-" : "") + "{up}";
}

// The next piece of play for the game as it stands.
std::string next_piece(const Game& g, std::mt19937_64& r, Heading& h) {
    static const std::vector<int> weights = [] {
        std::vector<int> w;
        for (const auto& p : pieces()) w.push_back(p.weight);
        return w;
    }();
    // Now and then the party heads for a door, a teleport or a fight of the map.
    if (r() % 2 == 0)
        if (std::string walk = walk_to_an_event(g, r, h); !walk.empty()) return walk;
    std::discrete_distribution<int> piece(weights.begin(), weights.end());
    const Piece& p = pieces()[static_cast<std::size_t>(piece(r))];
    std::string s = p.choices[r() % p.choices.size()];
    if (s.empty())
        s = r() % 5 == 0 ? NAMED[r() % NAMED.size()]
                         : std::string(1, ANY_KEYS[r() % ANY_KEYS.size()]);
    return s;
}

void copy_data(const fs::path& from, const fs::path& to) {
    fs::create_directories(to);
    for (const auto& e : fs::directory_iterator(from))
        if (e.is_regular_file())
            fs::copy_file(e.path(), to / e.path().filename(), fs::copy_options::overwrite_existing);
}

} // namespace

} // namespace duskwend

int main(int argc, char** argv) {
    using namespace duskwend;
    CLI::App app{"Types random keys into the game and checks its state after every script"};
    std::string data_dir;
    uint64_t total_keys = 1000000, first_seed = 1;
    double seconds = 0;
    std::size_t keys_per_seed = 2000, script_length = 250;
    app.add_option("--data-dir", data_dir, "the Data folder to copy")->required();
    app.add_option("--keys", total_keys, "keys to type in all (default 1,000,000)");
    app.add_option("--seconds", seconds, "stop after this many seconds (0: no limit)");
    app.add_option("--first-seed", first_seed, "the first seed (default 1)");
    app.add_option("--keys-per-seed", keys_per_seed, "keys typed into one game (default 2000)");
    app.add_option("--script-length", script_length, "keys between checks (default 250)");
    CLI11_PARSE(app, argc, argv);
    if (script_length < 1) script_length = 1;

    const fs::path scratch =
        fs::temp_directory_path() / ("duskwend-soak-" + std::to_string(getpid()));
    copy_data(data_dir, scratch);
    const auto start = std::chrono::steady_clock::now();
    const auto elapsed = [&] {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    };

    Coverage seen;
    uint64_t typed = 0, seeds = 0, scripts = 0;
    int status = 0;
    try {
        const TtfLibrary ttf;
        const TtfFont ttf_font(scratch, 1);
        const RememberedWidths font(ttf_font);
        SoakHost host;
        for (uint64_t seed = first_seed; typed < total_keys && status == 0; ++seed) {
            if (seconds > 0 && elapsed() > seconds) break;
            // A new game each seed; the saves of earlier seeds stay for "load" to find.
            // Each seed begins without a save, so its key script replays alone.
            for (const char* f :
                 {ROSTER_SAVE_FILE, PARTY_SAVE_FILE, FLAGS_SAVE_FILE, SAVE_COMMIT_FILE})
                fs::remove(scratch / f);
            auto g = std::make_unique<Game>();
            register_screens(*g);
            g->host = &host;
            g->set_font(&font);
            g->data_files.dir = scratch;
            g->start_seed = seed;
            g->start_message_delay = 0;
            Form_Load(*g);
            ++seeds;
            std::mt19937_64 random(seed * 0x9E3779B97F4A7C15ULL);
            std::string whole;
            Heading heading;
            for (std::size_t in_seed = 0; in_seed < keys_per_seed && typed < total_keys;) {
                if (seconds > 0 && elapsed() > seconds) break;
                std::string script, problem;
                std::size_t keys = 0;
                try {
                    while (keys < script_length && !is_on(g->quit_requested)) {
                        const std::string piece = next_piece(*g, random, heading);
                        script += piece;
                        for (const KeyPress& k : parse_key_script(piece)) {
                            if (is_on(g->quit_requested)) break;
                            int16_t code = k.code;
                            Form_KeyDown(*g, code, k.shift);
                            note_coverage(*g, seen);
                            ++keys;
                        }
                    }
                    problem = state_problem(*g);
                } catch (const std::exception& e) {
                    problem = std::string("the game stopped: ") + e.what();
                }
                whole += script + "\n";
                in_seed += keys;
                typed += keys;
                ++scripts;
                if (!problem.empty()) {
                    const std::string replay = "soak-failure-seed" + std::to_string(seed) + ".keys";
                    std::ofstream(replay) << whole;
                    std::cerr << "soak: seed " << seed << ", script " << scripts << ": " << problem
                              << "\n  replay: duskwend --headless --seed " << seed
                              << " --data-dir <a fresh copy of Data> --keys-file " << replay
                              << "\n  last script: " << script << "\n";
                    status = 1;
                    break;
                }
                // The player quit: the next seed begins.
                if (is_on(g->quit_requested)) break;
            }
        }
    } catch (const std::exception& e) {
        std::cerr << "soak: " << e.what() << "\n";
        status = 1;
    }
    std::error_code ec;
    fs::remove_all(scratch, ec);
    std::cout << "soak: " << typed << " keys, " << scripts << " scripts, " << seeds
              << " seeds (from " << first_seed << "), " << static_cast<long>(elapsed())
              << " s; reached: " << coverage_text(seen) << "; "
              << (status == 0 ? "every state whole" : "FAILED") << "\n";
    return status;
}
