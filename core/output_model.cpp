#include "core/output_model.h"

#include <algorithm>
#include <cstring>

namespace duskwend {

namespace {

// The part of a w x h copy that lies inside both bitmaps, as offsets into the rectangle.
struct Clip {
    int x0, x1, y0, y1;
    bool empty() const { return x0 >= x1 || y0 >= y1; }
};

Clip clip_copy(const Bitmap& dst, int dx, int dy, int w, int h, const Bitmap& src, int sx, int sy) {
    // Worked out wide, so positions far outside either bitmap cannot wrap; an empty part is
    // returned as 0, 0.
    const int64_t x0 = std::max<int64_t>({0, -int64_t(dx), -int64_t(sx)});
    const int64_t x1 = std::min<int64_t>({w, int64_t(dst.width) - dx, int64_t(src.width) - sx});
    const int64_t y0 = std::max<int64_t>({0, -int64_t(dy), -int64_t(sy)});
    const int64_t y1 = std::min<int64_t>({h, int64_t(dst.height) - dy, int64_t(src.height) - sy});
    if (x0 >= x1 || y0 >= y1) return {0, 0, 0, 0};
    return {int(x0), int(x1), int(y0), int(y1)};
}

uint32_t* row_of(Bitmap& b, int x, int y) {
    return b.pixels.data() + std::size_t(y) * std::size_t(b.width) + std::size_t(x);
}
const uint32_t* row_of(const Bitmap& b, int x, int y) {
    return b.pixels.data() + std::size_t(y) * std::size_t(b.width) + std::size_t(x);
}

// Four pixels at a time, then the rest one by one; d = (d & m) | p where m or p may be absent.
using Pixels4 = uint32_t __attribute__((vector_size(16)));

template <bool And, bool Or>
void combine_row(uint32_t* d, const uint32_t* m, const uint32_t* p, std::size_t n) {
    std::size_t i = 0;
    for (; i + 4 <= n; i += 4) {
        Pixels4 dv, mv, pv;
        std::memcpy(&dv, d + i, sizeof dv);
        if constexpr (And) {
            std::memcpy(&mv, m + i, sizeof mv);
            dv &= mv;
        }
        if constexpr (Or) {
            std::memcpy(&pv, p + i, sizeof pv);
            dv |= pv;
        }
        std::memcpy(d + i, &dv, sizeof dv);
    }
    for (; i < n; ++i) {
        if constexpr (And) d[i] &= m[i];
        if constexpr (Or) d[i] |= p[i];
    }
}

} // namespace

BlitArea blit_area(const Bitmap& dst, int dx, int dy, int w, int h, const Bitmap& src, int sx,
                   int sy) {
    const Clip c = clip_copy(dst, dx, dy, w, h, src, sx, sy);
    if (c.empty()) return {};
    return {dx + c.x0, dy + c.y0, dx + c.x1, dy + c.y1};
}

void bit_blt(Bitmap& dst, int dx, int dy, int w, int h, const Bitmap& src, int sx, int sy,
             RasterOp op) {
    const Clip c = clip_copy(dst, dx, dy, w, h, src, sx, sy);
    if (c.empty()) return;
    const std::size_t n = std::size_t(c.x1 - c.x0);
    // A copy within one bitmap goes pixel by pixel from the top left, as the rows may overlap.
    const bool same = &dst == &src;
    for (int j = c.y0; j < c.y1; ++j) {
        uint32_t* d = row_of(dst, dx + c.x0, dy + j);
        const uint32_t* s = row_of(src, sx + c.x0, sy + j);
        switch (op) {
        case RasterOp::Copy:
            if (same)
                for (std::size_t i = 0; i < n; ++i) d[i] = s[i];
            else
                std::memcpy(d, s, n * sizeof(uint32_t));
            break;
        case RasterOp::And:
            if (same)
                for (std::size_t i = 0; i < n; ++i) d[i] &= s[i];
            else
                combine_row<true, false>(d, s, nullptr, n);
            break;
        case RasterOp::Or:
            if (same)
                for (std::size_t i = 0; i < n; ++i) d[i] |= s[i];
            else
                combine_row<false, true>(d, nullptr, s, n);
            break;
        }
    }
}

void masked_blt(Bitmap& dst, int dx, int dy, int w, int h, const Bitmap& src, int sx, int sy,
                int mask_sy) {
    if (&dst == &src) {
        bit_blt(dst, dx, dy, w, h, src, sx, mask_sy, RasterOp::And);
        bit_blt(dst, dx, dy, w, h, src, sx, sy, RasterOp::Or);
        return;
    }
    // Both passes share the columns; the rows each keeps may differ when the holder is short.
    const Clip m = clip_copy(dst, dx, dy, w, h, src, sx, mask_sy);
    const Clip p = clip_copy(dst, dx, dy, w, h, src, sx, sy);
    if (m.empty() && p.empty()) return;
    const int x0 = m.empty() ? p.x0 : m.x0, x1 = m.empty() ? p.x1 : m.x1;
    const std::size_t n = std::size_t(x1 - x0);
    const int top = m.empty() ? p.y0 : p.empty() ? m.y0 : std::min(m.y0, p.y0);
    const int bottom = m.empty() ? p.y1 : p.empty() ? m.y1 : std::max(m.y1, p.y1);
    for (int j = top; j < bottom; ++j) {
        const bool and_row = !m.empty() && j >= m.y0 && j < m.y1;
        const bool or_row = !p.empty() && j >= p.y0 && j < p.y1;
        uint32_t* d = row_of(dst, dx + x0, dy + j);
        const uint32_t* ms = and_row ? row_of(src, sx + x0, mask_sy + j) : nullptr;
        const uint32_t* ps = or_row ? row_of(src, sx + x0, sy + j) : nullptr;
        if (and_row && or_row)
            combine_row<true, true>(d, ms, ps, n);
        else if (and_row)
            combine_row<true, false>(d, ms, nullptr, n);
        else if (or_row)
            combine_row<false, true>(d, nullptr, ps, n);
    }
}

void PictureArea::Cls() {
    runs_.clear();
    CurrentX = 0;
    CurrentY = 0;
}

void PictureArea::print(std::string_view text) {
    if (text.empty()) return;
    TextRun run{std::string(text), CurrentX, CurrentY, fore_colour, bold};
    // Printing the same text again at the same place changes nothing on the screen; it is
    // kept once, so a reprinted page does not pile up.
    if (std::find(runs_.begin(), runs_.end(), run) == runs_.end()) runs_.push_back(std::move(run));
    CurrentX += TextWidth(text);
}

void PictureArea::print_line(std::string_view text) {
    print(text);
    CurrentX = 0;
    CurrentY += LINE_HEIGHT;
}

int PictureArea::TextWidth(std::string_view text) const {
    static const FixedWidthFont fallback;
    return (font ? font : &fallback)->text_width(text, bold);
}

uint32_t QBColor(int index) {
    return QB_COLOURS[static_cast<unsigned>(index) & 15u];
}

} // namespace duskwend
