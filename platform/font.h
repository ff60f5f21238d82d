#pragma once
// The game's TrueType font, regular and bold, at one pixel size.

#include "core/output_model.h"

#include <SDL_ttf.h>

#include <filesystem>
#include <memory>

// The font size whose lines fit the game's 13-pixel line.
constexpr int FONT_PIXEL_SIZE = 11;

class TtfFont final : public FontMetrics {
  public:
    // Opens Data/font.ttf and Data/font-bold.ttf at size × scale; a DataError names a missing
    // file. TTF must have been initialised.
    TtfFont(const std::filesystem::path& data_dir, int scale);

    int text_width(std::string_view text, bool bold) const override;
    TTF_Font* face(bool bold) const { return bold ? bold_.get() : regular_.get(); }

  private:
    struct Closer {
        void operator()(TTF_Font* f) const { TTF_CloseFont(f); }
    };
    std::unique_ptr<TTF_Font, Closer> regular_, bold_;
};

// Initialises SDL_ttf for the life of the object.
struct TtfLibrary {
    TtfLibrary();
    ~TtfLibrary();
    TtfLibrary(const TtfLibrary&) = delete;
    TtfLibrary& operator=(const TtfLibrary&) = delete;
};
