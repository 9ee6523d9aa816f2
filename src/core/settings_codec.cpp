// The 84-byte settings image: 42 UTF-16LE code units, flags as '0'/'1', numbers as
// zero-padded digits ended by NUL units. Decoding never fails: each damaged field falls
// back on its own value, so a half-broken file still yields a usable record.
#include "core/settings.h"

#include <algorithm>
#include <climits>
#include <cstdint>

SettingsRecord Settings;

namespace {

int flagOf(char16_t u) { return u != u'0' ? 1 : 0; }
char16_t unitOf(int flag) { return flag ? u'1' : u'0'; }

int clampInt(long long v, int lo, int hi) {
    return static_cast<int>(std::clamp<long long>(v, lo, hi));
}

bool isBlank(char16_t u) { return u == u' ' || (u >= u'\t' && u <= u'\r'); }

// Writes v zero-padded to at least `width` digits into a buffer one unit longer than the
// field, as a bounded formatter would, then keeps only the field's own width: a longer
// number is cut to its leading digits and the image keeps its size.
void putDigits(SettingsImage& img, int pos, int width, unsigned v) {
    char16_t digits[12];
    int n = 0;
    do {
        digits[n++] = static_cast<char16_t>(u'0' + v % 10);
        v /= 10;
    } while (v != 0);
    while (n < width) digits[n++] = u'0';
    for (int i = 0; i < width; ++i) img[pos + i] = digits[n - 1 - i];
}

} // namespace

int parseDecimal(const char16_t* units, int count) {
    int i = 0;
    while (i < count && isBlank(units[i])) ++i;
    bool negative = false;
    if (i < count && (units[i] == u'+' || units[i] == u'-')) {
        negative = units[i] == u'-';
        ++i;
    }
    long long v = 0;
    for (; i < count && units[i] >= u'0' && units[i] <= u'9'; ++i) {
        v = v * 10 + (units[i] - u'0');
        if (v > INT_MAX) v = static_cast<long long>(INT_MAX) + 1; // saturate, keep scanning
    }
    if (negative) v = -v;
    return clampInt(v, INT_MIN, INT_MAX);
}

SettingsRecord decodeSettings(const SettingsImage& u) {
    // A number runs from its first unit to the first non-digit, which may lie past its
    // own field when a separator was damaged; the scan is bounded by the image.
    auto number = [&](int pos) { return parseDecimal(u.data() + pos, kSettingsUnits - pos); };

    SettingsRecord s;
    s.scrollEnabled = flagOf(u[0]);
    s.trayClickTogglesScroll = flagOf(u[1]);
    s.edgeMiddleClickToggles = flagOf(u[2]);
    s.startPosition = u[3];
    s.continueAtEdge = flagOf(u[4]);
    s.ctrlHoldMode = flagOf(u[5]);
    switch (u[6]) {
    case u'0': s.toggleKey = kToggleNone; break;
    case u'c': s.toggleKey = kToggleCapsLock; break;
    case u'n': s.toggleKey = kToggleNumLock; break;
    default: s.toggleKey = kToggleScrollLock; break;
    }
    // After continueAtEdge: showing the overview instead of moving excludes continuing.
    switch (u[7]) {
    case u'0': s.moveDisplay = 0; break;
    case u'o':
        s.moveDisplay = u'o';
        s.continueAtEdge = 0;
        break;
    default: s.moveDisplay = u'b'; break;
    }
    s.coarseOverview = flagOf(u[8]);
    s.columns = (u[9] >= u'2' && u[9] <= u'5') ? u[9] - u'0' : 1;
    s.rows = (u[10] >= u'2' && u[10] <= u'5') ? u[10] - u'0' : 1;
    s.acceleration = clampInt(number(11), 0, 10);
    s.delay = clampInt(static_cast<long long>(number(14)) * 10, 0, 100);
    s.trackWhenOff = flagOf(u[17]);
    // One digit on disk; a damaged separator could run it on into the next fields.
    s.trackLevel = clampInt(number(18), 0, 9);
    s.edgePointer = flagOf(u[20]);
    s.overviewWidth = number(21);
    s.overviewHeight = number(27);
    s.crossCursor = flagOf(u[33]);
    s.moveIcons = flagOf(u[34]);
    s.reverseDirection = flagOf(u[35]);
    s.newWindowToEmpty = flagOf(u[36]);
    s.shiftTogglesNewWindow = flagOf(u[37]);
    s.trackByScreen = flagOf(u[38]);
    s.delayNoMove = flagOf(u[39]);
    s.moveByScreen = flagOf(u[40]);
    s.keepIconPositions = flagOf(u[41]);
    return s;
}

SettingsImage encodeSettings(const SettingsRecord& s) {
    SettingsImage u{}; // separators at 13, 16, 19, 26 and 32 stay 0x0000
    u[0] = unitOf(s.scrollEnabled);
    u[1] = unitOf(s.trayClickTogglesScroll);
    u[2] = unitOf(s.edgeMiddleClickToggles);
    u[3] = s.startPosition;
    u[4] = unitOf(s.continueAtEdge);
    u[5] = unitOf(s.ctrlHoldMode);
    switch (s.toggleKey) {
    case kToggleNone: u[6] = u'0'; break;
    case kToggleCapsLock: u[6] = u'c'; break;
    case kToggleNumLock: u[6] = u'n'; break;
    default: u[6] = u's'; break;
    }
    u[7] = s.moveDisplay == 0 ? u'0' : (s.moveDisplay == u'o' ? u'o' : u'b');
    u[8] = unitOf(s.coarseOverview);
    u[9] = static_cast<char16_t>(u'0' + std::clamp(s.columns, 1, 5));
    u[10] = static_cast<char16_t>(u'0' + std::clamp(s.rows, 1, 5));
    putDigits(u, 11, 2, static_cast<unsigned>(std::clamp(s.acceleration, 0, 10)));
    putDigits(u, 14, 2, static_cast<unsigned>(std::clamp(s.delay, 0, 100) / 10));
    u[17] = unitOf(s.trackWhenOff);
    putDigits(u, 18, 1, static_cast<unsigned>(std::clamp(s.trackLevel, 0, 9)));
    u[20] = unitOf(s.edgePointer);
    putDigits(u, 21, 5, static_cast<unsigned>(std::clamp(s.overviewWidth, 0, 99999)));
    putDigits(u, 27, 5, static_cast<unsigned>(std::clamp(s.overviewHeight, 0, 99999)));
    u[33] = unitOf(s.crossCursor);
    u[34] = unitOf(s.moveIcons);
    u[35] = unitOf(s.reverseDirection);
    u[36] = unitOf(s.newWindowToEmpty);
    u[37] = unitOf(s.shiftTogglesNewWindow);
    u[38] = unitOf(s.trackByScreen);
    u[39] = unitOf(s.delayNoMove);
    u[40] = unitOf(s.moveByScreen);
    u[41] = unitOf(s.keepIconPositions);
    return u;
}

SettingsImage settingsImageFromBytes(const std::array<std::uint8_t, kSettingsFileBytes>& bytes) {
    SettingsImage u{};
    for (int i = 0; i < kSettingsUnits; ++i)
        u[i] = static_cast<char16_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8));
    return u;
}

std::array<std::uint8_t, kSettingsFileBytes> settingsBytesFromImage(const SettingsImage& u) {
    std::array<std::uint8_t, kSettingsFileBytes> bytes{};
    for (int i = 0; i < kSettingsUnits; ++i) {
        bytes[2 * i] = static_cast<std::uint8_t>(u[i] & 0xFF);
        bytes[2 * i + 1] = static_cast<std::uint8_t>(u[i] >> 8);
    }
    return bytes;
}

SettingsFileReading readSettingsBytes(const std::uint8_t* bytes, std::size_t size) {
    SettingsFileReading r;
    r.keepBeforeSave = size != kSettingsFileBytes;
    if (size < kSettingsFileBytes)
        return r;
    std::array<std::uint8_t, kSettingsFileBytes> first{};
    std::copy(bytes, bytes + kSettingsFileBytes, first.begin());
    r.hasRecord = true;
    r.record = decodeSettings(settingsImageFromBytes(first));
    return r;
}

bool settingsBytesWhole(const std::uint8_t* bytes, std::size_t size) {
    const SettingsFileReading r = readSettingsBytes(bytes, size);
    if (!r.hasRecord || r.keepBeforeSave)
        return false;
    const auto again = settingsBytesFromImage(encodeSettings(r.record));
    return std::equal(again.begin(), again.end(), bytes);
}
