#include "text.h"

#include <SDL.h>
#include <SDL_ttf.h>

#include <stdexcept>

namespace duskwend {

Font::Font(const std::string& path, int small_size, int large_size) {
    if (TTF_Init() != 0) throw std::runtime_error(std::string("TTF_Init: ") + TTF_GetError());
    small = TTF_OpenFont(path.c_str(), small_size);
    large = TTF_OpenFont(path.c_str(), large_size);
    if (!small || !large) throw std::runtime_error(path + ": cannot open font");
}

Font::~Font() {
    if (small) TTF_CloseFont(small);
    if (large) TTF_CloseFont(large);
    TTF_Quit();
}

void draw_text(Image& img, TTF_Font* font, const std::string& text, int x, int y, Rgb ink) {
    if (text.empty()) return;
    SDL_Color c = {ink.r, ink.g, ink.b, 255};
    SDL_Surface* rendered = TTF_RenderUTF8_Blended(font, text.c_str(), c);
    if (!rendered) return;
    SDL_Surface* s = SDL_ConvertSurfaceFormat(rendered, SDL_PIXELFORMAT_RGBA32, 0);
    SDL_FreeSurface(rendered);
    for (int j = 0; s && j < s->h; ++j)
        for (int i = 0; i < s->w; ++i) {
            if (!img.contains(x + i, y + j)) continue;
            const auto* p = static_cast<const uint8_t*>(s->pixels) + j * s->pitch + i * 4;
            Rgb& d = img.at(x + i, y + j);
            auto m = [&](uint8_t a, uint8_t b) {
                return uint8_t((a * p[3] + b * (255 - p[3])) / 255);
            };
            d = {m(p[0], d.r), m(p[1], d.g), m(p[2], d.b)};
        }
    SDL_FreeSurface(s);
}

} // namespace duskwend
