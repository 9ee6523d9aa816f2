// The view record's file through Win32 calls, and the session identity it carries.
#include "core/view_file.h"

#include "core/file_replace.h"
#include "core/file_saver.h"
#include "core/settings.h"
#include "core/view.h"

#include <shlwapi.h>

#include <new>

namespace {

// The sign-in's number, read once: it does not change while the process lives.
std::uint64_t logonId() {
    static const std::uint64_t id = [] {
        std::uint64_t value = 0;
        HANDLE token = nullptr;
        if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token))
            return value;
        TOKEN_STATISTICS stats{};
        DWORD size = 0;
        if (GetTokenInformation(token, TokenStatistics, &stats, sizeof stats, &size))
            value = (static_cast<std::uint64_t>(
                         static_cast<std::uint32_t>(stats.AuthenticationId.HighPart))
                     << 32) |
                    stats.AuthenticationId.LowPart;
        CloseHandle(token);
        return value;
    }();
    return id;
}

// Anything that is not a whole record is not worth keeping as a stand-in.
bool wholeViewRecord(const std::vector<std::uint8_t>& bytes) {
    return decodeViewRecord(bytes.data(), bytes.size()).has_value();
}

} // namespace

bool viewRecordPath(wchar_t (&path)[260]) {
    const DWORD n = GetModuleFileNameW(nullptr, path, 260);
    if (n == 0 || n >= 260)
        return false;
    return PathRenameExtensionW(path, L".view") != FALSE;
}

ViewSession currentViewSession() {
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    const std::uint64_t ticks100ns =
        (static_cast<std::uint64_t>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
    const auto nowMs = static_cast<std::int64_t>(ticks100ns / 10000);
    return {nowMs - static_cast<std::int64_t>(GetTickCount64()), logonId()};
}

std::optional<ViewRecord> readViewRecord(const wchar_t* path) {
    std::vector<std::uint8_t> bytes;
    try {
        if (readFileWhole(path, kViewRecordBytes, wholeViewRecord, bytes) != FileRead::Read)
            return std::nullopt;
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
    return decodeViewRecord(bytes.data(), bytes.size());
}

Point resumeViewOrigin(Point fromStartPosition) {
    wchar_t path[260];
    if (!viewRecordPath(path))
        return fromStartPosition;
    return resumedViewOrigin(readViewRecord(path), currentViewSession(), Settings.columns,
                             Settings.rows, RealScreenSize, fromStartPosition);
}

void recordViewAt(const wchar_t* path) {
    const ViewRecord r{ViewOrigin, Settings.columns, Settings.rows, RealScreenSize,
                       currentViewSession()};
    const ViewRecordBytes bytes = encodeViewRecord(r);
    try {
        queueFrequentFileSave(path, std::vector<std::uint8_t>(bytes.begin(), bytes.end()),
                              kViewRecordIntervalMs);
    } catch (const std::bad_alloc&) {
        // dropped like a failed save: the next move writes it
    }
}

void recordView() {
    // Built once: this runs after every move of the view.
    static wchar_t path[260];
    static const bool havePath = viewRecordPath(path);
    if (havePath)
        recordViewAt(path);
}
