// The view record "Orvalis.view": where the view stood in the virtual area, the area and
// screen it was measured on, and the Windows session that wrote it. The next start in the
// same session resumes there, so that every window keeps its virtual place across an
// exit, a kill or a crash. Portable: view_file.cpp reads and writes the file.
#pragma once

#include "core/geometry.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

// Which start of Windows and which sign-in a record comes from. The boot time is the
// system clock less the time since Windows started, in milliseconds since 1601; the
// logon id is the sign-in's own number, which a new sign-in (or a start after a
// shutdown that only hibernated the system) never shares with the one before.
struct ViewSession {
    std::int64_t bootMs = 0;
    std::uint64_t logonId = 0;
    friend bool operator==(const ViewSession&, const ViewSession&) = default;
};

struct ViewRecord {
    Point origin;
    int columns = 1;
    int rows = 1;
    Size screen;
    ViewSession session;
    friend bool operator==(const ViewRecord&, const ViewRecord&) = default;
};

// A signature, the fields as little-endian integers, then a check sum of all before it.
constexpr std::size_t kViewRecordBytes = 52;
using ViewRecordBytes = std::array<std::uint8_t, kViewRecordBytes>;

ViewRecordBytes encodeViewRecord(const ViewRecord& r);

// The record, when `bytes` are exactly what encodeViewRecord writes for a record of 1..5
// columns and rows on a screen of 1..65535 pixels each way; anything else (cut short,
// too long, damaged, another file) is no record at all.
std::optional<ViewRecord> decodeViewRecord(const std::uint8_t* bytes, std::size_t size);

// The boot time computed at two moments differs by the clock's corrections in between
// and by the drift of the tick counter against the corrected clock (weeks of running at
// 100 ppm make minutes). A start taken for the same session wrongly only starts from the
// record's place; one taken for another session wrongly loses the windows' places (the
// start then only brings those outside the area back in): hence generous.
constexpr std::int64_t kSameBootToleranceMs = 15 * 60 * 1000;

bool sameViewSession(const ViewSession& a, const ViewSession& b);

// The view origin a start takes: the stored one, brought inside the area, when the
// record comes from this session and was measured on the same area and screen;
// otherwise `fromStartPosition`.
Point resumedViewOrigin(const std::optional<ViewRecord>& stored, const ViewSession& now,
                        int columns, int rows, Size screen, Point fromStartPosition);
