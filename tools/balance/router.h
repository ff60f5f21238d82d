#pragma once
// The ways a party can walk over the maps of the world: through open sides, doors and
// arches, and through the teleports whose conditions the flags let fire, as a player who knows
// the maps walks them. A square whose door leads into a building, or whose fixed fight would
// start, is walked onto only as the end of a way.

#include "core/datafiles.h" // GAME_FLAG_COUNT
#include "core/map_events.h"
#include "core/records.h"

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace duskwend {

using Flags = std::array<int16_t, GAME_FLAG_COUNT>;

struct Square {
    int map = 0, x = 0, y = 0;
    bool operator==(const Square&) const = default;
};

struct Position {
    Square at;
    int facing = 0; // 0 north, 1 east, 2 south, 3 west
    bool operator==(const Position&) const = default;
};

// One key of the walk: the arrow keys Up, Left, Right and Down (turn about).
enum class Move : uint8_t { Forward, Left, Right, About };

struct Route {
    std::vector<Move> moves;
    std::vector<Position> after; // where the party stands after each move
    Square goal;                 // the square the goal accepted (a teleport may lead on)
};

class Router {
  public:
    // Map n at index n - 1.
    explicit Router(std::vector<MapRec> maps);

    int map_count() const { return static_cast<int>(maps_.size()); }
    const MapRec& map(int n) const { return maps_[static_cast<std::size_t>(n - 1)]; }

    using Goal = std::function<bool(const Square&)>;
    // The fewest keys from `from` onto a square the goal accepts; nothing when none is
    // reachable. A way already at its goal has no moves.
    std::optional<Route> route(const Position& from, const Goal& goal, const Flags& flags) const;
    // The squares of map `map` the party can walk to from `from` and stand on.
    std::vector<Square> reachable(const Position& from, int map, const Flags& flags) const;

  private:
    enum class Arrival { Stand, Building, Fight, Blocked };
    // What stepping onto `to` facing `facing` does: the party ends where `where` says.
    Arrival arrive(Position& where, const Flags& flags, const Goal* goal, bool& at_goal,
                   Square& accepted) const;
    bool can_step(const Square& s, int facing) const;
    std::vector<MapRec> maps_;
    // The events of each square, in table order: [map - 1][y * 33 + x].
    std::vector<std::vector<std::vector<int>>> events_at_;
    // The search's scratch, kept between searches: entry k was reached in search `seen`.
    struct Came {
        uint32_t seen = 0;
        uint32_t from = 0;
        Move move = Move::Forward;
        Position state;
    };
    mutable std::vector<Came> came_;
    mutable uint32_t search_ = 0;
};

} // namespace duskwend
