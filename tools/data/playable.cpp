#include "tools/data/playable.h"

#include "core/map_events.h"
#include "tools/data/map_grid.h"

#include <algorithm>
#include <array>
#include <map>
#include <set>
#include <tuple>

namespace duskwend {

namespace {

enum Kind { TELEPORT = 1, DOOR, PICTURE, MESSAGE, FIGHT, SWITCH, TEXT, TREASURE };
constexpr int FLAG_COUNT = 101;
constexpr int SQUARES = MAP_SIZE * MAP_SIZE;
constexpr const char* DIRECTION_NAMES[] = {"north", "east", "south", "west"};
constexpr const char* BUILDING_NAMES[] = {"guild hall", "shop", "temple", "review board"};
constexpr int DX[] = {0, 1, 0, -1}, DY[] = {-1, 0, 1, 0};

using Event = std::array<int16_t, MAP_EVENT_FIELDS>;
// The values each flag may hold at some moment of play.
using FlagValues = std::array<std::set<int>, FLAG_COUNT>;

bool has_condition(const Event& e) {
    return e[8] >= 1;
}
bool flag_in_range(int f) {
    return f >= 1 && f < FLAG_COUNT;
}

// Whether the event's condition holds for some / for every value its flag may have.
bool may_hold(const Event& e, const FlagValues& flags) {
    if (!has_condition(e)) return true;
    if (!flag_in_range(e[8])) return false;
    for (int v : flags[static_cast<std::size_t>(e[8])])
        if (event_test_holds(e[9], v, e[10])) return true;
    return false;
}
bool must_hold(const Event& e, const FlagValues& flags) {
    if (!has_condition(e)) return true;
    if (!flag_in_range(e[8])) return false;
    for (int v : flags[static_cast<std::size_t>(e[8])])
        if (!event_test_holds(e[9], v, e[10])) return false;
    return true;
}

// Whether, whatever value the one flag that all the events test holds, one of them fires.
bool answer_every_value(const std::vector<const Event*>& events, const FlagValues& flags) {
    if (events.empty()) return false;
    const int flag = (*events[0])[8];
    for (const Event* e : events)
        if ((*e)[8] != flag || !flag_in_range(flag)) return false;
    for (int v : flags[static_cast<std::size_t>(flag)]) {
        bool fires = false;
        for (const Event* e : events) fires |= event_test_holds((*e)[9], v, (*e)[10]);
        if (!fires) return false;
    }
    return true;
}

bool on_grid(int x, int y) {
    return x >= 0 && x < MAP_SIZE && y >= 0 && y < MAP_SIZE;
}
int square_index(int x, int y) {
    return y * MAP_SIZE + x;
}
// Wall types 6 and 7 are doors and arches; 1 to 5 block.
bool passable(int type) {
    return type == 0 || type >= 6;
}

// Whether a step in direction d (0 north .. 3 west) from (x, y) enters the next square: only
// the side of the square entered counts, the one facing the party.
bool can_step(const MapRec& m, int x, int y, int d) {
    const int nx = x + DX[d], ny = y + DY[d];
    if (!on_grid(nx, ny)) return false;
    return passable(
        side_type(m.grid[static_cast<std::size_t>(nx)][static_cast<std::size_t>(ny)], (d + 2) % 4));
}

// Where a party can get to while the flags hold the given values.
struct Reach {
    std::vector<std::array<bool, SQUARES>> entered, standable;
    std::vector<std::array<uint8_t, SQUARES>> facings;  // facings the square is entered with
    std::vector<std::array<bool, MAP_EVENT_COUNT>> ran; // the event is examined on its square
};

class WorldWalk {
  public:
    explicit WorldWalk(const World& w) : w_(w) {
        on_square_.resize(w.maps.size());
        for (std::size_t m = 0; m < w.maps.size(); ++m) {
            on_square_[m].resize(SQUARES);
            for (int i = 0; i < MAP_EVENT_COUNT; ++i) {
                const Event& e = w.maps[m].events[static_cast<std::size_t>(i)];
                if (e[0] != 0 && on_grid(e[2], e[3]))
                    on_square_[m][static_cast<std::size_t>(square_index(e[2], e[3]))].push_back(i);
            }
        }
        // The party starts one square north of map 1's (last) guild hall door, facing north.
        if (!w.maps.empty())
            for (const auto& e : w.maps[0].events)
                if (e[0] == DOOR && e[4] == 0 && on_grid(e[2], e[3] - 1)) start_ = {e[2], e[3] - 1};
    }

    bool has_start() const { return start_.first >= 0; }
    const std::vector<int>& events_on(std::size_t m, int x, int y) const {
        return on_square_[m][static_cast<std::size_t>(square_index(x, y))];
    }

    Reach walk(const FlagValues& flags) const {
        Reach r;
        const std::size_t n = w_.maps.size();
        r.entered.assign(n, {});
        r.standable.assign(n, {});
        r.facings.assign(n, {});
        r.ran.assign(n, {});
        if (!has_start()) return r;
        struct Arrival {
            std::size_t map;
            int x, y, facing; // facing -1: any
        };
        std::vector<Arrival> todo{{0, start_.first, start_.second, 0}};
        while (!todo.empty()) {
            const Arrival a = todo.back();
            todo.pop_back();
            const auto sq = static_cast<std::size_t>(square_index(a.x, a.y));
            const uint8_t bits = a.facing < 0 ? uint8_t{15} : uint8_t(1u << a.facing);
            const bool again = r.entered[a.map][sq];
            if (again && (r.facings[a.map][sq] & bits) == bits) continue;
            r.entered[a.map][sq] = true;
            r.facings[a.map][sq] |= bits;
            if (again) continue;
            // The square's events, in table order; a teleport that surely fires ends the pass
            // here, a door that surely opens leads into its building.
            bool stays = true;
            std::vector<const Event*> leaving; // teleports and doors that may or may not fire
            for (int i : events_on(a.map, a.x, a.y)) {
                const Event& e = w_.maps[a.map].events[static_cast<std::size_t>(i)];
                r.ran[a.map][static_cast<std::size_t>(i)] = true;
                if (!may_hold(e, flags)) continue;
                const bool sure = must_hold(e, flags);
                if ((e[0] == TELEPORT || e[0] == DOOR) && !sure) leaving.push_back(&e);
                if (e[0] == TELEPORT) {
                    if (e[4] >= 1 && static_cast<std::size_t>(e[4]) <= n && on_grid(e[5], e[6]))
                        todo.push_back({static_cast<std::size_t>(e[4] - 1), e[5], e[6],
                                        e[7] >= 1 && e[7] <= 4 ? e[7] - 1 : a.facing});
                    if (sure) {
                        stays = false;
                        break;
                    }
                } else if (e[0] == DOOR && sure) {
                    stays = false; // leaving a building puts the party back where it came from
                }
            }
            // Ways out that wait for one flag between them may answer every value it can hold,
            // as a gate that opens with the flag and turns the party back without it: then the
            // party never stays either.
            if (stays && answer_every_value(leaving, flags)) stays = false;
            if (!stays) continue;
            r.standable[a.map][sq] = true;
            for (int d = 0; d < 4; ++d)
                if (can_step(w_.maps[a.map], a.x, a.y, d))
                    todo.push_back({a.map, a.x + DX[d], a.y + DY[d], d});
        }
        return r;
    }

  private:
    const World& w_;
    std::vector<std::vector<std::vector<int>>> on_square_;
    std::pair<int, int> start_{-1, -1};
};

// The values flags can take: starting from all clear, every switch the party can reach adds
// its value, until nothing changes. With `on_maps`, only switches on those maps count.
FlagValues reachable_flag_values(const World& w, const WorldWalk& walk,
                                 const std::vector<bool>* on_maps = nullptr) {
    FlagValues flags;
    for (auto& f : flags) f.insert(0);
    for (bool changed = true; changed;) {
        changed = false;
        const Reach r = walk.walk(flags);
        for (std::size_t m = 0; m < w.maps.size(); ++m) {
            if (on_maps && !(*on_maps)[m]) continue;
            const auto& events = w.maps[m].events;
            for (int i = 0; i < MAP_EVENT_COUNT; ++i) {
                const Event& e = events[static_cast<std::size_t>(i)];
                if (e[0] != SWITCH || !flag_in_range(e[4]) ||
                    !r.ran[m][static_cast<std::size_t>(i)] || !may_hold(e, flags))
                    continue;
                bool fires = e[5] == SWITCH_STEPPED_ON;
                if (e[5] == SWITCH_FIGHT_WON)
                    for (int j : walk.events_on(m, e[2], e[3])) {
                        const Event& f = events[static_cast<std::size_t>(j)];
                        if (f[0] == FIGHT && r.ran[m][static_cast<std::size_t>(j)] &&
                            may_hold(f, flags))
                            fires = true;
                    }
                if (fires && flags[static_cast<std::size_t>(e[4])].insert(e[6]).second)
                    changed = true;
            }
        }
    }
    return flags;
}

std::string square_name(int x, int y) {
    return "(" + std::to_string(x) + ", " + std::to_string(y) + ")";
}

std::string values_list(const std::set<int>& values) {
    std::string s;
    for (int v : values) s += (s.empty() ? "" : ", ") + std::to_string(v);
    return s;
}

std::string facing_list(int mask) {
    std::string s;
    for (int d = 0; d < 4; ++d)
        if (mask & (0x111 << d)) s += std::string(s.empty() ? "" : " or ") + DIRECTION_NAMES[d];
    return s;
}

bool walled_in(const MapRec& m, int x, int y) {
    for (int d = 0; d < 4; ++d)
        if (can_step(m, x, y, d)) return false;
    return true;
}

} // namespace

void check_playable(const World& w, const std::vector<MapOrigin>& origins, Diagnostics& diags) {
    if (w.maps.empty() || origins.size() < w.maps.size()) return;
    const WorldWalk walk(w);
    if (!walk.has_start()) return; // reported by the world's own contract check
    const FlagValues flags = reachable_flag_values(w, walk);
    const Reach all = walk.walk(flags);

    // Each event is judged in the world where its condition holds: its flag restricted to the
    // values that pass. Worlds are shared between events with the same condition.
    std::map<std::tuple<int, int, int>, Reach> by_condition;
    auto reach_for = [&](const Event& e) -> const Reach& {
        if (!has_condition(e)) return all;
        auto key = std::tuple<int, int, int>{e[8], e[9], e[10]};
        auto it = by_condition.find(key);
        if (it == by_condition.end()) {
            FlagValues only = flags;
            auto& values = only[static_cast<std::size_t>(e[8])];
            std::erase_if(values, [&](int v) { return !event_test_holds(e[9], v, e[10]); });
            it = by_condition.emplace(key, walk.walk(only)).first;
        }
        return it->second;
    };

    for (std::size_t m = 0; m < w.maps.size(); ++m) {
        const MapRec& map = w.maps[m];
        const MapOrigin& origin = origins[m];
        const int number = static_cast<int>(m + 1);
        bool any = false;
        for (const auto& row : all.entered[m]) any |= row;
        if (!any)
            diags.error(origin.file, origin.lines.number,
                        "map " + std::to_string(number) +
                            " cannot be reached from the guild hall door of map 1",
                        true);

        for (int i = 0; i < MAP_EVENT_COUNT; ++i) {
            const Event& e = map.events[static_cast<std::size_t>(i)];
            if (e[0] < TELEPORT || e[0] > TREASURE || !on_grid(e[2], e[3])) continue;
            const int line = static_cast<std::size_t>(i) < origin.lines.events.size()
                                 ? origin.lines.events[static_cast<std::size_t>(i)]
                                 : 0;
            auto problem = [&](const std::string& what) {
                diags.error(origin.file, line, what, true);
            };
            const std::string at = square_name(e[2], e[3]);

            if (has_condition(e) && flag_in_range(e[8]) && !may_hold(e, flags)) {
                const auto& values = flags[static_cast<std::size_t>(e[8])];
                if (values.size() == 1)
                    problem("flag " + std::to_string(e[8]) +
                            " is tested here but never set by an event the party can reach");
                else
                    problem("flag " + std::to_string(e[8]) + " is tested here for a value " +
                            "no reachable event gives it (it can be " + values_list(values) + ")");
                continue;
            }
            const Reach& r = reach_for(e);
            const bool reached = r.ran[m][static_cast<std::size_t>(i)];
            const auto sq = static_cast<std::size_t>(square_index(e[2], e[3]));
            const std::string unreachable = " cannot be reached from the guild hall door of map 1";

            switch (e[0]) {
            case TELEPORT: {
                if (!reached) problem("the teleport at " + at + unreachable);
                if (e[4] < 1 || static_cast<std::size_t>(e[4]) > w.maps.size() ||
                    !on_grid(e[5], e[6]) || e[7] < 0 || e[7] > 4)
                    break; // named by the map's own checks
                const MapRec& target = w.maps[static_cast<std::size_t>(e[4] - 1)];
                if (walled_in(target, e[5], e[6]))
                    problem("the teleport lands on " + square_name(e[5], e[6]) + " of map " +
                            std::to_string(e[4]) + ", which is walled in on every side");
                else if (e[7] >= 1 && !can_step(target, e[5], e[6], e[7] - 1))
                    // The party arrives looking at a wall instead of the way on.
                    problem("the teleport lands on " + square_name(e[5], e[6]) + " of map " +
                            std::to_string(e[4]) + " facing " + DIRECTION_NAMES[e[7] - 1] +
                            ", straight into a wall");
                break;
            }
            case DOOR:
                // Maps other than 1 keep a walled-in copy of the guild hall door on purpose.
                if (e[4] == 0 && m != 0) break;
                if (!reached)
                    problem("the " +
                            std::string(e[4] >= 0 && e[4] <= 3 ? BUILDING_NAMES[e[4]] : "") +
                            " door at " + at + unreachable);
                break;
            case FIGHT: {
                if (!reached) problem("the fight at " + at + unreachable);
                // After a victory the party stays on the square: a switch there must turn the
                // fight's condition off, or the fight starts again at the next key.
                bool ends = false;
                if (has_condition(e))
                    for (int j : walk.events_on(m, e[2], e[3])) {
                        const Event& s = map.events[static_cast<std::size_t>(j)];
                        if (s[0] == SWITCH && s[5] == SWITCH_FIGHT_WON && s[4] == e[8] &&
                            !event_test_holds(e[9], s[6], e[10]))
                            ends = true;
                    }
                if (!ends)
                    problem("the fight at " + at +
                            " starts again after it is won: no switch on its square turns its "
                            "condition off when the fight is won");
                break;
            }
            case TREASURE:
                if (!reached) problem("the treasure at " + at + unreachable);
                break;
            case PICTURE:
            case MESSAGE:
            case TEXT: {
                const int mask = e[5];
                const std::string what = e[0] == PICTURE   ? "picture"
                                         : e[0] == MESSAGE ? "message"
                                                           : "text";
                if (mask == 0) {
                    if (!reached)
                        problem("the " + what + " at " + at +
                                " is never seen: the party cannot reach its square");
                    break;
                }
                bool seen = false;
                for (int d = 0; d < 4; ++d)
                    if ((mask & (0x111 << d)) && reached &&
                        (r.standable[m][sq] || (r.facings[m][sq] & (1 << d))))
                        seen = true;
                if (!seen)
                    problem("the " + what + " at " + at + " is never seen: " +
                            (facing_list(mask).empty()
                                 ? std::string("it names no facing")
                                 : "the party cannot stand there facing " + facing_list(mask)));
                break;
            }
            default:
                break;
            }
        }
    }
}

void check_campaign(const World& w, const CampaignSource& c, Diagnostics& diags) {
    const WorldWalk walk(w);
    if (c.stages.empty() || !walk.has_start()) return;
    std::vector<bool> played(w.maps.size(), false);
    for (const StageSource& stage : c.stages) {
        const std::string which =
            "stage '" + stage.name + "' (map " + std::to_string(stage.map) + ")";
        auto problem = [&](const std::string& what) {
            diags.error(c.file, stage.line, which + " " + what, true);
        };
        if (const std::string wrong = stage_map_problem(stage, w.maps.size()); !wrong.empty()) {
            diags.error(c.file, stage.line, wrong, true);
            continue;
        }
        const auto m = static_cast<std::size_t>(stage.map - 1);
        if (played[m]) {
            problem("comes twice: each map is one stage");
            continue;
        }
        // A stage is opened by the stages before it: only the switches on their maps count.
        const FlagValues flags = reachable_flag_values(w, walk, &played);
        const Reach r = walk.walk(flags);
        bool entered = false;
        for (bool b : r.entered[m]) entered |= b;
        if (!entered) {
            // Name the flags its ways in wait for.
            std::set<int> waits;
            for (std::size_t from = 0; from < w.maps.size(); ++from)
                for (int i = 0; i < MAP_EVENT_COUNT; ++i) {
                    const Event& e = w.maps[from].events[static_cast<std::size_t>(i)];
                    if (e[0] == TELEPORT && e[4] == stage.map && from != m &&
                        r.ran[from][static_cast<std::size_t>(i)] && !may_hold(e, flags))
                        waits.insert(e[8]);
                }
            std::string list;
            for (int f : waits) list += (list.empty() ? "" : ", ") + std::to_string(f);
            problem("cannot be opened by the stages before it" +
                    (list.empty() ? std::string(": no way in is reached")
                                  : ": its way in waits for flag " + list +
                                        ", which no stage before it sets"));
        }
        played[m] = true;
    }
    // The campaign ends in a fixed fight on the last stage's map.
    const StageSource& last = c.stages.back();
    if (last.map >= 1 && static_cast<std::size_t>(last.map) <= w.maps.size()) {
        bool fight = false;
        for (const Event& e : w.maps[static_cast<std::size_t>(last.map - 1)].events)
            fight |= e[0] == FIGHT;
        if (!fight)
            diags.error(c.file, last.line,
                        "the last stage '" + last.name +
                            "' holds no fixed fight: the campaign must end in one",
                        true);
    }
}

std::vector<std::vector<bool>> reachable_squares(const World& w) {
    std::vector<std::vector<bool>> out(w.maps.size(), std::vector<bool>(SQUARES, false));
    const WorldWalk walk(w);
    if (!walk.has_start()) return out;
    const Reach r = walk.walk(reachable_flag_values(w, walk));
    for (std::size_t m = 0; m < w.maps.size(); ++m)
        for (int k = 0; k < SQUARES; ++k)
            out[m][static_cast<std::size_t>(k)] = r.entered[m][static_cast<std::size_t>(k)];
    return out;
}

} // namespace duskwend
