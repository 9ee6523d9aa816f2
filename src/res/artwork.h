// The program's artwork as drawing code: the class icons, the edge arrow cursors and the
// bitmaps of the tray glyph, the border frame, the cross cursor lines and the settings
// dialog. The generator (artgen.cpp) writes artworkFiles() for the resource script; the
// Win32 side only ever sees the compiled resources.
#pragma once

#include "res/imagefile.h"
#include "res/picture.h"

#include <string>
#include <vector>

// Colours the other parts of the program rely on by value.
constexpr Colour CheckerGreen = opaque(0x008000);
constexpr Colour CheckerSilver = opaque(0xC0C0C0);
constexpr Colour CrossGrey = opaque(0x808080);
constexpr Colour CrossBlack = opaque(0x000000);
constexpr Colour CrossWhite = opaque(0xFFFFFF);
constexpr int CrossPhaseCount = 12;

// 16 x 12 desktop picture stretched into the tray glyph's current screen.
Picture landscapePicture();
// 4 x 4 one-pixel checkerboard of the border frame, green in the top-left corner.
Picture checkerboardPicture();
// Phase k of the cross cursor's dashes: 12 x 1 (horizontal) or 1 x 12 (vertical), the
// sequence 4 grey, 4 black, 4 white turned on by k pixels, right or down.
Picture crossPhasePicture(bool vertical, int phase);
// Start-position picture of the settings dialog: a 3 x 3 grid of screens with the start
// screen marked. `position` is a start-position value: 't' (taskbar side), '1', '3',
// '5', '7' or '9' (the keypad layout: 7 top-left, 3 bottom-right, 5 centre).
Picture startPositionPicture(char position);
constexpr int StartPictureWidth = 28;
constexpr int StartPictureHeight = 22;
// The program icon at one size (16, 32 or 48 pixels square): a grid of screens, the
// current one showing the desktop landscape.
Picture programIconPicture(int size);

enum class EdgeArrow { Left, Right, Up, Down };
struct CursorArt {
    Picture picture; // 32 x 32, black outline, white body, see-through elsewhere
    int hotX = 0;    // the arrow's tip
    int hotY = 0;
};
CursorArt edgeArrowCursor(EdgeArrow direction);

// Every file the resource script names, by file name, already encoded.
struct ArtworkFile {
    std::string name;
    Bytes bytes;
};
std::vector<ArtworkFile> artworkFiles();
