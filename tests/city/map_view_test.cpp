// The first-person view, checked on the pixels composed in mainPic.
#include "city_fixture.h"

namespace duskwend {

using namespace city_test;

namespace {

// Each piece is one colour naming its holder and wall type. A side piece is coloured in its
// left half and black in its right half, and its mask (below it) black then white, so its
// right half shows the view underneath.
constexpr uint32_t BACKGROUND = 0x0A0B0C;
enum Holder { W1A = 1, W1B, L1A, L1B, R1A, R1B };
uint32_t colour(Holder h, int t) {
    return 0x100000u * h + 0x100u * t + 0x11u;
}

class WallHost final : public Host {
  public:
    std::optional<Bitmap> load_bitmap(const std::string& path) override {
        const struct {
            const char* file;
            Holder h;
            int w, ht;
            bool masked;
        } shapes[] = {{"w1a.bmp", W1A, 160, 109, false}, {"w1b.bmp", W1B, 74, 50, false},
                      {"l1a.bmp", L1A, 33, 136, true},   {"l1b.bmp", L1B, 43, 108, true},
                      {"r1a.bmp", R1A, 33, 136, true},   {"r1b.bmp", R1B, 43, 108, true}};
        for (const auto& s : shapes) {
            if (!path.ends_with(s.file)) continue;
            Bitmap b(7 * s.w, s.masked ? 2 * s.ht : s.ht);
            for (int x = 0; x < b.width; ++x)
                for (int y = 0; y < s.ht; ++y) {
                    const bool left = !s.masked || x % s.w < s.w / 2;
                    b.at(x, y) = left ? colour(s.h, x / s.w + 1) : 0;
                    if (s.masked) b.at(x, s.ht + y) = left ? 0 : 0xFFFFFF;
                }
            return b;
        }
        return Bitmap(228, 140, BACKGROUND);
    }
};

// Points inside the pieces: the wall ahead (slot 6), the far centre (1), the party's own
// left and right walls (8, 9) in their coloured and their clear halves, the inner wall of
// the square ahead on the left (3), and the far left (0) seen through 3's clear half.
struct Probe {
    int x, y;
};
constexpr Probe AHEAD{100, 60}, FAR{110, 50}, OWN_LEFT{5, 60}, OWN_LEFT_CLEAR{25, 60},
    OWN_RIGHT{195, 60}, OWN_RIGHT_CLEAR{220, 60}, AHEAD_LEFT{40, 60}, FAR_LEFT{65, 40},
    FAR_LEFT_EDGE{20, 40};

class View : public CityTest {
  protected:
    uint32_t at(Probe p) { return game().Form1.mainPic.image.at(p.x, p.y); }
    void show(const std::vector<MapRec>& m, int x, int y, int facing) {
        start(m, x, y, facing, 2, &host);
    }
    WallHost host;
};

struct Sq {
    int x, y, side;
};
void put(MapRec& m, Sq s, int t) {
    m.grid[s.x][s.y] = int16_t(m.grid[s.x][s.y] | side_of_type(s.side, t));
}

TEST_F(View, EachFacingSeesTheRightSidesOfTheRightSquares) {
    // From (10, 10): the wall ahead, the far wall, own left, own right, and ahead-left's
    // inner and near sides.
    const struct {
        int facing;
        Sq ahead, far, left, right, ahead_left_inner, ahead_left_near;
    } cases[] = {
        {0, {10, 9, 4}, {10, 8, 4}, {9, 10, 2}, {11, 10, 8}, {9, 9, 2}, {9, 9, 4}},
        {1, {11, 10, 8}, {12, 10, 8}, {10, 9, 4}, {10, 11, 1}, {11, 9, 4}, {11, 9, 8}},
        {2, {10, 11, 1}, {10, 12, 1}, {11, 10, 8}, {9, 10, 2}, {11, 11, 8}, {11, 11, 1}},
        {3, {9, 10, 2}, {8, 10, 2}, {10, 11, 1}, {10, 9, 4}, {9, 11, 1}, {9, 11, 2}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("facing " + std::to_string(c.facing));
        std::vector<MapRec> maps = maps_of(1);
        put(maps[0], c.ahead, 3), put(maps[0], c.left, 4), put(maps[0], c.right, 5);
        put(maps[0], c.ahead_left_near, 7);
        show(maps, 10, 10, c.facing);
        EXPECT_EQ(game().Form1.mainPic.picture_name, "view");
        EXPECT_EQ(at(AHEAD), colour(W1A, 3));
        EXPECT_EQ(at(OWN_LEFT), colour(L1A, 4));
        EXPECT_EQ(at(OWN_LEFT_CLEAR), colour(W1A, 7));
        EXPECT_EQ(at(OWN_RIGHT), colour(R1A, 5));
        EXPECT_EQ(at(OWN_RIGHT_CLEAR), BACKGROUND);

        maps = maps_of(1);
        put(maps[0], c.far, 2); // only the middle bit: the second column
        put(maps[0], c.ahead_left_inner, 6);
        show(maps, 10, 10, c.facing);
        EXPECT_EQ(at(FAR), colour(W1B, 2));
        EXPECT_EQ(at(AHEAD_LEFT), colour(L1B, 6));
        EXPECT_EQ(at(FAR_LEFT), BACKGROUND);
    }
}

TEST_F(View, AWallAheadHidesWhatLiesBehindItInsideItsRectangle) {
    std::vector<MapRec> maps = maps_of(1);
    put(maps[0], {10, 9, 4}, 1), put(maps[0], {9, 8, 4}, 2), put(maps[0], {10, 8, 4}, 3),
        put(maps[0], {9, 9, 2}, 5);
    show(maps, 10, 10, 0);
    EXPECT_EQ(at(FAR), colour(W1A, 1));
    EXPECT_EQ(at(AHEAD_LEFT), colour(W1A, 1));
    EXPECT_EQ(at(FAR_LEFT_EDGE), colour(W1B, 2)); // slot 0 left of x = 33
}

// Every square walled on every side, and walls in the bytes around the grid too, so a
// square read from off the grid would show.
std::vector<MapRec> walled_city() {
    std::vector<MapRec> maps = maps_of(1);
    for (auto& column : maps[0].grid) column.fill(0x00F);
    for (auto& row : maps[0].encounters) row.fill(0x00F);
    maps[0].unused_120 = 0x00F;
    for (int e = 0; e < 10; ++e) maps[0].events[e].fill(0x00F); // kind 15 does nothing
    return maps;
}

TEST_F(View, OnlyRowsInsideTheGridAreShown) {
    // One square from the edge ahead (its near side opened), then on the edge.
    for (auto [facing, x, y, x0, y0, near] : {std::tuple{0, 10, 1, 10, 0, 4},
                                              {1, 31, 10, 32, 10, 8},
                                              {2, 10, 31, 10, 32, 1},
                                              {3, 1, 10, 0, 10, 2}}) {
        SCOPED_TRACE("facing " + std::to_string(facing));
        std::vector<MapRec> maps = walled_city();
        maps[0].grid[x0][y0] = int16_t(0x00F & ~near);
        show(maps, x, y, facing);
        EXPECT_EQ(at(AHEAD_LEFT), colour(L1B, 1));
        EXPECT_EQ(at(FAR_LEFT), BACKGROUND);
        EXPECT_EQ(at(AHEAD), BACKGROUND);

        show(walled_city(), x0, y0, facing);
        EXPECT_EQ(at(AHEAD), BACKGROUND);
        EXPECT_EQ(at(OWN_LEFT), colour(L1A, 1));
        EXPECT_EQ(at(OWN_RIGHT), colour(R1A, 1));
    }
}

TEST_F(View, SquaresBesideTheLineOffTheGridHaveNoWalls) {
    for (auto [facing, x, y, left_off] : {std::tuple{0, 0, 10, true},
                                          {2, 0, 10, false},
                                          {1, 10, 0, true},
                                          {3, 10, 0, false},
                                          {1, 10, 32, false}}) {
        SCOPED_TRACE("facing " + std::to_string(facing));
        show(walled_city(), x, y, facing);
        EXPECT_EQ(at(AHEAD), colour(W1A, 1));
        EXPECT_EQ(at(left_off ? OWN_LEFT : OWN_RIGHT), BACKGROUND);
        EXPECT_EQ(at(left_off ? OWN_LEFT_CLEAR : OWN_RIGHT_CLEAR), BACKGROUND);
        EXPECT_EQ(at(left_off ? OWN_RIGHT : OWN_LEFT), left_off ? colour(R1A, 1) : colour(L1A, 1));
    }
}

// A map with back<N>.bmp in the Data folder is seen against it; the others keep back.bmp, and
// a teleport to another map changes the background at once.
TEST(ViewBackground, EachMapMayBringItsOwnBackground) {
    fixture::SmallWorldDir dir("view-backgrounds");
    fixture::write_bmp(dir.path / "back2.bmp", 228, 140, 0x305070);
    auto maps = maps_of(3);
    maps[0].events[0] = city_test::event(1, 5, 4, 2, 5, 5, 1); // north of the start: map 2
    maps[0].events[1] = city_test::event(1, 6, 5, 3, 5, 5, 1); // east of it: map 3
    maps[1].events[0] = city_test::event(1, 5, 4, 1, 5, 5, 1); // and back
    fixture::write_slots(dir.path / MAP_FILE, maps, MAP_SLOT);
    fixture::StartedGame started(dir.path);
    Game& g = started.g;
    g.screens.map_turn_events = [](Game&) {};
    g.party[0].in_use = 1, g.party[0].name = "Corvath", g.party[0].level = 1;
    g.current_location = LOCATION_CITY, g.location_step = -1;
    g.map_level = 1, g.party_x = 5, g.party_y = 5, g.party_facing = 0;
    sub_render_screen(g);
    // The picture the last drawing of the view was built on.
    auto background = [&] { return g.Form1.mainPic.view_background; };
    EXPECT_EQ(background(), "back.bmp"); // map 1 has no back1.bmp

    fixture::type(g, "{up}");
    ASSERT_EQ(g.map_level, 2);
    EXPECT_EQ(background(), "back2.bmp");
    EXPECT_EQ(g.Form1.mainPic.picture_name, "view");

    fixture::type(g, "{up}");
    ASSERT_EQ(g.map_level, 1);
    EXPECT_EQ(background(), "back.bmp");
    fixture::type(g, "{right}{up}");
    ASSERT_EQ(g.map_level, 3);
    EXPECT_EQ(background(), "back.bmp"); // no back3.bmp: the common background
}

} // namespace

} // namespace duskwend
