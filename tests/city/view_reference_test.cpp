// The whole view, byte for byte: views composed from patterned wall pieces are compared with a
// reference strip drawn by the pixel-by-pixel copy the game had first
// (tests/city/view_reference.png; DUSKWEND_UPDATE_VIEW_REFERENCE=1 writes it anew).
#include "city/map_view.h"
#include "city_fixture.h"
#include "core/pictures.h"
#include "platform/frame.h"

#include <SDL_image.h>

#include <cstring>

namespace duskwend {

using namespace city_test;

namespace {

// Pieces full of gradients so every pixel differs from its neighbours, and masks that mix
// black, white and partial values so AND and OR both matter.
uint32_t pattern(int h, int x, int y) {
    return uint32_t((x * 7 + y * 3 + h * 40) & 0xFF) << 16 |
           uint32_t((y * 5 + h * 17) & 0xFF) << 8 | uint32_t((x ^ y ^ (h * 29)) & 0xFF);
}
uint32_t mask(int x, int y) {
    switch ((x / 3 + y / 5) % 4) {
    case 0:
        return 0x000000;
    case 1:
        return 0xFFFFFF;
    case 2:
        return 0x0F0FF0 ^ uint32_t(x & 0x33);
    default:
        return x < 20 ? 0x000000 : 0xFFFFFF;
    }
}

class PatternHost final : public Host {
  public:
    std::optional<Bitmap> load_bitmap(const std::string& path) override {
        ++loads;
        const struct {
            const char* file;
            int w, ht;
            bool masked;
        } shapes[] = {{"w1a.bmp", 160, 109, false}, {"w1b.bmp", 74, 50, false},
                      {"l1a.bmp", 33, 136, true},   {"l1b.bmp", 43, 108, true},
                      {"r1a.bmp", 33, 136, true},   {"r1b.bmp", 43, 108, true}};
        for (int h = 0; h < 6; ++h) {
            const auto& s = shapes[h];
            if (!path.ends_with(s.file)) continue;
            Bitmap b(7 * s.w, s.masked ? 2 * s.ht : s.ht);
            for (int x = 0; x < b.width; ++x)
                for (int y = 0; y < s.ht; ++y) {
                    b.at(x, y) = pattern(h + 1, x, y);
                    if (s.masked) b.at(x, s.ht + y) = mask(x % s.w, y);
                }
            return b;
        }
        if (path.ends_with("back.bmp")) {
            Bitmap b(228, 140);
            for (int x = 0; x < 228; ++x)
                for (int y = 0; y < 140; ++y) b.at(x, y) = pattern(9, x, y);
            return b;
        }
        return Bitmap(100, 60, 0x123456); // any other picture: smaller than the area
    }
    int loads = 0;
};

// Walls of every type on every side of the squares around the places the views are taken
// from, the types drawn from a fixed sequence.
std::vector<MapRec> patterned_city() {
    std::vector<MapRec> maps = maps_of(1);
    uint32_t r = 12345;
    for (int x = 0; x < MAP_SIZE; ++x)
        for (int y = 0; y < MAP_SIZE; ++y) {
            int16_t v = 0;
            for (int side : {1, 2, 4, 8}) {
                r = r * 1103515245u + 12345u;
                v = int16_t(v | side_of_type(side, int(r >> 16) % 8));
            }
            maps[0].grid[x][y] = v;
        }
    return maps;
}

struct Place {
    int x, y, facing;
};
// Inside, beside each edge and on the corner; the first view is shown again at the end, and
// once more after another picture took the area.
const Place PLACES[] = {{10, 10, 0}, {10, 10, 1}, {10, 10, 2}, {10, 10, 3}, {0, 5, 0},
                        {5, 0, 3},   {31, 1, 1},  {1, 31, 2},  {0, 0, 3},   {20, 12, 1},
                        {20, 12, 1}, {10, 10, 0}, {10, 10, 0}};
constexpr int PLACE_COUNT = sizeof(PLACES) / sizeof(PLACES[0]);
constexpr int OTHER_PICTURE_BEFORE = PLACE_COUNT - 1;

class ViewReference : public CityTest {};

TEST_F(ViewReference, EveryViewMatchesTheReferencePixelForPixel) {
    PatternHost host;
    Game& g = start(patterned_city(), 10, 10, 0, 2, &host);
    Bitmap strip(MainPicture::width, MainPicture::height * PLACE_COUNT);
    for (int k = 0; k < PLACE_COUNT; ++k) {
        if (k == OTHER_PICTURE_BEFORE) load_main_picture(g, "other.bmp");
        g.party_x = int16_t(PLACES[k].x), g.party_y = int16_t(PLACES[k].y);
        g.party_facing = int16_t(PLACES[k].facing);
        sub_draw_view(g);
        ASSERT_EQ(g.Form1.mainPic.picture_name, "view");
        const Bitmap& view = g.Form1.mainPic.image;
        ASSERT_EQ(view.width, MainPicture::width);
        ASSERT_EQ(view.height, MainPicture::height);
        std::copy(view.pixels.begin(), view.pixels.end(),
                  strip.pixels.begin() + std::ptrdiff_t(k) * view.width * view.height);
    }

    // Each picture was read from its file once: six holders, the background, the other one.
    EXPECT_EQ(host.loads, 8);

    const std::string file = std::string(DUSKWEND_SOURCE_DIR) + "/tests/city/view_reference.png";
    if (std::getenv("DUSKWEND_UPDATE_VIEW_REFERENCE")) {
        SurfacePtr s(SDL_CreateRGBSurfaceWithFormat(0, strip.width, strip.height, 32,
                                                    SDL_PIXELFORMAT_XRGB8888));
        ASSERT_TRUE(s);
        for (int y = 0; y < strip.height; ++y)
            std::memcpy(static_cast<uint8_t*>(s->pixels) + std::size_t(y) * s->pitch,
                        &strip.pixels[std::size_t(y) * strip.width], std::size_t(strip.width) * 4);
        ASSERT_TRUE(save_png(s.get(), file));
    }
    SurfacePtr loaded(IMG_Load(file.c_str()));
    ASSERT_TRUE(loaded) << file;
    SurfacePtr ref(SDL_ConvertSurfaceFormat(loaded.get(), SDL_PIXELFORMAT_XRGB8888, 0));
    ASSERT_EQ(ref->w, strip.width);
    ASSERT_EQ(ref->h, strip.height);
    for (int y = 0; y < strip.height; ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(
            static_cast<const uint8_t*>(ref->pixels) + std::size_t(y) * ref->pitch);
        for (int x = 0; x < strip.width; ++x)
            ASSERT_EQ(strip.at(x, y), row[x] & 0xFFFFFF)
                << "view " << y / MainPicture::height << " at (" << x << ", "
                << y % MainPicture::height << ")";
    }
}

TEST_F(ViewReference, WalkingReadsNoPictureAgainAndRedrawsOnlyAChangedView) {
    PatternHost host;
    Game& g = start(patterned_city(), 10, 10, 0, 2, &host);
    const int after_start = host.loads;
    EXPECT_EQ(after_start, 7);
    const Bitmap first = g.Form1.mainPic.image;
    type("{right}{right}{right}{right}{left}{up}{down}{up}{down}{left}");
    EXPECT_EQ(host.loads, after_start);
    g.party_x = 10, g.party_y = 10, g.party_facing = 0;
    type("{right}{left}");
    EXPECT_EQ(g.Form1.mainPic.image.pixels, first.pixels);

    // Entering the city again gives the holders anew: the view is drawn from them again even
    // where the walls are the same.
    Bitmap& wall = g.Form1.mainPic.image;
    wall.at(100, 60) = 0x000001; // would be left standing by a view not drawn again
    g.location_step = -1;
    sub_render_screen(g);
    EXPECT_EQ(wall.pixels, first.pixels);
    EXPECT_EQ(host.loads, after_start);
}

} // namespace

} // namespace duskwend
