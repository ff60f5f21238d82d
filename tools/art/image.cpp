#include "image.h"

#include <SDL.h>
#include <SDL_image.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <stdexcept>

namespace duskwend {

const Rgb kPalette[16] = {
    {0, 0, 0},     {0, 0, 170},     {0, 170, 0},    {0, 170, 170},   {170, 0, 0},   {170, 0, 170},
    {170, 85, 0},  {170, 170, 170}, {85, 85, 85},   {85, 85, 255},   {85, 255, 85}, {85, 255, 255},
    {255, 85, 85}, {255, 85, 255},  {255, 255, 85}, {255, 255, 255},
};

namespace {

void put16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(uint8_t(v));
    out.push_back(uint8_t(v >> 8));
}

void put32(std::vector<uint8_t>& out, uint32_t v) {
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

uint32_t get32(const std::vector<uint8_t>& b, size_t at) {
    return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 |
           uint32_t(b[at + 3]) << 24;
}

int nearest(int r, int g, int b, const std::vector<int>& excluded) {
    int best = -1;
    long best_d = 0;
    for (int i = 0; i < 16; ++i) {
        if (std::find(excluded.begin(), excluded.end(), i) != excluded.end()) continue;
        // Weighted distance: the eye forgives red and blue errors more than green ones.
        long dr = r - kPalette[i].r, dg = g - kPalette[i].g, db = b - kPalette[i].b;
        long d = 3 * dr * dr + 4 * dg * dg + 2 * db * db;
        if (best < 0 || d < best_d) best = i, best_d = d;
    }
    return best;
}

} // namespace

RgbaImage load_png(const std::string& path) {
    SDL_Surface* loaded = IMG_Load(path.c_str());
    if (!loaded) throw std::runtime_error(path + ": cannot read picture: " + IMG_GetError());
    SDL_Surface* s = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_RGBA32, 0);
    SDL_FreeSurface(loaded);
    if (!s) throw std::runtime_error(path + ": cannot convert picture: " + SDL_GetError());
    RgbaImage out;
    out.width = s->w;
    out.height = s->h;
    out.rgba.resize(size_t(s->w) * s->h * 4);
    for (int y = 0; y < s->h; ++y) {
        const auto* row = static_cast<const uint8_t*>(s->pixels) + size_t(y) * s->pitch;
        std::copy(row, row + size_t(s->w) * 4, out.rgba.begin() + size_t(y) * s->w * 4);
    }
    SDL_FreeSurface(s);
    return out;
}

Image load_bmp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error(path + ": cannot open");
    std::vector<uint8_t> b((std::istreambuf_iterator<char>(in)), {});
    if (b.size() < 54 || b[0] != 'B' || b[1] != 'M')
        throw std::runtime_error(path + ": not a BMP file");
    const uint32_t offset = get32(b, 10);
    const int w = int(get32(b, 18));
    const int h = int(get32(b, 22));
    const int bits = b[28] | b[29] << 8;
    if (bits != 24 || get32(b, 30) != 0 || w <= 0 || h <= 0 || w > 8192 || h > 8192)
        throw std::runtime_error(path + ": not an uncompressed 24-bit bottom-up BMP");
    const size_t stride = (size_t(w) * 3 + 3) / 4 * 4;
    if (offset + stride * h > b.size()) throw std::runtime_error(path + ": file is short");
    Image img(w, h);
    for (int y = 0; y < h; ++y) {
        const uint8_t* row = b.data() + offset + stride * (h - 1 - y);
        for (int x = 0; x < w; ++x) img.at(x, y) = {row[x * 3 + 2], row[x * 3 + 1], row[x * 3]};
    }
    return img;
}

void save_bmp(const Image& image, const std::string& path) {
    const uint32_t stride = (uint32_t(image.width) * 3 + 3) / 4 * 4;
    const uint32_t data_size = stride * uint32_t(image.height);
    std::vector<uint8_t> out;
    out.reserve(54 + data_size);
    out.push_back('B');
    out.push_back('M');
    put32(out, 54 + data_size);
    put32(out, 0);
    put32(out, 54);
    put32(out, 40); // BITMAPINFOHEADER
    put32(out, uint32_t(image.width));
    put32(out, uint32_t(image.height)); // positive: bottom-up rows
    put16(out, 1);
    put16(out, 24);
    put32(out, 0); // no compression
    put32(out, data_size);
    put32(out, 2835); // 72 dots per inch
    put32(out, 2835);
    put32(out, 0);
    put32(out, 0);
    for (int y = image.height - 1; y >= 0; --y) {
        for (int x = 0; x < image.width; ++x) {
            const Rgb& p = image.at(x, y);
            out.push_back(p.b);
            out.push_back(p.g);
            out.push_back(p.r);
        }
        for (uint32_t i = uint32_t(image.width) * 3; i < stride; ++i) out.push_back(0);
    }
    // Write beside the target and rename, so an interrupted build never leaves half a picture.
    const std::string temp = path + ".part";
    {
        std::ofstream f(temp, std::ios::binary | std::ios::trunc);
        f.write(reinterpret_cast<const char*>(out.data()), std::streamsize(out.size()));
        if (!f) throw std::runtime_error(path + ": cannot write");
    }
    if (std::rename(temp.c_str(), path.c_str()) != 0)
        throw std::runtime_error(path + ": cannot replace");
}

void save_png(const Image& image, const std::string& path) {
    std::vector<uint8_t> raw;
    raw.reserve(image.pixels.size() * 3);
    for (const Rgb& p : image.pixels) raw.insert(raw.end(), {p.r, p.g, p.b});
    SDL_Surface* s = SDL_CreateRGBSurfaceWithFormatFrom(raw.data(), image.width, image.height, 24,
                                                        image.width * 3, SDL_PIXELFORMAT_RGB24);
    if (!s) throw std::runtime_error(path + ": " + SDL_GetError());
    const int rc = IMG_SavePNG(s, path.c_str());
    SDL_FreeSurface(s);
    if (rc != 0) throw std::runtime_error(path + ": cannot write PNG: " + IMG_GetError());
}

Image flatten(const RgbaImage& top, const RgbaImage* bottom) {
    if (bottom && (bottom->width != top.width || bottom->height != top.height))
        throw std::runtime_error("backdrop and figure differ in size");
    Image out(top.width, top.height);
    for (size_t i = 0; i < out.pixels.size(); ++i) {
        const uint8_t* t = &top.rgba[i * 4];
        const uint8_t* u = bottom ? &bottom->rgba[i * 4] : nullptr;
        auto mix = [&](int c) {
            const int under = u ? u[c] : 0;
            return uint8_t((t[c] * t[3] + under * (255 - t[3]) + 127) / 255);
        };
        out.pixels[i] = {mix(0), mix(1), mix(2)};
    }
    return out;
}

Image quantise(const Image& image, const std::vector<int>& excluded) {
    static const int bayer[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
    Image out(image.width, image.height);
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            const Rgb p = image.at(x, y);
            int exact = -1;
            for (int i = 0; i < 16; ++i)
                if (kPalette[i] == p &&
                    std::find(excluded.begin(), excluded.end(), i) == excluded.end())
                    exact = i;
            if (exact >= 0) {
                out.at(x, y) = p;
                continue;
            }
            // Half the distance between two palette levels either way: a blend half way
            // between two colours comes out as an even checkerboard of both.
            const int offset = (bayer[y & 3][x & 3] * 2 - 15) * 85 / 32;
            const int r = p.r + offset, g = p.g + offset, b = p.b + offset;
            out.at(x, y) = kPalette[nearest(r, g, b, excluded)];
        }
    }
    return out;
}

Image shade(const Image& image, double factor) {
    Image out = image;
    for (Rgb& p : out.pixels) {
        auto f = [&](uint8_t c) { return uint8_t(std::clamp(std::lround(c * factor), 0L, 255L)); };
        p = {f(p.r), f(p.g), f(p.b)};
    }
    return out;
}

void blit(Image& dst, const Image& src, int dx, int dy) {
    blit(dst, src, 0, 0, src.width, src.height, dx, dy);
}

void blit(Image& dst, const Image& src, int sx, int sy, int w, int h, int dx, int dy) {
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (src.contains(sx + x, sy + y) && dst.contains(dx + x, dy + y))
                dst.at(dx + x, dy + y) = src.at(sx + x, sy + y);
}

Image enlarge(const Image& image, int factor) {
    Image out(image.width * factor, image.height * factor);
    for (int y = 0; y < out.height; ++y)
        for (int x = 0; x < out.width; ++x) out.at(x, y) = image.at(x / factor, y / factor);
    return out;
}

} // namespace duskwend
