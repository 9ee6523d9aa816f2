// The packed position: x in the low 16 bits, y in the high 16 bits, each a signed 16-bit
// value. The hook library packs a minimizing window's corner into a message with it; the
// main program unpacks it for its minimized-window list.
#pragma once

#include <cstdint>

struct PackedPoint {
    int x = 0;
    int y = 0;
    friend bool operator==(const PackedPoint&, const PackedPoint&) = default;
};

// Keeps only the low 16 bits of each coordinate.
constexpr std::int32_t packPosition(int x, int y) {
    const std::uint32_t bits = (static_cast<std::uint32_t>(x) & 0xFFFFu) |
                               ((static_cast<std::uint32_t>(y) & 0xFFFFu) << 16);
    return static_cast<std::int32_t>(bits);
}

// Reads the low 32 bits only, so a message parameter widened on 64-bit builds unpacks the
// same way whether it was sign- or zero-extended.
constexpr PackedPoint unpackPosition(std::int64_t packed) {
    const auto bits = static_cast<std::uint32_t>(packed);
    return {static_cast<std::int16_t>(bits & 0xFFFFu), static_cast<std::int16_t>(bits >> 16)};
}
