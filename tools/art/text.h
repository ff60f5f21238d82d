#pragma once
// Labels on the art build's review sheets, drawn with a TrueType font.

#include "image.h"

#include <string>

struct _TTF_Font;

namespace duskwend {

// The font at two sizes: small for captions, large for headings.
struct Font {
    _TTF_Font* small = nullptr;
    _TTF_Font* large = nullptr;
    explicit Font(const std::string& path, int small_size = 15, int large_size = 26);
    ~Font();
    Font(const Font&) = delete;
    Font& operator=(const Font&) = delete;
};

inline constexpr Rgb kInk = {230, 230, 230};

// Draws `text` with its top left corner at (x, y), blended over what is there.
void draw_text(Image& img, _TTF_Font* font, const std::string& text, int x, int y, Rgb ink = kInk);

} // namespace duskwend
