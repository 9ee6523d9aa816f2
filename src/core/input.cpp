// DirectInput set-up and release, the device drains and the movement switch.
#define DIRECTINPUT_VERSION 0x0800
#include "core/input.h"

#include "core/app.h"
#include "core/edge_movement.h"
#include "core/settings.h"
#include "core/settings_file.h"
#include "overlay/delay_indicator.h"
#include "overview/overview_window.h"
#include "tray/tray_icon.h"

#include <windows.h>

#include <dinput.h>

namespace {

IDirectInput8W* directInput;
IDirectInputDevice8W* pointerDevice;
IDirectInputDevice8W* keyboardDevice;

constexpr DWORD kDeviceBufferSize = 16;

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
    if (FAILED(directInput->CreateDevice(GUID_SysMouse, &pointerDevice, nullptr))) return 0;
    if (FAILED(directInput->CreateDevice(GUID_SysKeyboard, &keyboardDevice, nullptr))) return 0;
    if (FAILED(pointerDevice->SetDataFormat(&c_dfDIMouse))) return 0;
    if (FAILED(keyboardDevice->SetDataFormat(&c_dfDIKeyboard))) return 0;
    const DWORD level = DISCL_NONEXCLUSIVE | DISCL_BACKGROUND;
    if (FAILED(pointerDevice->SetCooperativeLevel(MainWindow, level))) return 0;
    if (FAILED(keyboardDevice->SetCooperativeLevel(MainWindow, level))) return 0;
    pointerEvent = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    keyboardEvent = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    if (!pointerEvent || !keyboardEvent) return 0;
    if (FAILED(pointerDevice->SetEventNotification(pointerEvent))) return 0;
    if (FAILED(keyboardDevice->SetEventNotification(keyboardEvent))) return 0;
    if (!setBufferSize(pointerDevice) || !setBufferSize(keyboardDevice)) return 0;
    if (FAILED(pointerDevice->Acquire())) return 0;
    return SUCCEEDED(keyboardDevice->Acquire()) ? 1 : 0;
}

void releaseInput() {
    if (pointerDevice) pointerDevice->Unacquire();
    releaseCom(pointerDevice);
    if (keyboardDevice) keyboardDevice->Unacquire();
    releaseCom(keyboardDevice);
    releaseCom(directInput);
    CoUninitialize();
}

void drainPointer() {
    if (!pointerDevice) return;
    DIDEVICEOBJECTDATA record;
    int dx = 0, dy = 0;
    while (readRecord(pointerDevice, record)) {
        const int data = static_cast<int>(record.dwData);
        if (record.dwOfs == DIMOFS_X) dx += Settings.reverseDirection ? -data : data;
        if (record.dwOfs == DIMOFS_Y) dy += Settings.reverseDirection ? -data : data;
    }
    if (dx != 0 || dy != 0) computeMovement(dx, dy, 0);
}

void drainKeyboard() {
    if (!keyboardDevice) return;
    DIDEVICEOBJECTDATA record;
    while (readRecord(keyboardDevice, record)) {
    }
}

void setScrollEnabled(int on) {
    SendMessageW(OverviewWindow, WM_CLOSE, 0, 0);
    closeDelayIndicator();
    if (Settings.scrollEnabled == on) return;
    Settings.scrollEnabled = on;
    updateTrayIcon();
    saveSettings();
}
