// The map-grid reader: the drawing, then "x,y side type" and "x,y 0xVALUE" lines after a line
// holding only "--". A grid that reads must draw and read back to the same squares.
#include "tools/data/map_grid.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    using namespace duskwend;
    const std::string text(reinterpret_cast<const char*>(data), size);
    const auto cut = text.find("\n--\n");
    const std::string drawing = text.substr(0, cut);
    Diagnostics diags;
    const Source src{"fuzz.toml", &diags};
    Table<MAP_SIZE, MAP_SIZE> grid{};
    if (!parse_grid(drawing, 1, grid, src)) return 0;
    if (cut != std::string::npos) {
        std::istringstream in(text.substr(cut + 4));
        int line = 1;
        for (std::string l; std::getline(in, l); ++line) {
            if (l.find("0x") != std::string::npos)
                apply_raw_square(l, line, grid, src);
            else
                apply_one_sided(l, line, grid, src);
        }
    }
    if (!diags.ok()) return 0;

    Table<MAP_SIZE, MAP_SIZE> marks;
    for (auto& col : marks) col.fill('.');
    Diagnostics again_diags;
    const Source again_src{"again.toml", &again_diags};
    Table<MAP_SIZE, MAP_SIZE> again{};
    if (!parse_grid(draw_grid(grid, marks), 1, again, again_src)) std::abort();
    for (const auto& e : one_sided_sides(grid)) apply_one_sided(e, 1, again, again_src);
    for (const auto& e : raw_square_values(grid)) apply_raw_square(e, 1, again, again_src);
    if (!again_diags.ok() || !(again == grid)) std::abort();
    return 0;
}
