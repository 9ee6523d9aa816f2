// The icons of one coarse rebuild met more than once, each drawn once over each colour it
// stands on (see plateIconRuns) and copied onto the later plates. Made and dropped by the
// rebuild (overview_paint.cpp) on the main thread; it owns its tiles, not the icons.
#pragma once

#include "core/geometry.h"

#include <windows.h>

#include <vector>

class IconTiles {
  public:
    explicit IconTiles(HDC reference); // a null reference makes no tiles
    ~IconTiles();
    IconTiles(const IconTiles&) = delete;
    IconTiles& operator=(const IconTiles&) = delete;

    // The icon at `at` on a plate of `plate` pixels put together from its tiles; false
    // when it must be drawn instead (met for the first time, on an edge that is not one
    // colour, or a tile could not be made).
    bool copy(HDC memory, HICON shown, Point at, Size icon, Size plate);

  private:
    struct Tile {
        HICON icon;
        COLORREF under;
        HBITMAP bitmap;
    };
    bool metBefore(HICON shown);
    HBITMAP tileOf(HICON shown, COLORREF under, Size icon);

    HDC dc = nullptr;
    std::vector<HICON> met;
    std::vector<Tile> tiles;
};
