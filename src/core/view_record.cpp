// The view record's bytes and the start's choice between the record and the start position.
#include "core/view_record.h"

#include <algorithm>

namespace {

constexpr std::uint8_t kSignature[4] = {'O', 'R', 'V', 'W'};
constexpr std::uint16_t kVersion = 1;
constexpr std::size_t kSumOffset = kViewRecordBytes - 4;
constexpr int kLargestScreenSide = 65535; // what a display change can report

// FNV-1a: a damaged byte anywhere changes it.
std::uint32_t checkSum(const std::uint8_t* bytes, std::size_t size) {
    std::uint32_t h = 2166136261u;
    for (std::size_t i = 0; i < size; ++i) {
        h ^= bytes[i];
        h *= 16777619u;
    }
    return h;
}

struct Writer {
    ViewRecordBytes& out;
    std::size_t at = 0;
    void put(std::uint64_t v, int bytes) {
        for (int i = 0; i < bytes; ++i)
            out[at++] = static_cast<std::uint8_t>(v >> (8 * i));
    }
};

struct Reader {
    const std::uint8_t* in;
    std::size_t at = 0;
    std::uint64_t take(int bytes) {
        std::uint64_t v = 0;
        for (int i = 0; i < bytes; ++i)
            v |= static_cast<std::uint64_t>(in[at++]) << (8 * i);
        return v;
    }
    int takeInt() { return static_cast<int>(static_cast<std::int32_t>(take(4))); }
};

} // namespace

ViewRecordBytes encodeViewRecord(const ViewRecord& r) {
    ViewRecordBytes out{};
    Writer w{out};
    for (std::uint8_t b : kSignature)
        w.put(b, 1);
    w.put(kVersion, 2);
    w.put(0, 2);
    for (int v : {r.origin.x, r.origin.y, r.columns, r.rows, r.screen.w, r.screen.h})
        w.put(static_cast<std::uint32_t>(v), 4);
    w.put(static_cast<std::uint64_t>(r.session.bootMs), 8);
    w.put(r.session.logonId, 8);
    w.put(checkSum(out.data(), kSumOffset), 4);
    return out;
}

std::optional<ViewRecord> decodeViewRecord(const std::uint8_t* bytes, std::size_t size) {
    if (bytes == nullptr || size != kViewRecordBytes ||
        !std::equal(std::begin(kSignature), std::end(kSignature), bytes))
        return std::nullopt;
    Reader in{bytes, sizeof kSignature};
    if (in.take(2) != kVersion || in.take(2) != 0)
        return std::nullopt;
    ViewRecord r;
    r.origin.x = in.takeInt();
    r.origin.y = in.takeInt();
    r.columns = in.takeInt();
    r.rows = in.takeInt();
    r.screen.w = in.takeInt();
    r.screen.h = in.takeInt();
    r.session.bootMs = static_cast<std::int64_t>(in.take(8));
    r.session.logonId = in.take(8);
    if (in.take(4) != checkSum(bytes, kSumOffset))
        return std::nullopt;
    const auto within = [](int v, int lo, int hi) { return v >= lo && v <= hi; };
    if (!within(r.columns, 1, 5) || !within(r.rows, 1, 5) ||
        !within(r.screen.w, 1, kLargestScreenSide) || !within(r.screen.h, 1, kLargestScreenSide))
        return std::nullopt;
    return r;
}

bool sameViewSession(const ViewSession& a, const ViewSession& b) {
    if (a.logonId != b.logonId)
        return false;
    // In unsigned arithmetic the distance of any two readings fits without overflow.
    const auto lo = static_cast<std::uint64_t>(std::min(a.bootMs, b.bootMs));
    const auto hi = static_cast<std::uint64_t>(std::max(a.bootMs, b.bootMs));
    return hi - lo <= static_cast<std::uint64_t>(kSameBootToleranceMs);
}

Point resumedViewOrigin(const std::optional<ViewRecord>& stored, const ViewSession& now,
                        int columns, int rows, Size screen, Point fromStartPosition) {
    if (!stored || !sameViewSession(stored->session, now) || stored->columns != columns ||
        stored->rows != rows || stored->screen != screen)
        return fromStartPosition;
    // A display change keeps the origin of a larger screen; the area now ends sooner.
    const long long m = static_cast<long long>(columns - 1) * screen.w;
    const long long n = static_cast<long long>(rows - 1) * screen.h;
    return {static_cast<int>(std::clamp<long long>(stored->origin.x, 0, m)),
            static_cast<int>(std::clamp<long long>(stored->origin.y, 0, n))};
}
