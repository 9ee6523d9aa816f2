// "Orvalis.view" from anywhere: decoding never reads past the bytes, takes only records
// the program could have written, and what it takes is written back byte for byte. The
// start's choice from it always lies inside the area.
#include "core/view_record.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::optional<ViewRecord> r = decodeViewRecord(data, size);
    if (!r)
        return 0;
    if (r->columns < 1 || r->columns > 5 || r->rows < 1 || r->rows > 5 || r->screen.w < 1 ||
        r->screen.h < 1)
        std::abort();
    const ViewRecordBytes back = encodeViewRecord(*r);
    if (size != back.size() || std::memcmp(back.data(), data, size) != 0)
        std::abort();
    const Point o = resumedViewOrigin(r, r->session, r->columns, r->rows, r->screen, {-1, -1});
    const long long m = static_cast<long long>(r->columns - 1) * r->screen.w;
    const long long n = static_cast<long long>(r->rows - 1) * r->screen.h;
    if (o.x < 0 || o.x > m || o.y < 0 || o.y > n)
        std::abort();
    return 0;
}
