// hookpeer.exe: a plain GUI program standing for "another program" in the hook library's
// end-to-end test. It owns a hidden command window and, on command, creates, moves,
// shows, activates and destroys windows of its own (see hookpeer_commands.h).
// Optional arguments "<address> <size>" (hex) reserve that address range first, so that
// a library the hook loads here cannot sit where it sits in the test process.
#include <windows.h>
#include <shellapi.h>

#include <cstring>
#include <cwchar>

#include "hookpeer_commands.h"

namespace {

constexpr wchar_t kWindowClass[] = L"HookPeerWindow";

LRESULT CALLBACK windowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

HWND createWindow(HWND parent) {
    static int count = 0;
    ++count;
    if (parent != nullptr) {
        return CreateWindowExW(0, kWindowClass, L"hookpeer child",
                               WS_CHILD | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX |
                                   WS_MAXIMIZEBOX | WS_THICKFRAME,
                               10, 10, 120, 80, parent, nullptr, GetModuleHandleW(nullptr),
                               nullptr);
    }
    return CreateWindowExW(0, kWindowClass, L"hookpeer", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                           60 + 30 * count, 60 + 30 * count, 320, 240, nullptr, nullptr,
                           GetModuleHandleW(nullptr), nullptr);
}

// The shared section of the ovl.dll loaded here, found by its name in the image's headers.
BYTE* sharedSection(DWORD& size) {
    auto* base = reinterpret_cast<BYTE*>(GetModuleHandleW(L"ovl.dll"));
    if (base == nullptr)
        return nullptr;
    auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(
        base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
    IMAGE_SECTION_HEADER* section = IMAGE_FIRST_SECTION(nt);
    for (WORD i = 0; i < nt->FileHeader.NumberOfSections; ++i, ++section) {
        if (memcmp(section->Name, ".share", 6) == 0) {
            size = section->Misc.VirtualSize;
            return base + section->VirtualAddress;
        }
    }
    return nullptr;
}

// The section's layout: two ints, then the CBT hook, the icon hook, the list view, the
// main window (pointer-sized) and the main process id.
bool tamper(HWND self, HWND mainWindow, DWORD processId) {
    DWORD size = 0;
    BYTE* section = sharedSection(size);
    if (section == nullptr || size < 8 + 4 * sizeof(void*) + 4)
        return false;
    DWORD oldProtect = 0;
    VirtualProtect(section, size, PAGE_READWRITE, &oldProtect);
    auto* flags = reinterpret_cast<int*>(section);
    flags[0] = 1; // icon requests on
    flags[1] = 0; // maximizing allowed
    auto* handles = reinterpret_cast<void**>(section + 8);
    handles[0] = reinterpret_cast<void*>(0x1234); // a "hook" that is none
    handles[1] = reinterpret_cast<void*>(0x5678);
    handles[2] = self;
    handles[3] = mainWindow != nullptr ? mainWindow : self;
    *reinterpret_cast<DWORD*>(section + 8 + 4 * sizeof(void*)) =
        processId != 0 ? processId : GetCurrentProcessId();
    return true;
}

LRESULT reports = 0;

LRESULT CALLBACK commandProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    const HWND target = reinterpret_cast<HWND>(wParam);
    if (msg >= 0x80C8 && msg <= 0x80CB) {
        ++reports; // a hook notification: it must never come here
        return 0;
    }
    switch (msg) {
    case kPeerTamper: return tamper(hwnd, target, static_cast<DWORD>(lParam));
    case kPeerReports: return reports;
    case kPeerCreate: return reinterpret_cast<LRESULT>(createWindow(target));
    case kPeerMove:
        return SetWindowPos(target, nullptr, static_cast<short>(LOWORD(lParam)),
                            static_cast<short>(HIWORD(lParam)), 0, 0,
                            SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    case kPeerShow: return ShowWindow(target, static_cast<int>(lParam));
    case kPeerActivate:
        SetForegroundWindow(target);
        if (GetActiveWindow() != target) {
            SetActiveWindow(target);
        }
        return GetActiveWindow() == target;
    case kPeerDestroy: return DestroyWindow(target);
    case kPeerLibraryBase: return reinterpret_cast<LRESULT>(GetModuleHandleW(L"ovl.dll"));
    case WM_DESTROY: PostQuitMessage(0); return 0;
    default: return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
}

void reserveFromArguments() {
    int count = 0;
    wchar_t** args = CommandLineToArgvW(GetCommandLineW(), &count);
    if (args != nullptr && count >= 3) {
        const auto address = static_cast<ULONG_PTR>(wcstoull(args[1], nullptr, 16));
        const auto size = static_cast<SIZE_T>(wcstoull(args[2], nullptr, 16));
        VirtualAlloc(reinterpret_cast<void*>(address), size, MEM_RESERVE, PAGE_NOACCESS);
    }
    LocalFree(args);
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    reserveFromArguments();

    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = kWindowClass;
    RegisterClassW(&windowClass);

    WNDCLASSW commandClass{};
    commandClass.lpfnWndProc = commandProc;
    commandClass.hInstance = instance;
    commandClass.lpszClassName = kHookPeerClass;
    RegisterClassW(&commandClass);
    if (!CreateWindowExW(0, kHookPeerClass, L"hookpeer commands", WS_POPUP, 0, 0, 0, 0, nullptr,
                         nullptr, instance, nullptr)) {
        return 1;
    }

    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}
