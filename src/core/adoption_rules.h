// The arithmetic of adopting the windows found at start-up: the rectangle a maximized
// window reports for itself and the packed virtual position of a minimized one.
// Portable; adoptExistingWindows (viewport.cpp) applies them.
#pragma once

#include "core/geometry.h"
#include "hook/packed_position.h"

#include <cstdint>

// The normal rectangle that keeps a formerly maximized window where it was: its reported
// maximized position and size.
constexpr Rect reportedMaximizedRect(Point maxPosition, Point maxSize) {
    return rectAt(maxPosition, maxSize);
}

// A minimized window's normal top-left corner as a virtual position, packed into 16-bit
// halves (what the minimized-window list stores).
constexpr std::uint32_t minimizedVirtualPosition(Point normalTopLeft, Point viewOrigin) {
    return static_cast<std::uint32_t>(
        packPosition(normalTopLeft.x + viewOrigin.x, normalTopLeft.y + viewOrigin.y));
}
