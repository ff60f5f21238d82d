#include "platform/font.h"

#include "core/datafiles.h"
#include "core/text_encoding.h"

#include <string>
#include <system_error>

namespace {

TTF_Font* open_font(const std::filesystem::path& path, int size) {
    std::error_code ec;
    if (!std::filesystem::exists(path, ec)) {
        if (ec && ec != std::errc::no_such_file_or_directory)
            throw DataError("Cannot open the font file " + path.string() + ": " + ec.message());
        throw DataError("The font file " + path.string() + " is missing");
    }
    TTF_Font* f = TTF_OpenFont(path.c_str(), size);
    if (!f) throw DataError("Cannot read the font file " + path.string() + ": " + TTF_GetError());
    // Light hinting keeps widths stable between sizes.
    TTF_SetFontHinting(f, TTF_HINTING_LIGHT);
    return f;
}

} // namespace

TtfLibrary::TtfLibrary() {
    if (TTF_Init() != 0)
        throw DataError(std::string("Cannot start the font library: ") + TTF_GetError());
}

TtfLibrary::~TtfLibrary() {
    TTF_Quit();
}

TtfFont::TtfFont(const std::filesystem::path& data_dir, int scale)
    : regular_(open_font(data_dir / "font.ttf", FONT_PIXEL_SIZE * scale)),
      bold_(open_font(data_dir / "font-bold.ttf", FONT_PIXEL_SIZE * scale)) {}

int TtfFont::text_width(std::string_view text, bool bold) const {
    if (text.empty()) return 0;
    int w = 0, h = 0;
    const std::string utf8 = cp1252_to_utf8(text);
    if (TTF_SizeUTF8(face(bold), utf8.c_str(), &w, &h) != 0) return 0;
    return w;
}
