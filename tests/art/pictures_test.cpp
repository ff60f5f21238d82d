// The pictures of the built Data folder: every file the game loads is there at the size it is
// blitted, and the wall holders lay exact trapezoids over the view.

#include "core/records.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

namespace duskwend {

namespace {

const std::filesystem::path kData = DUSKWEND_BUILD_DATA_DIR;

struct Pixel {
    uint8_t r, g, b;
    bool operator==(const Pixel&) const = default;
    bool black() const { return r == 0 && g == 0 && b == 0; }
    bool white() const { return r == 255 && g == 255 && b == 255; }
};

struct Bmp {
    int width = 0, height = 0;
    std::vector<Pixel> pixels; // top row first
    std::string error;         // empty when the file is a valid 24-bit uncompressed BMP
    Pixel at(int x, int y) const { return pixels[size_t(y) * width + x]; }
};

std::vector<uint8_t> read_file(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

uint32_t le32(const std::vector<uint8_t>& b, size_t at) {
    return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 |
           uint32_t(b[at + 3]) << 24;
}

// Reads the file's own bytes: BITMAPFILEHEADER, BITMAPINFOHEADER, bottom-up rows of BGR
// padded to four bytes.
Bmp read_bmp(const std::string& name) {
    Bmp bmp;
    const auto b = read_file(kData / name);
    if (b.size() < 54 || b[0] != 'B' || b[1] != 'M') return bmp.error = "not a BMP", bmp;
    const int32_t w = int32_t(le32(b, 18)), h = int32_t(le32(b, 22));
    if (le32(b, 14) != 40) return bmp.error = "header is not BITMAPINFOHEADER", bmp;
    if ((b[28] | b[29] << 8) != 24) return bmp.error = "not 24 bits per pixel", bmp;
    if (le32(b, 30) != 0) return bmp.error = "compressed", bmp;
    if (w <= 0 || h <= 0) return bmp.error = "not bottom-up", bmp;
    const size_t stride = (size_t(w) * 3 + 3) / 4 * 4, offset = le32(b, 10);
    if (offset + stride * h > b.size()) return bmp.error = "pixel data is short", bmp;
    bmp.width = w;
    bmp.height = h;
    for (int y = 0; y < h; ++y) {
        const uint8_t* row = b.data() + offset + stride * (h - 1 - y);
        for (int x = 0; x < w; ++x)
            bmp.pixels.push_back({row[3 * x + 2], row[3 * x + 1], row[3 * x]});
    }
    return bmp;
}

struct Expected {
    std::string name;
    int width, height;
};

std::vector<Expected> every_picture() {
    std::vector<Expected> all = {
        {"tavern.bmp", 228, 140}, {"shoppe.bmp", 228, 140}, {"temple.bmp", 228, 140},
        {"review.bmp", 228, 140}, {"skull.bmp", 228, 140},  {"Won.bmp", 228, 140},
        {"back.bmp", 228, 140},   {"w1a.bmp", 1120, 109},   {"w1b.bmp", 518, 50},
        {"l1a.bmp", 231, 272},    {"r1a.bmp", 231, 272},    {"l1b.bmp", 301, 216},
        {"r1b.bmp", 301, 216},
    };
    for (int n = 1; n <= 56; ++n) all.push_back({"Mon" + std::to_string(n) + ".bmp", 228, 140});
    for (int n = 1; n <= 8; ++n) all.push_back({"Map" + std::to_string(n) + ".bmp", 228, 140});
    // Every map but the city is seen against a vault or a sky of its own.
    for (int n = 2; n <= 8; ++n) all.push_back({"back" + std::to_string(n) + ".bmp", 228, 140});
    return all;
}

TEST(Pictures, EveryPictureIsAn24BitBmpOfItsBlitSize) {
    for (const Expected& e : every_picture()) {
        SCOPED_TRACE(e.name);
        ASSERT_TRUE(std::filesystem::exists(kData / e.name)) << "missing from " << kData;
        const Bmp bmp = read_bmp(e.name);
        EXPECT_EQ(bmp.error, "");
        EXPECT_EQ(bmp.width, e.width);
        EXPECT_EQ(bmp.height, e.height);
    }
}

TEST(Pictures, PicturesUseOnlyTheSixteenColours) {
    const std::set<uint32_t> palette = {0x000000, 0x0000AA, 0x00AA00, 0x00AAAA, 0xAA0000, 0xAA00AA,
                                        0xAA5500, 0xAAAAAA, 0x555555, 0x5555FF, 0x55FF55, 0x55FFFF,
                                        0xFF5555, 0xFF55FF, 0xFFFF55, 0xFFFFFF};
    for (const Expected& e : every_picture()) {
        SCOPED_TRACE(e.name);
        const Bmp bmp = read_bmp(e.name);
        ASSERT_EQ(bmp.error, "");
        std::set<uint32_t> used;
        for (const Pixel& p : bmp.pixels) used.insert(uint32_t(p.r) << 16 | p.g << 8 | p.b);
        for (uint32_t c : used) {
            EXPECT_TRUE(palette.count(c)) << std::hex << "colour " << c;
        }
        // A picture in one or two flat colours is a failed render, not a drawing.
        EXPECT_GE(used.size(), 4u);
    }
}

// Where the view puts the side pieces: the outer edge of the own square's sides is the
// picture's edge (rows 0..135), its inner edge meets the wall one square ahead (rows 11..119,
// drawn at x 33..192); the sides of the square ahead run from there to the wall two squares
// ahead (rows 27..76, x 76..149).
struct SideHolder {
    const char* file;
    int piece_w, piece_h, dest_y;
    bool left;
    int outer_top, outer_bottom, inner_top, inner_bottom; // view rows, bottom exclusive
};

const SideHolder kSides[] = {
    {"l1a.bmp", 33, 136, 0, true, 0, 136, 11, 120},
    {"r1a.bmp", 33, 136, 0, false, 0, 136, 11, 120},
    {"l1b.bmp", 43, 108, 11, true, 11, 120, 27, 77},
    {"r1b.bmp", 43, 108, 11, false, 11, 120, 27, 77},
};

struct ColumnRun {
    int top, bottom; // view rows, bottom exclusive; top == bottom when empty
};

// The one black run of a mask column, or a failure when the column has holes.
ColumnRun mask_run(const Bmp& holder, const SideHolder& s, int type, int x) {
    int top = -1, bottom = -1;
    for (int y = 0; y < s.piece_h; ++y) {
        const Pixel m = holder.at(type * s.piece_w + x, s.piece_h + y);
        if (!m.black()) continue;
        if (top < 0) top = y;
        EXPECT_TRUE(bottom < 0 || bottom == y) << "column " << x << " has a gap at row " << y;
        bottom = y + 1;
    }
    if (top < 0) return {0, 0};
    return {top + s.dest_y, bottom + s.dest_y};
}

TEST(WallHolders, SideMasksArePureAndAgreeWithTheirPieces) {
    for (const SideHolder& s : kSides) {
        SCOPED_TRACE(s.file);
        const Bmp holder = read_bmp(s.file);
        ASSERT_EQ(holder.error, "");
        ASSERT_EQ(holder.height, 2 * s.piece_h);
        for (int y = 0; y < s.piece_h; ++y)
            for (int x = 0; x < holder.width; ++x) {
                const Pixel piece = holder.at(x, y), mask = holder.at(x, s.piece_h + y);
                ASSERT_TRUE(mask.black() || mask.white()) << "mask at " << x << "," << y;
                // White mask keeps the picture below, so the piece must add nothing there;
                // black mask shows the piece, which must not be a hole.
                if (mask.white()) {
                    ASSERT_TRUE(piece.black()) << "piece at " << x << "," << y;
                } else {
                    ASSERT_FALSE(piece.black()) << "hole in piece at " << x << "," << y;
                }
            }
    }
}

TEST(WallHolders, SideMasksCoverTheTrapezoidBetweenTheWalls) {
    for (const SideHolder& s : kSides) {
        SCOPED_TRACE(s.file);
        const Bmp holder = read_bmp(s.file);
        ASSERT_EQ(holder.error, "");
        for (int t = 0; t < 7; ++t) {
            SCOPED_TRACE("wall type " + std::to_string(t + 1));
            const int outer_x = s.left ? 0 : s.piece_w - 1, inner_x = s.piece_w - 1 - outer_x;
            // The outer column covers the whole outer wall edge (clipped to the piece), the
            // inner column exactly the rows of the wall it meets.
            const ColumnRun outer = mask_run(holder, s, t, outer_x);
            EXPECT_EQ(outer.top, s.outer_top);
            EXPECT_EQ(outer.bottom, std::min(s.outer_bottom, s.dest_y + s.piece_h));
            const ColumnRun inner = mask_run(holder, s, t, inner_x);
            EXPECT_EQ(inner.top, s.inner_top);
            EXPECT_EQ(inner.bottom, s.inner_bottom);
            // In between, the edges are straight lines from corner to corner.
            for (int i = 0; i < s.piece_w; ++i) {
                const int x = s.left ? i : s.piece_w - 1 - i;
                const double f = (i + 0.5) / s.piece_w;
                const ColumnRun r = mask_run(holder, s, t, x);
                EXPECT_NEAR(r.top, s.outer_top + (s.inner_top - s.outer_top) * f, 1.0) << i;
                EXPECT_NEAR(r.bottom, s.outer_bottom + (s.inner_bottom - s.outer_bottom) * f, 1.0)
                    << i;
            }
        }
    }
}

TEST(WallHolders, RightMasksMirrorLeftMasks) {
    for (const auto& [l, r] : {std::pair{"l1a.bmp", "r1a.bmp"}, std::pair{"l1b.bmp", "r1b.bmp"}}) {
        const Bmp left = read_bmp(l), right = read_bmp(r);
        ASSERT_EQ(left.error, "");
        ASSERT_EQ(right.error, "");
        const int w = left.width / 7, h = left.height / 2;
        for (int t = 0; t < 7; ++t)
            for (int y = h; y < 2 * h; ++y)
                for (int x = 0; x < w; ++x)
                    ASSERT_EQ(left.at(t * w + x, y), right.at(t * w + w - 1 - x, y))
                        << l << " type " << t + 1 << " at " << x << "," << y;
    }
}

TEST(WallHolders, FrontPiecesFillTheirRectangleAndDifferByType) {
    for (const auto& [file, w] : {std::pair{"w1a.bmp", 160}, std::pair{"w1b.bmp", 74}}) {
        SCOPED_TRACE(file);
        const Bmp holder = read_bmp(file);
        ASSERT_EQ(holder.error, "");
        for (int y = 0; y < holder.height; ++y)
            for (int x = 0; x < holder.width; ++x)
                ASSERT_FALSE(holder.at(x, y).black()) << "hole at " << x << "," << y;
        // A player tells the seven types apart at a glance: no two pieces are near copies.
        for (int a = 0; a < 7; ++a)
            for (int b = a + 1; b < 7; ++b) {
                int differ = 0;
                for (int y = 0; y < holder.height; ++y)
                    for (int x = 0; x < w; ++x)
                        differ += !(holder.at(a * w + x, y) == holder.at(b * w + x, y));
                EXPECT_GT(differ, w * holder.height / 4) << "types " << a + 1 << " and " << b + 1;
            }
    }
}

// Every monster picture and every picture event of the compiled world has its file.
TEST(Pictures, EveryPictureTheWorldNamesExists) {
    const auto mon = read_file(kData / "Mon.dat");
    ASSERT_GE(mon.size(), 204u) << "the world is not compiled into " << kData;
    const int count = decode<MonsterRec>(std::span(mon).first(MonsterRec::disk_size)).number;
    ASSERT_GE(count, 1);
    for (int n = 1; n <= count; ++n) {
        ASSERT_LE(size_t(n + 1) * 204, mon.size()) << "Mon.dat is short";
        const auto m = decode<MonsterRec>(std::span(mon).subspan(size_t(n) * 204, 164));
        EXPECT_TRUE(std::filesystem::exists(kData / ("Mon" + std::to_string(m.picture) + ".bmp")))
            << "monster " << n << " uses picture " << m.picture;
    }
    const auto maps = read_file(kData / "Maps.dat");
    ASSERT_GE(maps.size(), MapRec::disk_size);
    int events = 0;
    for (size_t at = 0; at + MapRec::disk_size <= maps.size(); at += 31622) {
        const auto map = decode<MapRec>(std::span(maps).subspan(at, MapRec::disk_size));
        for (const auto& e : map.events) {
            if (e[0] != 3) continue;
            ++events;
            EXPECT_TRUE(std::filesystem::exists(kData / ("Map" + std::to_string(e[4]) + ".bmp")))
                << "map " << at / 31622 + 1 << " shows picture " << e[4];
        }
    }
    EXPECT_GT(events, 0) << "no picture events at all";
}

} // namespace

} // namespace duskwend
