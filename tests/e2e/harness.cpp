// The e2e harness: processes, folders, waits with deadlines, input and screenshots.
#include "harness.h"

#include <shlwapi.h>

#include <cstdio>
#include <string>

namespace e2e {

std::wstring shotDir() {
    std::wstring dir = binDir() + L"shots\\";
    CreateDirectoryW(dir.c_str(), nullptr);
    return dir;
}

std::wstring binDir() {
    wchar_t path[MAX_PATH];
    DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring s(path, n);
    return s.substr(0, s.find_last_of(L'\\') + 1);
}

TempDir::TempDir() {
    static unsigned counter;
    wchar_t base[MAX_PATH];
    GetTempPathW(MAX_PATH, base);
    wchar_t name[MAX_PATH];
    swprintf(name, MAX_PATH, L"%lsorv-e2e-%lu-%lu-%u\\", base, GetCurrentProcessId(),
             GetTickCount(), ++counter);
    path = name;
    CreateDirectoryW(path.c_str(), nullptr);
}

TempDir::~TempDir() {
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileW((path + L"*").c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
                std::wstring f = path + fd.cFileName;
                SetFileAttributesW(f.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileW(f.c_str());
            }
        } while (FindNextFileW(h, &fd));
        FindClose(h);
    }
    RemoveDirectoryW(path.c_str());
}

static void pumpOnce(DWORD waitMs) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, waitMs, QS_ALLINPUT);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

bool waitUntil(const std::function<bool()>& cond, DWORD timeoutMs) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        if (cond()) return true;
        if (GetTickCount64() >= deadline) return cond();
        pumpOnce(10);
    }
}

double counterMs(LONGLONG ticks) {
    static LARGE_INTEGER freq = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    return 1000.0 * static_cast<double>(ticks) / static_cast<double>(freq.QuadPart);
}

double nowMs() {
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return counterMs(t.QuadPart);
}

void pumpFor(DWORD ms) {
    const ULONGLONG deadline = GetTickCount64() + ms;
    while (GetTickCount64() < deadline) pumpOnce(10);
}

bool Process::running() const {
    return process && WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
}

DWORD Process::wait(DWORD timeoutMs) const {
    if (!process) return 0;
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    while (running() && GetTickCount64() < deadline) pumpOnce(10);
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(process, &code);
    return code;
}

void Process::kill() {
    if (running()) {
        TerminateProcess(process, 1);
        WaitForSingleObject(process, 5000);
    }
}

void Process::close() {
    if (process) CloseHandle(process);
    process = nullptr;
    pid = 0;
}

Process startProcess(const std::wstring& exe, const std::wstring& args) {
    std::wstring cmd = L"\"" + exe + L"\"";
    if (!args.empty()) cmd += L" " + args;
    std::wstring dir = exe.substr(0, exe.find_last_of(L'\\') + 1);
    STARTUPINFOW si{};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi{};
    Process p;
    if (!CreateProcessW(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, dir.c_str(),
                        &si, &pi)) {
        fprintf(stderr, "startProcess: %ls could not be started (error %lu)\n", exe.c_str(),
                GetLastError());
        return p;
    }
    CloseHandle(pi.hThread);
    p.process = pi.hProcess;
    p.pid = pi.dwProcessId;
    return p;
}

namespace {
struct FindCtx {
    DWORD pid;
    const wchar_t* className;
    HWND found;
};
BOOL CALLBACK findProc(HWND w, LPARAM lp) {
    auto* ctx = reinterpret_cast<FindCtx*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    if (pid != ctx->pid) return TRUE;
    if (ctx->className) {
        wchar_t cls[256];
        if (!GetClassNameW(w, cls, 256) || lstrcmpW(cls, ctx->className) != 0) return TRUE;
    }
    ctx->found = w;
    return FALSE;
}
} // namespace

HWND findWindowOfProcess(DWORD pid, const wchar_t* className) {
    FindCtx ctx{pid, className, nullptr};
    EnumWindows(findProc, reinterpret_cast<LPARAM>(&ctx));
    return ctx.found;
}

std::vector<unsigned char> readFile(const std::wstring& path) {
    std::vector<unsigned char> bytes;
    HANDLE f = CreateFileW(path.c_str(), GENERIC_READ,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return bytes;
    DWORD size = GetFileSize(f, nullptr);
    bytes.resize(size);
    DWORD got = 0;
    if (size && !ReadFile(f, bytes.data(), size, &got, nullptr)) got = 0;
    bytes.resize(got);
    CloseHandle(f);
    return bytes;
}

bool writeFile(const std::wstring& path, const std::vector<unsigned char>& bytes) {
    HANDLE f = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    BOOL ok = WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(f);
    return ok && written == bytes.size();
}

void OrvalisRun::prepare(const std::vector<unsigned char>& settingsBytes) {
    for (const wchar_t* name : {L"Orvalis.exe", L"ovl.dll", L"Orvalis.chm"})
        CopyFileW((binDir() + name).c_str(), (dir.path + name).c_str(), FALSE);
    if (!settingsBytes.empty()) writeFile(settingsPath(), settingsBytes);
}

static BOOL CALLBACK appendStaticText(HWND child, LPARAM out) {
    wchar_t cls[16], t[512];
    if (GetClassNameW(child, cls, 16) && lstrcmpiW(cls, L"Static") == 0 &&
        GetWindowTextW(child, t, 512) > 0)
        reinterpret_cast<std::wstring*>(out)->append(t);
    return TRUE;
}

// The texts of a message box's static controls in UTF-8, for saying why a start failed.
static std::string boxText(HWND box) {
    std::wstring text;
    EnumChildWindows(box, appendStaticText, reinterpret_cast<LPARAM>(&text));
    std::string utf8(text.size() * 3, '\0');
    utf8.resize(WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                    utf8.data(), static_cast<int>(utf8.size()), nullptr, nullptr));
    return utf8;
}

// One start; returns what went wrong, or an empty text when the program runs its loop.
std::string OrvalisRun::startOnce(DWORD timeoutMs) {
    // One instance at a time: an earlier run must have let go of its mutex.
    waitUntil(
        [] {
            HANDLE m = OpenMutexW(SYNCHRONIZE, FALSE, L"ZerdaneOrvalis");
            if (m) CloseHandle(m);
            return m == nullptr;
        },
        10000);
    proc = startProcess(exePath());
    if (!proc.process) return "could not be started";
    // The window exists from early in start-up, but answers only once the main loop
    // pumps; a start-up error box would answer too, so it must not be there.
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    if (!waitUntil(
            [&] {
                if (!proc.running()) return true;
                mainWindow = findWindowOfProcess(proc.pid, L"ZerdaneOrvalis");
                return mainWindow && barrier(200);
            },
            timeoutMs) ||
        !proc.running())
        return proc.running() ? "showed no answering main window"
                              : "ended before its window answered";
    // Start-up answers sent messages while it waits on the shell (adding the tray icon),
    // so an answer alone does not mean the main loop runs: wait until it idles in it.
    const ULONGLONG now = GetTickCount64();
    WaitForInputIdle(proc.process, now < deadline ? static_cast<DWORD>(deadline - now) : 0);
    if (!barrier()) return "stopped answering";
    if (!proc.running()) {
        char why[64];
        snprintf(why, sizeof why, "ended with exit code 0x%08lx", proc.wait(0));
        return why;
    }
    if (HWND box = findWindowOfProcess(proc.pid, L"#32770"))
        return "shows a message: " + boxText(box);
    return {};
}

bool OrvalisRun::start(DWORD timeoutMs) {
    if (!PathFileExistsW(exePath().c_str())) prepare();
    // A failed start is tried once more, and said on stderr either way: a start that
    // fails twice fails the test.
    for (int attempt = 1;; ++attempt) {
        const std::string why = startOnce(timeoutMs);
        if (why.empty()) return true;
        fprintf(stderr, "start: attempt %d: the program %s\n", attempt, why.c_str());
        proc.kill();
        proc.close();
        mainWindow = nullptr;
        if (attempt == 2) return false;
    }
}

bool OrvalisRun::waitInputReady(DWORD timeoutMs) {
    auto movementByte = [&] {
        const auto bytes = readFile(settingsPath());
        return bytes.size() == 84 ? static_cast<int>(bytes[0]) : -1;
    };
    // While the program swaps in a new file the name is briefly missing: not a change.
    auto changedFrom = [&](int value) {
        const int now = movementByte();
        return now != -1 && now != value;
    };
    const int before = movementByte();
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    // Generous waits per click, so that a late click is never taken for a lost one.
    while (GetTickCount64() < deadline) {
        middleClick();
        if (!waitUntil([&] { return changedFrom(before); }, 2000)) continue;
        const int toggled = movementByte();
        barrier();
        // Input arrives now: one more click puts movement back as it was. A click whose
        // change never shows in the file is repeated, and only such a click.
        while (GetTickCount64() < deadline) {
            middleClick();
            if (waitUntil([&] { return changedFrom(toggled); }, 3000))
                return barrier();
            fprintf(stderr, "waitInputReady: the click back was not seen (movement byte %d)\n",
                    movementByte());
        }
        return false;
    }
    return false;
}

bool OrvalisRun::barrier(DWORD timeoutMs) const {
    DWORD_PTR result = 0;
    return SendMessageTimeoutW(mainWindow, WM_NULL, 0, 0, SMTO_BLOCK | SMTO_ABORTIFHUNG, timeoutMs,
                               &result) != 0;
}

bool OrvalisRun::stop(DWORD timeoutMs) {
    if (!proc.running()) return true;
    if (mainWindow) PostMessageW(mainWindow, WM_CLOSE, 0, 0);
    return proc.wait(timeoutMs) != STILL_ACTIVE;
}

OrvalisRun::~OrvalisRun() {
    if (proc.running() && !stop(10000)) proc.kill();
    proc.close();
}

static void sendMouse(DWORD flags, int dx, int dy) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dx = dx;
    in.mi.dy = dy;
    in.mi.dwFlags = flags;
    SendInput(1, &in, sizeof(in));
}

void moveRelative(int dx, int dy) { sendMouse(MOUSEEVENTF_MOVE, dx, dy); }

void setCursor(int x, int y) {
    SetCursorPos(x, y);
    // Under Wine a process that reads the pointer more than 100 ms after its last change
    // asks the X server, which SetCursorPos from another process does not always move:
    // warp the X pointer too, then wait until the position holds.
    // The warp is waited for: one that lands late would undo the input sent after it.
    runUnixCommand("xdotool mousemove " + std::to_string(x) + " " + std::to_string(y));
    int stable = 0;
    waitUntil(
        [&] {
            POINT p;
            stable = (GetCursorPos(&p) && p.x == x && p.y == y) ? stable + 1 : 0;
            return stable >= 20; // about 200 ms, past the 100 ms cache
        },
        5000);
}

static void sendKey(WORD vk, DWORD flags) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.wScan = static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
    in.ki.dwFlags = flags;
    SendInput(1, &in, sizeof(in));
}

void middleClick() {
    sendMouse(MOUSEEVENTF_MIDDLEDOWN, 0, 0);
    sendMouse(MOUSEEVENTF_MIDDLEUP, 0, 0);
}

void leftClick() {
    sendMouse(MOUSEEVENTF_LEFTDOWN, 0, 0);
    sendMouse(MOUSEEVENTF_LEFTUP, 0, 0);
}

void leftClickAt(int x, int y) {
    setCursor(x, y);
    leftClick();
}

void keyDown(WORD vk) { sendKey(vk, 0); }
void keyUp(WORD vk) { sendKey(vk, KEYEVENTF_KEYUP); }
void keyTap(WORD vk) {
    keyDown(vk);
    keyUp(vk);
}

std::string unixPath(const std::wstring& path) {
    using ToUnix = char*(CDECL*)(LPCWSTR);
    auto toUnix = reinterpret_cast<ToUnix>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    if (!toUnix)
        return {};
    char* name = toUnix(path.c_str());
    if (!name)
        return {};
    std::string s(name);
    HeapFree(GetProcessHeap(), 0, name);
    return s;
}

std::string shellQuoted(const std::string& word) {
    std::string out = "'";
    for (char c : word)
        out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

bool runUnixCommand(const std::string& line, DWORD timeoutMs) {
    // The shell's line travels as one quoted argument, so it must not hold a double quote.
    if (line.find('"') != std::string::npos)
        return false;
    static unsigned counter;
    wchar_t temp[MAX_PATH], name[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    swprintf(name, MAX_PATH, L"%lsorv-unix-%lu-%u.status", temp, GetCurrentProcessId(), ++counter);
    const std::wstring status = name;
    const std::string target = unixPath(status);
    if (target.empty())
        return false;
    DeleteFileW(status.c_str());
    // The status appears in one rename, so a file that exists is complete.
    const std::string part = shellQuoted(target + ".part");
    const std::string script =
        "{ " + line + "; }; echo $? >" + part + "; mv " + part + " " + shellQuoted(target);
    std::wstring cmd = L"sh -c \"" + std::wstring(script.begin(), script.end()) + L"\"";
    STARTUPINFOW si{};
    si.cb = sizeof(si);
    // For a Unix program Wine reports success but leaves this record as the stack held
    // it: its handles are not ours and must never be used or closed (closing one closed
    // this process's standard output once).
    PROCESS_INFORMATION ignored;
    if (!CreateProcessW(L"Z:\\bin\\sh", cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &si, &ignored))
        return false;
    if (!waitUntil([&] { return GetFileAttributesW(status.c_str()) != INVALID_FILE_ATTRIBUTES; },
                   timeoutMs)) {
        fprintf(stderr, "runUnixCommand: no end within %lu ms: %s\n", timeoutMs, line.c_str());
        return false;
    }
    const auto code = readFile(status);
    DeleteFileW(status.c_str());
    return code.size() >= 1 && code[0] == '0' && (code.size() == 1 || code[1] == '\n');
}

namespace {

// Under Wine, GDI reads of the screen show only the desktop background, so the X
// server's own picture is taken with ImageMagick's import.
bool saveScreenshotWithImport(const std::wstring& pngPath) {
    const std::string target = unixPath(pngPath);
    if (target.empty())
        return false;
    DeleteFileW(pngPath.c_str());
    return runUnixCommand("import -window root " + shellQuoted(target));
}

bool saveScreenshotWithGdi(const std::wstring& bmpPath) {

    const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = h; // bottom-up, as a BMP file stores it
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 24;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(mem, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    bool ok = false;
    if (dib) {
        HGDIOBJ old = SelectObject(mem, dib);
        BitBlt(mem, 0, 0, w, h, screen, 0, 0, SRCCOPY);
        GdiFlush();
        SelectObject(mem, old);
        const DWORD stride = ((w * 3 + 3) & ~3);
        const DWORD imageSize = stride * h;
        BITMAPFILEHEADER fh{};
        fh.bfType = 0x4D42;
        fh.bfOffBits = sizeof(fh) + sizeof(BITMAPINFOHEADER);
        fh.bfSize = fh.bfOffBits + imageSize;
        bi.bmiHeader.biSizeImage = imageSize;
        std::vector<unsigned char> out(fh.bfSize);
        memcpy(out.data(), &fh, sizeof(fh));
        memcpy(out.data() + sizeof(fh), &bi.bmiHeader, sizeof(BITMAPINFOHEADER));
        memcpy(out.data() + fh.bfOffBits, bits, imageSize);
        ok = writeFile(bmpPath, out);
        DeleteObject(dib);
    }
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    return ok;
}

} // namespace

bool saveScreenshot(const std::wstring& pngPath) {
    if (saveScreenshotWithImport(pngPath)) return true;
    std::wstring bmp = pngPath.substr(0, pngPath.find_last_of(L'.')) + L".bmp";
    return saveScreenshotWithGdi(bmp);
}

} // namespace e2e
