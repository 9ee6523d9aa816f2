// The e2e harness: starts the real Orvalis.exe from a fresh folder, finds and ends it,
// runs peer programs as "other processes", injects input and waits on conditions with
// deadlines. Every wait pumps this thread's messages; nothing here sleeps and hopes.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace e2e {

// Folder holding e2e_tests.exe, Orvalis.exe, ovl.dll and the peer programs (ends in '\').
std::wstring binDir();

// A new empty folder under %TEMP%, removed with its files by the destructor.
struct TempDir {
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    std::wstring path; // ends in '\'
};

// Pumps this thread's messages until cond() holds or timeoutMs pass; returns cond().
bool waitUntil(const std::function<bool()>& cond, DWORD timeoutMs = 5000);
// Milliseconds from the high-resolution counter, for measurements.
double nowMs();
// A performance counter reading (of any process) on the nowMs scale.
double counterMs(LONGLONG ticks);

// Pumps messages for ms milliseconds (for "nothing happens" checks only).
void pumpFor(DWORD ms);

// The system's double-click time for the length of a test; put back at the end. It is
// not written to the user's profile: a program started afterwards in this session reads
// it all the same, and a test process that dies before putting it back leaves nothing
// behind once the session ends.
struct DoubleClickTime {
    UINT saved = GetDoubleClickTime();
    explicit DoubleClickTime(UINT ms) {
        SystemParametersInfoW(SPI_SETDOUBLECLICKTIME, ms, nullptr, 0);
    }
    ~DoubleClickTime() { SystemParametersInfoW(SPI_SETDOUBLECLICKTIME, saved, nullptr, 0); }
    DoubleClickTime(const DoubleClickTime&) = delete;
    DoubleClickTime& operator=(const DoubleClickTime&) = delete;
};

struct Process {
    HANDLE process = nullptr;
    DWORD pid = 0;
    bool running() const;
    // Waits for the process to end; returns its exit code or STILL_ACTIVE on time-out.
    DWORD wait(DWORD timeoutMs = 10000) const;
    void kill();
    void close();
};

// Starts exe (full path) with the given command-line arguments, working folder = its folder.
Process startProcess(const std::wstring& exe, const std::wstring& args = L"");

// The first visible-or-not top-level window of process pid with the given class (or any
// class when className is null).
HWND findWindowOfProcess(DWORD pid, const wchar_t* className);

// Orvalis run from a fresh folder: copies Orvalis.exe and ovl.dll there, optionally
// writes Orvalis.dat with the given 84 bytes, starts it and waits for its main window.
struct OrvalisRun {
    TempDir dir;
    Process proc;
    HWND mainWindow = nullptr;

    std::wstring exePath() const { return dir.path + L"Orvalis.exe"; }
    std::wstring settingsPath() const { return dir.path + L"Orvalis.dat"; }

    // Copies the binaries (and writes settings when non-empty) without starting.
    void prepare(const std::vector<unsigned char>& settingsBytes = {});
    // Starts the program and waits until its main window exists and answers a message.
    // A start that fails is reported on stderr and tried once more.
    bool start(DWORD timeoutMs = 15000);
    // Synchronous round trip: when it returns, every message posted before it was handled.
    bool barrier(DWORD timeoutMs = 5000) const;
    // The program's raw input registration completes a little after start-up, so input
    // sent at once can be lost. With the pointer within two pixels of a screen edge, this
    // middle-clicks (which toggles movement and rewrites the settings file) until the file
    // shows the toggle, then clicks once more to put movement back.
    bool waitInputReady(DWORD timeoutMs = 15000);
    // WM_CLOSE and wait for the process to end; returns true when it ended.
    bool stop(DWORD timeoutMs = 15000);
    ~OrvalisRun();

private:
    std::string startOnce(DWORD timeoutMs);
};

std::vector<unsigned char> readFile(const std::wstring& path);
bool writeFile(const std::wstring& path, const std::vector<unsigned char>& bytes);

// Input through SendInput.
void moveRelative(int dx, int dy);
// Sets the pointer (and, under Wine, the X server's pointer) and waits until it holds.
void setCursor(int x, int y);

// The host system's name of a file under Wine; empty elsewhere.
std::string unixPath(const std::wstring& path);
// `word` as one word of a shell's command line.
std::string shellQuoted(const std::string& word);
// Runs a command line of the host system's shell under Wine and waits until it ends;
// true when it ended within timeoutMs with status 0. False elsewhere.
bool runUnixCommand(const std::string& line, DWORD timeoutMs = 15000);
void keyTap(WORD vk);
void keyDown(WORD vk);
void keyUp(WORD vk);
void middleClick();
void leftClick();
// The pointer to (x, y), then a left click there.
void leftClickAt(int x, int y);

// Saves a PNG of the whole screen (under Wine, through the X server; elsewhere a BMP
// beside the given name); returns false on failure.
bool saveScreenshot(const std::wstring& pngPath);

// The folder screenshots go to (created on first use): bin\shots\.
std::wstring shotDir();

} // namespace e2e
