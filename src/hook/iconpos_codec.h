// The bytes of iconpos.dat: a count, then per desktop icon its label's length in UTF-16
// units, the label (UTF-16LE, no terminator) and its virtual x and y; every integer is
// 32-bit little-endian and signed, so the file is the same for both builds. Portable and
// allocation-free: icon_ops.cpp reads and writes the file inside the desktop's process,
// allocates what these functions ask for and hands them the bytes.
#pragma once

#include <cstddef>
#include <cstdint>

inline constexpr std::size_t kIconPosCountBytes = 4;
// Length and position; the label adds two bytes per unit.
inline constexpr std::size_t kIconPosRecordFixedBytes = 12;
// The reader looks no further: far beyond any desktop, and a bound on the work a damaged
// or hostile file can cause in the desktop's process.
inline constexpr std::size_t kIconPosMaxFileBytes = 16u << 20;

struct IconPosRecord {
    std::uint32_t textOffset = 0; // where the label starts in the file
    std::uint32_t length = 0;     // UTF-16 units; 0 for an icon saved without a label
    std::int32_t x = 0;           // virtual position: list-view position plus view origin
    std::int32_t y = 0;
    std::uint32_t rank = 0; // earlier records with exactly the same label
};

// An upper bound on the records the bytes hold: the stored count, limited by what the
// bytes after it could hold. 0 when the count is missing or not positive.
std::size_t iconPosCapacity(const std::uint8_t* bytes, std::size_t size);

// Reads records in file order into `out` (room for `capacity`), up to the first one that
// is not whole or has a negative length; files longer than kIconPosMaxFileBytes are read
// that far. Every length is checked against the bytes left before anything is read past
// it. Returns the number read.
std::size_t decodeIconPos(const std::uint8_t* bytes, std::size_t size, IconPosRecord* out,
                          std::size_t capacity);

// Sets every record's rank: among records with the same label (compared unit for unit,
// case included) the first gets 0, the next 1, and so on. `order` is scratch room for
// `count` indexes. O(n log n), whatever the labels.
void rankIconLabels(const std::uint8_t* bytes, IconPosRecord* records, std::size_t count,
                    std::uint32_t* order);

// Unit i of a decoded record's label.
inline char16_t iconLabelUnit(const std::uint8_t* bytes, const IconPosRecord& r, std::uint32_t i) {
    const std::uint8_t* p = bytes + r.textOffset + 2 * static_cast<std::size_t>(i);
    return static_cast<char16_t>(p[0] | (p[1] << 8));
}

// A position made absolute with the view origin and back; wraps like the 32-bit integers
// of the file instead of overflowing.
constexpr std::int32_t iconPosStored(std::int32_t position, std::int32_t origin) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(position) +
                                     static_cast<std::uint32_t>(origin));
}
constexpr std::int32_t iconPosPlaced(std::int32_t stored, std::int32_t origin) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(stored) -
                                     static_cast<std::uint32_t>(origin));
}

// Writing: the count, then each record into room of iconPosRecordBytes(length) bytes.
inline std::size_t iconPosRecordBytes(std::uint32_t length) {
    return kIconPosRecordFixedBytes + 2 * static_cast<std::size_t>(length);
}

inline std::uint8_t* putIconPosInt(std::uint8_t* out, std::int32_t value) {
    const auto bits = static_cast<std::uint32_t>(value);
    for (int i = 0; i < 4; ++i) {
        *out++ = static_cast<std::uint8_t>(bits >> (8 * i));
    }
    return out;
}

// Unit is wchar_t in the library and char16_t in tests: both hold UTF-16 units.
template <typename Unit>
std::uint8_t* putIconPosRecord(std::uint8_t* out, const Unit* label, std::uint32_t length,
                               std::int32_t x, std::int32_t y) {
    out = putIconPosInt(out, static_cast<std::int32_t>(length));
    for (std::uint32_t i = 0; i < length; ++i) {
        const auto unit = static_cast<std::uint16_t>(label[i]);
        *out++ = static_cast<std::uint8_t>(unit & 0xFF);
        *out++ = static_cast<std::uint8_t>(unit >> 8);
    }
    out = putIconPosInt(out, x);
    return putIconPosInt(out, y);
}
