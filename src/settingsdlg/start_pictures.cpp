// The template places each picture at its natural size a few dialog units above its
// option button; at any DPI but 96 it would stay small and drift off its row. Here each
// is reloaded at the dialog's DPI and centred on its button.
#include "settingsdlg/start_pictures.h"

#include "core/app.h"
#include "core/dpi.h"
#include "core/dpi_scale.h"
#include "res/resource.h"
#include "settingsdlg/settings_form.h"

namespace {

struct StartPicture {
    int bitmap;
    int radio;
};
// In the template's order of the picture controls.
constexpr StartPicture kPictures[] = {
    {IDB_STARTPOS_TASKBAR, kIdStartTaskbar},         {IDB_STARTPOS_BOTTOMLEFT, kIdStartBottomLeft},
    {IDB_STARTPOS_TOPLEFT, kIdStartTopLeft},         {IDB_STARTPOS_TOPRIGHT, kIdStartTopRight},
    {IDB_STARTPOS_BOTTOMRIGHT, kIdStartBottomRight}, {IDB_STARTPOS_CENTRE, kIdStartCentre},
};
constexpr int kCount = sizeof(kPictures) / sizeof(kPictures[0]);

HBITMAP scaled[kCount]; // the bitmaps the picture controls show now

bool isPicture(HWND c) {
    wchar_t name[16] = {};
    GetClassNameW(c, name, 16);
    return lstrcmpiW(name, L"Static") == 0 &&
           (GetWindowLongW(c, GWL_STYLE) & SS_TYPEMASK) == SS_BITMAP;
}

Size naturalSize(int bitmap) {
    HBITMAP b = static_cast<HBITMAP>(
        LoadImageW(appInstance, MAKEINTRESOURCEW(bitmap), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR));
    BITMAP info{};
    const bool read = b && GetObjectW(b, sizeof(info), &info);
    if (b)
        DeleteObject(b);
    return read ? Size{info.bmWidth, info.bmHeight} : Size{};
}

void place(HWND dialog, HWND picture, int index, int dpi) {
    const StartPicture& p = kPictures[index];
    const Size size = scaleForDpi(naturalSize(p.bitmap), dpi);
    if (size.w <= 0 || size.h <= 0)
        return;
    HBITMAP b = static_cast<HBITMAP>(LoadImageW(appInstance, MAKEINTRESOURCEW(p.bitmap),
                                                IMAGE_BITMAP, size.w, size.h, LR_DEFAULTCOLOR));
    if (!b)
        return;
    HGDIOBJ old = reinterpret_cast<HGDIOBJ>(
        SendMessageW(picture, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(b)));
    // The control never frees a bitmap it was given or the one it loaded itself.
    if (old && old != b)
        DeleteObject(old);
    scaled[index] = b;
    RECT at{}, radio{};
    GetWindowRect(picture, &at);
    GetWindowRect(GetDlgItem(dialog, p.radio), &radio);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&at), 2);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&radio), 2);
    const int top = (radio.top + radio.bottom) / 2 - size.h / 2;
    SetWindowPos(picture, nullptr, at.left, top, size.w, size.h, SWP_NOZORDER | SWP_NOACTIVATE);
}

} // namespace

void scaleStartPictures(HWND dialog) {
    const int dpi = windowDpi(dialog);
    int index = 0;
    for (HWND c = GetWindow(dialog, GW_CHILD); c && index < kCount; c = GetWindow(c, GW_HWNDNEXT))
        if (isPicture(c))
            place(dialog, c, index++, dpi);
}

void releaseStartPictures() {
    for (HBITMAP& b : scaled) {
        if (b)
            DeleteObject(b);
        b = nullptr;
    }
}
