// Drawing of every picture the resource script carries. Each picture is computed from a
// few colours and shapes, so a changed design is a changed line here, never a new binary.
#include "res/artwork.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

// Blends from `a` (t = 0) to `b` (t = den), alpha included.
Colour mix(Colour a, Colour b, int t, int den) {
    if (den <= 0)
        return a;
    auto channel = [&](int shift) {
        const int ca = int((a >> shift) & 255), cb = int((b >> shift) & 255);
        return Colour((ca * (den - t) + cb * t + den / 2) / den) << shift;
    };
    return channel(24) | channel(16) | channel(8) | channel(0);
}

void fillRect(Picture& p, int x, int y, int w, int h, Colour c) {
    for (int j = y; j < y + h; ++j)
        for (int i = x; i < x + w; ++i)
            p.set(i, j, c);
}

// Sky over grass with a round hill on the left. Small areas get flat colours (a
// 16-colour picture cannot hold gradients); larger ones get gradients and, from 12
// pixels wide, a sun.
void drawLandscape(Picture& p, int x0, int y0, int w, int h, bool smooth) {
    const Colour skyHigh = rgb(0x2B, 0x78, 0xD4), skyLow = rgb(0xB4, 0xDC, 0xF8);
    const Colour grassHigh = rgb(0x6C, 0xC2, 0x3E), grassLow = rgb(0x2A, 0x78, 0x2E);
    const Colour skyFlat = rgb(0x4A, 0x9E, 0xEA), grassFlat = rgb(0x3C, 0xA0, 0x3C);
    const Colour sun = rgb(0xFF, 0xD8, 0x3A);
    const int horizon = (h * 3 + 2) / 5; // first grass row away from the hill
    const double hillHeight = smooth && w >= 8 ? h * 0.2 : 0.0;
    const double hillCentre = w * 0.3, hillRadius = w * 0.4;
    const int grassTop = horizon - int(hillHeight + 0.5);
    for (int i = 0; i < w; ++i) {
        const double d = (i + 0.5 - hillCentre) / hillRadius;
        const int top = horizon - int(hillHeight * std::sqrt(std::max(0.0, 1.0 - d * d)) + 0.5);
        for (int j = 0; j < h; ++j) {
            Colour c;
            if (!smooth)
                c = j < top ? skyFlat : grassFlat;
            else if (j < top)
                c = mix(skyHigh, skyLow, j, std::max(1, horizon - 1));
            else
                c = mix(grassHigh, grassLow, j - grassTop, std::max(1, h - 1 - grassTop));
            p.set(x0 + i, y0 + j, c);
        }
    }
    if (smooth && w >= 12) {
        // At these sizes a disc of any radius reads as a blob; two by two reads as a sun.
        const int sx = x0 + (w * 7 + 5) / 10, sy = y0 + (h + 3) / 6;
        fillRect(p, sx, sy, 2, 2, sun);
    }
}

// A grid of `columns` x `rows` cells of cellW x cellH with one-pixel lines between and
// around them, its top-left corner at (x0, y0); cellX and cellY give a cell's first pixel.
struct Grid {
    int x0, y0, cellW, cellH, columns, rows;
    int width() const { return columns * (cellW + 1) + 1; }
    int height() const { return rows * (cellH + 1) + 1; }
    int cellX(int c) const { return x0 + 1 + c * (cellW + 1); }
    int cellY(int r) const { return y0 + 1 + r * (cellH + 1); }
};

// The cell a start position marks in a 3 x 3 grid (column, row).
void startCell(char position, int& column, int& row) {
    switch (position) {
    case '7': column = 0, row = 0; break;
    case '9': column = 2, row = 0; break;
    case '3': column = 2, row = 2; break;
    case '5': column = 1, row = 1; break;
    default: column = 0, row = 2; break; // '1' and the taskbar side, drawn at the bottom
    }
}

// The left arrow; the other three are its mirror and its transpositions, which map the
// hot spot (3, 15) onto (25, 15), (15, 3) and (15, 25).
bool insideLeftArrow(int x, int y) {
    const int along = x - 3, across = std::abs(y - 15);
    if (along < 0)
        return false;
    if (along <= 10)
        return across <= along;        // head: 45-degree sides from the tip
    return along <= 22 && across <= 3; // shaft
}

std::string twoDigits(int n) {
    char text[8];
    std::snprintf(text, sizeof text, "%02d", n);
    return text;
}

} // namespace

Picture landscapePicture() {
    Picture p(16, 12);
    drawLandscape(p, 0, 0, 16, 12, true);
    return p;
}

Picture checkerboardPicture() {
    Picture p(4, 4);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            p.set(x, y, (x + y) % 2 == 0 ? CheckerGreen : CheckerSilver);
    return p;
}

Picture crossPhasePicture(bool vertical, int phase) {
    Picture p(vertical ? 1 : CrossPhaseCount, vertical ? CrossPhaseCount : 1);
    for (int i = 0; i < CrossPhaseCount; ++i) {
        // Turning the sequence on by k puts element (i - k) at place i.
        const int n = ((i - phase) % CrossPhaseCount + CrossPhaseCount) % CrossPhaseCount;
        const Colour c = n < 4 ? CrossGrey : n < 8 ? CrossBlack : CrossWhite;
        p.set(vertical ? 0 : i, vertical ? i : 0, c);
    }
    return p;
}

Picture startPositionPicture(char position) {
    const Colour line = rgb(0x40, 0x40, 0x40), cell = rgb(0xFF, 0xFF, 0xFF);
    const Colour taskbar = rgb(0x1C, 0x3C, 0x96), startButton = rgb(0x4C, 0xD2, 0x4C);
    const Grid g{0, 0, 8, 6, 3, 3};
    Picture p(g.width(), g.height(), line);
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            fillRect(p, g.cellX(c), g.cellY(r), g.cellW, g.cellH, cell);
    int column = 0, row = 0;
    startCell(position, column, row);
    const int x = g.cellX(column), y = g.cellY(row);
    drawLandscape(p, x, y, g.cellW, g.cellH, false);
    if (position == 't') {
        fillRect(p, x, y + g.cellH - 1, g.cellW, 1, taskbar);
        fillRect(p, x, y + g.cellH - 1, 2, 1, startButton);
    }
    return p;
}

Picture programIconPicture(int size) {
    const Colour line = rgb(0x2E, 0x3A, 0x4C), accent = rgb(0xFF, 0xB4, 0x1E);
    const Colour cellHigh = rgb(0xFF, 0xFF, 0xFF), cellLow = rgb(0xD2, 0xDC, 0xE6);
    const Colour shadow = 0x50000000u;
    Grid g{0, 1, 4, 3, 3, 3};
    if (size >= 48)
        g = Grid{0, 6, 14, 10, 3, 3};
    else if (size >= 32)
        g = Grid{0, 3, 9, 7, 3, 3};
    Picture p(size, size);
    fillRect(p, g.x0 + 1, g.y0 + 1, g.width(), g.height(), shadow);
    fillRect(p, g.x0, g.y0, g.width(), g.height(), line);
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            for (int j = 0; j < g.cellH; ++j)
                fillRect(p, g.cellX(c), g.cellY(r) + j, g.cellW, 1,
                         mix(cellHigh, cellLow, j, std::max(1, g.cellH - 1)));
    // The current screen: the desktop picture inside an accent frame over the lines.
    const int x = g.cellX(1), y = g.cellY(1);
    fillRect(p, x - 1, y - 1, g.cellW + 2, g.cellH + 2, accent);
    drawLandscape(p, x, y, g.cellW, g.cellH, size >= 32);
    return p;
}

CursorArt edgeArrowCursor(EdgeArrow direction) {
    const Colour outline = rgb(0, 0, 0), body = rgb(0xFF, 0xFF, 0xFF);
    auto inside = [direction](int x, int y) {
        switch (direction) {
        case EdgeArrow::Left: return insideLeftArrow(x, y);
        case EdgeArrow::Right: return insideLeftArrow(28 - x, y);
        case EdgeArrow::Up: return insideLeftArrow(y, x);
        case EdgeArrow::Down: return insideLeftArrow(28 - y, x);
        }
        return false;
    };
    CursorArt art{Picture(32, 32), 3, 15};
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            if (!inside(x, y))
                continue;
            const bool edge =
                !inside(x - 1, y) || !inside(x + 1, y) || !inside(x, y - 1) || !inside(x, y + 1);
            art.picture.set(x, y, edge ? outline : body);
        }
    switch (direction) {
    case EdgeArrow::Left: art.hotX = 3, art.hotY = 15; break;
    case EdgeArrow::Right: art.hotX = 25, art.hotY = 15; break;
    case EdgeArrow::Up: art.hotX = 15, art.hotY = 3; break;
    case EdgeArrow::Down: art.hotX = 15, art.hotY = 25; break;
    }
    return art;
}

std::vector<ArtworkFile> artworkFiles() {
    std::vector<ArtworkFile> files;
    files.push_back({"orvalis.ico", encodeIco({programIconPicture(48), programIconPicture(32),
                                               programIconPicture(16)})});
    files.push_back({"orvalis_small.ico", encodeIco({programIconPicture(16)})});
    const struct {
        const char* name;
        EdgeArrow direction;
    } arrows[] = {{"edge_left.cur", EdgeArrow::Left},
                  {"edge_right.cur", EdgeArrow::Right},
                  {"edge_up.cur", EdgeArrow::Up},
                  {"edge_down.cur", EdgeArrow::Down}};
    for (const auto& a : arrows) {
        const CursorArt art = edgeArrowCursor(a.direction);
        files.push_back({a.name, encodeCur(art.picture, art.hotX, art.hotY)});
    }
    files.push_back({"landscape.bmp", encodeBmp24(landscapePicture())});
    files.push_back({"checker.bmp", encodeBmp4(checkerboardPicture())});
    for (int k = 0; k < CrossPhaseCount; ++k) {
        files.push_back(
            {"cross_h" + twoDigits(k) + ".bmp", encodeBmp4(crossPhasePicture(false, k))});
        files.push_back(
            {"cross_v" + twoDigits(k) + ".bmp", encodeBmp4(crossPhasePicture(true, k))});
    }
    for (char position : {'t', '1', '3', '5', '7', '9'})
        files.push_back({std::string("start_") + position + ".bmp",
                         encodeBmp4(startPositionPicture(position))});
    return files;
}
