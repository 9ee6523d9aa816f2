// The exclusion rules as plain data and the test that matches a window against them.
// Portable: exclusion.cpp supplies the window's title through a reader, the list window
// edits the entries. Strings hold UTF-16 code units, one per wchar_t.
#pragma once

#include <string>
#include <vector>

inline constexpr int kNoImageIndex = -2;         // no icon looked up yet, or none found
inline constexpr int kExclusionLimit = 128;      // entries the loader reads and find mode allows
inline constexpr int kExclusionTextLimit = 4095; // units of a class or window name

struct ExclusionEntry {
    std::wstring className;
    int imageIndex = kNoImageIndex;
    std::wstring windowName; // "*" alone matches every title
};

struct ExclusionListRecord {
    std::vector<ExclusionEntry> entries;
    int candidateIndex = -1; // the unconfirmed find-mode entry, -1 when there is none
};

// Removes the unconfirmed find-mode candidate, if any, so that it is never saved.
void removeCandidate(ExclusionListRecord& list);

// How names are compared: below, equal or above zero like a three-way string comparison.
// The program compares in the user's locale; compareOrdinal is unit by unit.
using TextCompare = int (*)(const wchar_t* a, const wchar_t* b);
int compareOrdinal(const wchar_t* a, const wchar_t* b);
// Equal by `compare`; identical strings are equal without asking it.
bool sameText(const std::wstring& s, const wchar_t* text, TextCompare compare);

// True when some entry names `className` (whatever its title); null matches nothing.
bool namesClass(const std::vector<ExclusionEntry>& entries, const wchar_t* className,
                TextCompare compare);

// Copies the window's title into `buffer` (room for `capacity` units, terminator included)
// and returns the units copied.
using TitleReader = int (*)(void* context, wchar_t* buffer, int capacity);

// True when some entry names `className` and either "*" or the exact title. The title is
// read only for an entry of that class whose pattern has `titleLength` units, into one
// buffer allocated at the first such entry; if that allocation fails the window counts as
// not excluded. A null className matches nothing.
bool matchesExclusion(const std::vector<ExclusionEntry>& entries, int titleLength,
                      const wchar_t* className, TitleReader readTitle, void* context,
                      TextCompare compare);

// How a window's class name is read: a buffer starting at 4 units and growing by 4 until
// the answer leaves at least two units to spare, for buffers below 4,096 units.
inline constexpr int kClassBufferStart = 4;
inline constexpr int kClassBufferFirst = 260; // the first read, large enough for any class
inline constexpr int kClassBufferStep = 4;
inline constexpr int kClassBufferLimit = 4096;
// `copied` is GetClassNameW's answer for a buffer of `bufferSize` units.
bool classNameComplete(int copied, int bufferSize);
