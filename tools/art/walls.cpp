#include "walls.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace {

// Black never appears on a wall face: on a side piece it is what lets the picture below
// show through, and on a front piece it would read as a hole.
const std::vector<int> kNoBlack = {0};

// Side walls are turned away from the light.
constexpr double kSideShade = 0.82;

Image side_piece(const HolderLayout& layout, const Image& face) {
    const ViewRect& slot = kSlotRect[layout.slot];
    const int w = layout.piece_w;
    const double top0 = layout.outer.y - slot.y, bottom0 = layout.outer.y + layout.outer.h - slot.y;
    const double top1 = layout.inner.y - slot.y, bottom1 = layout.inner.y + layout.inner.h - slot.y;
    const double h0 = bottom0 - top0, h1 = bottom1 - top1;
    Image piece(w, layout.piece_h);
    for (int x = 0; x < w; ++x) {
        const int from_outer = layout.kind == HolderKind::Left ? x : w - 1 - x;
        const double t = (from_outer + 0.5) / w;
        // Depth along the wall is not linear on screen: the far half is drawn narrower.
        const double depth = t * h1 / ((1 - t) * h0 + t * h1);
        // Seen from the corridor, a left wall's near end is at the face's left, a right
        // wall's near end at its right.
        const double u = layout.kind == HolderKind::Left ? depth : 1 - depth;
        const double top = top0 + (top1 - top0) * t, bottom = bottom0 + (bottom1 - bottom0) * t;
        for (int y = 0; y < layout.piece_h; ++y) {
            const double v = std::clamp((y + 0.5 - top) / (bottom - top), 0.0, 0.999);
            const int fx = std::clamp(int(u * face.width), 0, face.width - 1);
            piece.at(x, y) = face.at(fx, int(v * face.height));
        }
    }
    piece = quantise(shade(piece, kSideShade), kNoBlack);
    for (int x = 0; x < w; ++x) {
        const ColumnSpan span = side_span(layout, x);
        for (int y = 0; y < layout.piece_h; ++y)
            if (y < span.top || y >= span.bottom) piece.at(x, y) = {0, 0, 0};
    }
    return piece;
}

Image side_mask(const HolderLayout& layout) {
    Image mask(layout.piece_w, layout.piece_h, {255, 255, 255});
    for (int x = 0; x < layout.piece_w; ++x) {
        const ColumnSpan span = side_span(layout, x);
        for (int y = span.top; y < span.bottom; ++y) mask.at(x, y) = {0, 0, 0};
    }
    return mask;
}

void check_size(const Image& img, int w, int h, const char* what) {
    if (img.width != w || img.height != h)
        throw std::runtime_error(std::string(what) + " face is " + std::to_string(img.width) +
                                 " x " + std::to_string(img.height) + ", expected " +
                                 std::to_string(w) + " x " + std::to_string(h));
}

} // namespace

Image build_holder(const HolderLayout& layout, const std::array<WallFaces, kWallTypes>& faces) {
    const bool front = layout.kind == HolderKind::Front;
    Image holder(layout.piece_w * kWallTypes, front ? layout.piece_h : 2 * layout.piece_h);
    for (int t = 0; t < kWallTypes; ++t) {
        const int x0 = t * layout.piece_w;
        if (front) {
            const Image& face = layout.piece_w == 160 ? faces[t].front1 : faces[t].front2;
            check_size(face, layout.piece_w, layout.piece_h, layout.file);
            // The far row is a little dimmer, which sells the depth.
            blit(holder, quantise(shade(face, layout.piece_w == 160 ? 1.0 : 0.92), kNoBlack), x0,
                 0);
        } else {
            blit(holder, side_piece(layout, faces[t].large), x0, 0);
            blit(holder, side_mask(layout), x0, layout.piece_h);
        }
    }
    return holder;
}

namespace {

// The street's perspective, fitted to the wall rectangles: a wall d squares ahead spans
// rows kHorizon - kAbove / (d + kDepthBias) .. kHorizon + kBelow / (d + kDepthBias) and is
// kSquareWidth / (d + kDepthBias) pixels wide, which meets the distance 1 and 2 rectangles.
constexpr double kCentreX = 113.0;
constexpr double kHorizon = 40.56;
constexpr double kBelow = 67.32;
constexpr double kDepthBias = -0.1525;
constexpr double kSquareWidth = 135.6;

Rgb mix(Rgb a, Rgb b, double t) {
    auto m = [&](uint8_t x, uint8_t y) { return uint8_t(std::lround(x + (y - x) * t)); };
    return {m(a.r, b.r), m(a.g, b.g), m(a.b, b.b)};
}

} // namespace

Image build_background() {
    Image img(kViewWidth, kViewHeight);
    const int horizon = int(kHorizon);
    // Dusk: deep blue overhead fading to a red glow at the horizon.
    for (int y = 0; y <= horizon; ++y) {
        const double t = double(y) / horizon;
        const Rgb c = t < 0.55 ? mix({0, 0, 120}, {60, 0, 150}, t / 0.55)
                               : mix({60, 0, 150}, {230, 60, 90}, (t - 0.55) / 0.45);
        for (int x = 0; x < kViewWidth; ++x) img.at(x, y) = c;
    }
    // The street: cobbles fading into the evening haze towards the horizon.
    for (int y = horizon + 1; y < kViewHeight; ++y) {
        const double t = std::clamp((y - kHorizon) / (kViewHeight - kHorizon), 0.0, 1.0);
        const Rgb c = mix({90, 50, 30}, {160, 80, 10}, std::sqrt(t));
        for (int x = 0; x < kViewWidth; ++x) img.at(x, y) = c;
    }
    img = quantise(img);
    // A few stars.
    const int stars[][2] = {{14, 3},  {40, 8},  {71, 2},   {97, 11},  {131, 5},
                            {160, 9}, {188, 3}, {212, 12}, {120, 17}, {57, 19}};
    for (const auto& s : stars) img.at(s[0], s[1]) = kPalette[15];
    // Far roofs of the city against the glow.
    for (int x = 0; x < kViewWidth; ++x) {
        const int block = x / 9;
        int top = horizon - 4 - (block * 7 % 5);
        if (block % 4 == 1 && x % 9 >= 3 && x % 9 <= 5) top -= 4; // chimneys and towers
        if (block == 12 && x % 9 >= 2 && x % 9 <= 6) top = horizon - 15;
        for (int y = std::max(top, 0); y <= horizon; ++y) img.at(x, y) = kPalette[1];
        if (block % 3 == 0 && x % 9 == 4) img.at(x, horizon - 2) = kPalette[14]; // lit windows
    }
    // The squares of the street: lines across at every square's edge, lines along it at
    // the walls' feet.
    const Rgb line = kPalette[8];
    for (int d = 1; d <= 8; ++d) {
        const int y = int(std::lround(kHorizon + kBelow / (d + kDepthBias)));
        if (y < kViewHeight)
            for (int x = 0; x < kViewWidth; ++x) img.at(x, y) = line;
    }
    for (double lateral : {-2.5, -1.5, -0.5, 0.5, 1.5, 2.5}) {
        for (int y = horizon + 2; y < kViewHeight; ++y) {
            const double x = kCentreX + lateral * kSquareWidth / kBelow * (y + 0.5 - kHorizon);
            if (x >= 0 && x < kViewWidth) img.at(int(x), y) = line;
        }
    }
    // Outside the walls' frame (two columns right, four rows below) the view is dark.
    for (int y = 0; y < kViewHeight; ++y)
        for (int x = 0; x < kViewWidth; ++x)
            if (x >= kNearPlane.w || y >= kNearPlane.h) img.at(x, y) = kPalette[0];
    return img;
}

Image compose_view(const Image& background, const std::array<Image, 6>& holders,
                   const std::array<int, 10>& slots) {
    Image view = background;
    auto copy = [&](const Image& src, int sx, int sy, const ViewRect& r) {
        blit(view, src, sx, sy, r.w, r.h, r.x, r.y);
    };
    auto overlay = [&](const Image& src, int sx, int sy, int mask_y, const ViewRect& r) {
        for (int y = 0; y < r.h; ++y)
            for (int x = 0; x < r.w; ++x) {
                if (!view.contains(r.x + x, r.y + y)) continue;
                Rgb& d = view.at(r.x + x, r.y + y);
                const Rgb m = src.at(sx + x, mask_y + y), p = src.at(sx + x, sy + y);
                d = {uint8_t((d.r & m.r) | p.r), uint8_t((d.g & m.g) | p.g),
                     uint8_t((d.b & m.b) | p.b)};
            }
    };
    for (int s = 0; s <= 2; ++s)
        if (slots[s]) copy(holders[1], (slots[s] - 1) * 74, 0, kSlotRect[s]);
    for (int s = 3; s <= 4; ++s)
        if (slots[s]) overlay(holders[s == 3 ? 3 : 5], (slots[s] - 1) * 43, 0, 108, kSlotRect[s]);
    for (int s = 5; s <= 7; ++s)
        if (slots[s]) copy(holders[0], (slots[s] - 1) * 160, 0, kSlotRect[s]);
    for (int s = 8; s <= 9; ++s)
        if (slots[s]) overlay(holders[s == 8 ? 2 : 4], (slots[s] - 1) * 33, 0, 136, kSlotRect[s]);
    return view;
}
