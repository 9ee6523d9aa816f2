// The compiled resources as the program sees them: loaded from the running module (the
// resource script is linked into this test executable) with the same calls the
// program makes, so a wrong identifier, file or encoding shows up here.
#include "res/resource.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

HINSTANCE self() {
    return GetModuleHandleW(nullptr);
}

std::wstring loadString(UINT id) {
    wchar_t text[100] = {};
    const int n = LoadStringW(self(), id, text, 100);
    return std::wstring(text, n > 0 ? n : 0);
}

struct Pixels {
    int width = 0, height = 0;
    std::vector<COLORREF> colours; // top row first
};

// Reads a bitmap the way the program uses it: as the shared image LoadImageW gives.
Pixels readBitmap(UINT id) {
    Pixels p;
    HBITMAP bitmap = static_cast<HBITMAP>(
        LoadImageW(self(), MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_SHARED));
    if (!bitmap)
        return p;
    BITMAP info{};
    GetObjectW(bitmap, sizeof info, &info);
    p.width = info.bmWidth;
    p.height = info.bmHeight;
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bitmap);
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x)
            p.colours.push_back(GetPixel(dc, x, y));
    SelectObject(dc, old);
    DeleteDC(dc);
    return p;
}

TEST(Resources, StringTableNamesTheProgramAndItsClass) {
    EXPECT_EQ(loadString(IDS_CAPTION), L"Orvalis");
    EXPECT_EQ(loadString(IDS_CLASSNAME), L"ZerdaneOrvalis");
}

TEST(Resources, EdgeCursorsAre32PixelsWithTheirHotSpots) {
    const struct {
        UINT id;
        DWORD x, y;
    } cursors[] = {{IDC_EDGE_LEFT, 3, 15},
                   {IDC_EDGE_RIGHT, 25, 15},
                   {IDC_EDGE_UP, 15, 3},
                   {IDC_EDGE_DOWN, 15, 25}};
    for (const auto& c : cursors) {
        SCOPED_TRACE(c.id);
        HCURSOR cursor = static_cast<HCURSOR>(LoadImageW(
            self(), MAKEINTRESOURCEW(c.id), IMAGE_CURSOR, 0, 0, LR_DEFAULTSIZE | LR_SHARED));
        ASSERT_NE(cursor, nullptr);
        ICONINFO info{};
        ASSERT_TRUE(GetIconInfo(cursor, &info));
        EXPECT_FALSE(info.fIcon);
        EXPECT_EQ(info.xHotspot, c.x);
        EXPECT_EQ(info.yHotspot, c.y);
        BITMAP mask{};
        GetObjectW(info.hbmMask, sizeof mask, &mask);
        EXPECT_EQ(mask.bmWidth, 32);
        // A colour cursor keeps a 32-row mask; a monochrome one stacks two masks.
        EXPECT_EQ(mask.bmHeight, info.hbmColor ? 32 : 64);
        if (info.hbmColor)
            DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
        // Part of start-up: the copy installed as the system pointer.
        HCURSOR copy =
            static_cast<HCURSOR>(CopyImage(cursor, IMAGE_CURSOR, 0, 0, LR_COPYFROMRESOURCE));
        EXPECT_NE(copy, nullptr);
        if (copy)
            DestroyCursor(copy);
    }
}

TEST(Resources, CheckerboardIsGreenAndSilver) {
    const Pixels p = readBitmap(IDB_CHECKERBOARD);
    ASSERT_EQ(p.width, 4);
    ASSERT_EQ(p.height, 4);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(p.colours[y * 4 + x], (x + y) % 2 ? RGB(0xC0, 0xC0, 0xC0) : RGB(0, 0x80, 0))
                << x << "," << y;
}

TEST(Resources, CrossCursorPhasesTurnTheDashes) {
    const COLORREF G = RGB(0x80, 0x80, 0x80), K = RGB(0, 0, 0), W = RGB(0xFF, 0xFF, 0xFF);
    const struct {
        UINT id;
        bool vertical;
        std::vector<COLORREF> line;
    } phases[] = {
        {IDB_CROSS_H_FIRST, false, {G, G, G, G, K, K, K, K, W, W, W, W}},
        {IDB_CROSS_H_FIRST + 1, false, {W, G, G, G, G, K, K, K, K, W, W, W}},
        {IDB_CROSS_H_FIRST + 11, false, {G, G, G, K, K, K, K, W, W, W, W, G}},
        {IDB_CROSS_V_FIRST, true, {G, G, G, G, K, K, K, K, W, W, W, W}},
        {IDB_CROSS_V_FIRST + 6, true, {K, K, W, W, W, W, G, G, G, G, K, K}},
    };
    for (const auto& phase : phases) {
        SCOPED_TRACE(phase.id);
        const Pixels p = readBitmap(phase.id);
        EXPECT_EQ(p.width, phase.vertical ? 1 : 12);
        EXPECT_EQ(p.height, phase.vertical ? 12 : 1);
        EXPECT_EQ(p.colours, phase.line);
    }
}

TEST(Resources, PicturesHaveTheirSizes) {
    const struct {
        UINT id;
        int width, height;
    } bitmaps[] = {{IDB_LANDSCAPE, 16, 12},           {IDB_STARTPOS_TASKBAR, 28, 22},
                   {IDB_STARTPOS_BOTTOMLEFT, 28, 22}, {IDB_STARTPOS_TOPLEFT, 28, 22},
                   {IDB_STARTPOS_TOPRIGHT, 28, 22},   {IDB_STARTPOS_BOTTOMRIGHT, 28, 22},
                   {IDB_STARTPOS_CENTRE, 28, 22}};
    for (const auto& b : bitmaps) {
        const Pixels p = readBitmap(b.id);
        EXPECT_EQ(p.width, b.width) << b.id;
        EXPECT_EQ(p.height, b.height) << b.id;
    }
    // The tray glyph loads the landscape with LR_VGACOLOR; it must still be sky over grass.
    HBITMAP vga = static_cast<HBITMAP>(
        LoadImageW(self(), MAKEINTRESOURCEW(IDB_LANDSCAPE), IMAGE_BITMAP, 0, 0, LR_VGACOLOR));
    ASSERT_NE(vga, nullptr);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, vga);
    const COLORREF sky = GetPixel(dc, 0, 0), grass = GetPixel(dc, 0, 11);
    EXPECT_GT(GetBValue(sky), GetGValue(sky));
    EXPECT_GT(GetGValue(grass), GetBValue(grass));
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(vga);
}

TEST(Resources, IconsLoadAtBothSizes) {
    const struct {
        UINT id;
        int size;
    } icons[] = {{IDI_ORVALIS, 32}, {IDI_ORVALIS, 16}, {IDI_ORVALIS_SMALL, 16}};
    for (const auto& i : icons) {
        SCOPED_TRACE(i.id);
        HICON icon = static_cast<HICON>(
            LoadImageW(self(), MAKEINTRESOURCEW(i.id), IMAGE_ICON, i.size, i.size, 0));
        ASSERT_NE(icon, nullptr) << i.size;
        ICONINFO info{};
        ASSERT_TRUE(GetIconInfo(icon, &info));
        EXPECT_TRUE(info.fIcon);
        BITMAP colour{};
        ASSERT_NE(info.hbmColor, nullptr);
        GetObjectW(info.hbmColor, sizeof colour, &colour);
        EXPECT_EQ(colour.bmWidth, i.size);
        EXPECT_EQ(colour.bmHeight, i.size);
        DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
        DestroyIcon(icon);
    }
    EXPECT_NE(LoadIconW(self(), MAKEINTRESOURCEW(IDI_ORVALIS)), nullptr);
}

TEST(Resources, VersionBlockIsJapaneseWithTheProductVersion) {
    wchar_t path[MAX_PATH] = {};
    ASSERT_GT(GetModuleFileNameW(nullptr, path, MAX_PATH), 0u);
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeW(path, &handle);
    ASSERT_GT(size, 0u);
    std::vector<BYTE> block(size);
    ASSERT_TRUE(GetFileVersionInfoW(path, 0, size, block.data()));
    auto value = [&](const wchar_t* name) {
        void* data = nullptr;
        UINT length = 0;
        std::wstring query = std::wstring(L"\\StringFileInfo\\041104b0\\") + name;
        if (!VerQueryValueW(block.data(), query.c_str(), &data, &length) || !data)
            return std::wstring(L"<missing>");
        return std::wstring(static_cast<const wchar_t*>(data));
    };
    EXPECT_EQ(value(L"ProductVersion"), L"1.0.0");
    EXPECT_EQ(value(L"ProductName"), L"Orvalis");
    EXPECT_EQ(value(L"FileDescription"), L"Orvalis 仮想画面マネージャー") << "UTF-8 source";

    void* data = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", &data, &length));
    ASSERT_EQ(length, 4u);
    EXPECT_EQ(static_cast<const WORD*>(data)[0], 0x411);
    EXPECT_EQ(static_cast<const WORD*>(data)[1], 1200);
}

TEST(Resources, ManifestAsksForCommonControlsSixAndNoElevation) {
    HRSRC found = FindResourceW(nullptr, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));
    ASSERT_NE(found, nullptr);
    const char* text = static_cast<const char*>(LockResource(LoadResource(nullptr, found)));
    ASSERT_NE(text, nullptr);
    const std::string manifest(text, SizeofResource(nullptr, found));
    EXPECT_NE(manifest.find("Microsoft.Windows.Common-Controls"), std::string::npos);
    EXPECT_NE(manifest.find("version=\"6.0.0.0\""), std::string::npos);
    EXPECT_NE(manifest.find("level=\"asInvoker\""), std::string::npos);
    EXPECT_NE(manifest.find("PerMonitor"), std::string::npos);
}

} // namespace
