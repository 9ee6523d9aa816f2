// Decoding and ranking of iconpos.dat; see iconpos_codec.h. Compiled into ovl.dll, where
// it runs inside the desktop's process: no allocation, no exceptions, every read bounded.
#include "hook/iconpos_codec.h"

#include <algorithm>
#include <cstring>

namespace {

std::int32_t readInt(const std::uint8_t* p) {
    const std::uint32_t bits =
        p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
    return static_cast<std::int32_t>(bits);
}

std::size_t usable(std::size_t size) {
    return std::min(size, kIconPosMaxFileBytes);
}

} // namespace

std::size_t iconPosCapacity(const std::uint8_t* bytes, std::size_t size) {
    size = usable(size);
    if (bytes == nullptr || size < kIconPosCountBytes) {
        return 0;
    }
    const std::int32_t count = readInt(bytes);
    if (count <= 0) {
        return 0;
    }
    const std::size_t fits = (size - kIconPosCountBytes) / kIconPosRecordFixedBytes;
    return std::min(static_cast<std::size_t>(count), fits);
}

std::size_t decodeIconPos(const std::uint8_t* bytes, std::size_t size, IconPosRecord* out,
                          std::size_t capacity) {
    size = usable(size);
    capacity = std::min(capacity, iconPosCapacity(bytes, size));
    std::size_t pos = kIconPosCountBytes;
    std::size_t n = 0;
    while (n < capacity) {
        if (size - pos < kIconPosRecordFixedBytes) {
            break;
        }
        const std::int32_t length = readInt(bytes + pos);
        // Halving the bytes left instead of doubling the length: no overflow, 32-bit or not.
        if (length < 0 ||
            static_cast<std::size_t>(length) > (size - pos - kIconPosRecordFixedBytes) / 2) {
            break;
        }
        IconPosRecord& r = out[n++];
        r.length = static_cast<std::uint32_t>(length);
        r.textOffset = static_cast<std::uint32_t>(pos + 4);
        pos += 4 + 2 * r.length;
        r.x = readInt(bytes + pos);
        r.y = readInt(bytes + pos + 4);
        r.rank = 0;
        pos += 8;
    }
    return n;
}

void rankIconLabels(const std::uint8_t* bytes, IconPosRecord* records, std::size_t count,
                    std::uint32_t* order) {
    for (std::size_t i = 0; i < count; ++i) {
        order[i] = static_cast<std::uint32_t>(i);
    }
    // Byte order is no collation, but equal labels end up side by side, in file order.
    const auto labelCompare = [&](std::uint32_t a, std::uint32_t b) {
        const IconPosRecord& ra = records[a];
        const IconPosRecord& rb = records[b];
        if (ra.length != rb.length) {
            return ra.length < rb.length ? -1 : 1;
        }
        return std::memcmp(bytes + ra.textOffset, bytes + rb.textOffset, 2 * ra.length);
    };
    std::sort(order, order + count, [&](std::uint32_t a, std::uint32_t b) {
        const int c = labelCompare(a, b);
        return c != 0 ? c < 0 : a < b;
    });
    for (std::size_t k = 0; k < count; ++k) {
        const bool sameAsBefore = k > 0 && labelCompare(order[k - 1], order[k]) == 0;
        records[order[k]].rank = sameAsBefore ? records[order[k - 1]].rank + 1 : 0;
    }
}
