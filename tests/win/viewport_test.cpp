// The collector, shiftView and the adoption at start-up against real windows: those of a
// peer process (shiftpeer.exe) for the shift, those of this process for the adoption,
// since Wine refuses placement changes on another process's windows.
#include "core/app.h"
#include "core/file_saver.h"
#include "core/settings.h"
#include "core/settings_file.h"
#include "core/view.h"
#include "core/stranded_windows.h"
#include "core/viewport.h"
#include "exclusion/exclusion.h"
#include "hook/hook_messages.h"
#include "hook/packed_position.h"
#include "mainwnd/main_window.h"
#include "mainwnd/window_lists.h"
#include "res/resource.h"
#include "tray/tray_icon.h"
#include "tray/tray_menu.h"
#include "tray/tray_rules.h"

#include "shiftpeer_client.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <shellapi.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

RECT rectOf(HWND w) {
    RECT r{};
    GetWindowRect(w, &r);
    return r;
}

struct ZOrderScan {
    const std::vector<HWND>* of;
    std::vector<HWND> seen;
};

BOOL CALLBACK scanZOrder(HWND w, LPARAM p) {
    auto* scan = reinterpret_cast<ZOrderScan*>(p);
    for (HWND x : *scan->of)
        if (x == w)
            scan->seen.push_back(w);
    return TRUE;
}

// The top-level windows among `of`, in z-order.
std::vector<HWND> zOrder(const std::vector<HWND>& of) {
    ZOrderScan scan{&of, {}};
    EnumWindows(scanZOrder, reinterpret_cast<LPARAM>(&scan));
    return scan.seen;
}

// Wine restacks a new owned window once its display events arrive: the order counts once
// it has stayed the same over a few polls.
std::vector<HWND> settledZOrder(const std::vector<HWND>& of) {
    std::vector<HWND> last = zOrder(of);
    int same = 0;
    waitFor(
        [&] {
            const auto now = zOrder(of);
            same = now == last ? same + 1 : 0;
            last = now;
            return same >= 5;
        },
        3000);
    return last;
}

std::vector<HWND> withoutOwned(std::vector<HWND> order, HWND owned) {
    std::erase(order, owned);
    return order;
}

bool listed(HWND w) {
    for (int i = 0; i < ManagedWindowList.count; ++i)
        if (ManagedWindowList.windows[i] == w)
            return true;
    return false;
}

ExclusionEntry rule(const wchar_t* cls, const wchar_t* title) {
    ExclusionEntry e;
    e.className = cls;
    e.windowName = title;
    return e;
}

struct ViewportTest : ::testing::Test {
    Peer peer;
    std::vector<HWND> ownWindows;

    static void SetUpTestSuite() {
        WNDCLASSW wc{};
        wc.lpfnWndProc = ownProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"ViewportTestOwn";
        RegisterClassW(&wc);
    }
    static inline int ownPaints = 0;
    // Answers WM_GETMINMAXINFO with its own maximized rectangle (5, 6) 700 x 500.
    static LRESULT CALLBACK ownProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
        ownPaints += msg == WM_PAINT;
        if (msg == WM_GETMINMAXINFO && GetPropW(w, L"customMax")) {
            auto* info = reinterpret_cast<MINMAXINFO*>(lp);
            info->ptMaxPosition = {5, 6};
            info->ptMaxSize = {700, 500};
            return 0;
        }
        return DefWindowProcW(w, msg, wp, lp);
    }

    void SetUp() override {
        resetAppState();
        ownProcessId = GetCurrentProcessId();
        Settings = SettingsRecord{};
        ViewOrigin = {};
        RealScreenSize = {1024, 768};
        resetExclusionList();
        resetWindowLists();
        resetViewportState();
    }
    void TearDown() override {
        for (HWND w : ownWindows)
            DestroyWindow(w);
        pumpOwnMessages();
        resetExclusionList();
        resetWindowLists();
    }

    HWND ownWindow(int x, int y, int w, int h, bool customMax = false) {
        HWND win = CreateWindowExW(0, L"ViewportTestOwn", L"own window", WS_OVERLAPPEDWINDOW, x, y,
                                   w, h, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        if (win && customMax)
            SetPropW(win, L"customMax", reinterpret_cast<HANDLE>(1));
        if (win)
            ShowWindow(win, SW_SHOWNOACTIVATE);
        ownWindows.push_back(win);
        return win;
    }
};

TEST_F(ViewportTest, ShiftMovesOtherWindowsWithoutActivationResizeOrRestacking) {
    ASSERT_TRUE(peer.start());
    const HWND a = peer.create(L"300,120,200,150,-,ShiftPeerWin,first");
    const HWND b = peer.create(L"50,200,220,160,-,ShiftPeerWin,second");
    const HWND untitled = peer.create(L"400,300,100,80,-,ShiftPeerWin,");
    const HWND owned = peer.create(L"450,330,100,80,o,ShiftPeerWin,owned");
    const HWND frame = peer.create(L"600,40,120,90,-,IEFrame,browser");
    ASSERT_TRUE(a && b && untitled && owned && frame);
    const HWND foreground = GetForegroundWindow();
    const auto stackBefore = settledZOrder({a, b, untitled, owned, frame});
    const RECT ra = rectOf(a), rb = rectOf(b);
    ASSERT_EQ(ra.left, 300);
    ASSERT_EQ(rb.left, 50);
    ViewOrigin = {200, 768};

    shiftView(100, 0, nullptr);
    ASSERT_TRUE(peer.barrier());

    EXPECT_EQ(ViewOrigin, (Point{300, 768}));
    const RECT na = rectOf(a), nb = rectOf(b);
    EXPECT_EQ(na.left, 200);
    EXPECT_EQ(nb.left, -50);
    EXPECT_EQ(na.top, ra.top);
    EXPECT_EQ(nb.top, rb.top);
    EXPECT_EQ(na.right - na.left, ra.right - ra.left); // no resize
    EXPECT_EQ(na.bottom - na.top, ra.bottom - ra.top);
    EXPECT_EQ(nb.right - nb.left, rb.right - rb.left);
    EXPECT_EQ(rectOf(untitled).left, 300);
    EXPECT_EQ(rectOf(owned).left, 350);
    EXPECT_EQ(rectOf(frame).left, 500); // an ordinary "IEFrame" moves
    EXPECT_EQ(GetForegroundWindow(), foreground);
    // Under load Wine itself now and then puts an owner above its owned window after any
    // move of theirs (a batch of the test's own does it too): the owned window is left out.
    EXPECT_EQ(zOrder({a, b, untitled, frame}), withoutOwned(stackBefore, owned));

    shiftView(-30, 25, nullptr);
    ASSERT_TRUE(peer.barrier());
    EXPECT_EQ(ViewOrigin, (Point{270, 793}));
    EXPECT_EQ(rectOf(a).left, 230);
    EXPECT_EQ(rectOf(a).top, ra.top - 25);
}

// The icons move inside the desktop's list view; without one a shift has nothing to
// repaint, and a window it did not move is not asked to paint.
TEST_F(ViewportTest, WithoutADesktopListViewAShiftRepaintsNothing) {
    ASSERT_EQ(findDesktopListView(), nullptr);
    const HWND own = ownWindow(480, 280, 200, 150);
    ASSERT_TRUE(own);
    UpdateWindow(own);
    waitFor([] { return false; }, 200); // the window's first paints
    ownPaints = 0;
    Settings.moveIcons = 1;
    shiftView(100, 0, nullptr);
    waitFor([] { return false; }, 200);
    EXPECT_EQ(ownPaints, 0);
}

// A message another thread sends to this one: it waits among this thread's sent messages,
// which the next wait of a shift on the peer delivers.
struct SentMessage {
    HWND to;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    HANDLE sender = nullptr;

    static DWORD WINAPI send(void* self) {
        const auto* m = static_cast<SentMessage*>(self);
        return static_cast<DWORD>(SendMessageW(m->to, m->message, m->wParam, m->lParam));
    }
    // Returns once the message waits here.
    bool start() {
        sender = CreateThread(nullptr, 0, send, this, 0, nullptr);
        const ULONGLONG deadline = GetTickCount64() + 5000;
        while (!pending() && GetTickCount64() < deadline)
            Sleep(1);
        return sender && pending();
    }
    static bool pending() { return HIWORD(GetQueueStatus(QS_SENDMESSAGE)) & QS_SENDMESSAGE; }
    bool answered() const { return WaitForSingleObject(sender, 0) == WAIT_OBJECT_0; }
    // Without pumping: an answer already given, whose sender may still be on its way out.
    bool wasAnswered() const { return WaitForSingleObject(sender, 2000) == WAIT_OBJECT_0; }
    ~SentMessage() {
        if (sender) {
            WaitForSingleObject(sender, 5000);
            CloseHandle(sender);
        }
    }
};

HWND makeMainWindow() {
    WNDCLASSW wc{};
    wc.lpfnWndProc = mainWindowProc;
    wc.lpszClassName = L"ViewportTestMain";
    RegisterClassW(&wc);
    MainWindow = CreateWindowExW(WS_EX_TOOLWINDOW, L"ViewportTestMain", L"", 0, 0, 0, 0, 0, nullptr,
                                 nullptr, nullptr, nullptr);
    return MainWindow;
}

// A command another program sends while the shift waits on it runs once the shift is
// over: run inside it, its plain collection would replace the list being moved and leave
// the untitled and owned windows behind for good.
TEST_F(ViewportTest, ACommandSentDuringAShiftWaitsUntilTheShiftIsOver) {
    ASSERT_TRUE(peer.start());
    const HWND a = peer.create(L"300,120,200,150,-,ShiftPeerWin,first");
    const HWND untitled = peer.create(L"400,300,100,80,-,ShiftPeerWin,");
    const HWND owned = peer.create(L"450,330,100,80,o,ShiftPeerWin,owned");
    ASSERT_TRUE(a && untitled && owned);
    ASSERT_TRUE(makeMainWindow());
    WorkArea = {0, 0, 1024, 728};

    SentMessage gather{MainWindow, WM_COMMAND, IDM_GATHER, 0};
    ASSERT_TRUE(gather.start());
    shiftView(100, 0, nullptr);
    EXPECT_TRUE(waitFor([&] { return gather.answered(); }));
    ASSERT_TRUE(peer.barrier()); // the command, put off, has not run yet
    EXPECT_EQ(rectOf(a).left, 200);
    EXPECT_EQ(rectOf(untitled).left, 300);
    EXPECT_EQ(rectOf(owned).left, 350);
    // Then the command runs.
    EXPECT_TRUE(waitFor([&] { return rectOf(a).left == 0; }));
    DestroyWindow(MainWindow);
    pumpOwnMessages();
}

// A modal loop inside a shift (a message box) fetches what the shift puts off: it must
// neither fetch the same messages over and over nor run the exit, whose own warning box
// would open inside the shift. Both run once the shift is over.
constexpr UINT kRunModalLoop = WM_APP + 20;
int modalLoopFetched;

LRESULT CALLBACK modalLoopProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg != kRunModalLoop)
        return DefWindowProcW(w, msg, wp, lp);
    PostMessageW(MainWindow, WM_HOOK_DESTROY, reinterpret_cast<WPARAM>(w), 0);
    const ULONGLONG end = GetTickCount64() + 300;
    while (GetTickCount64() < end) {
        MSG m;
        if (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
            ++modalLoopFetched;
            DispatchMessageW(&m);
        } else {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        }
    }
    SendMessageW(MainWindow, WM_CLOSE, 0, 0);
    return 0;
}

TEST_F(ViewportTest, AModalLoopInsideAShiftNeitherSpinsNorRunsTheExit) {
    ASSERT_TRUE(peer.start());
    const HWND a = peer.create(L"300,120,200,150,-,ShiftPeerWin,first");
    ASSERT_TRUE(a);
    ASSERT_TRUE(makeMainWindow());
    WNDCLASSW wc{};
    wc.lpfnWndProc = modalLoopProc;
    wc.lpszClassName = L"ViewportTestModal";
    RegisterClassW(&wc);
    HWND modal = CreateWindowExW(0, L"ViewportTestModal", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                 nullptr, nullptr);
    ASSERT_TRUE(modal);
    modalLoopFetched = 0;

    SentMessage openBox{modal, kRunModalLoop, 0, 0};
    ASSERT_TRUE(openBox.start());
    shiftView(100, 0, nullptr);
    EXPECT_TRUE(openBox.wasAnswered()) << "the modal loop did not run inside the shift";
    EXPECT_EQ(rectOf(a).left, 200);
    EXPECT_LE(modalLoopFetched, 5) << "the put-off messages came back over and over";
    EXPECT_TRUE(IsWindow(MainWindow)) << "the exit ran inside the shift";
    EXPECT_TRUE(waitFor([] { return !IsWindow(MainWindow); })) << "the exit never ran";
    DestroyWindow(modal);
    pumpOwnMessages(); // the quit message the main window's end posted
}

// Tray clicks the shell sends during a shift keep their order with one it sends after
// it: a middle click (pin the pointer) then a left click (which, pinned, only unpins).
TEST_F(ViewportTest, TrayClicksPutOffByAShiftKeepTheirOrder) {
    ASSERT_TRUE(peer.start());
    ASSERT_TRUE(peer.create(L"300,120,200,150,-,ShiftPeerWin,first"));
    ASSERT_TRUE(makeMainWindow());
    Settings.trayClickTogglesScroll = 1; // unpinned, a left click would toggle movement
    Settings.scrollEnabled = 0;
    pointerPinned = 0;

    SentMessage middle{MainWindow, WM_TRAYICON, kTrayIconId, kTrayMiddleUp};
    ASSERT_TRUE(middle.start());
    shiftView(100, 0, nullptr);
    ASSERT_TRUE(middle.wasAnswered());
    SentMessage left{MainWindow, WM_TRAYICON, kTrayIconId, kTrayLeftUp};
    ASSERT_TRUE(left.start());
    EXPECT_TRUE(waitFor([&] { return left.answered(); }));
    pumpOwnMessages();
    EXPECT_EQ(pointerPinned, 0) << "the left click ran first, then the pin";
    EXPECT_EQ(Settings.scrollEnabled, 0) << "the left click ran before the pin";
    unpinPointer();
    DestroyWindow(MainWindow);
    pumpOwnMessages();
    finishFileSaves();
    wchar_t path[MAX_PATH];
    if (settingsFilePath(path))
        DeleteFileW(path);
}

TEST_F(ViewportTest, WindowsThatMustStayPutStayPut) {
    ASSERT_TRUE(peer.start());
    const HWND mover = peer.create(L"300,100,200,150,-,ShiftPeerWin,mover");
    const HWND minimized = peer.create(L"320,120,200,150,m,ShiftPeerWin,minimized");
    const HWND hidden = peer.create(L"340,140,200,150,h,ShiftPeerWin,hidden");
    const HWND excludedByStar = peer.create(L"360,160,200,150,-,KeepMe,anything");
    const HWND excludedByTitle = peer.create(L"380,180,200,150,-,ShiftPeerWin,pinned");
    const HWND magnifier = peer.create(L"400,200,200,150,-,#32770,拡大鏡");
    const HWND dialog = peer.create(L"420,220,200,150,-,#32770,開く");
    const HWND disabledTool = peer.create(L"440,240,200,150,td,IEFrame,");
    const HWND taskbar = peer.create(L"0,700,1024,48,-,Shell_SecondaryTrayWnd,");
    const HWND except = peer.create(L"460,260,200,150,-,ShiftPeerWin,except");
    const HWND own = ownWindow(480, 280, 200, 150);
    ASSERT_TRUE(mover && minimized && hidden && excludedByStar && excludedByTitle && magnifier &&
                dialog && disabledTool && taskbar && except && own);
    ExclusionList.entries = {rule(L"KeepMe", L"*"), rule(L"ShiftPeerWin", L"pinned")};
    // Wine shows its taskbar only while some program has a tray icon.
    NOTIFYICONDATAW icon{};
    icon.cbSize = sizeof(icon);
    icon.hWnd = own;
    icon.uID = 77;
    icon.uFlags = NIF_ICON;
    icon.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
    ASSERT_TRUE(Shell_NotifyIconW(NIM_ADD, &icon));
    HWND realTaskbar = nullptr;
    EXPECT_TRUE(waitFor([&] {
        realTaskbar = FindWindowW(L"Shell_TrayWnd", nullptr);
        return realTaskbar && IsWindowVisible(realTaskbar);
    }));

    struct Kept {
        HWND w;
        RECT r;
    };
    std::vector<Kept> kept;
    for (HWND w : {minimized, hidden, excludedByStar, excludedByTitle, magnifier, disabledTool,
                   taskbar, except, own, realTaskbar})
        if (w)
            kept.push_back({w, rectOf(w)});
    const RECT minimizedPlacement = [&] {
        WINDOWPLACEMENT wp{};
        wp.length = sizeof(wp);
        GetWindowPlacement(minimized, &wp);
        return wp.rcNormalPosition;
    }();

    shiftView(100, -50, except);
    Shell_NotifyIconW(NIM_DELETE, &icon);
    ASSERT_TRUE(peer.barrier());

    EXPECT_EQ(rectOf(mover).left, 200);
    EXPECT_EQ(rectOf(mover).top, 150);
    EXPECT_EQ(rectOf(dialog).left, 320); // a dialog with another title moves
    for (const Kept& k : kept) {
        wchar_t cls[64] = {};
        GetClassNameW(k.w, cls, 64);
        SCOPED_TRACE(testing::Message() << "class " << std::string(cls, cls + lstrlenW(cls)));
        const RECT now = rectOf(k.w);
        EXPECT_EQ(now.left, k.r.left);
        EXPECT_EQ(now.top, k.r.top);
    }
    EXPECT_TRUE(IsIconic(minimized));
    WINDOWPLACEMENT wp{};
    wp.length = sizeof(wp);
    GetWindowPlacement(minimized, &wp);
    EXPECT_EQ(wp.rcNormalPosition.left, minimizedPlacement.left);
}

TEST_F(ViewportTest, CollectorModesOnRealWindows) {
    ASSERT_TRUE(peer.start());
    const HWND titled = peer.create(L"300,100,200,150,-,ShiftPeerWin,titled");
    const HWND untitled = peer.create(L"300,100,200,150,-,ShiftPeerWin,");
    const HWND owned = peer.create(L"300,100,200,150,op,ShiftPeerWin,owned");
    const HWND minimized = peer.create(L"300,100,200,150,m,ShiftPeerWin,minimized");
    const HWND empty = peer.create(L"300,100,0,0,p,ShiftPeerWin,empty");
    const HWND own = ownWindow(300, 100, 200, 150);
    ASSERT_TRUE(titled && untitled && owned && minimized && empty && own);

    struct Row {
        int mode;
        bool titled, untitled, owned, minimized;
    } rows[] = {
        {0, true, false, false, false},
        {kCollectMinimized, true, false, false, true},
        {kCollectUntitled, true, true, true, false},
        {kCollectUntitled | kCollectMinimized, true, true, true, true},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.mode);
        ASSERT_TRUE(collectWindows(r.mode));
        EXPECT_EQ(listed(titled), r.titled);
        EXPECT_EQ(listed(untitled), r.untitled);
        EXPECT_EQ(listed(owned), r.owned);
        EXPECT_EQ(listed(minimized), r.minimized);
        EXPECT_FALSE(listed(empty));
        EXPECT_FALSE(listed(own));
    }
    // The same windows, in z-order: owned (newest, shown last) above titled.
    ASSERT_TRUE(collectWindows(kCollectUntitled));
    int posTitled = -1, posOwned = -1;
    for (int i = 0; i < ManagedWindowList.count; ++i) {
        if (ManagedWindowList.windows[i] == titled)
            posTitled = i;
        if (ManagedWindowList.windows[i] == owned)
            posOwned = i;
    }
    const auto order = zOrder({titled, owned});
    ASSERT_EQ(order.size(), 2u);
    EXPECT_EQ(posOwned < posTitled, order[0] == owned);
}

// Collections in a row: what a window may change (shown, minimized, a new rule for its
// class) is seen by the next collection, although its lasting facts are remembered; a
// message-only window is never taken, even when it claims to be visible.
TEST_F(ViewportTest, EachCollectionSeesWhatChangedSinceTheLast) {
    ownProcessId = 0; // this process's windows stand for another program's
    const HWND w = ownWindow(300, 100, 200, 150);
    const HWND hidden =
        CreateWindowExW(0, L"ViewportTestOwn", L"message only", WS_VISIBLE, 0, 0, 50, 50,
                        HWND_MESSAGE, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_TRUE(w && hidden);
    SetWindowLongW(hidden, GWL_STYLE, GetWindowLongW(hidden, GWL_STYLE) | WS_VISIBLE);

    auto takenInShift = [&](HWND h) {
        shiftView(0, 0, nullptr);
        return listed(h);
    };
    EXPECT_TRUE(takenInShift(w));
    EXPECT_FALSE(listed(hidden));
    ShowWindow(w, SW_HIDE);
    EXPECT_FALSE(takenInShift(w));
    ShowWindow(w, SW_SHOWNOACTIVATE);
    EXPECT_TRUE(takenInShift(w));
    ShowWindow(w, SW_SHOWMINNOACTIVE);
    EXPECT_FALSE(takenInShift(w));
    ShowWindow(w, SW_RESTORE);
    EXPECT_TRUE(takenInShift(w));
    ExclusionList.entries = {rule(L"ViewportTestOwn", L"*")};
    EXPECT_FALSE(takenInShift(w));
    ExclusionList.entries.clear();
    EXPECT_TRUE(takenInShift(w));
    // The other collectors read the rectangle themselves and agree with the shift.
    ASSERT_TRUE(collectWindows(kCollectUntitled));
    EXPECT_TRUE(listed(w));
    EXPECT_FALSE(listed(hidden));
    DestroyWindow(hidden);
}

TEST_F(ViewportTest, TheListGrowsBeyondFiftyAndKeepsItsStorage) {
    ASSERT_TRUE(peer.start());
    std::vector<HWND> many;
    for (int i = 0; i < 60; ++i)
        many.push_back(peer.create(std::to_wstring(10 + i) + L",10,100,80,-,ShiftPeerWin,w" +
                                   std::to_wstring(i)));
    for (HWND w : many)
        ASSERT_TRUE(w);
    ASSERT_TRUE(collectWindows(0));
    EXPECT_GE(ManagedWindowList.count, 60);
    EXPECT_EQ(ManagedWindowList.capacity % 50, 0);
    EXPECT_GE(ManagedWindowList.capacity, 100);
    for (HWND w : many)
        EXPECT_TRUE(listed(w));

    HWND* const storage = ManagedWindowList.windows;
    const int capacity = ManagedWindowList.capacity;
    ASSERT_TRUE(collectWindows(0));
    EXPECT_EQ(ManagedWindowList.windows, storage); // reused, not reallocated
    EXPECT_EQ(ManagedWindowList.capacity, capacity);

    shiftView(5, 0, nullptr);
    ASSERT_TRUE(peer.barrier());
    for (int i = 0; i < 60; ++i)
        EXPECT_EQ(rectOf(many[i]).left, 5 + i) << i;
}

// Stands in for the program's main thread: runs each shift it is given and pumps its
// messages in between, so that answers to its asynchronous probes reach it. The test
// thread waits for each shift with a deadline and so never hangs with it.
struct ShiftThread {
    HANDLE go = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    HANDLE done = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    volatile LONG dx = 0;
    volatile LONG quit = 0;
    HANDLE thread = CreateThread(nullptr, 0, run, this, 0, nullptr);

    static DWORD WINAPI run(LPVOID p) {
        auto* self = static_cast<ShiftThread*>(p);
        for (;;) {
            const DWORD r = MsgWaitForMultipleObjects(1, &self->go, FALSE, INFINITE, QS_ALLINPUT);
            pumpOwnMessages();
            if (r != WAIT_OBJECT_0)
                continue;
            if (self->quit)
                return 0;
            shiftView(self->dx, 0, nullptr);
            SetEvent(self->done);
        }
    }
    // True when the shift came back within the deadline.
    bool shift(int by, DWORD timeoutMs = 3000) {
        dx = by;
        SetEvent(go);
        return WaitForSingleObject(done, timeoutMs) == WAIT_OBJECT_0;
    }
    ~ShiftThread() {
        quit = 1;
        SetEvent(go);
        WaitForSingleObject(thread, 10000);
        CloseHandle(thread);
        CloseHandle(go);
        CloseHandle(done);
    }
};

// A program that has stopped pumping messages: every shift must come back at once and
// move the other windows; the stuck window follows with every shift it missed when its
// program wakes up, and moves normally afterwards.
TEST_F(ViewportTest, AHungProgramNeitherFreezesTheShiftNorHoldsBackOthers) {
    ASSERT_TRUE(peer.start());
    const HWND alive = peer.create(L"300,100,200,150,-,ShiftPeerWin,alive", 0);
    const HWND stuck = peer.create(L"500,300,200,150,-,ShiftPeerWin,stuck", 1);
    const HWND stuckToo = peer.create(L"600,350,200,150,-,ShiftPeerWin,stuck too", 1);
    ASSERT_TRUE(alive && stuck && stuckToo);
    ASSERT_TRUE(peer.block(1));

    bool returned = true;
    {
        ShiftThread shifter;
        for (int round = 1; round <= 3 && returned; ++round) {
            returned = shifter.shift(40);
            EXPECT_TRUE(!returned || peer.reached(0));
            EXPECT_EQ(rectOf(alive).left, 300 - 40 * round) << round;
        }
        if (!returned)
            peer.unblock(); // lets the shift finish so the test can end
        ASSERT_TRUE(returned) << "shiftView waited for a program that does not answer";
        EXPECT_EQ(ViewOrigin.x, 120);
        EXPECT_EQ(rectOf(stuck).left, 500); // its program sleeps

        peer.unblock();
        EXPECT_TRUE(waitFor([&] { return rectOf(stuck).left == 500 - 120; })) << rectOf(stuck).left;
        EXPECT_TRUE(waitFor([&] { return rectOf(stuckToo).left == 600 - 120; }));

        // Awake again: later shifts keep every window in step.
        for (int round = 1; round <= 3; ++round) {
            ASSERT_TRUE(shifter.shift(-10));
            EXPECT_TRUE(waitFor([&] { return rectOf(stuck).left == 380 + 10 * round; }))
                << round << ": " << rectOf(stuck).left;
            ASSERT_TRUE(peer.reached(0));
            EXPECT_EQ(rectOf(alive).left, 180 + 10 * round);
        }
    }
    EXPECT_EQ(rectOf(stuckToo).left, 510);
    EXPECT_EQ(rectOf(stuck).top, 300);
}

// --- adoption at start-up, on this process's own windows -------------------------------

TEST_F(ViewportTest, AdoptionRestoresAMaximizedWindowToItsReportedMaximizedRectangle) {
    ownProcessId = 0; // this process's windows stand for another program's
    const HWND w = ownWindow(100, 120, 300, 200, true);
    ASSERT_TRUE(w);
    ShowWindow(w, SW_MAXIMIZE);
    ASSERT_TRUE(IsZoomed(w));

    adoptExistingWindows();
    pumpOwnMessages();

    EXPECT_FALSE(IsZoomed(w));
    EXPECT_FALSE(IsIconic(w));
    const RECT r = rectOf(w);
    EXPECT_EQ(r.left, 5);
    EXPECT_EQ(r.top, 6);
    EXPECT_EQ(r.right, 705);
    EXPECT_EQ(r.bottom, 506);
    EXPECT_TRUE(isKnownWindow(w));
    RECT saved{};
    ASSERT_TRUE(findSavedNormalRect(w, saved)); // its normal rectangle from before
    EXPECT_EQ(saved.right - saved.left, 300);
    EXPECT_EQ(saved.bottom - saved.top, 200);
}

TEST_F(ViewportTest, AdoptionWithoutAnAnswerUsesTheSystemMaximizedRectangle) {
    ownProcessId = 0;
    const HWND w = ownWindow(100, 120, 300, 200, false);
    ASSERT_TRUE(w);
    ShowWindow(w, SW_MAXIMIZE);
    // DefWindowProc fills in the system's maximized rectangle; the window keeps covering it.
    MINMAXINFO info{};
    info.ptMaxSize = {GetSystemMetrics(SM_CXMAXIMIZED), GetSystemMetrics(SM_CYMAXIMIZED)};
    info.ptMaxPosition = {-GetSystemMetrics(SM_CXFRAME), -GetSystemMetrics(SM_CYFRAME)};
    SendMessageW(w, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    adoptExistingWindows();
    pumpOwnMessages();
    EXPECT_FALSE(IsZoomed(w));
    // A normal window is held to the largest tracking size, which may be a little smaller.
    const RECT r = rectOf(w);
    EXPECT_EQ(r.left, info.ptMaxPosition.x);
    EXPECT_EQ(r.top, info.ptMaxPosition.y);
    EXPECT_EQ(r.right - r.left, std::min<LONG>(info.ptMaxSize.x, GetSystemMetrics(SM_CXMAXTRACK)));
    EXPECT_EQ(r.bottom - r.top, std::min<LONG>(info.ptMaxSize.y, GetSystemMetrics(SM_CYMAXTRACK)));
}

TEST_F(ViewportTest, AdoptionRecordsAMinimizedWindowAtItsVirtualPosition) {
    ownProcessId = 0;
    ViewOrigin = {1024, 768};
    const HWND w = ownWindow(120, 80, 300, 200);
    const HWND normal = ownWindow(200, 150, 300, 200);
    ASSERT_TRUE(w && normal);
    ShowWindow(w, SW_SHOWMINNOACTIVE);
    ASSERT_TRUE(IsIconic(w));
    WINDOWPLACEMENT wp{};
    wp.length = sizeof(wp);
    ASSERT_TRUE(GetWindowPlacement(w, &wp));

    adoptExistingWindows();
    pumpOwnMessages();

    EXPECT_TRUE(IsIconic(w)); // still minimized
    std::uint32_t packed = 0;
    ASSERT_TRUE(takeMinimizedPosition(w, packed));
    EXPECT_EQ(unpackPosition(packed),
              (PackedPoint{wp.rcNormalPosition.left + 1024, wp.rcNormalPosition.top + 768}));
    EXPECT_FALSE(takeMinimizedPosition(normal, packed)); // only minimized windows
    EXPECT_TRUE(isKnownWindow(w));
    EXPECT_TRUE(isKnownWindow(normal));
    EXPECT_EQ(rectOf(normal).left, 200); // a normal window keeps its place
    RECT saved{};
    EXPECT_TRUE(findSavedNormalRect(normal, saved));
}

// Start-up on a 3 x 2 area viewed from its top-left screen, after a run whose view stood
// two screens to the right: its windows were left beyond the area's left border.
TEST_F(ViewportTest, StrandedWindowsComeIntoTheNearestScreenAndNothingElseMoves) {
    ownProcessId = 0; // this process's windows stand for another program's
    Settings.columns = 3;
    Settings.rows = 2;
    WorkArea = {0, 0, 1024, 748};
    const HWND left = ownWindow(-1948, 100, 200, 150);
    const HWND straddling = ownWindow(-150, 300, 200, 150);
    const HWND beyond = ownWindow(5000, 2000, 300, 200);
    const HWND minimized = ownWindow(-1900, 200, 200, 150);
    ASSERT_TRUE(left && straddling && beyond && minimized);
    ShowWindow(minimized, SW_SHOWMINNOACTIVE);
    ASSERT_TRUE(IsIconic(minimized));

    bringStrandedWindowsIn();
    pumpOwnMessages();

    EXPECT_EQ(rectOf(left).left, 100); // where it stood in its screen
    EXPECT_EQ(rectOf(left).top, 100);
    EXPECT_EQ(rectOf(straddling).left, -150); // partly inside: left alone
    EXPECT_EQ(rectOf(beyond).left, 3072 - 300); // its place in the screen would cross its edge
    EXPECT_EQ(rectOf(beyond).top, 768 + 2000 % 768);
    EXPECT_EQ(rectOf(beyond).right - rectOf(beyond).left, 300); // moved, not resized
    // A minimized window stays minimized; it comes back inside the area.
    EXPECT_TRUE(IsIconic(minimized));
    WINDOWPLACEMENT wp{};
    wp.length = sizeof(wp);
    ASSERT_TRUE(GetWindowPlacement(minimized, &wp));
    EXPECT_EQ(wp.rcNormalPosition.left, 148);
    EXPECT_EQ(wp.rcNormalPosition.top, 200);
    EXPECT_EQ(wp.rcNormalPosition.right - wp.rcNormalPosition.left, 200);
}

TEST_F(ViewportTest, AdoptionLeavesThisProgramsOwnWindowsAlone) {
    const HWND w = ownWindow(100, 120, 300, 200, true);
    ShowWindow(w, SW_MAXIMIZE);
    adoptExistingWindows(); // ownProcessId is this process
    EXPECT_TRUE(IsZoomed(w));
    EXPECT_FALSE(isKnownWindow(w));
}

} // namespace
