// What the collector remembers of each window between collections: the facts a window
// keeps for its whole life (its thread, whether it is ours, whether it is a window of
// the desktop rather than a message-only window, its class name). Every shift
// collects every window, and under a remote window server each of these facts is a round
// trip; the style and the rectangle, which do change, are still read every time.
// A window not met by a collection is forgotten at its end, so a handle stays in memory
// only while its window is listed by the system. Portable; main thread only.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>

struct RememberedWindow {
    std::uint32_t thread = 0;
    bool ownProcess = false;
    bool topLevel = false;
    bool hasClassName = false;
    std::wstring className;
    std::uint32_t metInRound = 0;
};

struct WindowMemoryRecord {
    std::unordered_map<std::uintptr_t, RememberedWindow> windows;
    std::uint32_t round = 0;
};

// A collection starts; windows it does not look up are forgotten by endCollection.
void beginCollection(WindowMemoryRecord& memory);
// The window's remembered facts, marked as met, or null when it is not remembered.
RememberedWindow* recallWindow(WindowMemoryRecord& memory, std::uintptr_t window);
// Remembers a window's thread, owner and place in the window tree; null when memory runs
// out (the caller then reads the facts afresh next time).
RememberedWindow* rememberWindow(WindowMemoryRecord& memory, std::uintptr_t window,
                                 std::uint32_t thread, bool ownProcess, bool topLevel);
// Stores the class name on an entry; false when memory runs out (nothing stored).
bool rememberClassName(RememberedWindow& entry, const wchar_t* text, int length);
// Forgets every window the collection did not meet. Skipped after a failed enumeration,
// which may have stopped before meeting windows that still exist.
void endCollection(WindowMemoryRecord& memory);
void forgetAllWindows(WindowMemoryRecord& memory);
