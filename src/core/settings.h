// The persisted options (`Settings`) and the codec of their 84-byte file. Portable: the
// file's reading and writing through Win32 live in settings_file.cpp.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

struct SettingsRecord {
    int scrollEnabled = 1;
    int trayClickTogglesScroll = 0;
    int edgeMiddleClickToggles = 1;
    char16_t startPosition = u't';
    int continueAtEdge = 0;
    int ctrlHoldMode = 1;
    int toggleKey = 0x91; // VK_SCROLL
    char16_t moveDisplay = 0;
    int coarseOverview = 1;
    int columns = 2;
    int rows = 2;
    int acceleration = 0;
    int delay = 0;
    int trackWhenOff = 1;
    int trackLevel = 5;
    int edgePointer = 1;
    int overviewWidth = 0;
    int overviewHeight = 0;
    int crossCursor = 0;
    int moveIcons = 0;
    int reverseDirection = 0;
    int newWindowToEmpty = 1;
    int shiftTogglesNewWindow = 0;
    int trackByScreen = 1;
    int delayNoMove = 1;
    int moveByScreen = 0;
    int keepIconPositions = 0;

    friend bool operator==(const SettingsRecord&, const SettingsRecord&) = default;
};

// Lock keys that may switch movement (virtual-key codes).
constexpr int kToggleNone = 0;
constexpr int kToggleCapsLock = 0x14;
constexpr int kToggleNumLock = 0x90;
constexpr int kToggleScrollLock = 0x91;

// The process-wide record; main thread only (the overlay thread reads three fields).
extern SettingsRecord Settings;

constexpr int kSettingsUnits = 42;
constexpr int kSettingsFileBytes = kSettingsUnits * 2;
using SettingsImage = std::array<char16_t, kSettingsUnits>;

// Decodes the 42 code units of the file; every damaged field falls back on its own.
SettingsRecord decodeSettings(const SettingsImage& units);
SettingsImage encodeSettings(const SettingsRecord& s);

// Little-endian byte forms of the same image, as stored on disk.
SettingsImage settingsImageFromBytes(const std::array<std::uint8_t, kSettingsFileBytes>& bytes);
std::array<std::uint8_t, kSettingsFileBytes> settingsBytesFromImage(const SettingsImage& units);

// The `_wtoi` rule over a fixed window of code units: blanks, a sign, digits up to the
// first other unit; no digits give 0. Saturates instead of overflowing.
int parseDecimal(const char16_t* units, int count);

// What start-up makes of the bytes found in Orvalis.dat. Exactly 84 bytes are the record.
// Any other length is not what the program writes, yet may be the user's: the file is kept
// under a backup name before the first save replaces it, and when it holds a whole record
// (84 bytes or more, say one stray byte after it) the first 84 bytes are still read.
struct SettingsFileReading {
    bool hasRecord = false; // false: the defaults stay
    SettingsRecord record;
    bool keepBeforeSave = false;
};
SettingsFileReading readSettingsBytes(const std::uint8_t* bytes, std::size_t size);

// True when the bytes are exactly what a save writes for the record they hold: only such a
// left-over temporary file may stand in for a missing settings file.
bool settingsBytesWhole(const std::uint8_t* bytes, std::size_t size);
