#pragma once
// Plain RGB images for the art build: loading rendered PNGs, quantising them to the game's
// sixteen colours and writing the 24-bit BMP files the game reads.

#include <cstdint>
#include <string>
#include <vector>

namespace duskwend {

struct Rgb {
    uint8_t r = 0, g = 0, b = 0;
    bool operator==(const Rgb&) const = default;
};

struct Image {
    int width = 0;
    int height = 0;
    std::vector<Rgb> pixels; // row-major, top row first

    Image() = default;
    Image(int w, int h, Rgb fill = {}) : width(w), height(h), pixels(size_t(w) * h, fill) {}
    Rgb& at(int x, int y) { return pixels[size_t(y) * width + x]; }
    const Rgb& at(int x, int y) const { return pixels[size_t(y) * width + x]; }
    bool contains(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }
};

// The sixteen colours of the window's palette, in their usual order (0 black .. 15 white).
extern const Rgb kPalette[16];

// An RGBA image as rendered from an SVG; alpha is kept so figures can be laid over backdrops.
struct RgbaImage {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgba;
};

// Each of these throws std::runtime_error with the file name on failure.
RgbaImage load_png(const std::string& path);
Image load_bmp(const std::string& path);
void save_bmp(const Image& image, const std::string& path);
void save_png(const Image& image, const std::string& path);

// Lays `top` over `bottom` (same size) by its alpha; without a bottom, over black.
Image flatten(const RgbaImage& top, const RgbaImage* bottom);

// Maps every pixel to the palette. Pixels already in the palette stay as they are; blends
// (antialiased edges, gradients) become an ordered dither of their nearest colours.
// Colours listed in `excluded` are never used.
Image quantise(const Image& image, const std::vector<int>& excluded = {});

// Multiplies every colour by `factor` (shading before quantising).
Image shade(const Image& image, double factor);

// Copies `src` (or its rectangle sx, sy, w, h) into `dst` at (dx, dy), clipped.
void blit(Image& dst, const Image& src, int dx, int dy);
void blit(Image& dst, const Image& src, int sx, int sy, int w, int h, int dx, int dy);

// Nearest-neighbour enlargement, for the contact sheet.
Image enlarge(const Image& image, int factor);

} // namespace duskwend
