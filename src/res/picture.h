// One picture of the program's artwork: a grid of 32-bit colours that the drawing
// functions of artwork.cpp fill and the encoders of imagefile.cpp turn into files.
// Portable: the generator runs on the build machine, the unit tests natively.
#pragma once

#include <cstdint>
#include <vector>

// 0xAARRGGBB. Alpha 0 is a see-through pixel (icon and cursor masks); bitmaps are opaque.
using Colour = std::uint32_t;

constexpr Colour rgb(int r, int g, int b) {
    return 0xFF000000u | (Colour(r & 255) << 16) | (Colour(g & 255) << 8) | Colour(b & 255);
}
constexpr Colour opaque(Colour hex) {
    return 0xFF000000u | (hex & 0xFFFFFFu);
}
constexpr Colour Transparent = 0;
constexpr int alphaOf(Colour c) {
    return int(c >> 24);
}
constexpr int redOf(Colour c) {
    return int((c >> 16) & 255);
}
constexpr int greenOf(Colour c) {
    return int((c >> 8) & 255);
}
constexpr int blueOf(Colour c) {
    return int(c & 255);
}

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<Colour> pixels; // row by row, top row first

    Picture() = default;
    Picture(int w, int h, Colour fill = Transparent)
        : width(w), height(h), pixels(std::size_t(w) * std::size_t(h), fill) {}

    bool contains(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }
    Colour at(int x, int y) const { return pixels[std::size_t(y) * width + x]; }
    // Drawing may run off the edges: clipping here keeps every drawing routine simple.
    void set(int x, int y, Colour c) {
        if (contains(x, y))
            pixels[std::size_t(y) * width + x] = c;
    }
};
