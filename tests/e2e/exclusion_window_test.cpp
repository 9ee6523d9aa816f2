// The exclusion window of the real program: opened from the tray menu and left as it is
// by a second command, a window of another process found by pointing and confirmed with
// Ctrl (the file is rewritten and the next push leaves that window alone), a rename to "*"
// that takes in the whole class, sorting twice and deleting the selection.
#include "edge_fixture.h"

#include "exclusion/exclusion_codec.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <string>
#include <vector>

using namespace e2e;

namespace {

constexpr wchar_t kWindowClass[] = L"ZerdaneExceptionListWndCls";

struct Rule {
    std::wstring title, cls;
    bool operator==(const Rule&) const = default;
};

std::vector<Rule> rulesIn(const std::wstring& path) {
    const std::vector<unsigned char> b = readFile(path);
    std::vector<ExclusionEntry> entries;
    if (hasExclusionSignature(b.data(), b.size()))
        decodeExclusionRecords(b.data(), b.size(), entries);
    std::vector<Rule> rules;
    for (const ExclusionEntry& e : entries)
        rules.push_back({e.windowName, e.className});
    return rules;
}

std::vector<unsigned char> fileOf(const std::vector<Rule>& rules) {
    std::vector<ExclusionEntry> entries(rules.size());
    for (size_t i = 0; i < rules.size(); ++i) {
        entries[i].windowName = rules[i].title;
        entries[i].className = rules[i].cls;
    }
    const auto bytes = encodeExclusionFile(entries);
    return {bytes.begin(), bytes.end()};
}

void typeText(const wchar_t* text) {
    for (; *text; ++text) {
        INPUT in[2] = {};
        in[0].type = in[1].type = INPUT_KEYBOARD;
        in[0].ki.wScan = in[1].ki.wScan = *text;
        in[0].ki.dwFlags = KEYEVENTF_UNICODE;
        in[1].ki.dwFlags = KEYEVENTF_UNICODE | KEYEVENTF_KEYUP;
        SendInput(2, in, sizeof(INPUT));
    }
}

struct ClassCount {
    DWORD pid;
    int count;
    HWND last;
};
BOOL CALLBACK countWindow(HWND w, LPARAM lp) {
    auto* c = reinterpret_cast<ClassCount*>(lp);
    wchar_t cls[64] = {};
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    if (pid == c->pid && GetClassNameW(w, cls, 64) && lstrcmpW(cls, kWindowClass) == 0) {
        ++c->count;
        c->last = w;
    }
    return TRUE;
}

// The program's exclusion windows: how many there are, and one of them.
ClassCount exclusionWindows(DWORD pid) {
    ClassCount c{pid, 0, nullptr};
    EnumWindows(countWindow, reinterpret_cast<LPARAM>(&c));
    return c;
}

// The list view of the window seen from outside: rows and their texts, read through a
// buffer in the program's own memory.
struct RemoteList {
    HANDLE process;
    HWND list;
    int rows() const { return static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)); }
    std::wstring text(int row, int column) const {
        constexpr int kUnits = 512;
        const SIZE_T size = sizeof(LVITEMW) + kUnits * sizeof(wchar_t);
        auto* remote =
            static_cast<char*>(VirtualAllocEx(process, nullptr, size, MEM_COMMIT, PAGE_READWRITE));
        if (!remote)
            return L"?";
        LVITEMW item{};
        item.iSubItem = column;
        item.cchTextMax = kUnits;
        item.pszText = reinterpret_cast<wchar_t*>(remote + sizeof(LVITEMW));
        wchar_t buffer[kUnits] = {};
        const bool ok =
            WriteProcessMemory(process, remote, &item, sizeof item, nullptr) &&
            SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row),
                         reinterpret_cast<LPARAM>(remote)) >= 0 &&
            ReadProcessMemory(process, remote + sizeof(LVITEMW), buffer, sizeof buffer, nullptr);
        VirtualFreeEx(process, remote, 0, MEM_RELEASE);
        buffer[kUnits - 1] = 0;
        return ok ? buffer : L"?";
    }
    // Window names of every row, '|' between them.
    std::wstring titles() const {
        std::wstring s;
        for (int r = 0; r < rows(); ++r)
            s += (r ? L"|" : L"") + text(r, 0);
        return s;
    }
};

HWND openFromTrayMenu(const OrvalisRun& run) {
    PostMessageW(run.mainWindow, 0x8064 /* the tray callback */, 1, WM_RBUTTONUP);
    const bool menu = waitUntil([&] {
        HWND m = findWindowOfProcess(run.proc.pid, L"#32768");
        return m && IsWindowVisible(m);
    });
    if (!menu)
        return nullptr;
    keyTap('P');
    HWND window = nullptr;
    waitUntil([&] {
        window = exclusionWindows(run.proc.pid).last;
        return window && IsWindowVisible(window);
    });
    return window;
}

RemoteList listOf(const OrvalisRun& run, HWND window) {
    return {run.proc.process, FindWindowExW(window, nullptr, L"SysListView32", nullptr)};
}

// A window of the test process itself: another program to the one under test, of a class
// no rule names, so it shows that a push happened.
struct Witness {
    HWND w = nullptr;
    Witness() {
        WNDCLASSW wc{};
        wc.lpfnWndProc = DefWindowProcW;
        wc.lpszClassName = L"ExclusionWitness";
        RegisterClassW(&wc);
        w = CreateWindowExW(0, wc.lpszClassName, L"witness", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100,
                            420, 150, 100, nullptr, nullptr, nullptr, nullptr);
    }
    ~Witness() { DestroyWindow(w); }
    int left() const {
        RECT r{};
        GetWindowRect(w, &r);
        return r.left;
    }
};

// The edge fixture's peer windows A and B (class "OrvPeerWindow") and program run.
struct ExclusionWindowTest : EdgeTest {};

TEST_F(ExclusionWindowTest, FindsByPointingAndTheFoundWindowStays) {
    Witness witness;
    ASSERT_NO_FATAL_FAILURE(begin(centred()));
    const std::wstring file = run.dir.path + L"除外ウィンドウ.dat";

    // Off the edge first: pointing at windows from there pushes nothing.
    setCursor(200, 600);
    settle();
    a0 = peer.rect(L"A");
    b0 = peer.rect(L"B");
    HWND window = openFromTrayMenu(run);
    ASSERT_TRUE(window) << "no exclusion window from the tray menu";
    wchar_t title[64] = {};
    GetWindowTextW(window, title, 64);
    EXPECT_STREQ(title, L"Orvalis 除外ウィンドウ");
    RECT work{}, r{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    GetWindowRect(window, &r);
    const int ww = work.right - work.left, wh = work.bottom - work.top;
    // A third of the work area each way, wider where its status hint needs it (the Win32
    // tests measure the hint), centred.
    const int width = r.right - r.left;
    EXPECT_GE(width, ww / 3);
    EXPECT_EQ(r.bottom - r.top, wh / 3);
    EXPECT_EQ(r.left, work.left + (ww - width) / 2);
    EXPECT_EQ(r.top, work.top + (wh - wh / 3) / 2);

    // Find mode: translucent and click-through; the window under the pointer is the
    // candidate row, replaced in place when the pointer moves to another window.
    const RemoteList list = listOf(run, window);
    ASSERT_EQ(list.rows(), 0);
    PostMessageW(window, WM_COMMAND, 121, 0);
    ASSERT_TRUE(waitUntil([&] {
        return (GetWindowLongW(window, GWL_EXSTYLE) & (WS_EX_LAYERED | WS_EX_TRANSPARENT)) ==
               (WS_EX_LAYERED | WS_EX_TRANSPARENT);
    }));
    setCursor(400, 150); // over A
    ASSERT_TRUE(waitUntil([&] { return list.rows() == 1 && list.text(0, 0) == L"A"; }))
        << list.rows() << " rows: " << testing::PrintToString(list.titles()) << " A at "
        << peer.rect(L"A").left << "," << peer.rect(L"A").top;
    EXPECT_EQ(list.text(0, 1), L"OrvPeerWindow");
    setCursor(700, 150); // over B
    ASSERT_TRUE(waitUntil([&] { return list.text(0, 0) == L"B"; }));
    EXPECT_EQ(list.rows(), 1);
    saveScreenshot(shotDir() + L"exclusion_find.png");

    // Ctrl confirms: the window is solid again and the file holds the new rule.
    keyDown(VK_CONTROL);
    const bool saved = waitUntil([&] {
        return rulesIn(file) == std::vector<Rule>{{L"B", L"OrvPeerWindow"}};
    });
    keyUp(VK_CONTROL);
    ASSERT_TRUE(saved) << "the file was not rewritten with the found window";
    EXPECT_TRUE(waitUntil([&] {
        return (GetWindowLongW(window, GWL_EXSTYLE) & (WS_EX_LAYERED | WS_EX_TRANSPARENT)) == 0;
    }));

    // The next push (reaching the left edge is one) moves A and the witness by the same
    // amount but leaves B where it is.
    const int witness0 = witness.left();
    setCursor(0, 600);
    moveRelative(-7, 0);
    ASSERT_TRUE(waitUntil([&] { return witness.left() != witness0; })) << "no push";
    settle();
    EXPECT_EQ(movedX(L"A", a0), witness.left() - witness0);
    EXPECT_EQ(movedX(L"B", b0), 0);

    // Renamed to "*", the rule takes in every window of the class: now A stays too.
    RECT lr{};
    GetWindowRect(list.list, &lr);
    leftClickAt((lr.left + lr.right) / 2, lr.bottom - 10);
    ASSERT_TRUE(waitUntil([&] { return GetForegroundWindow() == window; }));
    keyTap(VK_HOME);
    keyTap(VK_F2);
    ASSERT_TRUE(waitUntil([&] {
        return FindWindowExW(list.list, nullptr, L"Edit", nullptr) != nullptr;
    })) << "no label editor";
    typeText(L"*"); // over the whole old name, which the editor selects
    keyTap(VK_RETURN);
    ASSERT_TRUE(waitUntil([&] { return list.text(0, 0) == L"*"; })) << list.text(0, 0);

    // Back the other way (the view stands at the left border now): only the witness moves.
    const int witness1 = witness.left();
    const int a1 = movedX(L"A", a0);
    setCursor(1023, 600);
    moveRelative(7, 0);
    ASSERT_TRUE(waitUntil([&] { return witness.left() != witness1; })) << "no push";
    settle();
    EXPECT_EQ(movedX(L"A", a0), a1);
    EXPECT_EQ(movedX(L"B", b0), 0);

    // A second command neither opens another window nor activates the open one, which
    // stays behind the program in front (last: activating the witness lets the view
    // follow it).
    ASSERT_TRUE(waitUntil(
        [&] { return SetForegroundWindow(witness.w) && GetForegroundWindow() == witness.w; }));
    PostMessageW(run.mainWindow, WM_COMMAND, 130, 0);
    ASSERT_TRUE(run.barrier());
    settle();
    EXPECT_EQ(GetForegroundWindow(), witness.w) << "the open window was activated";
    EXPECT_EQ(exclusionWindows(run.proc.pid).count, 1);

    // Renames wait for the next save: here, the one at exit.
    EXPECT_TRUE(run.stop());
    EXPECT_EQ(rulesIn(file), (std::vector<Rule>{{L"*", L"OrvPeerWindow"}}));
}

TEST_F(ExclusionWindowTest, SortsTwiceAndDeletesTheSelection) {
    setCursor(512, 600);
    run.prepare();
    const std::wstring file = run.dir.path + L"除外ウィンドウ.dat";
    ASSERT_TRUE(writeFile(file, fileOf({{L"c", L"C1"}, {L"a", L"C3"}, {L"b", L"C2"}})));
    ASSERT_TRUE(run.start());
    PostMessageW(run.mainWindow, WM_COMMAND, 130, 0);
    HWND window = nullptr;
    ASSERT_TRUE(waitUntil([&] {
        window = exclusionWindows(run.proc.pid).last;
        return window && IsWindowVisible(window);
    }));
    const RemoteList list = listOf(run, window);
    ASSERT_EQ(list.titles(), L"c|a|b");
    EXPECT_EQ(list.text(1, 1), L"C3");

    // The first click sorts ascending ("c" is not below "b"), the second reverses.
    HWND header = FindWindowExW(list.list, nullptr, L"SysHeader32", nullptr);
    RECT hr{};
    ASSERT_TRUE(GetWindowRect(header, &hr));
    leftClickAt(hr.left + 50, (hr.top + hr.bottom) / 2);
    ASSERT_TRUE(waitUntil([&] { return list.titles() == L"a|b|c"; })) << list.titles();
    // Far enough from the first click not to make a double click of the two.
    leftClickAt(hr.left + 120, (hr.top + hr.bottom) / 2);
    ASSERT_TRUE(waitUntil([&] { return list.titles() == L"c|b|a"; })) << list.titles();
    EXPECT_EQ(list.text(2, 1), L"C3");
    EXPECT_EQ(rulesIn(file).size(), 3u) << "sorting alone saves nothing";

    // The first two rows selected and deleted: the file keeps the third.
    RECT lr{};
    GetWindowRect(list.list, &lr);
    leftClickAt((lr.left + lr.right) / 2, lr.bottom - 10);
    keyTap(VK_HOME);
    keyDown(VK_SHIFT);
    keyTap(VK_DOWN);
    keyUp(VK_SHIFT);
    ASSERT_TRUE(
        waitUntil([&] { return SendMessageW(list.list, LVM_GETSELECTEDCOUNT, 0, 0) == 2; }));
    keyTap(VK_DELETE);
    ASSERT_TRUE(waitUntil([&] {
        return rulesIn(file) == std::vector<Rule>{{L"a", L"C3"}};
    })) << "the file was not rewritten";
    EXPECT_EQ(list.titles(), L"a");
    EXPECT_TRUE(run.stop());
}

} // namespace
