// KnownWindows, MinimizedPositions and SavedNormalRects: plain arrays searched linearly,
// filled by the adoption at start-up and by the tracking handlers. Main thread only.
// Growth failures leave a list as it was; nothing here throws.
#include "mainwnd/window_lists.h"

#include <cstdlib>

namespace {

// Grows an array to hold at least `needed` items, doubling from 1; false (array unchanged)
// when memory runs out.
template <typename T> bool reserveFor(T*& items, int& capacity, int needed) {
    if (needed <= capacity)
        return true;
    int grown = capacity > 0 ? capacity * 2 : 1;
    while (grown < needed)
        grown *= 2;
    void* moved = std::realloc(items, sizeof(T) * static_cast<size_t>(grown));
    if (!moved)
        return false;
    items = static_cast<T*>(moved);
    capacity = grown;
    return true;
}

template <typename T> int indexOf(const T* items, int count, HWND window) {
    for (int i = 0; i < count; ++i)
        if (items[i].window == window)
            return i;
    return -1;
}

// Removal keeps insertion order, as the lists are searched front to back.
template <typename T> void removeAt(T* items, int& count, int index) {
    for (int i = index + 1; i < count; ++i)
        items[i - 1] = items[i];
    --count;
}

struct KnownEntry {
    HWND window;
};
KnownEntry* known = nullptr;
int knownCount = 0;
int knownCapacity = 0;

struct MinimizedEntry {
    HWND window;
    std::uint32_t packed;
    bool waitedFor;
};
MinimizedEntry* minimized = nullptr;
int minimizedCount = 0;
int minimizedCapacity = 0;

// Each rectangle is its own allocation, freed on destroy and at shut-down.
struct SavedEntry {
    HWND window;
    RECT* rect;
};
SavedEntry* saved = nullptr;
int savedCount = 0;
int savedCapacity = 0;

template <typename T> ListCount countOf(const T* items, int count) {
    ListCount c{count, 0};
    for (int i = 0; i < count; ++i)
        c.gone += !IsWindow(items[i].window);
    return c;
}

} // namespace

void addKnownWindow(HWND window) {
    if (indexOf(known, knownCount, window) >= 0)
        return;
    if (!reserveFor(known, knownCapacity, knownCount + 1))
        return;
    known[knownCount++] = KnownEntry{window};
}

bool isKnownWindow(HWND window) {
    return indexOf(known, knownCount, window) >= 0;
}

void forgetKnownWindow(HWND window) {
    int i = indexOf(known, knownCount, window);
    if (i >= 0)
        removeAt(known, knownCount, i);
}

void setMinimizedPosition(HWND window, std::uint32_t packed) {
    int i = indexOf(minimized, minimizedCount, window);
    if (i >= 0) {
        minimized[i] = MinimizedEntry{window, packed, false};
        return;
    }
    if (!reserveFor(minimized, minimizedCapacity, minimizedCount + 1))
        return;
    minimized[minimizedCount++] = MinimizedEntry{window, packed, false};
}

bool findMinimizedPosition(HWND window, std::uint32_t& packed) {
    const int i = indexOf(minimized, minimizedCount, window);
    if (i < 0)
        return false;
    packed = minimized[i].packed;
    return true;
}

bool takeMinimizedPosition(HWND window, std::uint32_t& packed) {
    int i = indexOf(minimized, minimizedCount, window);
    if (i < 0)
        return false;
    packed = minimized[i].packed;
    removeAt(minimized, minimizedCount, i);
    return true;
}

void forgetMinimizedPosition(HWND window) {
    int i = indexOf(minimized, minimizedCount, window);
    if (i >= 0)
        removeAt(minimized, minimizedCount, i);
}

void markMinimizedWaitedFor(HWND window) {
    const int i = indexOf(minimized, minimizedCount, window);
    if (i >= 0)
        minimized[i].waitedFor = true;
}

bool minimizedWaitedFor(HWND window) {
    const int i = indexOf(minimized, minimizedCount, window);
    return i >= 0 && minimized[i].waitedFor;
}

void saveNormalRect(HWND window, const RECT& rect) {
    int i = indexOf(saved, savedCount, window);
    if (i >= 0) {
        *saved[i].rect = rect;
        return;
    }
    if (!reserveFor(saved, savedCapacity, savedCount + 1))
        return;
    RECT* record = static_cast<RECT*>(std::malloc(sizeof(RECT)));
    if (!record)
        return;
    *record = rect;
    saved[savedCount++] = SavedEntry{window, record};
}

bool findSavedNormalRect(HWND window, RECT& rect) {
    int i = indexOf(saved, savedCount, window);
    if (i < 0)
        return false;
    rect = *saved[i].rect;
    return true;
}

void forgetSavedNormalRect(HWND window) {
    int i = indexOf(saved, savedCount, window);
    if (i < 0)
        return;
    std::free(saved[i].rect);
    removeAt(saved, savedCount, i);
}

void freeSavedNormalRects() {
    for (int i = 0; i < savedCount; ++i)
        std::free(saved[i].rect);
    std::free(saved);
    saved = nullptr;
    savedCount = 0;
    savedCapacity = 0;
}

void forgetGoneWindows() {
    for (int i = knownCount - 1; i >= 0; --i)
        if (!IsWindow(known[i].window))
            removeAt(known, knownCount, i);
    for (int i = minimizedCount - 1; i >= 0; --i)
        if (!IsWindow(minimized[i].window))
            removeAt(minimized, minimizedCount, i);
    for (int i = savedCount - 1; i >= 0; --i)
        if (!IsWindow(saved[i].window)) {
            std::free(saved[i].rect);
            removeAt(saved, savedCount, i);
        }
}

ListCount countKnownWindows() {
    return countOf(known, knownCount);
}

ListCount countMinimizedPositions() {
    return countOf(minimized, minimizedCount);
}

ListCount countSavedNormalRects() {
    return countOf(saved, savedCount);
}

void resetWindowLists() {
    std::free(known);
    known = nullptr;
    knownCount = knownCapacity = 0;
    std::free(minimized);
    minimized = nullptr;
    minimizedCount = minimizedCapacity = 0;
    freeSavedNormalRects();
}
