// The row copies give the same pixels as copying pixel by pixel, for every raster operation,
// every way a rectangle can stick out of either bitmap, and a copy within one bitmap.
#include "core/output_model.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace duskwend {

namespace {

// The copy as the game first had it, one pixel at a time.
void reference_bit_blt(Bitmap& dst, int dx, int dy, int w, int h, const Bitmap& src, int sx, int sy,
                       RasterOp op) {
    for (int j = 0; j < h; ++j) {
        const int ty = dy + j, fy = sy + j;
        if (ty < 0 || ty >= dst.height || fy < 0 || fy >= src.height) continue;
        for (int i = 0; i < w; ++i) {
            const int tx = dx + i, fx = sx + i;
            if (tx < 0 || tx >= dst.width || fx < 0 || fx >= src.width) continue;
            const uint32_t s = src.at(fx, fy);
            uint32_t& d = dst.at(tx, ty);
            if (op == RasterOp::Copy) d = s;
            if (op == RasterOp::And) d &= s;
            if (op == RasterOp::Or) d |= s;
        }
    }
}

struct Lcg {
    uint32_t r = 99;
    uint32_t next() { return r = r * 1664525u + 1013904223u; }
    int in(int lo, int hi) { return lo + int((next() >> 8) % uint32_t(hi - lo + 1)); }
};

Bitmap noise(Lcg& rng, int w, int h) {
    Bitmap b(w, h);
    for (auto& p : b.pixels) p = rng.next() & 0xFFFFFF;
    return b;
}

TEST(BitBlt, RowCopiesMatchThePixelCopyWhereverTheRectangleLies) {
    Lcg rng;
    for (int round = 0; round < 3000; ++round) {
        const Bitmap src = noise(rng, rng.in(1, 40), rng.in(1, 40));
        const Bitmap before = noise(rng, rng.in(1, 40), rng.in(1, 40));
        const int dx = rng.in(-50, 50), dy = rng.in(-50, 50), sx = rng.in(-50, 50),
                  sy = rng.in(-50, 50), w = rng.in(-3, 60), h = rng.in(-3, 60);
        for (RasterOp op : {RasterOp::Copy, RasterOp::And, RasterOp::Or}) {
            Bitmap fast = before, slow = before;
            bit_blt(fast, dx, dy, w, h, src, sx, sy, op);
            reference_bit_blt(slow, dx, dy, w, h, src, sx, sy, op);
            ASSERT_EQ(fast.pixels, slow.pixels) << "round " << round << " op " << int(op);
        }
        // The masked copy is the AND of the mask then the OR of the piece, also when the
        // holder is too short for one of them.
        const int mask_sy = rng.in(-20, 60);
        Bitmap fast = before, slow = before;
        masked_blt(fast, dx, dy, w, h, src, sx, sy, mask_sy);
        reference_bit_blt(slow, dx, dy, w, h, src, sx, mask_sy, RasterOp::And);
        reference_bit_blt(slow, dx, dy, w, h, src, sx, sy, RasterOp::Or);
        ASSERT_EQ(fast.pixels, slow.pixels) << "masked, round " << round;
    }
}

TEST(BitBlt, ACopyWithinOneBitmapRunsForwardAsThePixelCopyDid) {
    Lcg rng;
    for (int round = 0; round < 500; ++round) {
        const Bitmap before = noise(rng, 30, 30);
        const int dx = rng.in(-10, 20), dy = rng.in(-10, 20), sx = rng.in(-10, 20),
                  sy = rng.in(-10, 20), w = rng.in(0, 30), h = rng.in(0, 30);
        for (RasterOp op : {RasterOp::Copy, RasterOp::And, RasterOp::Or}) {
            Bitmap fast = before, slow = before;
            bit_blt(fast, dx, dy, w, h, fast, sx, sy, op);
            reference_bit_blt(slow, dx, dy, w, h, slow, sx, sy, op);
            ASSERT_EQ(fast.pixels, slow.pixels) << "round " << round;
        }
    }
}

TEST(BitBlt, PositionsFarOutsideCopyNothing) {
    const Bitmap src(10, 10, 0xFFFFFF);
    Bitmap dst(10, 10, 0x123456);
    for (int far : {INT32_MIN, INT32_MIN + 5, INT32_MAX - 5, INT32_MAX}) {
        bit_blt(dst, far, 0, 20, 20, src, 0, 0, RasterOp::Copy);
        bit_blt(dst, 0, 0, INT32_MAX, INT32_MAX, src, far, far, RasterOp::Copy);
        masked_blt(dst, 0, far, 20, 20, src, 0, 0, far);
    }
    EXPECT_EQ(dst.pixels, Bitmap(10, 10, 0x123456).pixels);
}

} // namespace

} // namespace duskwend
