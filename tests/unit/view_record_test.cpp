// The view record's bytes and the start's choice between it and the start position.
#include "core/view_record.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>

namespace {

const ViewRecord kRecord{{2048, 768}, 3, 2, {1024, 768}, {13'400'000'000'123, 0x1234'5678'9ABC}};

// kRecord with one change.
template <typename Change> ViewRecord with(Change change) {
    ViewRecord r = kRecord;
    change(r);
    return r;
}

TEST(ViewRecordCodec, RoundTripsEveryField) {
    const ViewRecord records[] = {
        kRecord,
        // Extremes of every field: a display change can leave any origin behind.
        {{INT_MIN, INT_MAX}, 5, 5, {65535, 65535}, {LLONG_MIN, ~0ull}},
        {{-1, -1}, 1, 1, {1, 1}, {-1, 0}},
    };
    for (const ViewRecord& r : records) {
        const ViewRecordBytes bytes = encodeViewRecord(r);
        EXPECT_EQ(decodeViewRecord(bytes.data(), bytes.size()), r);
    }
    // Little-endian behind a four-letter signature: the origin's x comes first.
    const ViewRecordBytes bytes = encodeViewRecord(kRecord);
    EXPECT_EQ(std::memcmp(bytes.data(), "ORVW", 4), 0);
    EXPECT_EQ(bytes[8], 0x00);
    EXPECT_EQ(bytes[9], 0x08);
}

TEST(ViewRecordCodec, AnythingButAWholeRecordIsNoRecord) {
    const ViewRecordBytes whole = encodeViewRecord(kRecord);
    for (std::size_t n = 0; n < whole.size(); ++n)
        EXPECT_FALSE(decodeViewRecord(whole.data(), n)) << "cut to " << n << " bytes";
    std::uint8_t longer[kViewRecordBytes + 1] = {};
    std::memcpy(longer, whole.data(), whole.size());
    EXPECT_FALSE(decodeViewRecord(longer, sizeof longer));
    EXPECT_FALSE(decodeViewRecord(nullptr, kViewRecordBytes));

    // Any byte damaged, in any bit, is seen.
    for (std::size_t i = 0; i < whole.size(); ++i)
        for (std::uint8_t flip : {0x01, 0x80, 0xFF}) {
            ViewRecordBytes damaged = whole;
            damaged[i] ^= flip;
            EXPECT_FALSE(decodeViewRecord(damaged.data(), damaged.size())) << "byte " << i;
        }
    ViewRecordBytes zeros{};
    EXPECT_FALSE(decodeViewRecord(zeros.data(), zeros.size()));

    // Whole and summed, but no area or screen the program could have measured.
    for (const ViewRecord& bad :
         {with([](ViewRecord& r) { r.columns = 0; }), with([](ViewRecord& r) { r.rows = 6; }),
          with([](ViewRecord& r) { r.screen.w = 0; }),
          with([](ViewRecord& r) { r.screen.h = 65536; }),
          with([](ViewRecord& r) { r.screen.w = -1024; })}) {
        const ViewRecordBytes bytes = encodeViewRecord(bad);
        EXPECT_FALSE(decodeViewRecord(bytes.data(), bytes.size()))
            << bad.columns << "x" << bad.rows << " on " << bad.screen.w << "x" << bad.screen.h;
    }
}

TEST(ResumedViewOrigin, TableOfRecordsAndSessions) {
    const ViewSession now = kRecord.session;
    const Point fallback{0, 0};
    const Size screen{1024, 768};
    struct Case {
        const char* why;
        std::optional<ViewRecord> stored;
        Point expect;
    } cases[] = {
        {"no record", std::nullopt, fallback},
        {"this session, this area", kRecord, {2048, 768}},
        {"clock corrected within the tolerance",
         with([](ViewRecord& r) { r.session.bootMs -= kSameBootToleranceMs; }),
         {2048, 768}},
        {"written by a later reading of the clock",
         with([](ViewRecord& r) { r.session.bootMs += kSameBootToleranceMs; }),
         {2048, 768}},
        {"another boot", with([](ViewRecord& r) { r.session.bootMs -= kSameBootToleranceMs + 1; }),
         fallback},
        {"another sign-in of the same boot", with([](ViewRecord& r) { r.session.logonId ^= 1; }),
         fallback},
        {"other columns", with([](ViewRecord& r) { r.columns = 2; }), fallback},
        {"other rows", with([](ViewRecord& r) { r.rows = 3; }), fallback},
        {"other screen width", with([](ViewRecord& r) { r.screen.w = 1280; }), fallback},
        {"other screen height", with([](ViewRecord& r) { r.screen.h = 1024; }), fallback},
        // Left beyond the area by a screen that shrank while the program ran.
        {"beyond the far border",
         with([](ViewRecord& r) {
             r.origin = {5000, 900};
         }),
         {2048, 768}},
        {"before the near border",
         with([](ViewRecord& r) {
             r.origin = {-3, INT_MIN};
         }),
         {0, 0}},
        {"boot times far apart overflow no check",
         with([](ViewRecord& r) { r.session.bootMs = LLONG_MIN; }), fallback},
    };
    for (const Case& c : cases)
        EXPECT_EQ(resumedViewOrigin(c.stored, now, 3, 2, screen, fallback), c.expect) << c.why;
    ViewSession far = now;
    far.bootMs = LLONG_MAX;
    EXPECT_EQ(resumedViewOrigin(with([](ViewRecord& r) { r.session.bootMs = LLONG_MIN; }), far, 3,
                                2, screen, fallback),
              fallback);
}

} // namespace
