// The commands trackpeer.exe answers on its hidden command window (class
// kTrackPeerClass), shared by the peer and the tracking and arrangement tests. Window
// handles travel in wParam; positions and sizes are packed x | y << 16.
#pragma once

#include <windows.h>

constexpr wchar_t kTrackPeerClass[] = L"TrackPeerCommands";
constexpr wchar_t kTrackPeerWindowClass[] = L"TrackPeerWindow";

// WM_COPYDATA with dwData = kTrackCreate and a TrackWindowSpec: creates a window and
// answers its handle. The window is shown without activation when `quiet` is set.
constexpr ULONG_PTR kTrackCreate = 1;
enum TrackWindowKind : int {
    kTrackPlain = 0,  // an overlapped window of the peer's own class
    kTrackDialog = 1, // a window of the system dialog class "#32770"
};
struct TrackWindowSpec {
    int x, y, w, h;
    int kind;
    int quiet;
    long long owner; // HWND of the owner or 0
    wchar_t title[64];
};

constexpr UINT kTrackActivate = WM_APP + 1; // wParam window; answers 1 when it is in front
constexpr UINT kTrackShow = WM_APP + 2;     // wParam window, lParam show command
constexpr UINT kTrackMove = WM_APP + 3;     // wParam window, lParam packed position
constexpr UINT kTrackDestroy = WM_APP + 4;  // wParam window
// WM_GETMINMAXINFO queries that do not come from the system's own sizing (those carry
// tracking sizes), and the last one's fields as it arrived (before the window answered).
constexpr UINT kTrackQueryCount = WM_APP + 5;    // wParam window
constexpr UINT kTrackQueryMaxSize = WM_APP + 6;  // packed ptMaxSize
constexpr UINT kTrackQueryMaxPos = WM_APP + 7;   // packed ptMaxPosition
constexpr UINT kTrackQueryRestZero = WM_APP + 8; // 1 when minimum size and reserved were 0
// Creates and destroys a hidden window (events the CBT hook sees) and answers 1 once the
// hook library is loaded here, that is once a hook installed meanwhile is live.
constexpr UINT kTrackHookLive = WM_APP + 9;
// GetSystemMetrics(wParam) as this process sees it (Wine fixes some per process at start).
constexpr UINT kTrackMetric = WM_APP + 10;

constexpr LPARAM packTrackPoint(int x, int y) {
    return static_cast<LPARAM>((static_cast<unsigned>(x) & 0xFFFFu) |
                               ((static_cast<unsigned>(y) & 0xFFFFu) << 16));
}
constexpr POINT unpackTrackPoint(LRESULT v) {
    return {static_cast<short>(v & 0xFFFF), static_cast<short>((v >> 16) & 0xFFFF)};
}
