#pragma once
// Paints one frame of the window from the game's picture areas.

#include "core/game.h"
#include "platform/font.h"

#include <SDL.h>

#include <memory>
#include <string>

namespace duskwend {

struct SurfaceDeleter {
    void operator()(SDL_Surface* s) const { SDL_FreeSurface(s); }
};
using SurfacePtr = std::unique_ptr<SDL_Surface, SurfaceDeleter>;

// The whole 490 × 355 window at `scale` pixels per logical pixel, text drawn with `font`
// (opened at the same scale).
SurfacePtr compose_frame(const Game& g, const TtfFont& font, int scale);

// Writes a surface as a PNG; false when it cannot be written.
bool save_png(SDL_Surface* surface, const std::string& path);

// The PNG of the window's picture at 490 × 355 times `scale`, as --screenshot writes it, text
// drawn with `font` (opened at the same scale).
std::string frame_png(const Game& g, const TtfFont& font, int scale = 1);

} // namespace duskwend
