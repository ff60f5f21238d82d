#include "walls.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <stdexcept>

namespace duskwend {

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
// The ceiling above the walls: a wall d squares ahead reaches up to kHorizon - kAbove / (d +
// kDepthBias), which meets the tops of the distance 1 and 2 rectangles.
constexpr double kAbove = 25.05;

Rgb mix(Rgb a, Rgb b, double t) {
    auto m = [&](uint8_t x, uint8_t y) { return uint8_t(std::lround(x + (y - x) * t)); };
    return {m(a.r, b.r), m(a.g, b.g), m(a.b, b.b)};
}

} // namespace

namespace {

// The style a background's name on the art tool's command line stands for.
template <class Style>
bool style_from_name(const std::string& name,
                     std::initializer_list<std::pair<const char*, Style>> names, Style& out) {
    for (const auto& [n, style] : names)
        if (name == n) {
            out = style;
            return true;
        }
    return false;
}

} // namespace

bool outdoor_from_name(const std::string& name, Outdoor& out) {
    return style_from_name(name, {{"fields", Outdoor::Fields}, {"summit", Outdoor::Summit}}, out);
}

Image build_background(Outdoor kind) {
    Image img(kViewWidth, kViewHeight);
    const int horizon = int(kHorizon);
    // Dusk: deep blue overhead fading to a red glow at the horizon; at the summit the whole
    // sky bleeds, from dark red overhead to orange.
    const bool summit = kind == Outdoor::Summit;
    for (int y = 0; y <= horizon; ++y) {
        const double t = double(y) / horizon;
        const Rgb c = summit     ? mix({90, 0, 20}, {240, 90, 40}, t)
                      : t < 0.55 ? mix({0, 0, 120}, {60, 0, 150}, t / 0.55)
                                 : mix({60, 0, 150}, {230, 60, 90}, (t - 0.55) / 0.45);
        for (int x = 0; x < kViewWidth; ++x) img.at(x, y) = c;
    }
    // The ground fading into the evening haze towards the horizon: the street's cobbles, the
    // fields' grass, the summit's pale flagstones.
    const Rgb haze = kind == Outdoor::Fields ? Rgb{20, 120, 20}
                     : summit                ? Rgb{120, 110, 110}
                                             : Rgb{90, 50, 30};
    const Rgb ground = kind == Outdoor::Fields ? Rgb{50, 180, 30}
                       : summit                ? Rgb{200, 150, 120}
                                               : Rgb{160, 80, 10};
    for (int y = horizon + 1; y < kViewHeight; ++y) {
        const double t = std::clamp((y - kHorizon) / (kViewHeight - kHorizon), 0.0, 1.0);
        const Rgb c = mix(haze, ground, std::sqrt(t));
        for (int x = 0; x < kViewWidth; ++x) img.at(x, y) = c;
    }
    img = quantise(img);
    // A few stars.
    const int stars[][2] = {{14, 3},  {40, 8},  {71, 2},   {97, 11},  {131, 5},
                            {160, 9}, {188, 3}, {212, 12}, {120, 17}, {57, 19}};
    if (!summit)
        for (const auto& s : stars) img.at(s[0], s[1]) = kPalette[15];
    // Against the glow: far roofs of the city, or the fields' rolling hills. The summit
    // stands above everything.
    for (int x = 0; x < kViewWidth && kind == Outdoor::City; ++x) {
        const int block = x / 9;
        int top = horizon - 4 - (block * 7 % 5);
        if (block % 4 == 1 && x % 9 >= 3 && x % 9 <= 5) top -= 4; // chimneys and towers
        if (block == 12 && x % 9 >= 2 && x % 9 <= 6) top = horizon - 15;
        for (int y = std::max(top, 0); y <= horizon; ++y) img.at(x, y) = kPalette[1];
        if (block % 3 == 0 && x % 9 == 4) img.at(x, horizon - 2) = kPalette[14]; // lit windows
    }
    for (int x = 0; x < kViewWidth && kind == Outdoor::Fields; ++x) {
        const int top = horizon - 3 -
                        int(std::lround(5 * (1 + std::sin(x / 23.0)) + 2 * std::sin(x / 7.0 + 1)));
        for (int y = std::max(top, 0); y <= horizon; ++y)
            img.at(x, y) = kPalette[y < top + 2 ? 2 : 0];
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

bool underground_from_name(const std::string& name, Underground& out) {
    return style_from_name(name,
                           {{"sewer", Underground::Sewer},
                            {"crypt", Underground::Crypt},
                            {"hall", Underground::Hall},
                            {"mine", Underground::Mine},
                            {"drowned", Underground::Drowned}},
                           out);
}

Image build_underground(Underground kind) {
    Image img(kViewWidth, kViewHeight);
    const int horizon = int(kHorizon);
    // Depth of a row below or above the horizon (1 at the wall one square ahead).
    auto floor_depth = [](double y) { return kBelow / (y + 0.5 - kHorizon) - kDepthBias; };
    auto ceiling_depth = [](double y) { return kAbove / (kHorizon - y - 0.5) - kDepthBias; };
    // Lateral position in squares (0 on the party's line) of a pixel at depth d.
    auto lateral = [](int x, double d) {
        return (x + 0.5 - kCentreX) * (d + kDepthBias) / kSquareWidth;
    };

    // Sewers: brick vault over grey walkways and a channel of black water. Catacombs: grey
    // stone over a dusty floor. The tower: a purple-shadowed vault over pale flagstones. The
    // mines: rough brown rock over dirt. The drowned vault: green stone over water with a
    // ledge of flags along each wall.
    const Rgb vault_near = kind == Underground::Sewer     ? Rgb{150, 75, 0}
                           : kind == Underground::Crypt   ? Rgb{110, 110, 110}
                           : kind == Underground::Mine    ? Rgb{130, 90, 50}
                           : kind == Underground::Drowned ? Rgb{0, 110, 90}
                                                          : Rgb{120, 40, 120};
    const Rgb floor_near = kind == Underground::Sewer     ? Rgb{95, 95, 95}
                           : kind == Underground::Crypt   ? Rgb{130, 105, 80}
                           : kind == Underground::Mine    ? Rgb{170, 110, 40}
                           : kind == Underground::Drowned ? Rgb{80, 100, 90}
                                                          : Rgb{170, 170, 170};
    // Where the floor is water: the sewer's channel down the middle, the drowned vault's
    // whole floor but for the walkways by the walls.
    auto wet = [kind](double side) {
        return (kind == Underground::Sewer && std::abs(side) < 0.3) ||
               (kind == Underground::Drowned && std::abs(side) < 1.4);
    };
    const Rgb water = {0, 0, 170};
    const Rgb far_dark = {0, 0, 0};
    for (int y = 0; y < kViewHeight; ++y)
        for (int x = 0; x < kViewWidth; ++x) {
            Rgb c;
            if (y <= horizon) {
                // The vault: lit near the party, lost in the dark far away, and darker
                // towards the sides where it curves down.
                const double d = ceiling_depth(y);
                const double side = lateral(x, d);
                const double dim = std::clamp((d - 1.0) / 4.0 + 0.08 * side * side, 0.0, 1.0);
                c = mix(vault_near, far_dark, dim);
            } else {
                const double d = floor_depth(y);
                const double side = lateral(x, d);
                const double dim = std::clamp((d - 1.0) / 5.0, 0.0, 1.0);
                c = mix(wet(side) ? water : floor_near, far_dark, dim);
            }
            img.at(x, y) = c;
        }
    img = quantise(img);

    // Ribs of the vault: an arch over each square's edge, springing from the walls' tops.
    // The mines' ribs are timber props.
    const Rgb rib = kind == Underground::Sewer  ? kPalette[12]
                    : kind == Underground::Mine ? kPalette[6]
                                                : kPalette[7];
    for (int d = 1; d <= 6; ++d) {
        const double scale = 1.0 / (d + kDepthBias);
        const double top = kHorizon - kAbove * scale;
        for (int x = 0; x < kViewWidth; ++x) {
            const double u = (x + 0.5 - kCentreX) / (kSquareWidth * scale * 1.5);
            if (std::abs(u) > 1) continue;
            const int y = int(std::lround(top - 0.35 * kAbove * scale * (1 - u * u)));
            if (y >= 0 && y < horizon) img.at(x, y) = d <= 2 ? rib : kPalette[8];
        }
    }
    // The squares of the floor: joints across at each square's edge and along it at the
    // walls' feet (the sewer's water has none).
    const Rgb joint = kind == Underground::Crypt ? kPalette[8] : kPalette[0];
    for (int d = 1; d <= 8; ++d) {
        const int y = int(std::lround(kHorizon + kBelow / (d + kDepthBias)));
        if (y < kViewHeight)
            for (int x = 0; x < kViewWidth; ++x)
                if (!wet(lateral(x, d))) img.at(x, y) = joint;
    }
    for (double side : {-1.5, -0.5, 0.5, 1.5}) {
        for (int y = horizon + 2; y < kViewHeight; ++y) {
            const double x = kCentreX + side * kSquareWidth / kBelow * (y + 0.5 - kHorizon);
            if (x >= 0 && x < kViewWidth) img.at(int(x), y) = joint;
        }
    }
    // What lies on the floor, spread the same way every build.
    uint32_t seed = kind == Underground::Crypt ? 7u : 11u;
    auto next = [&] {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 8) & 0xFFFF;
    };
    // Short strokes across the floor, larger near the party; every `seldom`-th in `rare`.
    auto strokes = [&](int count, double spread, double length, Rgb colour, Rgb rare, int seldom) {
        for (int k = 0; k < count; ++k) {
            const int y = horizon + 3 + int(next() % (kViewHeight - horizon - 3));
            const double d = floor_depth(y);
            const double side = (int(next() % 1000) - 500) / 1000.0 * spread;
            const int x = int(kCentreX + side * kSquareWidth / (d + kDepthBias));
            const int len = std::max(1, int(length / d));
            for (int i = 0; i < len; ++i)
                if (img.contains(x + i, y)) img.at(x + i, y) = k % seldom ? colour : rare;
        }
    };
    if (kind == Underground::Sewer || kind == Underground::Drowned) {
        strokes(90, 0.6, 6, kPalette[3], kPalette[11], 3); // glints on the water
    } else if (kind == Underground::Mine) {
        strokes(60, 2.6, 5, kPalette[8], kPalette[14], 5); // loose stones and a little ore
    } else if (kind == Underground::Crypt) {
        // Bones: short pale strokes with knobbed ends, larger near the party; a few skulls.
        for (int k = 0; k < 40; ++k) {
            const int y = horizon + 4 + int(next() % (kViewHeight - horizon - 6));
            const double d = floor_depth(y);
            const double side = (int(next() % 1000) - 500) / 1000.0 * 2.6;
            const int x = int(kCentreX + side * kSquareWidth / (d + kDepthBias));
            const int len = std::max(2, int(10 / d));
            const bool skull = k % 7 == 0;
            for (int i = 0; i < len; ++i) {
                const int yy = y + (k % 2 ? i / 3 : -i / 3);
                if (skull) {
                    for (int j = 0; j < std::max(1, len / 2); ++j)
                        if (img.contains(x + i / 2, y - j) && i < len / 2 + 1)
                            img.at(x + i / 2, y - j) = kPalette[15];
                } else if (img.contains(x + i, yy)) {
                    img.at(x + i, yy) = i == 0 || i == len - 1 ? kPalette[15] : kPalette[7];
                }
            }
            if (skull && len >= 4 && img.contains(x + 1, y - 1)) img.at(x + 1, y - 1) = kPalette[0];
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

} // namespace duskwend
