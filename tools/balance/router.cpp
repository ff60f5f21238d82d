#include "tools/balance/router.h"

#include "core/city_map.h"

#include <algorithm>
#include <deque>

namespace duskwend {

namespace {

constexpr int SQUARES = MAP_SIZE * MAP_SIZE;
constexpr int TELEPORT_CHAIN = 8; // a teleport landing on a teleport, and so on

} // namespace

Router::Router(std::vector<MapRec> maps) : maps_(std::move(maps)) {
    events_at_.resize(maps_.size(), std::vector<std::vector<int>>(SQUARES));
    for (std::size_t m = 0; m < maps_.size(); ++m)
        for (int i = 0; i < MAP_EVENT_COUNT; ++i) {
            const MapEvent& e = maps_[m].events[static_cast<std::size_t>(i)];
            if (e[0] != 0 && inside_grid(e[2], e[3]))
                events_at_[m][static_cast<std::size_t>(e[3] * MAP_SIZE + e[2])].push_back(i);
        }
    came_.resize(maps_.size() * SQUARES * 4 + 1);
}

bool Router::can_step(const Square& s, int facing) const {
    const Step a = facing_ahead(facing);
    const int x = s.x + a.dx, y = s.y + a.dy;
    if (!inside_grid(x, y)) return false;
    const int16_t value = map(s.map).grid[static_cast<std::size_t>(x)][static_cast<std::size_t>(y)];
    const int t = wall_type(value, side_bit(facing + 2));
    return t == 0 || t >= 6;
}

Router::Arrival Router::arrive(Position& where, const Flags& flags, const Goal* goal, bool& at_goal,
                               Square& accepted) const {
    for (int chain = 0; chain < TELEPORT_CHAIN; ++chain) {
        if (goal != nullptr && !at_goal && (*goal)(where.at)) {
            at_goal = true;
            accepted = where.at;
        }
        bool jumped = false;
        const MapRec& m = map(where.at.map);
        for (const int i : events_at_[static_cast<std::size_t>(
                 where.at.map - 1)][static_cast<std::size_t>(where.at.y * MAP_SIZE + where.at.x)]) {
            const MapEvent& e = m.events[static_cast<std::size_t>(i)];
            if (!event_condition_holds(e, flags)) continue;
            if (e[0] == EVENT_BUILDING) return Arrival::Building;
            if (e[0] == EVENT_FIGHT) return Arrival::Fight;
            if (e[0] == EVENT_TELEPORT && e[4] >= 1 && e[4] <= map_count() &&
                inside_grid(e[5], e[6])) {
                where.at = {e[4], e[5], e[6]};
                if (e[7] >= 1 && e[7] <= 4) where.facing = e[7] - 1;
                jumped = true;
                break;
            }
        }
        if (!jumped) return Arrival::Stand;
    }
    return Arrival::Blocked;
}

std::optional<Route> Router::route(const Position& from, const Goal& goal,
                                   const Flags& flags) const {
    if (goal(from.at)) return Route{{}, {}, from.at};
    const auto index = [](const Position& p) {
        return static_cast<uint32_t>(((p.at.map - 1) * SQUARES + p.at.y * MAP_SIZE + p.at.x) * 4 +
                                     p.facing);
    };
    // The last entry of the scratch holds the goal, which may be a square no search stands on.
    const auto found_at = static_cast<uint32_t>(came_.size() - 1);
    const uint32_t search = ++search_;
    std::deque<uint32_t> todo{index(from)};
    came_[index(from)] = {search, index(from), Move::Forward, from};
    Square accepted;
    bool found = false;
    while (!todo.empty() && !found) {
        const uint32_t k = todo.front();
        todo.pop_front();
        const Position p = came_[k].state;
        for (Move m : {Move::Forward, Move::Left, Move::Right, Move::About}) {
            Position next = p;
            if (m == Move::Left) next.facing = (p.facing + 3) % 4;
            if (m == Move::Right) next.facing = (p.facing + 1) % 4;
            if (m == Move::About) next.facing = (p.facing + 2) % 4;
            if (m == Move::Forward) {
                if (!can_step(p.at, p.facing)) continue;
                const Step a = facing_ahead(p.facing);
                next.at = {p.at.map, p.at.x + a.dx, p.at.y + a.dy};
                bool at_goal = false;
                const Arrival arrival = arrive(next, flags, &goal, at_goal, accepted);
                if (at_goal) {
                    // Where the key leaves the party; a door leaves it in the building.
                    came_[found_at] = {search, k, m, next};
                    found = true;
                    break;
                }
                if (arrival != Arrival::Stand) continue;
            }
            const uint32_t n = index(next);
            if (came_[n].seen == search) continue;
            came_[n] = {search, k, m, next};
            todo.push_back(n);
        }
    }
    if (!found) return std::nullopt;
    Route r;
    r.goal = accepted;
    for (uint32_t k = found_at; k != index(from); k = came_[k].from) {
        r.moves.push_back(came_[k].move);
        r.after.push_back(came_[k].state);
    }
    std::reverse(r.moves.begin(), r.moves.end());
    std::reverse(r.after.begin(), r.after.end());
    return r;
}

std::vector<Square> Router::reachable(const Position& from, int map_number,
                                      const Flags& flags) const {
    std::vector<bool> seen(maps_.size() * SQUARES, false);
    const auto index = [](const Square& s) {
        return (static_cast<std::size_t>(s.map) - 1) * SQUARES +
               static_cast<std::size_t>(s.y * MAP_SIZE + s.x);
    };
    std::vector<Square> out;
    std::deque<Square> todo{from.at};
    seen[index(from.at)] = true;
    while (!todo.empty()) {
        const Square s = todo.front();
        todo.pop_front();
        if (s.map == map_number) out.push_back(s);
        for (int d = 0; d < 4; ++d) {
            if (!can_step(s, d)) continue;
            const Step a = facing_ahead(d);
            Position next{{s.map, s.x + a.dx, s.y + a.dy}, d};
            bool unused = false;
            Square none;
            if (arrive(next, flags, nullptr, unused, none) != Arrival::Stand) continue;
            if (seen[index(next.at)]) continue;
            seen[index(next.at)] = true;
            todo.push_back(next.at);
        }
    }
    return out;
}

} // namespace duskwend
