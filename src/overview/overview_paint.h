// The overview's drawing: the full rebuild that captures every window, the cached repaint,
// the grid, the view outline and the hover frame. Called by the overview window procedure
// and the Win32 tests; reads Settings, RealScreenSize, ViewOrigin and OverviewState.
#pragma once

#include "core/geometry.h"
#include "overview/overview_layout.h"

#include <windows.h>

constexpr int kStatusBarId = 102;

// The pictures are 32-bit device-independent bitmaps, which any paint context takes as
// they are. A compatible bitmap would be the display's own; under Wine that is a pixmap of
// the X server, a round trip to make and another to copy into the window, per window.
HBITMAP pictureBitmap(HDC dc, Size size);

// The client area less the status bar; false when it cannot be read or is empty.
bool readPictureArea(HWND window, Size& picture);
AreaShape currentArea();

// WM_PAINT.
void paintOverview(HWND window);
// For an opening: when the picture is coarse, collects the windows and starts asking their
// programs for what the plates show, which the first rebuild then takes.
void prefetchPicture();
// Fills the picture, draws the grid and every managed window (coarse or fine as the
// settings say) into dc, filling OverviewState.thumbnails. Coarse plates take what an
// opening's prefetchPicture asked ahead, when there is such; otherwise they are asked
// here. A fine picture shows a window whose program does not answer as its plate.
// `window` is the overview painted (null: a bitmap of the caller's): when it is closed
// while the programs are asked, the rebuild stops and keeps no pictures.
void rebuildPicture(HDC dc, Size picture, HWND window = nullptr);
// One window's picture at the overview's scale, drawn into dc at its place; null when the
// window cannot be drawn (or, for a plate, has no title). A coarse plate needs one memory
// context, a fine thumbnail two; the fine one leaves in its capture context a bitmap for
// the next capture, which the caller frees with the context.
HBITMAP drawCoarsePlate(HDC dc, HDC memory, HWND window, Size picture);
HBITMAP drawFineThumbnail(HDC dc, HDC capture, HDC scaling, HWND window, Size picture);
// The XOR dotted frame under the pointer: `erase` removes the one last drawn, `draw`
// draws it at the pointer (where the current message says when `fromMessage`) and
// remembers it.
void drawHoverHighlight(HWND window, HDC dc, bool erase, bool draw, bool fromMessage);
