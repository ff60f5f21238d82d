// PNG files are written with SDL_image, which only the desktop build links.
#include "platform/frame.h"

#include <SDL_image.h>

namespace duskwend {

bool save_png(SDL_Surface* surface, const std::string& path) {
    return surface && IMG_SavePNG(surface, path.c_str()) == 0;
}

} // namespace duskwend
