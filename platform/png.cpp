// PNG files and their bytes are written with SDL_image, which only the desktop build links.
#include "platform/frame.h"

#include <SDL_image.h>

namespace duskwend {

bool save_png(SDL_Surface* surface, const std::string& path) {
    return surface && IMG_SavePNG(surface, path.c_str()) == 0;
}

namespace {

// The PNG file of a surface, in memory; empty when it cannot be encoded.
std::string png_bytes(SDL_Surface* surface) {
    if (!surface) return {};
    // SDL writes through a stream; this one appends to a string of any length.
    SDL_RWops* stream = SDL_AllocRW();
    if (!stream) return {};
    std::string bytes;
    stream->hidden.unknown.data1 = &bytes;
    stream->size = [](SDL_RWops*) -> Sint64 { return -1; };
    stream->seek = [](SDL_RWops* rw, Sint64, int) -> Sint64 {
        return static_cast<Sint64>(static_cast<std::string*>(rw->hidden.unknown.data1)->size());
    };
    stream->read = [](SDL_RWops*, void*, size_t, size_t) -> size_t { return 0; };
    stream->write = [](SDL_RWops* rw, const void* data, size_t size, size_t count) -> size_t {
        static_cast<std::string*>(rw->hidden.unknown.data1)
            ->append(static_cast<const char*>(data), size * count);
        return count;
    };
    stream->close = [](SDL_RWops* rw) -> int {
        SDL_FreeRW(rw);
        return 0;
    };
    const bool saved = IMG_SavePNG_RW(surface, stream, 1) == 0;
    return saved ? bytes : std::string();
}

} // namespace

std::string frame_png(const Game& g, const TtfFont& font, int scale) {
    SurfacePtr frame = compose_frame(g, font, scale);
    return png_bytes(frame.get());
}

} // namespace duskwend
