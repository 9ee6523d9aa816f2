// DirectInput set-up and release, the device drains and the movement switch.
#define DIRECTINPUT_VERSION 0x0800
#include "core/input.h"

#include "core/app.h"
#include "core/edge_core.h"
#include "core/edge_movement.h"
#include "core/input_core.h"
#include "core/view.h"
#include "core/viewport.h"
#include "overlay/overlay_thread.h"
#include "res/resource.h"
#include "tray/tray_menu.h"
#include "core/settings.h"
#include "core/settings_file.h"
#include "overlay/delay_indicator.h"
#include "overview/overview_window.h"
#include "tray/tray_icon.h"

#include <windows.h>

#include <dinput.h>

#include <cstdlib>

HWND grabWindow;

namespace {

IDirectInput8W* directInput;
IDirectInputDevice8W* pointerDevice;
IDirectInputDevice8W* keyboardDevice;

constexpr DWORD kDeviceBufferSize = 16;
constexpr Point kNoGrab{-32767, -32767};

int ctrlHeld; // movement was switched on by a Ctrl press in Ctrl-hold mode
Point grabOrigin = kNoGrab;
POINT grabPoint{}; // where the grab pinned the pointer
constexpr UINT kGrabPinCheckMs = 100;

bool setBufferSize(IDirectInputDevice8W* device) {
    DIPROPDWORD prop{};
    prop.diph.dwSize = sizeof(DIPROPDWORD);
    prop.diph.dwHeaderSize = sizeof(DIPROPHEADER);
    prop.diph.dwObj = 0;
    prop.diph.dwHow = DIPH_DEVICE;
    prop.dwData = kDeviceBufferSize;
    return SUCCEEDED(device->SetProperty(DIPROP_BUFFERSIZE, &prop.diph));
}

// One record per call; false when the device has nothing more or the read failed.
// Lost acquisition is not repaired: a failing read only ends this drain.
bool readRecord(IDirectInputDevice8W* device, DIDEVICEOBJECTDATA& record) {
    DWORD count = 1;
    HRESULT hr = device->GetDeviceData(sizeof(DIDEVICEOBJECTDATA), &record, &count, 0);
    return SUCCEEDED(hr) && count == 1;
}

template <typename T> void releaseCom(T*& p) {
    if (p) {
        p->Release();
        p = nullptr;
    }
}

} // namespace

int initInput() {
    CoInitialize(nullptr);
    if (FAILED(DirectInput8Create(appInstance, DIRECTINPUT_VERSION, IID_IDirectInput8W,
                                  reinterpret_cast<void**>(&directInput), nullptr)))
        return 0;
    if (FAILED(directInput->CreateDevice(GUID_SysMouse, &pointerDevice, nullptr)))
        return 0;
    if (FAILED(directInput->CreateDevice(GUID_SysKeyboard, &keyboardDevice, nullptr)))
        return 0;
    if (FAILED(pointerDevice->SetDataFormat(&c_dfDIMouse)))
        return 0;
    if (FAILED(keyboardDevice->SetDataFormat(&c_dfDIKeyboard)))
        return 0;
    const DWORD level = DISCL_NONEXCLUSIVE | DISCL_BACKGROUND;
    if (FAILED(pointerDevice->SetCooperativeLevel(MainWindow, level)))
        return 0;
    if (FAILED(keyboardDevice->SetCooperativeLevel(MainWindow, level)))
        return 0;
    pointerEvent = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    keyboardEvent = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    if (!pointerEvent || !keyboardEvent)
        return 0;
    if (FAILED(pointerDevice->SetEventNotification(pointerEvent)))
        return 0;
    if (FAILED(keyboardDevice->SetEventNotification(keyboardEvent)))
        return 0;
    if (!setBufferSize(pointerDevice) || !setBufferSize(keyboardDevice))
        return 0;
    // The program runs on without the pointer (the keyboard toggles and the hook reports
    // still work); only the keyboard decides whether input started.
    pointerDevice->Acquire();
    return SUCCEEDED(keyboardDevice->Acquire()) ? 1 : 0;
}

void releaseInput() {
    if (pointerDevice)
        pointerDevice->Unacquire();
    releaseCom(pointerDevice);
    if (keyboardDevice)
        keyboardDevice->Unacquire();
    releaseCom(keyboardDevice);
    releaseCom(directInput);
    CoUninitialize();
}

namespace {

enum class TaskbarPart { None, Taskbar, NotificationArea };

TaskbarPart taskbarPartOf(HWND w) {
    // A class name counts only when it fills exactly 13 units of a 15-unit buffer.
    for (; w; w = GetAncestor(w, GA_PARENT)) {
        wchar_t name[15];
        if (GetClassNameW(w, name, 15) != 13)
            continue;
        if (lstrcmpW(name, L"TrayNotifyWnd") == 0)
            return TaskbarPart::NotificationArea;
        if (lstrcmpW(name, L"Shell_TrayWnd") == 0)
            return TaskbarPart::Taskbar;
    }
    return TaskbarPart::None;
}

// The wheel scrolls over the desktop and the taskbar but not over the notification area,
// whose icons take the wheel themselves. The window in front is always a top-level one,
// so only the window under the pointer can tell the notification area.
bool wheelScrolls() {
    POINT p;
    const TaskbarPart under =
        GetCursorPos(&p) ? taskbarPartOf(WindowFromPoint(p)) : TaskbarPart::None;
    if (under != TaskbarPart::None)
        return under == TaskbarPart::Taskbar;
    HWND front = GetForegroundWindow();
    return front && (front == GetShellWindow() || isTaskbarWindow(front));
}

} // namespace

bool isTaskbarWindow(HWND w) {
    return taskbarPartOf(w) == TaskbarPart::Taskbar;
}

void resetInputState() {
    ctrlHeld = 0;
    grabWindow = nullptr;
    grabOrigin = kNoGrab;
}

namespace {

// Ends a grab unless the tray icon pinned the pointer: that pin outlives every button.
void endGrab() {
    if (pointerPinned)
        return;
    ClipCursor(nullptr);
    KillTimer(MainWindow, kGrabPinTimer);
    grabWindow = nullptr;
    grabOrigin = kNoGrab;
}

void middleButtonGrab(bool pressed, POINT p, HWND listView) {
    if (!pressed) {
        // A click without dragging the view leaves the pointer pinned.
        if (std::abs(ViewOrigin.x - grabOrigin.x) > GetSystemMetrics(SM_CXDRAG) ||
            std::abs(ViewOrigin.y - grabOrigin.y) > GetSystemMetrics(SM_CYDRAG))
            endGrab();
        return;
    }
    if (grabWindow) {
        endGrab();
        return;
    }
    HWND w = WindowFromPoint(p);
    if (!w || !(w == listView || w == ActiveDesktopWindow || isTaskbarWindow(w)))
        return;
    grabWindow = w;
    grabOrigin = ViewOrigin;
    grabPoint = p;
    SetForegroundWindow(MainWindow);
    RECT pin{p.x, p.y, p.x + 1, p.y + 1};
    if (!ClipCursor(&pin))
        grabWindow = nullptr;
    else
        SetTimer(MainWindow, kGrabPinTimer, kGrabPinCheckMs, nullptr);
}

// The common tail of every button record.
void afterButton() {
    closeOverviewOnOutsideClick();
    postToOverlayThread(WM_BORDER_HIDE);
}

// The system may free the pointer on a change of focus that comes after the grab took the
// front: while the grab lasts the pin is put back, which also brings the pointer back.
void holdGrabPin() {
    const RECT pin{grabPoint.x, grabPoint.y, grabPoint.x + 1, grabPoint.y + 1};
    RECT clip;
    if (GetClipCursor(&clip) && EqualRect(&clip, &pin))
        return;
    if (!ClipCursor(&pin))
        endGrab();
}

} // namespace

void onGrabPinTimer(UINT_PTR timerId) {
    if (timerId != kGrabPinTimer)
        return;
    if (grabWindow)
        holdGrabPin();
    else
        KillTimer(MainWindow, kGrabPinTimer);
}

void drainPointer() {
    if (!pointerDevice)
        return;
    // The desktop's list view matters only to a middle press; finding it is several
    // round trips to the window server, so a drain of plain motion does not look for it.
    HWND listView = nullptr;
    bool listViewFound = false;
    // Motion that got out while the pin was lost is undone before the records count.
    if (grabWindow)
        holdGrabPin();
    DIDEVICEOBJECTDATA record;
    if (!readRecord(pointerDevice, record))
        return;
    const int sign = Settings.reverseDirection ? -1 : 1;
    int dx = 0, dy = 0, wheelSum = 0;
    do {
        const int data = static_cast<int>(record.dwData);
        switch (record.dwOfs) {
        case DIMOFS_X: dx += sign * data; break;
        case DIMOFS_Y: dy += sign * data; break;
        case DIMOFS_Z: {
            if (!wheelScrolls())
                break;
            const int v = sign * data;
            wheelSum += v;
            // Turning the wheel away from the user scrolls up, or left with Shift.
            if (GetAsyncKeyState(VK_SHIFT) < 0)
                dx -= v;
            else
                dy -= v;
            break;
        }
        case DIMOFS_BUTTON0:
        case DIMOFS_BUTTON1:
        case DIMOFS_BUTTON3:
            endGrab();
            afterButton();
            break;
        case DIMOFS_BUTTON2: {
            POINT p;
            if (!GetCursorPos(&p))
                break;
            const bool pressed = (record.dwData & 0x80) != 0;
            if (Settings.edgeMiddleClickToggles && nearScreenEdge({p.x, p.y}, RealScreenSize)) {
                if (pressed) {
                    stopContinuation();
                    SendMessageW(MainWindow, WM_COMMAND, IDM_TOGGLE_SCROLL, 0);
                    dx = dy = 0; // the motion before the click is not a push
                }
            } else {
                if (!listViewFound) {
                    listView = findDesktopListView();
                    listViewFound = true;
                }
                middleButtonGrab(pressed, p, listView);
            }
            afterButton();
            break;
        }
        default: break;
        }
    } while (readRecord(pointerDevice, record));
    if (dx != 0 || dy != 0)
        computeMovement(dx, dy, wheelSum);
}

void drainKeyboard() {
    if (!keyboardDevice)
        return;
    DIDEVICEOBJECTDATA record;
    while (readRecord(keyboardDevice, record)) {
        const KeyDecision d =
            decideKey(record.dwOfs, (record.dwData & 0x80) != 0, Settings.ctrlHoldMode,
                      Settings.toggleKey, Settings.scrollEnabled, ctrlHeld);
        ctrlHeld = d.ctrlHeld;
        switch (d.effect) {
        case KeyEffect::None: break;
        case KeyEffect::SwitchOn: setScrollEnabled(1); break;
        case KeyEffect::SwitchOff: setScrollEnabled(0); break;
        case KeyEffect::FollowLockKey:
            setScrollEnabled((GetKeyState(Settings.toggleKey) & 1) ? 0 : 1);
            break;
        case KeyEffect::HideBorder: postToOverlayThread(WM_BORDER_HIDE); break;
        }
    }
}

void setScrollEnabled(int on) {
    SendMessageW(OverviewWindow, WM_CLOSE, 0, 0);
    closeDelayIndicator();
    if (Settings.scrollEnabled == on)
        return;
    Settings.scrollEnabled = on;
    updateTrayIcon();
    saveSettings();
}
