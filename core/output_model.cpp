#include "core/output_model.h"

#include <algorithm>

void bit_blt(Bitmap& dst, int dx, int dy, int w, int h, const Bitmap& src, int sx, int sy,
             RasterOp op) {
    for (int j = 0; j < h; ++j) {
        const int ty = dy + j, fy = sy + j;
        if (ty < 0 || ty >= dst.height || fy < 0 || fy >= src.height) continue;
        for (int i = 0; i < w; ++i) {
            const int tx = dx + i, fx = sx + i;
            if (tx < 0 || tx >= dst.width || fx < 0 || fx >= src.width) continue;
            const uint32_t s = src.at(fx, fy);
            uint32_t& d = dst.at(tx, ty);
            switch (op) {
            case RasterOp::Copy:
                d = s;
                break;
            case RasterOp::And:
                d &= s;
                break;
            case RasterOp::Or:
                d |= s;
                break;
            }
        }
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
