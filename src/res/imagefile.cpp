// Byte layout of the Windows bitmap, icon and cursor files. Every field is written out
// explicitly, little-endian, so the output does not depend on the host's struct layout.
#include "res/imagefile.h"

#include <algorithm>

namespace {

constexpr int BitmapInfoHeaderSize = 40;
constexpr int FileHeaderSize = 14;
constexpr int DirectoryHeaderSize = 6;
constexpr int DirectoryEntrySize = 16;

void put16(Bytes& b, unsigned v) {
    b.push_back(std::uint8_t(v));
    b.push_back(std::uint8_t(v >> 8));
}
void put32(Bytes& b, std::uint32_t v) {
    put16(b, v & 0xFFFF);
    put16(b, v >> 16);
}

// Rows of a device-independent bitmap are padded to whole 32-bit words.
int rowBytes(int width, int bitsPerPixel) {
    return (width * bitsPerPixel + 31) / 32 * 4;
}

void putInfoHeader(Bytes& b, int width, int height, int bitsPerPixel, std::uint32_t imageSize,
                   int coloursUsed) {
    put32(b, BitmapInfoHeaderSize);
    put32(b, std::uint32_t(width));
    put32(b, std::uint32_t(height)); // positive: rows stored bottom-up
    put16(b, 1);
    put16(b, unsigned(bitsPerPixel));
    put32(b, 0); // BI_RGB
    put32(b, imageSize);
    put32(b, 2835); // 72 dpi, as most tools write
    put32(b, 2835);
    put32(b, std::uint32_t(coloursUsed));
    put32(b, 0);
}

void putPalette(Bytes& b, const Palette16& palette) {
    for (Colour c : palette) {
        b.push_back(std::uint8_t(blueOf(c)));
        b.push_back(std::uint8_t(greenOf(c)));
        b.push_back(std::uint8_t(redOf(c)));
        b.push_back(0);
    }
}

int indexIn(const Palette16& palette, Colour c) {
    auto it = std::find(palette.begin(), palette.end(), c | 0xFF000000u);
    return it == palette.end() ? -1 : int(it - palette.begin());
}

// Palette of the opaque pixels only (cursor), with black guaranteed at index 0.
bool opaquePalette(const Picture& p, Palette16& palette) {
    palette.fill(rgb(0, 0, 0));
    int used = 1;
    for (Colour c : p.pixels) {
        if (alphaOf(c) == 0)
            continue;
        c |= 0xFF000000u;
        if (std::find(palette.begin(), palette.begin() + used, c) != palette.begin() + used)
            continue;
        if (used == 16)
            return false;
        palette[used++] = c;
    }
    return true;
}

void put4BitRows(Bytes& b, const Picture& p, const Palette16& palette) {
    const int stride = rowBytes(p.width, 4);
    for (int y = p.height - 1; y >= 0; --y) {
        Bytes row(stride, 0);
        for (int x = 0; x < p.width; ++x) {
            const Colour c = p.at(x, y);
            const int index = alphaOf(c) == 0 ? 0 : indexIn(palette, c);
            row[x / 2] |= std::uint8_t(x % 2 == 0 ? index << 4 : index);
        }
        b.insert(b.end(), row.begin(), row.end());
    }
}

// The mask of icons and cursors: a set bit lets the screen show through.
void putMaskRows(Bytes& b, const Picture& p) {
    const int stride = rowBytes(p.width, 1);
    for (int y = p.height - 1; y >= 0; --y) {
        Bytes row(stride, 0);
        for (int x = 0; x < p.width; ++x)
            if (alphaOf(p.at(x, y)) == 0)
                row[x / 8] |= std::uint8_t(0x80 >> (x % 8));
        b.insert(b.end(), row.begin(), row.end());
    }
}

void putFileHeader(Bytes& b, std::uint32_t fileSize, std::uint32_t bitsOffset) {
    b.push_back('B');
    b.push_back('M');
    put32(b, fileSize);
    put32(b, 0);
    put32(b, bitsOffset);
}

void putDirectoryHeader(Bytes& b, unsigned type, std::size_t count) {
    put16(b, 0);
    put16(b, type);
    put16(b, unsigned(count));
}

} // namespace

bool paletteOf(const Picture& picture, Palette16& palette) {
    if (std::any_of(picture.pixels.begin(), picture.pixels.end(),
                    [](Colour c) { return alphaOf(c) == 0; }))
        return false;
    return opaquePalette(picture, palette);
}

Bytes encodeBmp4(const Picture& p) {
    Palette16 palette;
    if (p.width <= 0 || p.height <= 0 || !paletteOf(p, palette))
        return {};
    const std::uint32_t imageSize = std::uint32_t(rowBytes(p.width, 4)) * p.height;
    const std::uint32_t bitsOffset = FileHeaderSize + BitmapInfoHeaderSize + 16 * 4;
    Bytes b;
    putFileHeader(b, bitsOffset + imageSize, bitsOffset);
    putInfoHeader(b, p.width, p.height, 4, imageSize, 16);
    putPalette(b, palette);
    put4BitRows(b, p, palette);
    return b;
}

Bytes encodeBmp24(const Picture& p) {
    if (p.width <= 0 || p.height <= 0)
        return {};
    const int stride = rowBytes(p.width, 24);
    const std::uint32_t imageSize = std::uint32_t(stride) * p.height;
    const std::uint32_t bitsOffset = FileHeaderSize + BitmapInfoHeaderSize;
    Bytes b;
    putFileHeader(b, bitsOffset + imageSize, bitsOffset);
    putInfoHeader(b, p.width, p.height, 24, imageSize, 0);
    for (int y = p.height - 1; y >= 0; --y) {
        Bytes row(stride, 0);
        for (int x = 0; x < p.width; ++x) {
            const Colour c = p.at(x, y);
            row[3 * x] = std::uint8_t(blueOf(c));
            row[3 * x + 1] = std::uint8_t(greenOf(c));
            row[3 * x + 2] = std::uint8_t(redOf(c));
        }
        b.insert(b.end(), row.begin(), row.end());
    }
    return b;
}

Bytes encodeIco(const std::vector<Picture>& sizes) {
    for (const Picture& p : sizes)
        if (p.width <= 0 || p.width > 256 || p.height != p.width)
            return {};
    Bytes images;
    Bytes b;
    putDirectoryHeader(b, 1, sizes.size());
    std::uint32_t offset = DirectoryHeaderSize + DirectoryEntrySize * std::uint32_t(sizes.size());
    for (const Picture& p : sizes) {
        const std::uint32_t colourSize = std::uint32_t(rowBytes(p.width, 32)) * p.height;
        const std::uint32_t maskSize = std::uint32_t(rowBytes(p.width, 1)) * p.height;
        const std::size_t start = images.size();
        // The stored height counts the colour image and the mask together.
        putInfoHeader(images, p.width, 2 * p.height, 32, colourSize + maskSize, 0);
        for (int y = p.height - 1; y >= 0; --y) {
            for (int x = 0; x < p.width; ++x) {
                const Colour c = p.at(x, y);
                const bool clear = alphaOf(c) == 0;
                images.push_back(clear ? 0 : std::uint8_t(blueOf(c)));
                images.push_back(clear ? 0 : std::uint8_t(greenOf(c)));
                images.push_back(clear ? 0 : std::uint8_t(redOf(c)));
                images.push_back(std::uint8_t(alphaOf(c)));
            }
        }
        putMaskRows(images, p);
        const std::uint32_t size = std::uint32_t(images.size() - start);
        b.push_back(std::uint8_t(p.width & 255)); // 256 is written as 0
        b.push_back(std::uint8_t(p.height & 255));
        b.push_back(0); // more than 256 colours
        b.push_back(0);
        put16(b, 1);  // planes
        put16(b, 32); // bits per pixel
        put32(b, size);
        put32(b, offset);
        offset += size;
    }
    b.insert(b.end(), images.begin(), images.end());
    return b;
}

Bytes encodeCur(const Picture& p, int hotX, int hotY) {
    Palette16 palette;
    if (p.width <= 0 || p.width > 256 || p.height <= 0 || p.height > 256 ||
        !p.contains(hotX, hotY) || !opaquePalette(p, palette))
        return {};
    const std::uint32_t colourSize = std::uint32_t(rowBytes(p.width, 4)) * p.height;
    const std::uint32_t maskSize = std::uint32_t(rowBytes(p.width, 1)) * p.height;
    const std::uint32_t size = BitmapInfoHeaderSize + 16 * 4 + colourSize + maskSize;
    Bytes b;
    putDirectoryHeader(b, 2, 1);
    b.push_back(std::uint8_t(p.width & 255));
    b.push_back(std::uint8_t(p.height & 255));
    b.push_back(16); // colours
    b.push_back(0);
    // A cursor directory keeps its hot spot where an icon keeps planes and bit count.
    put16(b, unsigned(hotX));
    put16(b, unsigned(hotY));
    put32(b, size);
    put32(b, DirectoryHeaderSize + DirectoryEntrySize);
    putInfoHeader(b, p.width, 2 * p.height, 4, colourSize + maskSize, 16);
    putPalette(b, palette);
    put4BitRows(b, p, palette);
    putMaskRows(b, p);
    return b;
}
