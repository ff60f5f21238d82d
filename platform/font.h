#pragma once
// The game's TrueType font, regular and bold, at one pixel size.

#include "core/output_model.h"

#include <SDL_ttf.h>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace duskwend {

// The font size whose lines fit the game's 13-pixel line.
constexpr int FONT_PIXEL_SIZE = 11;

class TtfFont final : public FontMetrics {
  public:
    // Opens Data/font.ttf and Data/font-bold.ttf at size × scale; a DataError names a missing
    // file. TTF must have been initialised.
    TtfFont(const std::filesystem::path& data_dir, int scale);

    // Measured once per text and kept.
    int text_width(std::string_view text, bool bold) const override;
    TTF_Font* face(bool bold) const { return bold ? bold_.get() : regular_.get(); }

    // The text (Windows-1252) rendered in the colour 0xRRGGBB, kept for the next frame that
    // shows it, so an unchanged text is not rasterised again; null when it cannot be rendered.
    // The surface belongs to the font.
    SDL_Surface* rendered(const std::string& text, bool bold, uint32_t rgb) const;

  private:
    struct Closer {
        void operator()(TTF_Font* f) const { TTF_CloseFont(f); }
    };
    struct SurfaceFree {
        void operator()(SDL_Surface* s) const { SDL_FreeSurface(s); }
    };
    // The font files, read whole; they outlive the fonts opened on them.
    std::vector<uint8_t> regular_bytes_, bold_bytes_;
    std::unique_ptr<TTF_Font, Closer> regular_, bold_;
    // Keyed by the style byte (bold, colour) and the text; emptied when they grow past a
    // screenful many times over.
    mutable std::unordered_map<std::string, int> widths_;
    mutable std::unordered_map<std::string, std::unique_ptr<SDL_Surface, SurfaceFree>> rendered_;
};

// Initialises SDL_ttf for the life of the object.
struct TtfLibrary {
    TtfLibrary();
    ~TtfLibrary();
    TtfLibrary(const TtfLibrary&) = delete;
    TtfLibrary& operator=(const TtfLibrary&) = delete;
};

} // namespace duskwend
