// Encoders that turn pictures into the bytes of .bmp, .ico and .cur files, as the
// resource compiler reads them. Called by the artwork generator and the unit tests;
// portable, so the files come out the same on every build machine.
#pragma once

#include "res/picture.h"

#include <array>
#include <cstdint>
#include <vector>

using Bytes = std::vector<std::uint8_t>;
using Palette16 = std::array<Colour, 16>;

// Black first (the see-through pixels of a cursor need it), then every other colour of
// the picture in the order met; unused entries stay black. False when the picture has
// more colours than that or a see-through pixel.
bool paletteOf(const Picture& picture, Palette16& palette);

// 16-colour bitmap file with the palette of paletteOf; empty when that fails.
Bytes encodeBmp4(const Picture& picture);
// 24-bit bitmap file; alpha is dropped.
Bytes encodeBmp24(const Picture& picture);
// Icon file with one 32-bit image (alpha and mask) per picture; square sizes up to 256.
Bytes encodeIco(const std::vector<Picture>& sizes);
// Cursor file with one 16-colour image; alpha 0 is see-through, any other alpha opaque.
// Empty when the opaque pixels need more than the 16 palette entries or the hot spot
// lies outside the picture.
Bytes encodeCur(const Picture& picture, int hotX, int hotY);
