#pragma once

// Where the first-person view puts its wall pieces, and the wall holder files they come from.
// The side pieces are trapezoids derived from these rectangles: each runs from the outer plane
// (the picture's edge, or the wall one square ahead) to the inner plane (the next wall ahead),
// so a corridor seen down its length stays continuous.

namespace duskwend {

struct ViewRect {
    int x, y, w, h;
};

// Destination rectangles of the view's ten slots (0..2 distance 2, 3..4 sides of the square
// ahead, 5..7 distance 1, 8..9 sides of the party's own square).
inline constexpr ViewRect kSlotRect[10] = {
    {2, 27, 74, 50},    {76, 27, 74, 50},     {150, 27, 74, 50},  {33, 11, 43, 108},
    {150, 11, 43, 108}, {-127, 11, 160, 109}, {33, 11, 160, 109}, {193, 11, 160, 109},
    {0, 0, 33, 136},    {193, 0, 33, 136},
};

// The plane of the party's own square: the side walls there start at the picture's edge.
inline constexpr ViewRect kNearPlane = {0, 0, 226, 136};

inline constexpr int kViewWidth = 228;
inline constexpr int kViewHeight = 140;
inline constexpr int kWallTypes = 7;

enum class HolderKind { Front, Left, Right };

struct HolderLayout {
    const char* file;
    HolderKind kind;
    int piece_w, piece_h;
    int slot;       // a slot this holder is drawn into
    ViewRect outer; // side pieces: the plane at their outer edge
    ViewRect inner; // side pieces: the plane at their inner edge
};

// In the order mWall, mWall2, mLeft, mLeft2, mRight, mRight2.
inline constexpr HolderLayout kHolders[6] = {
    {"w1a.bmp", HolderKind::Front, 160, 109, 6, {}, {}},
    {"w1b.bmp", HolderKind::Front, 74, 50, 1, {}, {}},
    {"l1a.bmp", HolderKind::Left, 33, 136, 8, kNearPlane, kSlotRect[6]},
    {"l1b.bmp", HolderKind::Left, 43, 108, 3, kSlotRect[6], kSlotRect[1]},
    {"r1a.bmp", HolderKind::Right, 33, 136, 9, kNearPlane, kSlotRect[6]},
    {"r1b.bmp", HolderKind::Right, 43, 108, 4, kSlotRect[6], kSlotRect[1]},
};

// Rows [top, bottom) of column `x` (0 .. piece_w - 1) that a side piece covers: a pixel
// belongs to the trapezoid when its centre lies inside it. Integer arithmetic only, so the
// art build and anything that checks it agree to the pixel.
struct ColumnSpan {
    int top, bottom;
};

inline ColumnSpan side_span(const HolderLayout& h, int x) {
    const ViewRect& slot = kSlotRect[h.slot];
    const int w = h.piece_w;
    const int from_outer = h.kind == HolderKind::Left ? x : w - 1 - x;
    const int top0 = h.outer.y - slot.y, bottom0 = h.outer.y + h.outer.h - slot.y;
    const int top1 = h.inner.y - slot.y, bottom1 = h.inner.y + h.inner.h - slot.y;
    const int c = 2 * from_outer + 1;
    // Row j is inside when top <= j + 1/2 < bottom, with top and bottom taken at the centre
    // x + 1/2; multiplied out by 2w to stay in integers.
    auto inside = [&](int j) {
        const int row = w * (2 * j + 1);
        return row >= 2 * w * top0 + (top1 - top0) * c &&
               row < 2 * w * bottom0 + (bottom1 - bottom0) * c;
    };
    int top = 0;
    while (top < h.piece_h && !inside(top)) ++top;
    int bottom = top;
    while (bottom < h.piece_h && inside(bottom)) ++bottom;
    return {top, bottom};
}

} // namespace duskwend
