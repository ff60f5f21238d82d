#pragma once
// The city grid as the view, the walking, the square events, the automap and the way out of a
// building or a fight read it: square values, the wall type of one side, the facing vectors,
// and which maps Maps.dat holds.

#include <cstdint>

namespace duskwend {

struct Game;

// Side bits of a square value, in each of its three 4-bit groups.
constexpr int SIDE_NORTH = 1, SIDE_EAST = 2, SIDE_SOUTH = 4, SIDE_WEST = 8;

// One step ahead and one step to the right, by party_facing (0 north .. 3 west).
struct Step {
    int dx, dy;
};
Step facing_ahead(int facing);
Step facing_right(int facing);
// The side bit of a direction 0..3 (north 1, east 2, south 4, west 8).
int side_bit(int direction);

bool inside_grid(int x, int y);
// The value of square (x, y); a square outside the grid has no sides.
int16_t square_value(const Game& g, int x, int y);
// The wall type 0..7 of one side: its low, middle and high bit count 1, 2 and 4.
int wall_type(int16_t value, int side);

// One square back from the way the party faces (kept on the grid), then turned about: out of a
// building's door, or off the square of a fight the party fled.
void step_back_and_turn_about(Game& g);

// True when slot n of Maps.dat holds a whole map.
bool map_in_file(const Game& g, int n);

} // namespace duskwend
