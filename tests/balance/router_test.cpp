// The simulator's walk: the fewest keys to a goal, around walls, through teleports whose
// conditions hold, and never through a fixed fight or a door that is not the goal.

#include "tools/balance/router.h"

#include <gtest/gtest.h>

namespace duskwend {

namespace {

enum { N = 0, E = 1, S = 2, W = 3 };
constexpr int DX[] = {0, 1, 0, -1}, DY[] = {-1, 0, 1, 0};

// Solid rock: every side of every square is stone (wall type 1).
MapRec rock() {
    MapRec m;
    for (auto& column : m.grid) column.fill(0x00F);
    return m;
}

void open_side(MapRec& m, int x, int y, int d) {
    m.grid[static_cast<std::size_t>(x)][static_cast<std::size_t>(y)] &=
        static_cast<int16_t>(~(1 << d));
}

// A passage between (x, y) and its neighbour in direction d.
void carve(MapRec& m, int x, int y, int d) {
    open_side(m, x, y, d);
    open_side(m, x + DX[d], y + DY[d], (d + 2) % 4);
}

// A corridor along row y from x0 to x1.
void corridor(MapRec& m, int y, int x0, int x1) {
    for (int x = x0; x < x1; ++x) carve(m, x, y, E);
}

MapEvent event(int kind, int x, int y, int p1 = 0, int p2 = 0, int p3 = 0, int p4 = 0, int flag = 0,
               int test = 0) {
    return {int16_t(kind),
            0,
            int16_t(x),
            int16_t(y),
            int16_t(p1),
            int16_t(p2),
            int16_t(p3),
            int16_t(p4),
            int16_t(flag),
            int16_t(test),
            0};
}

std::vector<Move> moves_to(const Router& r, Position from, Square to, const Flags& flags = {}) {
    const auto route = r.route(
        from, [&](const Square& q) { return q == to; }, flags);
    return route ? route->moves : std::vector<Move>{Move::About, Move::About, Move::About};
}

TEST(Router, TakesTheFewestKeysAroundWallsAndThroughTeleports) {
    // Map 1: a corridor along row 1 from x = 1 to 6, a side passage down from (3, 1) to (3, 3),
    // and at (6, 1) a teleport to (2, 2) of map 2, facing south.
    MapRec one = rock(), two = rock();
    corridor(one, 1, 1, 6);
    carve(one, 3, 1, S);
    carve(one, 3, 2, S);
    one.events[0] = event(EVENT_TELEPORT, 6, 1, 2, 2, 2, 3);
    carve(two, 2, 2, S);
    const Router r({one, two});

    // Straight on needs no turn; behind the party, one turn about first.
    EXPECT_EQ(moves_to(r, {{1, 1, 1}, E}, {1, 3, 1}),
              (std::vector<Move>{Move::Forward, Move::Forward}));
    EXPECT_EQ(moves_to(r, {{1, 3, 1}, E}, {1, 1, 1}),
              (std::vector<Move>{Move::About, Move::Forward, Move::Forward}));
    // Down the side passage: a right turn at the corner.
    EXPECT_EQ(moves_to(r, {{1, 1, 1}, E}, {1, 3, 3}),
              (std::vector<Move>{Move::Forward, Move::Forward, Move::Right, Move::Forward,
                                 Move::Forward}));
    // Rock all round (2, 2) of map 1: no way at all.
    EXPECT_FALSE(r.route({{1, 1, 1}, E}, [](const Square& q) { return q == Square{1, 2, 2}; }, {}));

    // Onto map 2 through the teleport, which turns the party south.
    const auto to_two = r.route({{1, 1, 1}, E}, [](const Square& q) { return q.map == 2; }, {});
    ASSERT_TRUE(to_two);
    EXPECT_EQ(to_two->moves.size(), 5u);
    EXPECT_EQ(to_two->after.back(), (Position{{2, 2, 2}, S}));
    EXPECT_EQ(to_two->goal, (Square{2, 2, 2}));
}

TEST(Router, AFixedFightOrADoorIsWalkedOntoOnlyAsTheGoal) {
    // A corridor along row 1 with a fight at (3, 1) while flag 7 is clear, and a door at (5, 1).
    MapRec m = rock();
    corridor(m, 1, 1, 6);
    m.events[0] = event(EVENT_FIGHT, 3, 1, 1, 2, 0, 0, 7, 2);
    m.events[1] = event(EVENT_BUILDING, 5, 1, 1, 1);
    const Router r({m});
    Flags clear{}, won{};
    won[7] = 1;

    const Position start{{1, 1, 1}, E};
    const auto to = [](int x) { return [x](const Square& q) { return q == Square{1, x, 1}; }; };
    EXPECT_FALSE(r.route(start, to(4), clear)) << "walked through the fight";
    EXPECT_TRUE(r.route(start, to(3), clear)) << "the fight itself is a goal";
    EXPECT_TRUE(r.route(start, to(4), won)) << "a won fight no longer bars the way";
    EXPECT_FALSE(r.route(start, to(6), won)) << "walked through the door";
    const auto door = r.route(start, to(5), won);
    ASSERT_TRUE(door);
    EXPECT_EQ(door->moves.size(), 4u);

    // The squares the party can stand on: the corridor, without the fight's square or the
    // door's, and nothing behind them.
    const auto squares = r.reachable(start, 1, clear);
    EXPECT_EQ(squares.size(), 2u);
}

} // namespace

} // namespace duskwend
