// The whole screen as a 24-bit BMP under bin\shots, for looking at: Win32 tests save
// what they drew there.
#pragma once

#include <windows.h>

#include <string>

inline void screenshot(const std::wstring& name) {
    wchar_t exe[MAX_PATH];
    std::wstring dir(exe, GetModuleFileNameW(nullptr, exe, MAX_PATH));
    dir = dir.substr(0, dir.find_last_of(L'\\') + 1) + L"shots\\";
    CreateDirectoryW(dir.c_str(), nullptr);
    const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    BITMAPINFOHEADER bi{sizeof(bi), w, h, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(mem, reinterpret_cast<BITMAPINFO*>(&bi), DIB_RGB_COLORS, &bits,
                                   nullptr, 0);
    if (dib) {
        HGDIOBJ old = SelectObject(mem, dib);
        BitBlt(mem, 0, 0, w, h, screen, 0, 0, SRCCOPY);
        GdiFlush();
        SelectObject(mem, old);
        const DWORD size = ((w * 3 + 3) & ~3) * h;
        BITMAPFILEHEADER fh{0x4D42, 0, 0, 0, sizeof(fh) + sizeof(bi)};
        fh.bfSize = fh.bfOffBits + size;
        HANDLE f =
            CreateFileW((dir + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD n = 0;
        WriteFile(f, &fh, sizeof(fh), &n, nullptr);
        WriteFile(f, &bi, sizeof(bi), &n, nullptr);
        WriteFile(f, bits, size, &n, nullptr);
        CloseHandle(f);
        DeleteObject(dib);
    }
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
}
