#include "platform/font.h"

#include "core/datafiles.h"
#include "core/file_access.h"
#include "core/text_encoding.h"

#include <string>
#include <system_error>
#include <vector>

namespace duskwend {

namespace {

// The whole font file: the font library then reads it from memory, not with a seek and a
// read for every table it looks at.
std::vector<uint8_t> read_font_file(const std::filesystem::path& path) {
    // Text fonts are a few hundred kilobytes; a font file in the Data folder is no bigger
    // than this.
    constexpr std::size_t FONT_SIZE_LIMIT = 32u << 20;
    const FileRead file = read_regular_file(path, FONT_SIZE_LIMIT);
    if (file.status == FileRead::missing)
        throw DataError("The font file " + path.string() + " is missing");
    if (!file.is_ok()) throw DataError("Cannot read the font file: " + file.message);
    return std::vector<uint8_t>(file.bytes.begin(), file.bytes.end());
}

TTF_Font* open_font(const std::filesystem::path& path, const std::vector<uint8_t>& bytes,
                    int size) {
    SDL_RWops* rw = SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size()));
    TTF_Font* f = rw ? TTF_OpenFontRW(rw, 1, size) : nullptr;
    if (!f) throw DataError("Cannot read the font file " + path.string() + ": " + TTF_GetError());
    // Light hinting keeps widths stable between sizes.
    TTF_SetFontHinting(f, TTF_HINTING_LIGHT);
    return f;
}

// More entries than many screens show; past them a cache starts again. Rendered texts are
// kept fewer, as each holds its pixels.
constexpr std::size_t WIDTH_CACHE_LIMIT = 4096, RENDERED_CACHE_LIMIT = 512;

std::string cache_key(std::string_view text, bool bold, uint32_t rgb = 0) {
    std::string key;
    key.reserve(text.size() + 4);
    key += bold ? 'B' : 'R';
    key.append(reinterpret_cast<const char*>(&rgb), sizeof rgb);
    key += text;
    return key;
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
    : regular_bytes_(read_font_file(data_dir / "font.ttf")),
      bold_bytes_(read_font_file(data_dir / "font-bold.ttf")),
      regular_(open_font(data_dir / "font.ttf", regular_bytes_, FONT_PIXEL_SIZE * scale)),
      bold_(open_font(data_dir / "font-bold.ttf", bold_bytes_, FONT_PIXEL_SIZE * scale)) {}

int TtfFont::text_width(std::string_view text, bool bold) const {
    if (text.empty()) return 0;
    std::string key = cache_key(text, bold);
    if (const auto it = widths_.find(key); it != widths_.end()) return it->second;
    int w = 0, h = 0;
    const std::string utf8 = cp1252_to_utf8(text);
    if (TTF_SizeUTF8(face(bold), utf8.c_str(), &w, &h) != 0) w = 0;
    if (widths_.size() >= WIDTH_CACHE_LIMIT) widths_.clear();
    widths_.emplace(std::move(key), w);
    return w;
}

SDL_Surface* TtfFont::rendered(const std::string& text, bool bold, uint32_t rgb) const {
    std::string key = cache_key(text, bold, rgb);
    if (const auto it = rendered_.find(key); it != rendered_.end()) return it->second.get();
    const SDL_Color colour{uint8_t(rgb >> 16), uint8_t(rgb >> 8), uint8_t(rgb), 255};
    const std::string utf8 = cp1252_to_utf8(text);
    SDL_Surface* s = TTF_RenderUTF8_Blended(face(bold), utf8.c_str(), colour);
    if (!s) return nullptr;
    if (rendered_.size() >= RENDERED_CACHE_LIMIT) rendered_.clear();
    rendered_.emplace(std::move(key), s);
    return s;
}

} // namespace duskwend
