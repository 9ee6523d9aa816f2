// Decoding and encoding the exclusion file. Nothing past the bytes actually present is
// ever looked at: a damaged tail ends the list, it never becomes rules.
#include "exclusion/exclusion_codec.h"

#include <algorithm>
#include <new>

namespace {

unsigned unitAt(const std::uint8_t* bytes, size_t byteOffset) {
    return static_cast<unsigned>(bytes[byteOffset]) |
           (static_cast<unsigned>(bytes[byteOffset + 1]) << 8);
}

unsigned foldAscii(unsigned u) {
    return u >= 'a' && u <= 'z' ? u - ('a' - 'A') : u;
}

void putUnit(std::vector<std::uint8_t>& out, unsigned u) {
    out.push_back(static_cast<std::uint8_t>(u & 0xFF));
    out.push_back(static_cast<std::uint8_t>((u >> 8) & 0xFF));
}

// A unit below U+0020 would end the string when the file is read back, and every string
// after it would land in the wrong field; it is written as a space, so only this name
// differs and the rules after it read back whole.
void putString(std::vector<std::uint8_t>& out, const std::wstring& s) {
    for (wchar_t c : s) {
        const unsigned u = static_cast<unsigned>(c) & 0xFFFF;
        putUnit(out, u < 0x20 ? 0x20 : u);
    }
    putUnit(out, 0);
}

} // namespace

bool exclusionFileSizeAccepted(std::uint64_t size) {
    return size <= kExclusionFileMaxBytes;
}

bool hasExclusionSignature(const std::uint8_t* bytes, size_t size) {
    if (size < kExclusionSignatureBytes)
        return false;
    for (size_t i = 0; i < kExclusionSignatureUnits; ++i) {
        const unsigned expected = static_cast<unsigned>(kExclusionSignature[i]);
        if (foldAscii(unitAt(bytes, 2 * i)) != foldAscii(expected))
            return false;
    }
    return true;
}

bool readExclusionString(const std::uint8_t* bytes, size_t size, size_t& pos, std::wstring& out) {
    if (pos >= size)
        return false;
    const size_t got = std::min(size - pos, kExclusionReadBytes);
    const size_t units = std::min(got / 2, kExclusionScanUnits);
    for (size_t i = 0; i < units; ++i) {
        if (unitAt(bytes, pos + 2 * i) >= 0x20)
            continue;
        out.resize(i);
        for (size_t k = 0; k < i; ++k)
            out[k] = static_cast<wchar_t>(unitAt(bytes, pos + 2 * k));
        pos += 2 * i + 2;
        return true;
    }
    if (got < kExclusionReadBytes)
        return false; // the file ends inside the string
    out.clear();
    pos += 2;
    return true;
}

void decodeExclusionRecords(const std::uint8_t* bytes, size_t size,
                            std::vector<ExclusionEntry>& out) {
    size_t pos = kExclusionSignatureBytes;
    try {
        for (int n = 0; n < kExclusionLimit; ++n) {
            ExclusionEntry e;
            if (!readExclusionString(bytes, size, pos, e.windowName))
                return;
            if (!readExclusionString(bytes, size, pos, e.className))
                return;
            out.push_back(std::move(e));
        }
    } catch (const std::bad_alloc&) {
        // Out of memory: the entries read so far stay.
    }
}

std::vector<std::uint8_t> encodeExclusionFile(const std::vector<ExclusionEntry>& entries) {
    std::vector<std::uint8_t> out;
    for (size_t i = 0; i < kExclusionSignatureUnits; ++i)
        putUnit(out, static_cast<unsigned>(kExclusionSignature[i]));
    for (const ExclusionEntry& e : entries) {
        putString(out, e.windowName);
        putString(out, e.className);
    }
    return out;
}

ExclusionFileFound readExclusionBytes(const std::uint8_t* bytes, size_t size,
                                      std::vector<ExclusionEntry>& out) {
    if (!hasExclusionSignature(bytes, size))
        return ExclusionFileFound::Unreadable;
    std::vector<ExclusionEntry> read;
    decodeExclusionRecords(bytes, size, read);
    bool exact = false;
    try {
        const std::vector<std::uint8_t> again = encodeExclusionFile(read);
        exact = again.size() == size && std::equal(again.begin(), again.end(), bytes);
        out.reserve(out.size() + read.size());
    } catch (const std::bad_alloc&) {
        // Not proven whole: kept like a damaged file. The rules read so far still count.
    }
    for (ExclusionEntry& e : read) {
        try {
            out.push_back(std::move(e));
        } catch (const std::bad_alloc&) {
            return ExclusionFileFound::Inexact;
        }
    }
    return exact ? ExclusionFileFound::Exact : ExclusionFileFound::Inexact;
}

ExclusionSavePlan planExclusionSave(const ExclusionSaveFacts& facts) {
    ExclusionSavePlan plan;
    if (!facts.savedBefore && !facts.changed)
        return plan;
    plan.action = facts.empty ? FileSaveAction::Delete : FileSaveAction::Write;
    plan.backupFirst = !facts.savedBefore && (facts.found == ExclusionFileFound::Inexact ||
                                              facts.found == ExclusionFileFound::Unreadable);
    return plan;
}
