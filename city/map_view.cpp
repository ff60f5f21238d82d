#include "city/map_view.h"

#include "core/city_map.h"
#include "core/game.h"
#include "core/pictures.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace duskwend {

namespace {

enum class Side { Near, Inner };

// One wall face of the view: the square f ahead and r to the right, which of its sides,
// the holder it comes from and where it lands in mainPic.
struct ViewSlot {
    int f, r;
    Side side;
    Bitmap Form::*holder;
    int dest_x, dest_y, width, height;
};

constexpr int SLOT_COUNT = 10;
const std::array<ViewSlot, SLOT_COUNT> VIEW_SLOTS = {{
    {2, -1, Side::Near, &Form::mWall2, 2, 27, 74, 50},
    {2, 0, Side::Near, &Form::mWall2, 76, 27, 74, 50},
    {2, 1, Side::Near, &Form::mWall2, 150, 27, 74, 50},
    {1, -1, Side::Inner, &Form::mLeft2, 33, 11, 43, 108},
    {1, 1, Side::Inner, &Form::mRight2, 150, 11, 43, 108},
    {1, -1, Side::Near, &Form::mWall, -127, 11, 160, 109},
    {1, 0, Side::Near, &Form::mWall, 33, 11, 160, 109},
    {1, 1, Side::Near, &Form::mWall, 193, 11, 160, 109},
    {0, -1, Side::Inner, &Form::mLeft, 0, 0, 33, 136},
    {0, 1, Side::Inner, &Form::mRight, 193, 0, 33, 136},
}};

// The side of the slot's square that the party sees: the near side faces back toward the
// party; the inner side of a square on the left is its right-hand side, and the other way
// round on the right.
int seen_side(const ViewSlot& s, int facing) {
    if (s.side == Side::Near) return side_bit(facing + 2);
    return side_bit(s.r < 0 ? facing + 1 : facing + 3);
}

// Whether the row f squares ahead lies inside the grid, tested on the forward coordinate only.
bool row_inside(const Game& g, int f) {
    const Step a = facing_ahead(g.party_facing);
    const int x = g.party_x + f * a.dx, y = g.party_y + f * a.dy;
    return a.dx != 0 ? (x >= 0 && x < MAP_SIZE) : (y >= 0 && y < MAP_SIZE);
}

BlitArea plain_area(const Game& g, const ViewSlot& s, int t) {
    return blit_area(g.Form1.mainPic.image, s.dest_x, s.dest_y, s.width, s.height,
                     g.Form1.*s.holder, (t - 1) * s.width, 0);
}

void plain_copy(Game& g, const ViewSlot& s, int t) {
    const Bitmap& src = g.Form1.*s.holder;
    bit_blt(g.Form1.mainPic.image, s.dest_x, s.dest_y, s.width, s.height, src, (t - 1) * s.width, 0,
            RasterOp::Copy);
}

// The side pieces carry a mask directly below the picture: AND the mask, then OR the piece,
// so the view underneath shows through around the wall.
void masked_copy(Game& g, const ViewSlot& s, int t) {
    const Bitmap& src = g.Form1.*s.holder;
    masked_blt(g.Form1.mainPic.image, s.dest_x, s.dest_y, s.width, s.height, src, (t - 1) * s.width,
               0, s.height);
}

// Whether every pixel of `area` in rows [top, bottom) is covered by one of `covers`.
bool covered(const BlitArea& area, const std::vector<BlitArea>& covers) {
    for (int y = area.top; y < area.bottom; ++y) {
        int x = area.left;
        // The covers are few: sweep until no cover extends the covered run.
        for (bool grew = true; grew && x < area.right;) {
            grew = false;
            for (const BlitArea& c : covers)
                if (y >= c.top && y < c.bottom && c.left <= x && c.right > x)
                    x = c.right, grew = true;
        }
        if (x < area.right) return false;
    }
    return true;
}

// The background, except where a wall copied later covers it: those pixels would be
// overwritten anyway. A background of another size goes the general way.
void draw_background(Game& g, const std::string& file_name, const std::vector<BlitArea>& covers) {
    MainPicture& pic = g.Form1.mainPic;
    const Bitmap& b = load_picture(g, file_name);
    if (b.width != MainPicture::width || b.height != MainPicture::height ||
        pic.image.width != b.width || pic.image.height != b.height) {
        load_main_picture(g, file_name);
        return;
    }
    std::vector<std::pair<int, int>> spans;
    for (int y = 0; y < b.height; ++y) {
        spans.clear();
        for (const BlitArea& c : covers)
            if (y >= c.top && y < c.bottom) spans.emplace_back(c.left, c.right);
        std::sort(spans.begin(), spans.end());
        int x = 0;
        const auto copy_to = [&](int end) {
            if (end > x)
                std::memcpy(&pic.image.at(x, y), b.pixels.data() + std::size_t(y) * b.width + x,
                            std::size_t(end - x) * sizeof(uint32_t));
        };
        for (const auto& [left, right] : spans) {
            copy_to(left);
            x = std::max(x, right);
        }
        copy_to(b.width);
    }
    pic.picture_name = file_name;
}

// A map may bring a background of its own (a vault over a dungeon's floor): back<N>.bmp in
// the Data folder for map N; every other map is seen against back.bmp. Looked up once a map.
const std::string& view_background(Game& g) {
    auto& known = g.picture_cache.map_backgrounds;
    auto it = known.find(g.map_level);
    if (it == known.end()) {
        const std::string own = "back" + std::to_string(g.map_level) + ".bmp";
        std::error_code missing;
        const bool has_own = std::filesystem::is_regular_file(g.data_files.path_of(own), missing);
        it = known.emplace(g.map_level, has_own ? own : "back.bmp").first;
    }
    return it->second;
}

} // namespace

void sub_draw_view(Game& g) {
    std::vector<int> slots(SLOT_COUNT, 0);
    const Step ahead = facing_ahead(g.party_facing), right = facing_right(g.party_facing);
    for (int k = 0; k < SLOT_COUNT; ++k) {
        const ViewSlot& s = VIEW_SLOTS[k];
        if (s.f > 0 && !row_inside(g, s.f)) continue;
        const int x = g.party_x + s.f * ahead.dx + s.r * right.dx;
        const int y = g.party_y + s.f * ahead.dy + s.r * right.dy;
        // square_value gives no sides for a square beside the line that lies off the grid.
        slots[k] = wall_type(square_value(g, x, y), seen_side(s, g.party_facing));
    }

    // The same walls on the same background are in the picture already.
    const std::string& background = view_background(g);
    MainPicture& pic = g.Form1.mainPic;
    if (pic.picture_name == "view" && pic.view_background == background && pic.view_walls == slots)
        return;

    // Far to near (the order of the slots), so nearer walls cover what lies behind them. A
    // piece wholly covered by plain walls drawn after it is not drawn at all.
    const auto masked = [](int k) { return k == 3 || k == 4 || k == 8 || k == 9; };
    std::vector<BlitArea> later_plain;
    std::array<bool, SLOT_COUNT> hidden{};
    for (int k = SLOT_COUNT - 1; k >= 0; --k) {
        if (!slots[k]) continue;
        const ViewSlot& s = VIEW_SLOTS[k];
        const BlitArea area = plain_area(g, s, slots[k]);
        hidden[k] = covered(area, later_plain);
        // A masked piece also writes where its mask lies, should the holder be short.
        if (masked(k))
            hidden[k] = hidden[k] && covered(blit_area(g.Form1.mainPic.image, s.dest_x, s.dest_y,
                                                       s.width, s.height, g.Form1.*s.holder,
                                                       (slots[k] - 1) * s.width, s.height),
                                             later_plain);
        if (!masked(k) && !area.empty()) later_plain.push_back(area);
    }
    draw_background(g, background, later_plain);
    pic.picture_name = "view";
    for (int k = 0; k < SLOT_COUNT; ++k) {
        if (!slots[k] || hidden[k]) continue;
        if (masked(k))
            masked_copy(g, VIEW_SLOTS[k], slots[k]);
        else
            plain_copy(g, VIEW_SLOTS[k], slots[k]);
    }
    pic.view_background = background;
    pic.view_walls = std::move(slots);
}

} // namespace duskwend
