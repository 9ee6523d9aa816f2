// "除外ウィンドウ.dat" from anywhere: the reader never reads past the bytes, keeps its
// limits, and the rules it reads are written and read back unchanged.
#include "exclusion/exclusion_codec.h"

#include <cstdint>
#include <cstdlib>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Also bytes without the signature: the record reader must hold on any input.
    const bool signed_ = hasExclusionSignature(data, size);
    std::vector<ExclusionEntry> entries;
    decodeExclusionRecords(data, size, entries);
    if (entries.size() > static_cast<std::size_t>(kExclusionLimit))
        std::abort();
    for (const ExclusionEntry& e : entries) {
        if (e.className.size() > kExclusionTextLimit || e.windowName.size() > kExclusionTextLimit)
            std::abort();
    }
    if (!signed_)
        return 0;
    const std::vector<std::uint8_t> file = encodeExclusionFile(entries);
    std::vector<ExclusionEntry> back;
    if (!hasExclusionSignature(file.data(), file.size()))
        std::abort();
    decodeExclusionRecords(file.data(), file.size(), back);
    if (back.size() != entries.size())
        std::abort();
    for (std::size_t i = 0; i < back.size(); ++i) {
        if (back[i].className != entries[i].className ||
            back[i].windowName != entries[i].windowName)
            std::abort();
    }
    return 0;
}
