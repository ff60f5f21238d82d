#include "city/map_view.h"

#include "city/city_map.h"
#include "core/game.h"
#include "core/pictures.h"

#include <array>

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
    const std::string background = "back.bmp";
    MainPicture& pic = g.Form1.mainPic;
    if (pic.picture_name == "view" && pic.view_background == background && pic.view_walls == slots)
        return;
    load_main_picture(g, background);
    pic.picture_name = "view";

    // Far to near, so nearer walls cover what lies behind them.
    for (int k : {0, 1, 2})
        if (slots[k]) plain_copy(g, VIEW_SLOTS[k], slots[k]);
    for (int k : {3, 4})
        if (slots[k]) masked_copy(g, VIEW_SLOTS[k], slots[k]);
    for (int k : {5, 6, 7})
        if (slots[k]) plain_copy(g, VIEW_SLOTS[k], slots[k]);
    for (int k : {8, 9})
        if (slots[k]) masked_copy(g, VIEW_SLOTS[k], slots[k]);
    pic.view_background = background;
    pic.view_walls = std::move(slots);
}
