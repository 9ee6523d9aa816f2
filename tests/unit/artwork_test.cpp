// The artwork files as the resource compiler receives them: decoded here from their bytes
// by an independent reader, so a fault in the drawing or in the encoders shows up.
#include "res/artwork.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>

namespace {

unsigned u16(const Bytes& b, std::size_t at) {
    return b.at(at) | (b.at(at + 1) << 8);
}
std::uint32_t u32(const Bytes& b, std::size_t at) {
    return u16(b, at) | (u16(b, at + 2) << 16);
}
std::int32_t s32(const Bytes& b, std::size_t at) {
    return std::int32_t(u32(b, at));
}

// One device-independent bitmap as stored in .bmp, .ico and .cur files. For icon and
// cursor images the stored height covers colour rows and mask rows; `mask` is then set.
struct Dib {
    int width = 0, height = 0, bits = 0;
    std::vector<Colour> pixels; // top row first, alpha from the data for 32 bits
    std::vector<bool> mask;     // true = see-through
    std::vector<int> indices;   // palette indices, for 4 bits
};

Dib readDib(const Bytes& b, std::size_t at, bool withMask) {
    Dib d;
    EXPECT_EQ(u32(b, at), 40u);
    d.width = s32(b, at + 4);
    const int storedHeight = s32(b, at + 8);
    d.height = withMask ? storedHeight / 2 : storedHeight;
    d.bits = int(u16(b, at + 14));
    EXPECT_EQ(u32(b, at + 16), 0u) << "compressed";
    std::size_t p = at + 40;
    std::vector<Colour> palette;
    if (d.bits <= 8) {
        const int count = u32(b, at + 32) ? int(u32(b, at + 32)) : 1 << d.bits;
        for (int i = 0; i < count; ++i, p += 4)
            palette.push_back(rgb(b.at(p + 2), b.at(p + 1), b.at(p)));
    }
    const std::size_t stride = (d.width * d.bits + 31) / 32 * 4;
    d.pixels.resize(std::size_t(d.width) * d.height);
    d.indices.resize(d.pixels.size());
    for (int row = 0; row < d.height; ++row) {
        const std::size_t line = p + stride * (d.height - 1 - row); // bottom-up
        for (int x = 0; x < d.width; ++x) {
            Colour& c = d.pixels[std::size_t(row) * d.width + x];
            if (d.bits == 4) {
                const int byte = b.at(line + x / 2), index = x % 2 ? byte & 15 : byte >> 4;
                d.indices[std::size_t(row) * d.width + x] = index;
                c = palette.at(index);
            } else if (d.bits == 24) {
                c = rgb(b.at(line + 3 * x + 2), b.at(line + 3 * x + 1), b.at(line + 3 * x));
            } else if (d.bits == 32) {
                c = (Colour(b.at(line + 4 * x + 3)) << 24) |
                    (rgb(b.at(line + 4 * x + 2), b.at(line + 4 * x + 1), b.at(line + 4 * x)) &
                     0xFFFFFF);
            } else {
                ADD_FAILURE() << "unexpected depth " << d.bits;
            }
        }
    }
    if (withMask) {
        const std::size_t maskAt = p + stride * d.height, maskStride = (d.width + 31) / 32 * 4;
        EXPECT_EQ(maskAt + maskStride * d.height - at, u32(b, at + 20) + 40 + 4 * palette.size());
        for (int row = 0; row < d.height; ++row)
            for (int x = 0; x < d.width; ++x)
                d.mask.push_back(b.at(maskAt + maskStride * (d.height - 1 - row) + x / 8) &
                                 (0x80 >> (x % 8)));
    }
    return d;
}

Dib readBmpFile(const Bytes& b) {
    EXPECT_GE(b.size(), 54u);
    EXPECT_EQ(b.at(0), 'B');
    EXPECT_EQ(b.at(1), 'M');
    EXPECT_EQ(u32(b, 2), b.size());
    const Dib d = readDib(b, 14, false);
    const std::size_t stride = (d.width * d.bits + 31) / 32 * 4;
    EXPECT_EQ(u32(b, 10) + stride * d.height, b.size()) << "bits offset or padding";
    return d;
}

struct DirEntry {
    int width, height, colours, planesOrHotX, bitsOrHotY;
    std::uint32_t size, offset;
};

std::vector<DirEntry> readDirectory(const Bytes& b, unsigned type) {
    EXPECT_EQ(u16(b, 0), 0u);
    EXPECT_EQ(u16(b, 2), type);
    std::vector<DirEntry> entries;
    for (unsigned i = 0; i < u16(b, 4); ++i) {
        const std::size_t e = 6 + 16 * i;
        entries.push_back({b.at(e) ? b.at(e) : 256, b.at(e + 1) ? b.at(e + 1) : 256, b.at(e + 2),
                           int(u16(b, e + 4)), int(u16(b, e + 6)), u32(b, e + 8), u32(b, e + 12)});
    }
    return entries;
}

const Bytes& fileNamed(const std::string& name) {
    static const std::vector<ArtworkFile> files = artworkFiles();
    for (const ArtworkFile& f : files)
        if (f.name == name)
            return f.bytes;
    static const Bytes none;
    ADD_FAILURE() << "no artwork file " << name;
    return none;
}

TEST(Artwork, CheckerboardIsGreenAndSilverStartingGreen) {
    const Dib d = readBmpFile(fileNamed("checker.bmp"));
    ASSERT_EQ(d.width, 4);
    ASSERT_EQ(d.height, 4);
    EXPECT_EQ(d.bits, 4);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(d.pixels[y * 4 + x], (x + y) % 2 ? opaque(0xC0C0C0) : opaque(0x008000))
                << x << "," << y;
}

TEST(Artwork, CrossPhasesAreTheTurnedSequence) {
    const Colour G = opaque(0x808080), K = opaque(0), W = opaque(0xFFFFFF);
    std::vector<Colour> turned = {G, G, G, G, K, K, K, K, W, W, W, W};
    // Phases written out by hand: the first, the second and the last.
    const std::vector<Colour> phase1 = {W, G, G, G, G, K, K, K, K, W, W, W};
    const std::vector<Colour> phase11 = {G, G, G, K, K, K, K, W, W, W, W, G};
    for (int k = 0; k < 12; ++k) {
        if (k == 1) {
            EXPECT_EQ(turned, phase1);
        }
        if (k == 11) {
            EXPECT_EQ(turned, phase11);
        }
        char name[32];
        std::snprintf(name, sizeof name, "cross_h%02d.bmp", k);
        const Dib h = readBmpFile(fileNamed(name));
        std::snprintf(name, sizeof name, "cross_v%02d.bmp", k);
        const Dib v = readBmpFile(fileNamed(name));
        EXPECT_EQ(h.bits, 4);
        EXPECT_EQ(v.bits, 4);
        ASSERT_EQ(h.width, 12) << k;
        ASSERT_EQ(h.height, 1) << k;
        ASSERT_EQ(v.width, 1) << k;
        ASSERT_EQ(v.height, 12) << k;
        EXPECT_EQ(h.pixels, turned) << "horizontal phase " << k;
        EXPECT_EQ(v.pixels, turned) << "vertical phase " << k << " (top row first)";
        std::rotate(turned.rbegin(), turned.rbegin() + 1, turned.rend()); // one to the right
    }
}

TEST(Artwork, EdgeArrowsPointTheirWayWithTheTipAsHotSpot) {
    const struct {
        const char* file;
        int hotX, hotY;
        int dx, dy; // the way the arrow points
    } arrows[] = {{"edge_left.cur", 3, 15, -1, 0},
                  {"edge_right.cur", 25, 15, 1, 0},
                  {"edge_up.cur", 15, 3, 0, -1},
                  {"edge_down.cur", 15, 25, 0, 1}};
    std::vector<std::vector<bool>> shapes;
    for (const auto& a : arrows) {
        SCOPED_TRACE(a.file);
        const Bytes& b = fileNamed(a.file);
        const auto dir = readDirectory(b, 2);
        ASSERT_EQ(dir.size(), 1u);
        EXPECT_EQ(dir[0].width, 32);
        EXPECT_EQ(dir[0].height, 32);
        EXPECT_EQ(dir[0].planesOrHotX, a.hotX);
        EXPECT_EQ(dir[0].bitsOrHotY, a.hotY);
        EXPECT_EQ(dir[0].offset + dir[0].size, b.size());
        const Dib d = readDib(b, dir[0].offset, true);
        ASSERT_EQ(d.width, 32);
        ASSERT_EQ(d.height, 32);
        EXPECT_EQ(d.bits, 4);
        std::vector<bool> shape(32 * 32);
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x) {
                const std::size_t i = y * 32 + x;
                shape[i] = !d.mask[i];
                // See-through pixels must be black in the colour image, or the screen
                // under them would show inverted.
                if (d.mask[i]) {
                    EXPECT_EQ(d.pixels[i], opaque(0)) << x << "," << y;
                }
                // Nothing lies beyond the tip in the arrow's direction.
                if (shape[i]) {
                    EXPECT_LE((x - a.hotX) * a.dx + (y - a.hotY) * a.dy, 0) << x << "," << y;
                }
            }
        EXPECT_TRUE(shape[a.hotY * 32 + a.hotX]) << "the tip is part of the arrow";
        EXPECT_EQ(d.pixels[a.hotY * 32 + a.hotX], opaque(0)) << "outlined tip";
        // Somewhere behind the tip the body is white.
        EXPECT_EQ(d.pixels[(a.hotY - 8 * a.dy) * 32 + a.hotX - 8 * a.dx], opaque(0xFFFFFF));
        shapes.push_back(shape);
    }
    // One shape in four orientations: right mirrors left, up and down transpose them.
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            const bool left = shapes[0][y * 32 + x];
            EXPECT_EQ(shapes[2][x * 32 + y], left) << x << "," << y;
            if (x <= 28) {
                EXPECT_EQ(shapes[1][y * 32 + (28 - x)], left) << x << "," << y;
                EXPECT_EQ(shapes[3][(28 - x) * 32 + y], left) << x << "," << y;
            }
        }
}

TEST(Artwork, IconDirectoriesHoldConsistentImages) {
    const struct {
        const char* file;
        std::vector<int> sizes;
    } icons[] = {{"orvalis.ico", {48, 32, 16}}, {"orvalis_small.ico", {16}}};
    for (const auto& icon : icons) {
        SCOPED_TRACE(icon.file);
        const Bytes& b = fileNamed(icon.file);
        const auto dir = readDirectory(b, 1);
        ASSERT_EQ(dir.size(), icon.sizes.size());
        std::uint32_t expectedOffset = 6 + 16 * std::uint32_t(dir.size());
        for (std::size_t i = 0; i < dir.size(); ++i) {
            const int n = icon.sizes[i];
            EXPECT_EQ(dir[i].width, n);
            EXPECT_EQ(dir[i].height, n);
            EXPECT_EQ(dir[i].planesOrHotX, 1);
            EXPECT_EQ(dir[i].bitsOrHotY, 32);
            EXPECT_EQ(dir[i].offset, expectedOffset) << "images packed in order";
            EXPECT_EQ(dir[i].size, 40u + n * n * 4 + n * ((n + 31) / 32 * 4));
            expectedOffset += dir[i].size;
            const Dib d = readDib(b, dir[i].offset, true);
            ASSERT_EQ(d.width, n);
            ASSERT_EQ(d.height, n);
            int opaqueCount = 0;
            for (std::size_t p = 0; p < d.pixels.size(); ++p) {
                EXPECT_EQ(bool(d.mask[p]), alphaOf(d.pixels[p]) == 0) << "mask agrees with alpha";
                opaqueCount += alphaOf(d.pixels[p]) == 255;
            }
            // The grid fills most of the square; a blank or wholly opaque icon is wrong.
            EXPECT_GT(opaqueCount, n * n / 2);
            EXPECT_LT(opaqueCount, n * n);
        }
        EXPECT_EQ(expectedOffset, b.size());
    }
}

TEST(Artwork, LandscapeIsSkyOverGrass) {
    const Dib d = readBmpFile(fileNamed("landscape.bmp"));
    ASSERT_EQ(d.width, 16);
    ASSERT_EQ(d.height, 12);
    EXPECT_EQ(d.bits, 24);
    for (int x = 0; x < 16; ++x) {
        const Colour top = d.pixels[x], bottom = d.pixels[11 * 16 + x];
        EXPECT_GT(blueOf(top), std::max(redOf(top), greenOf(top))) << "sky at column " << x;
        EXPECT_GT(greenOf(bottom), std::max(redOf(bottom), blueOf(bottom)))
            << "grass at column " << x;
    }
}

TEST(Artwork, StartPicturesMarkTheirScreen) {
    const struct {
        char position;
        int column, row;
    } cases[] = {{'t', 0, 2}, {'1', 0, 2}, {'3', 2, 2}, {'5', 1, 1}, {'7', 0, 0}, {'9', 2, 0}};
    std::set<std::vector<Colour>> distinct;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.position);
        const Dib d = readBmpFile(fileNamed(std::string("start_") + c.position + ".bmp"));
        ASSERT_EQ(d.width, StartPictureWidth);
        ASSERT_EQ(d.height, StartPictureHeight);
        distinct.insert(d.pixels);
        // The centre pixel of every cell: white unless it is the marked screen.
        for (int row = 0; row < 3; ++row)
            for (int column = 0; column < 3; ++column) {
                const int x = 1 + column * 9 + 4, y = 1 + row * 7 + 1;
                const bool marked = column == c.column && row == c.row;
                EXPECT_EQ(d.pixels[y * d.width + x] == opaque(0xFFFFFF), !marked)
                    << "cell " << column << "," << row;
            }
    }
    EXPECT_EQ(distinct.size(), 6u) << "the taskbar picture differs from bottom-left";
}

TEST(ImageFile, RoundTripsOddWidthsThroughPaddingAndPacking) {
    Picture p(5, 3);
    const Colour colours[] = {opaque(0x112233), opaque(0xFF0000), opaque(0x00FF00),
                              opaque(0x0000FF), opaque(0xFFFFFF), opaque(0x808000)};
    for (int i = 0; i < 15; ++i)
        p.set(i % 5, i / 5, colours[(i * 7) % 6]);
    for (const Bytes& b : {encodeBmp4(p), encodeBmp24(p)}) {
        const Dib d = readBmpFile(b);
        ASSERT_EQ(d.width, 5);
        ASSERT_EQ(d.height, 3);
        EXPECT_EQ(d.pixels, p.pixels);
    }
}

TEST(ImageFile, RefusesWhatItCannotEncode) {
    Picture many(17, 1);
    for (int x = 0; x < 17; ++x)
        many.set(x, 0, rgb(x * 15, 0, 0)); // 17 colours incl. black
    EXPECT_TRUE(encodeBmp4(many).empty());
    many.set(16, 0, rgb(0, 0, 0));
    EXPECT_FALSE(encodeBmp4(many).empty()) << "16 colours fit";

    Picture holed(2, 2, opaque(0x00FF00));
    holed.set(1, 1, Transparent);
    EXPECT_TRUE(encodeBmp4(holed).empty()) << "a bitmap has no see-through pixels";
    EXPECT_FALSE(encodeCur(holed, 1, 1).empty());
    EXPECT_TRUE(encodeCur(holed, 2, 0).empty()) << "hot spot outside";
    EXPECT_TRUE(encodeIco({Picture(16, 15)}).empty()) << "icons are square";
    EXPECT_TRUE(encodeBmp24(Picture()).empty());
}

TEST(Artwork, EveryFileHasADistinctNameAndContent) {
    std::set<std::string> names;
    for (const ArtworkFile& f : artworkFiles()) {
        EXPECT_TRUE(names.insert(f.name).second) << f.name;
        EXPECT_FALSE(f.bytes.empty()) << f.name;
    }
    EXPECT_EQ(names.size(), 2u + 4u + 2u + 24u + 6u);
}

} // namespace
