// The first-person view, checked on the pixels composed in mainPic.
#include "city_fixture.h"

using namespace city_test;

namespace {

// Every piece of a holder is one colour that names the holder and the wall type. A side
// piece is coloured in its left half and black in its right half; its mask is black on the
// left and white on the right, so the right half lets the view underneath show through.
enum Holder { W1A, W1B, L1A, L1B, R1A, R1B };
uint32_t colour(Holder h, int t) { return 0x100000u * (h + 1) + 0x100u * t + 0x11u; }
constexpr uint32_t BACKGROUND = 0x0A0B0C;

struct HolderShape {
    const char* file;
    Holder holder;
    int width, height; // of one piece
    bool masked;
};
const HolderShape SHAPES[] = {{"w1a.bmp", W1A, 160, 109, false}, {"w1b.bmp", W1B, 74, 50, false},
                              {"l1a.bmp", L1A, 33, 136, true},   {"l1b.bmp", L1B, 43, 108, true},
                              {"r1a.bmp", R1A, 33, 136, true},   {"r1b.bmp", R1B, 43, 108, true}};

class WallHost final : public Host {
  public:
    std::optional<Bitmap> load_bitmap(const std::string& path) override {
        if (path.ends_with("back.bmp")) return Bitmap(228, 140, BACKGROUND);
        for (const HolderShape& s : SHAPES) {
            if (!path.ends_with(s.file)) continue;
            Bitmap b(7 * s.width, s.masked ? 2 * s.height : s.height);
            for (int t = 1; t <= 7; ++t)
                for (int y = 0; y < s.height; ++y)
                    for (int x = 0; x < s.width; ++x) {
                        const int bx = (t - 1) * s.width + x;
                        const bool left = x < s.width / 2;
                        b.at(bx, y) = !s.masked || left ? colour(s.holder, t) : 0;
                        if (s.masked) b.at(bx, s.height + y) = left ? 0 : 0xFFFFFF;
                    }
            return b;
        }
        return Bitmap(228, 140, 0x404040);
    }
};

// Where each piece shows, for probing: a point inside its coloured part.
struct Probe {
    int x, y;
};
constexpr Probe FRONT_1{100, 60};       // slot 6, the wall directly ahead
constexpr Probe FRONT_2{110, 50};       // slot 1
constexpr Probe LEFT_OWN{5, 60};        // slot 8, left half
constexpr Probe LEFT_OWN_CLEAR{25, 60}; // slot 8, right half: what lies underneath
constexpr Probe RIGHT_OWN{195, 60};     // slot 9, left half
constexpr Probe RIGHT_OWN_CLEAR{220, 60};
constexpr Probe LEFT_AHEAD{40, 60};  // slot 3, left half
constexpr Probe FAR_LEFT{65, 40};    // slot 0, seen through the clear half of slot 3
constexpr Probe FAR_LEFT_EDGE{20, 40}; // slot 0, left of the wall ahead

// One facing from (10, 10): squares and sides (bits N 1, E 2, S 4, W 8) of some slots.
struct Sq {
    int x, y, side;
};
struct FacingCase {
    int facing;
    Sq ahead_near, far_near, left_inner, right_inner, left_ahead_inner, left_ahead_near;
};
const FacingCase FACINGS[] = {
    {0, {10, 9, 4}, {10, 8, 4}, {9, 10, 2}, {11, 10, 8}, {9, 9, 2}, {9, 9, 4}},
    {1, {11, 10, 8}, {12, 10, 8}, {10, 9, 4}, {10, 11, 1}, {11, 9, 4}, {11, 9, 8}},
    {2, {10, 11, 1}, {10, 12, 1}, {11, 10, 8}, {9, 10, 2}, {11, 11, 8}, {11, 11, 1}},
    {3, {9, 10, 2}, {8, 10, 2}, {10, 11, 1}, {10, 9, 4}, {9, 11, 1}, {9, 11, 2}},
};

class View : public CityTest {
  protected:
    Game& show(const std::vector<MapRec>& maps, int x, int y, int facing) {
        return start(maps, x, y, facing, 2, &host);
    }
    uint32_t at(Probe p) { return game().Form1.mainPic.image.at(p.x, p.y); }
    WallHost host;
};

void put(MapRec& m, Sq s, int t) {
    m.grid[s.x][s.y] = static_cast<int16_t>(m.grid[s.x][s.y] | side_of_type(s.side, t));
}

TEST_F(View, EachFacingSeesTheRightSidesOfTheRightSquares) {
    for (const FacingCase& c : FACINGS) {
        SCOPED_TRACE("facing " + std::to_string(c.facing));
        std::vector<MapRec> maps = empty_maps(1);
        put(maps[0], c.ahead_near, 3);
        put(maps[0], c.left_inner, 4);
        put(maps[0], c.right_inner, 5);
        put(maps[0], c.left_ahead_near, 7);
        Game& g = show(maps, 10, 10, c.facing);
        EXPECT_EQ(g.Form1.mainPic.picture_name, "view");
        EXPECT_EQ(at(FRONT_1), colour(W1A, 3));
        EXPECT_EQ(at(LEFT_OWN), colour(L1A, 4));
        EXPECT_EQ(at(LEFT_OWN_CLEAR), colour(W1A, 7)); // slot 5 through the mask
        EXPECT_EQ(at(RIGHT_OWN), colour(R1A, 5));
        EXPECT_EQ(at(RIGHT_OWN_CLEAR), BACKGROUND);

        maps = empty_maps(1);
        put(maps[0], c.far_near, 2); // type 2: only the middle bit, drawn from the second column
        put(maps[0], c.left_ahead_inner, 6);
        show(maps, 10, 10, c.facing);
        EXPECT_EQ(at(FRONT_2), colour(W1B, 2));
        EXPECT_EQ(at(LEFT_AHEAD), colour(L1B, 6));
        EXPECT_EQ(at(FAR_LEFT), BACKGROUND);
        EXPECT_EQ(at(FRONT_1), colour(W1B, 2));
    }
}

TEST_F(View, AWallAheadHidesWhatLiesBehindItInsideItsRectangle) {
    std::vector<MapRec> maps = empty_maps(1);
    put(maps[0], {10, 9, 4}, 1);  // ahead
    put(maps[0], {9, 8, 4}, 2);   // far left
    put(maps[0], {10, 8, 4}, 3);  // far centre
    put(maps[0], {9, 9, 2}, 5);   // left ahead, inner
    show(maps, 10, 10, 0);
    EXPECT_EQ(at(FRONT_1), colour(W1A, 1));
    EXPECT_EQ(at(FRONT_2), colour(W1A, 1));
    EXPECT_EQ(at(LEFT_AHEAD), colour(W1A, 1));
    EXPECT_EQ(at(FAR_LEFT_EDGE), colour(W1B, 2)); // the part of slot 0 left of x = 33
}

// A grid of squares walled on every side, and walls in the bytes around the grid too, so
// that a square read from off the grid would show.
std::vector<MapRec> walled_city() {
    std::vector<MapRec> maps = empty_maps(1);
    for (auto& column : maps[0].grid) column.fill(0x00F);
    for (auto& row : maps[0].encounters) row.fill(0x00F);
    maps[0].unused_120 = 0x00F;
    for (int e = 0; e < 10; ++e) maps[0].events[e].fill(0x00F); // kind 15 does nothing
    return maps;
}

TEST_F(View, OnlyRowsInsideTheGridAreShown) {
    // (x, y) one square from the edge ahead, and on the edge itself, per facing.
    // (x, y) one square from the edge ahead, and on the edge itself, per facing; the square
    // ahead is left open toward the party so the rows behind it would show.
    const struct {
        int facing, x1, y1, x0, y0, near_side;
    } edges[] = {{0, 10, 1, 10, 0, 4}, {1, 31, 10, 32, 10, 8}, {2, 10, 31, 10, 32, 1}, {3, 1, 10, 0, 10, 2}};
    for (const auto& e : edges) {
        SCOPED_TRACE("facing " + std::to_string(e.facing));
        std::vector<MapRec> maps = walled_city();
        maps[0].grid[e.x0][e.y0] = static_cast<int16_t>(0x00F & ~e.near_side);
        show(maps, e.x1, e.y1, e.facing);
        EXPECT_EQ(at(LEFT_AHEAD), colour(L1B, 1));
        EXPECT_EQ(at(LEFT_OWN), colour(L1A, 1));
        EXPECT_EQ(at(FAR_LEFT), BACKGROUND); // no distance-2 walls
        EXPECT_EQ(at(FRONT_1), BACKGROUND);

        show(walled_city(), e.x0, e.y0, e.facing);
        EXPECT_EQ(at(FRONT_1), BACKGROUND);
        EXPECT_EQ(at(LEFT_OWN), colour(L1A, 1));
        EXPECT_EQ(at(RIGHT_OWN), colour(R1A, 1));
        EXPECT_EQ(at(LEFT_OWN_CLEAR), BACKGROUND);
    }
}

TEST_F(View, SquaresBesideTheLineOffTheGridHaveNoWalls) {
    const struct {
        int facing, x, y;
        bool left_off;
    } cases[] = {{0, 0, 10, true}, {2, 0, 10, false}, {1, 10, 0, true}, {3, 10, 0, false},
                 {0, 32, 10, false}, {1, 10, 32, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE("facing " + std::to_string(c.facing) + " at " + std::to_string(c.x) + "," +
                     std::to_string(c.y));
        show(walled_city(), c.x, c.y, c.facing);
        EXPECT_EQ(at(FRONT_1), colour(W1A, 1));
        // Nothing at all on the open side: not its own wall, the one ahead of it or the far one.
        EXPECT_EQ(at(c.left_off ? LEFT_OWN : RIGHT_OWN), BACKGROUND);
        EXPECT_EQ(at(c.left_off ? LEFT_OWN_CLEAR : RIGHT_OWN_CLEAR), BACKGROUND);
        EXPECT_EQ(at(c.left_off ? RIGHT_OWN : LEFT_OWN), c.left_off ? colour(R1A, 1) : colour(L1A, 1));
    }
}

} // namespace
