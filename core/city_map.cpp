#include "core/city_map.h"

#include "core/game.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace duskwend {

namespace {
constexpr Step AHEAD[4] = {{0, -1}, {1, 0}, {0, 1}, {-1, 0}};
constexpr Step RIGHT[4] = {{1, 0}, {0, 1}, {-1, 0}, {0, -1}};
} // namespace

// The facing is kept within 0..3 by every key and event; the mask only keeps a stray value
// from reading past the tables.
Step facing_ahead(int facing) {
    return AHEAD[facing & 3];
}
Step facing_right(int facing) {
    return RIGHT[facing & 3];
}
int side_bit(int direction) {
    return 1 << (direction & 3);
}

bool inside_grid(int x, int y) {
    return x >= 0 && x < MAP_SIZE && y >= 0 && y < MAP_SIZE;
}

int16_t square_value(const Game& g, int x, int y) {
    return inside_grid(x, y) ? g.map_rec.grid[x][y] : 0;
}

int wall_type(int16_t value, int side) {
    const unsigned v = static_cast<uint16_t>(value);
    const unsigned s = static_cast<unsigned>(side);
    return ((v & s) ? 1 : 0) + ((v & (s << 4)) ? 2 : 0) + ((v & (s << 8)) ? 4 : 0);
}

void step_back_and_turn_about(Game& g) {
    // A door on the grid's edge still leaves the party on the grid.
    const Step ahead = facing_ahead(g.party_facing);
    g.party_x = static_cast<int16_t>(std::clamp(g.party_x - ahead.dx, 0, MAP_SIZE - 1));
    g.party_y = static_cast<int16_t>(std::clamp(g.party_y - ahead.dy, 0, MAP_SIZE - 1));
    const int f = (g.party_facing & 3) + 2;
    g.party_facing = static_cast<int16_t>(f > 3 ? f - 4 : f);
}

bool map_in_file(const Game& g, int n) {
    if (n < 1) return false;
    std::error_code ec;
    const auto size = std::filesystem::file_size(g.data_files.path_of(MAP_FILE), ec);
    if (ec) return false;
    return static_cast<uintmax_t>(n - 1) * MAP_SLOT + MapRec::disk_size <= size;
}

} // namespace duskwend
