// Fuzz target for the iconpos.dat reader, which runs inside the desktop's process: any
// bytes must decode without reading outside them, within the capacity it asked for, into
// records that lie inside the file, with ranks that count earlier equal labels.
#include "hook/iconpos_codec.h"

#include <cstdint>
#include <cstdlib>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::size_t capacity = iconPosCapacity(data, size);
    if (capacity > size / kIconPosRecordFixedBytes) {
        std::abort();
    }
    std::vector<IconPosRecord> records(capacity);
    const std::size_t n = decodeIconPos(data, size, records.data(), capacity);
    if (n > capacity) {
        std::abort();
    }
    std::size_t end = kIconPosCountBytes;
    for (std::size_t i = 0; i < n; ++i) {
        const IconPosRecord& r = records[i];
        if (r.textOffset != end + 4 || r.textOffset + 2 * std::size_t{r.length} + 8 > size) {
            std::abort();
        }
        end = r.textOffset + 2 * std::size_t{r.length} + 8;
    }
    std::vector<std::uint32_t> order(n);
    rankIconLabels(data, records.data(), n, order.data());
    // Spot-check ranks against a direct count on small inputs only.
    if (n <= 64) {
        for (std::size_t i = 0; i < n; ++i) {
            std::uint32_t earlier = 0;
            for (std::size_t j = 0; j < i; ++j) {
                bool same = records[j].length == records[i].length;
                for (std::uint32_t u = 0; same && u < records[i].length; ++u) {
                    same = iconLabelUnit(data, records[j], u) == iconLabelUnit(data, records[i], u);
                }
                earlier += same ? 1 : 0;
            }
            if (records[i].rank != earlier) {
                std::abort();
            }
        }
    }
    return 0;
}
