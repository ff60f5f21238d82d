#include "platform/frame.h"

#include <SDL_image.h>

#include <algorithm>
#include <cstring>

namespace duskwend {

namespace {

constexpr uint32_t WINDOW_BACKGROUND = 0x2A2320; // dark wood around the areas
constexpr uint32_t AREA_BACKGROUND = 0xF3EBD6;   // parchment under the text
constexpr uint32_t AREA_BORDER = 0x8A7A60;

void fill(SDL_Surface* s, int x, int y, int w, int h, uint32_t rgb, int scale) {
    SDL_Rect r{x * scale, y * scale, w * scale, h * scale};
    SDL_FillRect(s, &r, SDL_MapRGB(s->format, (rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF));
}

void frame_area(SDL_Surface* s, int x, int y, int w, int h, int scale) {
    fill(s, x - 1, y - 1, w + 2, h + 2, AREA_BORDER, scale);
}

void draw_picture(SDL_Surface* s, const MainPicture& pic, int scale) {
    const Bitmap& b = pic.image;
    const int w = std::min(b.width, MainPicture::width);
    SDL_LockSurface(s);
    const auto row_at = [&](int y) {
        return reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(s->pixels) +
                                           std::size_t(y) * s->pitch) +
               std::size_t(MainPicture::left) * scale;
    };
    for (int y = 0; y < b.height && y < MainPicture::height; ++y) {
        // One row widened, then copied to the other rows of its scale.
        uint32_t* first = row_at((MainPicture::top + y) * scale);
        for (int x = 0; x < w; ++x) {
            const uint32_t rgb = b.at(x, y);
            const uint32_t px =
                SDL_MapRGB(s->format, (rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
            for (int i = 0; i < scale; ++i) first[x * scale + i] = px;
        }
        for (int j = 1; j < scale; ++j)
            std::memcpy(row_at((MainPicture::top + y) * scale + j), first,
                        std::size_t(w) * scale * sizeof(uint32_t));
    }
    SDL_UnlockSurface(s);
}

// The status panel's columns: a run is cut where the next run on its line begins, so a long
// name leaves the hit points readable. The printed runs themselves stay whole.
int column_end(const PictureArea& area, const TextRun& run) {
    int end = area.width;
    for (const TextRun& other : area.runs())
        if (other.y == run.y && other.x > run.x && other.x < end) end = other.x;
    return end;
}

void draw_runs(SDL_Surface* s, const PictureArea& area, const TtfFont& font, int scale,
               bool clip_columns = false) {
    SDL_Rect clip{area.left * scale, area.top * scale, area.width * scale, area.height * scale};
    SDL_SetClipRect(s, &clip);
    for (const TextRun& run : area.runs()) {
        if (clip_columns) {
            // A small gap keeps the cut name apart from the number after it.
            const int end = std::max(run.x, column_end(area, run) - 2);
            SDL_Rect column{(area.left + run.x) * scale, area.top * scale, (end - run.x) * scale,
                            area.height * scale};
            SDL_IntersectRect(&clip, &column, &column);
            SDL_SetClipRect(s, &column);
        }
        SDL_Surface* text = font.rendered(run.text, run.bold, QBColor(run.colour));
        if (text) {
            SDL_Rect at{(area.left + run.x) * scale, (area.top + run.y) * scale, 0, 0};
            SDL_BlitSurface(text, nullptr, s, &at);
        }
        if (clip_columns) SDL_SetClipRect(s, &clip);
    }
    SDL_SetClipRect(s, nullptr);
}

} // namespace

SurfacePtr compose_frame(const Game& g, const TtfFont& font, int scale) {
    SurfacePtr s(SDL_CreateRGBSurfaceWithFormat(0, WINDOW_WIDTH * scale, WINDOW_HEIGHT * scale, 32,
                                                SDL_PIXELFORMAT_XRGB8888));
    if (!s) return s;
    const Form& f = g.Form1;
    fill(s.get(), 0, 0, WINDOW_WIDTH, WINDOW_HEIGHT, WINDOW_BACKGROUND, scale);
    frame_area(s.get(), MainPicture::left, MainPicture::top, MainPicture::width,
               MainPicture::height, scale);
    draw_picture(s.get(), f.mainPic, scale);
    for (const PictureArea* area : {&f.Text, &f.SideText}) {
        frame_area(s.get(), area->left, area->top, area->width, area->height, scale);
        fill(s.get(), area->left, area->top, area->width, area->height, AREA_BACKGROUND, scale);
        draw_runs(s.get(), *area, font, scale, area == &f.SideText);
    }
    return s;
}

bool save_png(SDL_Surface* surface, const std::string& path) {
    return surface && IMG_SavePNG(surface, path.c_str()) == 0;
}

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

std::string frame_png(const Game& g, const TtfFont& font, int scale) {
    SurfacePtr frame = compose_frame(g, font, scale);
    return png_bytes(frame.get());
}
} // namespace duskwend
