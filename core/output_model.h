#pragma once
// What the game draws on: the three picture areas of the window and the hidden wall holders.
// Text areas keep the runs printed since the last Cls(); the picture area keeps pixels. The
// platform turns both into frames; the headless runner dumps them.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace duskwend {

constexpr int LINE_HEIGHT = 13;

// Widths of texts in the game's font. The platform hands the real TrueType metrics to the
// game at start-up; FixedWidthFont stands in where no platform exists.
class FontMetrics {
  public:
    virtual ~FontMetrics() = default;
    // text is single-byte Windows-1252.
    virtual int text_width(std::string_view text, bool bold) const = 0;
};

class FixedWidthFont final : public FontMetrics {
  public:
    int text_width(std::string_view text, bool) const override {
        return 6 * static_cast<int>(text.size());
    }
};

// Pixels as 0xRRGGBB, row after row from the top.
struct Bitmap {
    int width = 0, height = 0;
    std::vector<uint32_t> pixels;

    Bitmap() = default;
    Bitmap(int w, int h, uint32_t fill = 0)
        : width(w), height(h), pixels(std::size_t(w) * h, fill) {}
    uint32_t at(int x, int y) const { return pixels[std::size_t(y) * width + x]; }
    uint32_t& at(int x, int y) { return pixels[std::size_t(y) * width + x]; }
};

enum class RasterOp { Copy, And, Or };

// Copies a w x h rectangle of src at (sx, sy) onto dst at (dx, dy), combining pixels by op.
// Whatever falls outside either bitmap is skipped.
void bit_blt(Bitmap& dst, int dx, int dy, int w, int h, const Bitmap& src, int sx, int sy,
             RasterOp op);

// The part of dst that bit_blt with these arguments writes: columns [left, right), rows
// [top, bottom); all zero when it writes nothing.
struct BlitArea {
    int left = 0, top = 0, right = 0, bottom = 0;
    bool empty() const { return left >= right || top >= bottom; }
};
BlitArea blit_area(const Bitmap& dst, int dx, int dy, int w, int h, const Bitmap& src, int sx,
                   int sy);

// A masked copy in one pass: ANDs the mask at (sx, mask_sy) and ORs the piece at (sx, sy), the
// same pixels as the two bit_blt calls in that order.
void masked_blt(Bitmap& dst, int dx, int dy, int w, int h, const Bitmap& src, int sx, int sy,
                int mask_sy);

struct TextRun {
    std::string text; // Windows-1252
    int x = 0, y = 0;
    int colour = 0;
    bool bold = false;
    bool operator==(const TextRun&) const = default;
};

class PictureArea {
  public:
    PictureArea(int left, int top, int width, int height)
        : left(left), top(top), width(width), height(height) {}

    const int left, top, width, height; // position in the window
    int CurrentX = 0, CurrentY = 0;
    int fore_colour = 0; // QBColor index 0..15
    bool bold = false;
    const FontMetrics* font = nullptr;

    void Cls();
    // Prints at the cursor and stays on the line.
    void print(std::string_view text);
    // Prints at the cursor and moves to the start of the next line.
    void print_line(std::string_view text = {});
    int TextWidth(std::string_view text) const;

    const std::vector<TextRun>& runs() const { return runs_; }
    // Shows again what was printed before, as it was (a screen redrawn without acting anew).
    void restore_runs(std::vector<TextRun> runs) { runs_ = std::move(runs); }

  private:
    std::vector<TextRun> runs_;
};

// The picture area: a loaded picture and whatever the view has blitted onto it.
struct MainPicture {
    static constexpr int left = 3, top = 8, width = 228, height = 140;
    Bitmap image{width, height};
    std::string picture_name; // last picture loaded, or "view" once the view was drawn
    // What the view last drew (its background and the wall type of each slot), so an unchanged
    // view is not drawn again; cleared whenever the wall holders change.
    std::string view_background;
    std::vector<int> view_walls;
};

struct Form {
    MainPicture mainPic;
    PictureArea Text{240, 0, 249, 353};
    PictureArea SideText{0, 176, 233, 177};
    // Hidden holders of the wall pieces that the view copies from (clear mainPic.view_walls
    // when they change).
    Bitmap mWall, mWall2, mLeft, mLeft2, mRight, mRight2;
};

constexpr int WINDOW_WIDTH = 490, WINDOW_HEIGHT = 355;

// The 16 QBColor colours, 0xRRGGBB.
constexpr uint32_t QB_COLOURS[16] = {0x000000, 0x000080, 0x008000, 0x008080, 0x800000, 0x800080,
                                     0x808000, 0xC0C0C0, 0x808080, 0x0000FF, 0x00FF00, 0x00FFFF,
                                     0xFF0000, 0xFF00FF, 0xFFFF00, 0xFFFFFF};
uint32_t QBColor(int index);

} // namespace duskwend
