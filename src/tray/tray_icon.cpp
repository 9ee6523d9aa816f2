// The tray icon: drawing the picture into a mask and a colour image, adding it (with
// retries while the shell does not answer), modifying it, the tooltip and the balloons. The layout
// and every figure come from tray_glyph.cpp; this file only paints and talks to the shell.
#include "tray/tray_icon.h"

#include "core/app.h"
#include "core/settings.h"
#include "core/view.h"
#include "res/resource.h"
#include "tray/tray_rules.h"
#include "tray/tray_text.h"

#include <shellapi.h>

UINT taskbarCreatedMessage;

namespace {

struct TrayGlyphRecord {
    GlyphLayout layout; // the last one laid out; empty until the first update
    HPEN grayPen = nullptr;
    HPEN redPen = nullptr;
    HBITMAP picture = nullptr; // bitmap 193, loaded on first use
};
TrayGlyphRecord TrayGlyph;

wchar_t lastTooltip[kTooltipUnits];

constexpr int kBalloonTitleUnits = 64;    // the layout's field, terminator included
constexpr UINT kBalloonTimeoutMs = 15000; // older shells only; newer ones choose for themselves
wchar_t lastBalloon[kBalloonTextUnits];
int balloonsSent = 0;

void ensureDrawingTools() {
    if (!TrayGlyph.grayPen)
        TrayGlyph.grayPen = CreatePen(PS_SOLID, 1, RGB(128, 128, 128));
    if (!TrayGlyph.redPen)
        TrayGlyph.redPen = CreatePen(PS_SOLID, 1, RGB(255, 0, 0));
    if (!TrayGlyph.picture)
        TrayGlyph.picture = static_cast<HBITMAP>(LoadImageW(
            appInstance, MAKEINTRESOURCEW(IDB_LANDSCAPE), IMAGE_BITMAP, 0, 0, LR_VGACOLOR));
}

NOTIFYICONDATAW notifyData(UINT flags) {
    NOTIFYICONDATAW nid{};
    nid.cbSize = kNotifyIconDataSize;
    nid.hWnd = MainWindow;
    nid.uID = kTrayIconId;
    nid.uFlags = flags;
    return nid;
}

void strokes(HDC dc, const GlyphStroke& line) {
    MoveToEx(dc, line.points[0].x, line.points[0].y, nullptr);
    for (int i = 1; i < line.count; ++i)
        LineTo(dc, line.points[i].x, line.points[i].y);
}

void drawOffMark(HDC dc, const GlyphLayout& g) {
    for (const GlyphStroke& line : offMarkLines(g))
        strokes(dc, line);
}

// Mask: white is see-through, black opaque.
void paintMask(HDC dc, const GlyphLayout& g, const GlyphFigures& f, int cx, int cy) {
    PatBlt(dc, 0, 0, cx, cy, WHITENESS);
    const Rect& o = f.maskOpaque;
    PatBlt(dc, o.left, o.top, o.right - o.left, o.bottom - o.top, BLACKNESS);
    for (const Point& p : f.maskHoles)
        SetPixel(dc, p.x, p.y, RGB(255, 255, 255));
    if (!f.movementOn) {
        HGDIOBJ old = SelectObject(dc, GetStockObject(BLACK_PEN));
        drawOffMark(dc, g);
        SelectObject(dc, old);
    }
}

void paintColour(HDC dc, HDC pictureDc, const GlyphLayout& g, const GlyphFigures& f, int cx,
                 int cy) {
    PatBlt(dc, 0, 0, cx, cy, BLACKNESS);
    HGDIOBJ oldPen = SelectObject(dc, TrayGlyph.grayPen);
    HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(WHITE_BRUSH));
    if (f.movementOn) {
        Rectangle(dc, f.gridBox.left, f.gridBox.top, f.gridBox.right, f.gridBox.bottom);
        const RECT frame{f.gridFrame.left, f.gridFrame.top, f.gridFrame.right, f.gridFrame.bottom};
        FrameRect(dc, &frame, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    } else {
        SelectObject(dc, TrayGlyph.redPen);
        drawOffMark(dc, g);
    }
    SelectObject(dc, TrayGlyph.grayPen);
    strokes(dc, f.greyEdge);
    SelectObject(dc, GetStockObject(BLACK_PEN));
    strokes(dc, f.blackEdge);
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);

    if (pictureDc) {
        BITMAP info{};
        GetObjectW(TrayGlyph.picture, sizeof info, &info);
        SetStretchBltMode(dc, COLORONCOLOR);
        StretchBlt(dc, f.picture.left, f.picture.top, f.picture.right - f.picture.left,
                   f.picture.bottom - f.picture.top, pictureDc, 0, 0, info.bmWidth, info.bmHeight,
                   SRCCOPY);
    }
}

} // namespace

HICON drawTrayGlyph(const GlyphLayout& layout) {
    ensureDrawingTools();
    // The icon always has the system's small-icon size: before the first layout the
    // stored size is 0 x 0, and no icon can be made of that.
    const int cx = GetSystemMetrics(SM_CXSMICON), cy = GetSystemMetrics(SM_CYSMICON);
    const GlyphFigures figures = glyphFigures(layout);

    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HDC pictureDc = TrayGlyph.picture ? CreateCompatibleDC(screen) : nullptr;
    HBITMAP mask = CreateBitmap(cx, cy, 1, 1, nullptr);
    HBITMAP colour = CreateCompatibleBitmap(screen, cx, cy);
    HICON icon = nullptr;
    if (dc && mask && colour) {
        HGDIOBJ oldPicture = pictureDc ? SelectObject(pictureDc, TrayGlyph.picture) : nullptr;
        HGDIOBJ old = SelectObject(dc, mask);
        paintMask(dc, layout, figures, cx, cy);
        SelectObject(dc, colour);
        paintColour(dc, pictureDc, layout, figures, cx, cy);
        SelectObject(dc, old);
        if (pictureDc)
            SelectObject(pictureDc, oldPicture);

        ICONINFO info{};
        info.fIcon = TRUE;
        info.hbmMask = mask;
        info.hbmColor = colour;
        icon = CreateIconIndirect(&info);
    }
    if (mask)
        DeleteObject(mask);
    if (colour)
        DeleteObject(colour);
    if (pictureDc)
        DeleteDC(pictureDc);
    if (dc)
        DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return icon;
}

void addTrayIcon() {
    HICON icon = drawTrayGlyph(TrayGlyph.layout);
    if (!icon)
        return;
    NOTIFYICONDATAW nid = notifyData(NIF_MESSAGE | NIF_ICON);
    nid.uCallbackMessage = WM_TRAYICON;
    nid.hIcon = icon;
    const bool added = addWithRetries(
        [&]() -> unsigned {
            // A failure that sets no error of its own must not pass for a time-out.
            SetLastError(0);
            if (Shell_NotifyIconW(NIM_ADD, &nid))
                return 0;
            const DWORD error = GetLastError();
            return error != 0 ? error : ERROR_GEN_FAILURE;
        },
        [](unsigned ms) { Sleep(ms); });
    if (added) {
        taskbarCreatedMessage = RegisterWindowMessageW(L"TaskbarCreated");
        // A new shell has no tooltip for the icon: the next mouse move must send it again.
        lastTooltip[0] = 0;
    }
    DestroyIcon(icon);
}

void updateTrayIcon() {
    const GlyphLayout layout =
        layoutGlyph({GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON)}, RealScreenSize,
                    Settings.columns, Settings.rows, ViewOrigin, Settings.scrollEnabled);
    if (layout == TrayGlyph.layout)
        return;
    TrayGlyph.layout = layout;
    HICON icon = drawTrayGlyph(layout);
    if (!icon)
        return;
    NOTIFYICONDATAW nid = notifyData(NIF_ICON);
    nid.hIcon = icon;
    Shell_NotifyIconW(NIM_MODIFY, &nid);
    DestroyIcon(icon);
}

void updateTrayTooltip() {
    wchar_t text[kTooltipUnits];
    formatTrayTooltip(text, Settings.scrollEnabled, ViewOrigin, RealScreenSize, Settings.columns,
                      Settings.rows);
    if (lstrcmpW(text, lastTooltip) == 0)
        return;
    lstrcpynW(lastTooltip, text, kTooltipUnits);
    NOTIFYICONDATAW nid = notifyData(NIF_TIP);
    lstrcpynW(nid.szTip, text, kTooltipUnits);
    Shell_NotifyIconW(NIM_MODIFY, &nid);
}

bool showTrayBalloon(const wchar_t* title, const wchar_t* text, BalloonIcon icon) {
    NOTIFYICONDATAW nid = notifyData(NIF_INFO);
    lstrcpynW(nid.szInfoTitle, title, kBalloonTitleUnits);
    lstrcpynW(nid.szInfo, text, kBalloonTextUnits);
    nid.uTimeout = kBalloonTimeoutMs;
    nid.dwInfoFlags = icon == BalloonIcon::Warning ? NIIF_WARNING : NIIF_INFO;
    lstrcpynW(lastBalloon, nid.szInfo, kBalloonTextUnits);
    ++balloonsSent;
    return Shell_NotifyIconW(NIM_MODIFY, &nid) != FALSE;
}

const GlyphLayout& trayGlyphLayout() {
    return TrayGlyph.layout;
}

const wchar_t* lastTrayTooltip() {
    return lastTooltip;
}

const wchar_t* lastTrayBalloon() {
    return lastBalloon;
}

int trayBalloonCount() {
    return balloonsSent;
}

void releaseTrayGlyph() {
    if (TrayGlyph.grayPen)
        DeleteObject(TrayGlyph.grayPen);
    if (TrayGlyph.redPen)
        DeleteObject(TrayGlyph.redPen);
    if (TrayGlyph.picture)
        DeleteObject(TrayGlyph.picture);
    TrayGlyph.grayPen = TrayGlyph.redPen = nullptr;
    TrayGlyph.picture = nullptr;
}

void resetTrayIcon() {
    releaseTrayGlyph();
    TrayGlyph.layout = {};
    lastTooltip[0] = 0;
    lastBalloon[0] = 0;
    balloonsSent = 0;
    taskbarCreatedMessage = 0;
}
