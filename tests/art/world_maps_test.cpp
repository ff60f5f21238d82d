// The overview pictures of the maps: one per map file, the squares a party can walk onto
// light and the rock it never reaches dark.

#include <SDL.h>
#include <SDL_image.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace duskwend {

namespace {

namespace fs = std::filesystem;

struct Colour {
    int r, g, b;
    bool operator==(const Colour&) const = default;
};

Colour pixel(SDL_Surface* s, int x, int y) {
    const auto* p = static_cast<const uint8_t*>(s->pixels) + y * s->pitch + x * 4;
    return {p[0], p[1], p[2]};
}

// The centre of square (x, y) in the picture: 22-pixel squares from (34, 64).
int centre_x(int x) {
    return 34 + x * 22 + 11;
}
int centre_y(int y) {
    return 64 + y * 22 + 11;
}

TEST(WorldMaps, EachMapGetsAnOverviewShowingWhereThePartyCanWalk) {
    // A folder of this run's own: two test runs at once must not remove each other's pictures.
    const fs::path out =
        fs::temp_directory_path() / ("duskwend-world-maps-test-" + std::to_string(getpid()));
    fs::remove_all(out);
    const std::string cmd = std::string(DUSKWEND_WORLD_MAPS_TOOL) + " " + DUSKWEND_SOURCE_DIR +
                            "/content " + out.string() + " " + DUSKWEND_FONT_SOURCE +
                            " > /dev/null";
    ASSERT_EQ(std::system(cmd.c_str()), 0) << cmd;
    for (const char* name : {"01-duskwend", "02-sewers", "03-catacombs", "04-tower", "05-outskirts",
                             "06-mines", "07-undercroft", "08-summit"})
        EXPECT_TRUE(fs::exists(out / (std::string(name) + ".png"))) << name;

    SDL_Surface* loaded = IMG_Load((out / "01-duskwend.png").c_str());
    ASSERT_NE(loaded, nullptr) << IMG_GetError();
    SDL_Surface* s = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_RGBA32, 0);
    SDL_FreeSurface(loaded);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(pixel(s, centre_x(16), centre_y(20)), (Colour{205, 196, 176})); // the avenue
    EXPECT_EQ(pixel(s, centre_x(10), centre_y(10)), (Colour{62, 62, 70}));    // a house block
    // The park's hedges in green, the city wall in grey (each drawn inside its square).
    EXPECT_EQ(pixel(s, 34 + 26 * 22 + 11, 64 + 3 * 22 + 1), (Colour{40, 150, 40}));
    EXPECT_EQ(pixel(s, 34 + 31 * 22 + 21, 64 + 16 * 22 + 11), (Colour{150, 150, 150}));
    SDL_FreeSurface(s);
    fs::remove_all(out);
}

} // namespace

} // namespace duskwend
