// The soak: each seed starts a fresh game on a scratch copy of the Data folder (saves land
// there) and types keys, the whole state checked after every one. A broken state stops the
// soak with the seed and the seed's whole key script, for replaying with `duskwend
// --keys-file`.
#include "soak.h"

#include "core/city_map.h"
#include "core/dispatch.h"
#include "core/game.h"
#include "core/overlays.h"
#include "core/save_slots.h"
#include "platform/font.h"
#include "platform/keys.h"
#include "platform/session.h"
#include "remembered_pictures.h"
#include "screens/register_screens.h"

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
        // A mage or a cleric made and taken into the party, so that there are spells to cast.
        {2, {"caada++++++++++aMerl{enter}{enter}atbx", "caaca++++++++++aBrin{enter}{enter}atbx"}},
        // Spells: in a fight (cast, the spell, its target) and from a sheet's spell page.
        {6, {"ca", "cb", "caa", "cba", "ca1", "cb2", "cna", "cnb1", "cpa", "cax", "cx"}},
        {3, {"1nnca", "1nncaa", "1nnca1", "2nncb1", "3nnca", "1nnda", "2nnd", "1nncx", "4nncnb"}},
        // The overlays over any screen, closed by a key (the slots at the guild hall).
        {4,
         {"{tab}", "{tab}x", "{f1}", "{f1}a", "{f2}", "{f2}{up}{up}{f2}", "{f2}x", "{f5}", "{f6}",
          "{f6}x", "{f6}s1x", "{f6}l1x", "{f6}lax", "{f6}s2{f6}"}},
        {3, {"c", "b", "ddd++", "d+++", "Wrenn{enter}", "{backspace}", "z"}},
        {4, {""}}, // one key of any kind
    };
    return list;
}

const std::string ANY_KEYS = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789 +-!@#";
const std::vector<std::string> NAMED = {
    "{up}",       "{down}", "{left}", "{right}", "{enter}", "{backspace}", "{shift}",
    "{capslock}", "{tab}",  "{f1}",   "{f2}",    "{f5}",    "{f6}"};

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
    std::error_code ec;
    fs::remove_all(to, ec);
    fs::create_directories(to);
    for (const auto& e : fs::directory_iterator(from))
        if (e.is_regular_file())
            fs::copy_file(e.path(), to / e.path().filename(), fs::copy_options::overwrite_existing);
}

} // namespace

SoakResult run_soak(const SoakOptions& o) {
    SoakResult result;
    const fs::path scratch =
        fs::temp_directory_path() / ("duskwend-soak-" + std::to_string(getpid()));
    copy_data(o.data_dir, scratch);
    const auto start = std::chrono::steady_clock::now();
    const auto elapsed = [&] {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    };
    const std::size_t script_length = std::max<std::size_t>(o.script_length, 1);
    try {
        const TtfLibrary ttf;
        const TtfFont ttf_font(scratch, 1);
        const RememberedWidths font(ttf_font);
        RememberedPicturesHost host;
        for (uint64_t seed = o.first_seed; result.keys < o.total_keys && result.problem.empty();
             ++seed) {
            if (o.seconds > 0 && elapsed() > o.seconds) break;
            // A new game each seed, without a save, so its key script replays alone.
            for (const char* f : {ROSTER_SAVE_FILE, PARTY_SAVE_FILE, FLAGS_SAVE_FILE,
                                  SAVE_COMMIT_FILE, AUTOMAP_FILE, SETTINGS_FILE})
                fs::remove(scratch / f);
            fs::remove_all(scratch / SLOTS_FOLDER);
            auto g = std::make_unique<Game>();
            register_screens(*g);
            if (o.adjust_game) o.adjust_game(*g);
            g->host = &host;
            g->set_font(&font);
            g->data_files.dir = scratch;
            g->start_seed = seed;
            g->start_message_delay = 0;
            Form_Load(*g);
            ++result.seeds;
            std::mt19937_64 random(seed * 0x9E3779B97F4A7C15ULL);
            std::string whole;
            Heading heading;
            Watch watch;
            for (std::size_t in_seed = 0;
                 in_seed < o.keys_per_seed && result.keys < o.total_keys;) {
                if (o.seconds > 0 && elapsed() > o.seconds) break;
                std::string script, problem;
                std::size_t keys = 0;
                try {
                    while (keys < script_length && !is_on(g->quit_requested) && problem.empty()) {
                        const std::string piece = next_piece(*g, random, heading);
                        for (const KeyPress& k : parse_key_script(piece)) {
                            if (is_on(g->quit_requested) || !problem.empty()) break;
                            script += key_script_text(k);
                            watch_before_key(*g, watch);
                            int16_t code = k.code;
                            Form_KeyDown(*g, code, k.shift);
                            note_coverage(*g, result.coverage);
                            ++keys;
                            problem = state_problem(*g);
                            if (problem.empty()) problem = key_problem(*g, watch);
                        }
                    }
                } catch (const std::exception& e) {
                    problem = std::string("the game stopped: ") + e.what();
                }
                whole += script + "\n";
                in_seed += keys;
                result.keys += keys;
                ++result.scripts;
                if (!problem.empty()) {
                    result.problem = problem;
                    result.failing_seed = seed;
                    result.replay =
                        o.replay_dir / ("soak-failure-seed" + std::to_string(seed) + ".keys");
                    std::ofstream(result.replay) << "{seed " << seed << "}\n" << whole;
                    break;
                }
                // The player quit: the next seed begins.
                if (is_on(g->quit_requested)) break;
            }
        }
    } catch (const std::exception& e) {
        result.problem = std::string("the soak stopped: ") + e.what();
    }
    std::error_code ec;
    fs::remove_all(scratch, ec);
    result.seconds = elapsed();
    return result;
}

} // namespace duskwend
