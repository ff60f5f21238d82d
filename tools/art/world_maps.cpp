// duskwend-world-maps: one overview picture per map of a content folder, for modders and
// reviewers who would rather look at a map than read its grid.
//
//   duskwend-world-maps CONTENT_DIR OUT_DIR FONT.ttf
//
// Each map becomes OUT_DIR/<map file name>.png: the squares the party can walk onto (light)
// and those it never reaches (dark), every side in the colour of its wall type, the letters of
// the events on each square, teleports within the map as lines, and a legend listing where the
// doors and teleports lead.

#include "image.h"
#include "text.h"

#include "tools/data/content.h"
#include "tools/data/map_grid.h"
#include "tools/data/playable.h"

#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>
#include <vector>

namespace duskwend {

namespace fs = std::filesystem;

namespace {

constexpr int kCell = 22;
constexpr int kLeft = 34, kTop = 64;
constexpr int kLegendWidth = 330;
constexpr int kWidth = kLeft + MAP_SIZE * kCell + 24 + kLegendWidth;
constexpr int kHeight = kTop + MAP_SIZE * kCell + 24;
constexpr int kWall = 3; // thickness of a side, drawn inside its own square

const Rgb kPaper = {34, 34, 40};
const Rgb kFloor = {205, 196, 176};
const Rgb kRock = {62, 62, 70};
const Rgb kGridLine = {150, 144, 130};
const Rgb kStart = {40, 200, 60};
const Rgb kTeleportInk = {0, 150, 190};

struct WallStyle {
    Rgb colour;
    const char* name;
};
const WallStyle kWalls[8] = {
    {{0, 0, 0}, "open"},
    {{150, 150, 150}, "1 stone"},
    {{185, 70, 50}, "2 brick"},
    {{140, 95, 45}, "3 timber"},
    {{40, 150, 40}, "4 hedge"},
    {{60, 110, 220}, "5 iron gate"},
    {{245, 170, 30}, "6 door (passable)"},
    {{200, 70, 200}, "7 arch or dark door (passable)"},
};

struct Mark {
    int kind;
    char letter;
    Rgb ink;
    const char* meaning;
};
// In the order the letters are shown on a square.
const Mark kMarks[] = {
    {1, 'T', {0, 120, 170}, "teleport"},  {2, 'D', {170, 90, 0}, "building door"},
    {5, 'F', {200, 0, 0}, "fixed fight"}, {8, '$', {150, 120, 0}, "treasure"},
    {3, 'P', {60, 60, 60}, "picture"},    {4, 'M', {60, 60, 60}, "message"},
    {7, 'X', {60, 60, 60}, "long text"},  {6, 'S', {120, 0, 140}, "switch"},
};
const char* const kFacings[] = {"keep", "north", "east", "south", "west"};
const char* const kBuildings[] = {"guild hall", "shop", "temple", "review board"};

void fill(Image& img, int x, int y, int w, int h, Rgb c) {
    for (int j = y; j < y + h; ++j)
        for (int i = x; i < x + w; ++i)
            if (img.contains(i, j)) img.at(i, j) = c;
}

void line(Image& img, int x0, int y0, int x1, int y1, Rgb c) {
    const int steps = std::max(std::abs(x1 - x0), std::abs(y1 - y0));
    for (int s = 0; s <= steps; ++s) {
        const int x = x0 + (steps ? (x1 - x0) * s / steps : 0);
        const int y = y0 + (steps ? (y1 - y0) * s / steps : 0);
        fill(img, x - 1, y - 1, 2, 2, c);
    }
}

std::string square(int x, int y) {
    return "(" + std::to_string(x) + "," + std::to_string(y) + ")";
}

Image draw_map(const MapRec& m, int number, const std::string& title,
               const std::vector<bool>& reach, const Font& font) {
    Image img(kWidth, kHeight, kPaper);
    draw_text(img, font.large, "Map " + std::to_string(number) + ": " + title, kLeft, 8);
    for (int k = 0; k < MAP_SIZE; ++k) {
        if (k % 2 == 0) {
            draw_text(img, font.small, std::to_string(k), kLeft + k * kCell + 4, kTop - 20);
            draw_text(img, font.small, std::to_string(k), 4, kTop + k * kCell + 3);
        }
    }
    auto cell_x = [](int x) { return kLeft + x * kCell; };
    auto cell_y = [](int y) { return kTop + y * kCell; };
    for (int y = 0; y < MAP_SIZE; ++y)
        for (int x = 0; x < MAP_SIZE; ++x) {
            const bool walked = reach[static_cast<std::size_t>(y * MAP_SIZE + x)];
            fill(img, cell_x(x), cell_y(y), kCell, kCell, walked ? kFloor : kRock);
            fill(img, cell_x(x), cell_y(y), kCell, 1, kGridLine);
            fill(img, cell_x(x), cell_y(y), 1, kCell, kGridLine);
        }
    // Each square's own sides, just inside the square, so a side that differs from its
    // neighbour's shows as two colours.
    for (int y = 0; y < MAP_SIZE; ++y)
        for (int x = 0; x < MAP_SIZE; ++x) {
            const int16_t v = m.grid[static_cast<std::size_t>(x)][static_cast<std::size_t>(y)];
            for (int side = 0; side < 4; ++side) {
                const int t = side_type(v, side);
                if (t == 0) continue;
                const Rgb c = kWalls[t].colour;
                const int x0 = cell_x(x), y0 = cell_y(y);
                // Doors and arches are drawn as a gap in a thin frame.
                const bool opening = t >= 6;
                const int thick = opening ? kWall + 1 : kWall;
                const int a = opening ? kCell / 4 : 0, b = opening ? kCell / 2 : kCell;
                switch (side) {
                case NORTH:
                    fill(img, x0 + a, y0, b, thick, c);
                    break;
                case SOUTH:
                    fill(img, x0 + a, y0 + kCell - thick, b, thick, c);
                    break;
                case WEST:
                    fill(img, x0, y0 + a, thick, b, c);
                    break;
                default:
                    fill(img, x0 + kCell - thick, y0 + a, thick, b, c);
                    break;
                }
            }
        }
    // Event letters, and teleports within the map as lines.
    std::vector<std::string> notes;
    for (int y = 0; y < MAP_SIZE; ++y)
        for (int x = 0; x < MAP_SIZE; ++x) {
            int shown = 0;
            for (const Mark& mark : kMarks) {
                bool here = false;
                for (const auto& e : m.events)
                    if (e[0] == mark.kind && e[2] == x && e[3] == y) here = true;
                if (!here || shown == 3) continue;
                draw_text(img, font.small, std::string(1, mark.letter),
                          cell_x(x) + 3 + (shown % 2) * 9, cell_y(y) + 1 + (shown / 2) * 9,
                          mark.ink);
                ++shown;
            }
        }
    for (const auto& e : m.events) {
        if (e[0] == 1) {
            const int facing = e[7] >= 0 && e[7] <= 4 ? e[7] : 0;
            notes.push_back("T " + square(e[2], e[3]) + " to map " + std::to_string(e[4]) + " " +
                            square(e[5], e[6]) + " " + kFacings[facing]);
            if (e[4] == number && e[5] >= 0 && e[5] < MAP_SIZE && e[6] >= 0 && e[6] < MAP_SIZE)
                line(img, cell_x(e[2]) + kCell / 2, cell_y(e[3]) + kCell / 2,
                     cell_x(e[5]) + kCell / 2, cell_y(e[6]) + kCell / 2, kTeleportInk);
        } else if (e[0] == 2) {
            notes.push_back("D " + square(e[2], e[3]) + " " +
                            (e[4] >= 0 && e[4] <= 3 ? kBuildings[e[4]] : "building ?"));
        }
    }
    if (number == 1)
        for (const auto& e : m.events)
            if (e[0] == 2 && e[4] == 0 && e[3] >= 1) {
                const int x0 = cell_x(e[2]), y0 = cell_y(e[3] - 1);
                fill(img, x0 + 2, y0 + kCell - 6, kCell - 4, 3, kStart);
            }

    // The legend.
    int lx = kLeft + MAP_SIZE * kCell + 24, ly = kTop;
    draw_text(img, font.small, "Walls", lx, ly);
    ly += 20;
    for (int t = 1; t <= 7; ++t) {
        fill(img, lx, ly + 4, 26, 8, kWalls[t].colour);
        draw_text(img, font.small, kWalls[t].name, lx + 34, ly);
        ly += 18;
    }
    ly += 8;
    fill(img, lx, ly + 2, 26, 12, kFloor);
    draw_text(img, font.small, "squares the party can walk onto", lx + 34, ly);
    ly += 18;
    fill(img, lx, ly + 2, 26, 12, kRock);
    draw_text(img, font.small, "never reached", lx + 34, ly);
    ly += 18;
    if (number == 1) {
        fill(img, lx, ly + 6, 26, 3, kStart);
        draw_text(img, font.small, "where the party sets out", lx + 34, ly);
        ly += 18;
    }
    ly += 8;
    for (const Mark& mark : kMarks) {
        fill(img, lx, ly + 1, 18, 16, kFloor);
        draw_text(img, font.small, std::string(1, mark.letter), lx + 4, ly, mark.ink);
        draw_text(img, font.small, mark.meaning, lx + 34, ly);
        ly += 18;
    }
    ly += 8;
    for (const std::string& note : notes) {
        if (ly > kHeight - 20) break;
        draw_text(img, font.small, note, lx, ly);
        ly += 18;
    }
    return img;
}

} // namespace

} // namespace duskwend

int main(int argc, char** argv) {
    using namespace duskwend;
    if (argc != 4) {
        std::fprintf(stderr, "usage: duskwend-world-maps CONTENT_DIR OUT_DIR FONT.ttf\n");
        return 2;
    }
    try {
        Diagnostics diags;
        std::vector<MapOrigin> origins;
        const World world = load_content(argv[1], diags, &origins);
        for (const auto& d : diags.list()) std::fprintf(stderr, "%s\n", d.str().c_str());
        if (!diags.ok()) return 1;
        const auto reach = reachable_squares(world);
        const Font font(argv[3], 13, 22);
        fs::create_directories(argv[2]);
        for (std::size_t n = 0; n < world.maps.size(); ++n) {
            const std::string stem = fs::path(origins[n].file).stem().string();
            const fs::path out = fs::path(argv[2]) / (stem + ".png");
            save_png(draw_map(world.maps[n], static_cast<int>(n + 1), stem, reach[n], font),
                     out.string());
            std::printf("%s\n", out.string().c_str());
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "duskwend-world-maps: %s\n", e.what());
        return 1;
    }
    return 0;
}
