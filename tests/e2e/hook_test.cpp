// The hook library against another process. The test loads its own copy of ovl.dll from
// a fresh folder, so the shared section belongs to this test and to the processes the hook
// loads that copy into; a hidden window of the test stands in for the main program's
// window, and hookpeer.exe creates, activates, minimizes, maximizes and destroys windows.
#include "harness.h"

#include "hook/ovl.h"
#include "hook/packed_position.h"
#include "peers/hookpeer_commands.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using InstallHookFn = decltype(&InstallHook);
using UninstallHookFn = decltype(&UninstallHook);

// Hands every queued message to its window. Posting is complete when PostMessageW returns,
// so after a synchronous command to the peer this delivers everything the command caused.
void deliverQueued() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

// A private copy of ovl.dll, loaded by name like any library.
struct PrivateLibrary {
    e2e::TempDir dir;
    HMODULE module = nullptr;
    InstallHookFn install = nullptr;
    UninstallHookFn uninstall = nullptr;
    int* hookRet = nullptr;
    int* preventMaximize = nullptr;

    bool load() {
        const std::wstring copy = dir.path + L"ovl.dll";
        if (!CopyFileW((e2e::binDir() + L"ovl.dll").c_str(), copy.c_str(), FALSE)) {
            return false;
        }
        module = LoadLibraryW(copy.c_str());
        if (module == nullptr) {
            return false;
        }
        // Through void*: FARPROC and the real signatures are unrelated function types.
        install = reinterpret_cast<InstallHookFn>(
            reinterpret_cast<void*>(GetProcAddress(module, "InstallHook")));
        uninstall = reinterpret_cast<UninstallHookFn>(
            reinterpret_cast<void*>(GetProcAddress(module, "UninstallHook")));
        hookRet = reinterpret_cast<int*>(GetProcAddress(module, "d_bHookRet"));
        preventMaximize = reinterpret_cast<int*>(GetProcAddress(module, "d_bPreventMaximize"));
        return install && uninstall && hookRet && preventMaximize;
    }

    SIZE_T imageSize() const {
        const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(module);
        const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(
            reinterpret_cast<const BYTE*>(module) + dos->e_lfanew);
        return nt->OptionalHeader.SizeOfImage;
    }

    ~PrivateLibrary() {
        if (uninstall) {
            uninstall();
        }
        if (module) {
            FreeLibrary(module);
        }
    }
};

struct Notice {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

// The hidden window that receives the hook's notifications, as the main window would.
struct StandIn {
    HWND hwnd = nullptr;
    std::vector<Notice> received;

    static LRESULT CALLBACK proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
        auto* self = reinterpret_cast<StandIn*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        if (self != nullptr && msg >= WM_HOOK_ACTIVATE && msg <= WM_HOOK_MAXIMIZE) {
            self->received.push_back({msg, wParam, lParam});
            return 0;
        }
        if (msg == WM_NCDESTROY && self != nullptr) {
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
            self->hwnd = nullptr;
        }
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    }

    StandIn() {
        static const ATOM atom = [] {
            WNDCLASSW wc{};
            wc.lpfnWndProc = proc;
            wc.hInstance = GetModuleHandleW(nullptr);
            wc.lpszClassName = L"ZerdaneOrvalis"; // the hooks post to nothing else
            return RegisterClassW(&wc);
        }();
        // Message-only: a hidden top-level window would still get a taskbar button under
        // Wine, and the taskbar destroying that button is an event the hook reports.
        hwnd = CreateWindowExW(0, MAKEINTATOM(atom), L"stand-in", 0, 0, 0, 0, 0, HWND_MESSAGE,
                               nullptr, GetModuleHandleW(nullptr), nullptr);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    ~StandIn() { destroy(); }
    StandIn(const StandIn&) = delete;
    StandIn& operator=(const StandIn&) = delete;

    void destroy() {
        if (hwnd != nullptr) {
            DestroyWindow(hwnd);
        }
    }

    // Notices of one kind about one window (for WM_HOOK_MAXIMIZE the window is lParam).
    std::vector<Notice> about(UINT message, HWND window) const {
        std::vector<Notice> found;
        for (const Notice& n : received) {
            const auto subject = reinterpret_cast<HWND>(
                message == WM_HOOK_MAXIMIZE ? static_cast<WPARAM>(n.lParam) : n.wParam);
            if (n.message == message && subject == window) {
                found.push_back(n);
            }
        }
        return found;
    }

    size_t countOf(UINT message) const {
        size_t count = 0;
        for (const Notice& n : received) {
            count += n.message == message;
        }
        return count;
    }
};

// hookpeer.exe, running.
struct Peer {
    e2e::Process process;
    HWND commands = nullptr;

    bool start(const std::wstring& args = L"") {
        process = e2e::startProcess(e2e::binDir() + L"hookpeer.exe", args);
        return process.process != nullptr && e2e::waitUntil([&] {
                   commands = e2e::findWindowOfProcess(process.pid, kHookPeerClass);
                   return commands != nullptr;
               });
    }

    LRESULT send(UINT command, WPARAM wParam = 0, LPARAM lParam = 0) const {
        DWORD_PTR result = 0;
        const bool answered = SendMessageTimeoutW(commands, command, wParam, lParam,
                                                  SMTO_ABORTIFHUNG, 5000, &result) != 0;
        EXPECT_TRUE(answered) << "hookpeer did not answer command " << command;
        deliverQueued();
        return static_cast<LRESULT>(result);
    }

    HWND create(HWND parent = nullptr) const {
        return reinterpret_cast<HWND>(send(kPeerCreate, reinterpret_cast<WPARAM>(parent)));
    }
    void move(HWND w, int x, int y) const {
        send(kPeerMove, reinterpret_cast<WPARAM>(w),
             MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)));
    }
    void show(HWND w, int showCode) const {
        send(kPeerShow, reinterpret_cast<WPARAM>(w), showCode);
    }
    bool activate(HWND w) const { return send(kPeerActivate, reinterpret_cast<WPARAM>(w)) != 0; }
    void destroy(HWND w) const { send(kPeerDestroy, reinterpret_cast<WPARAM>(w)); }
    HMODULE libraryBase() const { return reinterpret_cast<HMODULE>(send(kPeerLibraryBase)); }

    ~Peer() {
        if (commands != nullptr) {
            PostMessageW(commands, WM_CLOSE, 0, 0);
        }
        if (process.wait(5000) == STILL_ACTIVE) {
            process.kill();
        }
        process.close();
    }
};

// Other processes, the taskbar's above all, react a little later to the peer's window
// changes and the hook reports their windows too. Waits until reports have stopped for a
// while, so that the next event is the one the test causes.
bool waitForQuiet(const StandIn& main) {
    constexpr ULONGLONG kQuietMs = 300;
    size_t seen = main.received.size();
    ULONGLONG quietSince = GetTickCount64();
    return e2e::waitUntil([&] {
        if (main.received.size() != seen) {
            seen = main.received.size();
            quietSince = GetTickCount64();
        }
        return GetTickCount64() - quietSince >= kQuietMs;
    });
}

// The last few reports, for a failure message.
std::string describe(const std::vector<Notice>& received) {
    std::string text = std::to_string(received.size()) + " reports, the last:";
    const size_t from = received.size() > 6 ? received.size() - 6 : 0;
    char one[64];
    for (size_t i = from; i < received.size(); ++i) {
        snprintf(one, sizeof one, " %x(%llx,%llx)", received[i].message,
                 static_cast<unsigned long long>(received[i].wParam),
                 static_cast<unsigned long long>(received[i].lParam));
        text += one;
        // Whose window it is tells a storm of the peer's own apart from the desktop's.
        const auto subject = reinterpret_cast<HWND>(received[i].wParam);
        char cls[64] = "";
        DWORD pid = 0;
        if (GetClassNameA(subject, cls, sizeof cls) > 0) {
            GetWindowThreadProcessId(subject, &pid);
            snprintf(one, sizeof one, "[%s pid %lu]", cls, pid);
            text += one;
        }
    }
    return text;
}

class HookLibrary : public testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(library.load()); }

    // Two windows of the peer, one active after the other, so that activating either
    // later is a real change of the active window.
    void startPeerWithTwoWindows(const std::wstring& args = L"") {
        ASSERT_TRUE(peer.start(args));
        first = peer.create();
        second = peer.create();
        ASSERT_NE(first, nullptr);
        ASSERT_NE(second, nullptr);
    }

    PrivateLibrary library;
    Peer peer;
    HWND first = nullptr;
    HWND second = nullptr;
};

TEST_F(HookLibrary, StartsFromTheFileValuesAndRefusesAMissingMainWindow) {
    EXPECT_EQ(*library.hookRet, 0);
    EXPECT_EQ(*library.preventMaximize, 1);
    EXPECT_TRUE(library.uninstall()) << "nothing installed yet";
    EXPECT_FALSE(library.install(nullptr, nullptr));
    EXPECT_TRUE(library.uninstall()) << "the failed install left nothing installed";

    StandIn main;
    ASSERT_TRUE(library.install(main.hwnd, nullptr));
    EXPECT_TRUE(library.uninstall());
    EXPECT_TRUE(library.uninstall());
}

TEST_F(HookLibrary, ReportsActivationDestructionAndMinimizingOfAnotherProcess) {
    StandIn main;
    StandIn later;
    ASSERT_TRUE(library.install(main.hwnd, nullptr));
    EXPECT_TRUE(library.install(later.hwnd, nullptr)) << "already installed";
    startPeerWithTwoWindows();

    main.received.clear();
    // Wine may pass an activation back and forth once more: at least one report each.
    ASSERT_TRUE(peer.activate(first));
    ASSERT_GE(main.about(WM_HOOK_ACTIVATE, first).size(), 1u);
    EXPECT_EQ(main.about(WM_HOOK_ACTIVATE, first)[0].lParam, 0);
    ASSERT_TRUE(peer.activate(second));
    EXPECT_GE(main.about(WM_HOOK_ACTIVATE, second).size(), 1u);
    EXPECT_TRUE(later.received.empty()) << "the second InstallHook changed the target";

    struct Case {
        int showCode;
        int x, y;
    } cases[] = {
        {SW_SHOWMINIMIZED, 123, 456},
        {SW_MINIMIZE, -300, -20},
        {SW_SHOWMINNOACTIVE, 5, -7},
        {SW_FORCEMINIMIZE, -1, 300},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "show code " << c.showCode);
        peer.move(first, c.x, c.y);
        main.received.clear();
        peer.show(first, c.showCode);
        const auto notices = main.about(WM_HOOK_MINIMIZE, first);
        ASSERT_EQ(notices.size(), 1u);
        // The corner before minimizing, each half a signed 16-bit value.
        EXPECT_EQ(unpackPosition(notices[0].lParam), (PackedPoint{c.x, c.y}));
        EXPECT_EQ(static_cast<short>(LOWORD(notices[0].lParam)), c.x);
        EXPECT_EQ(static_cast<short>(HIWORD(notices[0].lParam)), c.y);
        EXPECT_TRUE(IsIconic(first));

        main.received.clear();
        peer.show(first, SW_RESTORE);
        peer.show(first, SW_SHOWNORMAL);
        EXPECT_FALSE(IsIconic(first));
        EXPECT_EQ(main.countOf(WM_HOOK_MINIMIZE) + main.countOf(WM_HOOK_MAXIMIZE), 0u)
            << "restoring is never reported";
    }

    // A child window: minimizing it is not reported, destroying it is.
    const HWND child = peer.create(first);
    ASSERT_NE(child, nullptr);
    main.received.clear();
    peer.show(child, SW_MINIMIZE);
    EXPECT_TRUE(IsIconic(child));
    EXPECT_EQ(main.countOf(WM_HOOK_MINIMIZE), 0u);
    peer.destroy(child);
    ASSERT_EQ(main.about(WM_HOOK_DESTROY, child).size(), 1u);
    EXPECT_EQ(main.about(WM_HOOK_DESTROY, child)[0].lParam, 0);

    main.received.clear();
    peer.destroy(second);
    EXPECT_EQ(main.about(WM_HOOK_DESTROY, second).size(), 1u);
    EXPECT_TRUE(later.received.empty());
}

// A main program that ended without uninstalling leaves the hook state behind for as long
// as any process maps the library. Its successor installs afresh and gets the reports.
TEST_F(HookLibrary, InstallsAfreshOverTheStateOfAMainProgramThatIsGone) {
    startPeerWithTwoWindows();
    StandIn gone;
    ASSERT_TRUE(library.install(gone.hwnd, nullptr));
    ASSERT_TRUE(waitForQuiet(gone)) << describe(gone.received);
    gone.destroy();

    StandIn next;
    ASSERT_TRUE(library.install(next.hwnd, nullptr));
    // Two activations in turn: at least one of them changes the active window.
    peer.activate(second);
    peer.activate(first);
    EXPECT_TRUE(e2e::waitUntil([&] { return next.countOf(WM_HOOK_ACTIVATE) >= 1; }, 2000))
        << "the reports still go to the old window";
    peer.show(first, SW_MAXIMIZE);
    EXPECT_FALSE(IsZoomed(first)) << "the hook is not in place";
    EXPECT_TRUE(library.uninstall());
}

TEST_F(HookLibrary, RefusesAndReportsMaximizeOnlyWhilePrevented) {
    StandIn main;
    ASSERT_TRUE(library.install(main.hwnd, nullptr));
    startPeerWithTwoWindows();

    main.received.clear();
    peer.show(first, SW_MAXIMIZE);
    EXPECT_FALSE(IsZoomed(first)) << "the maximize went through";
    const auto refused = main.about(WM_HOOK_MAXIMIZE, first);
    ASSERT_EQ(refused.size(), 1u);
    EXPECT_EQ(refused[0].wParam, 0u);

    // The flag lives in the shared section: the hook in the peer reads this very value.
    storeHookFlag(*library.preventMaximize, 0);
    main.received.clear();
    peer.show(first, SW_MAXIMIZE);
    EXPECT_TRUE(IsZoomed(first));
    EXPECT_EQ(main.countOf(WM_HOOK_MAXIMIZE), 0u);

    peer.show(first, SW_RESTORE);
    ASSERT_FALSE(IsZoomed(first));
    storeHookFlag(*library.preventMaximize, 1);
    main.received.clear();
    peer.show(second, SW_SHOWMAXIMIZED);
    EXPECT_FALSE(IsZoomed(second));
    EXPECT_EQ(main.about(WM_HOOK_MAXIMIZE, second).size(), 1u);
}

TEST_F(HookLibrary, NeverReportsTheMainProgramsOwnWindows) {
    StandIn main;
    ASSERT_TRUE(library.install(main.hwnd, nullptr));
    const HWND own =
        CreateWindowExW(0, L"ZerdaneOrvalis", L"own", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 200, 200,
                        300, 200, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(own, nullptr);
    SetForegroundWindow(own);
    ShowWindow(own, SW_MINIMIZE);
    ShowWindow(own, SW_RESTORE);
    ShowWindow(own, SW_MAXIMIZE);
    EXPECT_TRUE(IsZoomed(own)) << "the main program's own maximize must not be refused";
    DestroyWindow(own);
    // The hook ran on this thread inside those calls; whatever it posted is queued now.
    // (Other processes, the taskbar's among them, may report their own windows meanwhile.)
    deliverQueued();
    for (UINT message : {WM_HOOK_ACTIVATE, WM_HOOK_DESTROY, WM_HOOK_MINIMIZE, WM_HOOK_MAXIMIZE}) {
        EXPECT_TRUE(main.about(message, own).empty()) << std::hex << message;
    }
}

TEST_F(HookLibrary, UninstalledHookReportsNothing) {
    StandIn main;
    ASSERT_TRUE(library.install(main.hwnd, nullptr));
    startPeerWithTwoWindows();
    ASSERT_TRUE(peer.activate(first));
    ASSERT_FALSE(main.about(WM_HOOK_ACTIVATE, first).empty()) << "the hook works";

    EXPECT_TRUE(library.uninstall());
    // A hook procedure that was already running when the hooks came off (the desktop's
    // programs see activations too) may still post its report; give those time to land.
    Sleep(100);
    deliverQueued();
    main.received.clear();
    peer.activate(second);
    peer.show(first, SW_MINIMIZE);
    peer.show(second, SW_MAXIMIZE);
    peer.destroy(first);
    Sleep(50);
    deliverQueued();
    // Only the peer's windows are judged: what they did came after uninstalling. A late
    // activation report of the first window belongs to the time before.
    for (const Notice& n : main.received) {
        const auto subject = reinterpret_cast<HWND>(
            n.message == WM_HOOK_MAXIMIZE ? static_cast<WPARAM>(n.lParam) : n.wParam);
        const bool peers = subject == first || subject == second;
        const bool earlier = n.message == WM_HOOK_ACTIVATE && subject == first;
        EXPECT_TRUE(!peers || earlier)
            << "reported after uninstalling: " << std::hex << n.message << " " << n.wParam
            << " " << n.lParam;
    }
    EXPECT_TRUE(IsZoomed(second)) << "a maximize was refused after uninstalling";
    EXPECT_TRUE(library.uninstall());
}

// The main program's window is gone without uninstalling: the next event that the hook
// would have reported clears the hooks' record instead. The proof is a maximize that is no
// longer refused. The hooks themselves stay with the process that set them (which still
// runs here, so taking them off is its own business); a fresh InstallHook then really
// installs again.
TEST_F(HookLibrary, RemovesItselfAtTheFirstEventAfterTheMainWindowIsGone) {
    startPeerWithTwoWindows();
    const HWND proof = peer.create();
    ASSERT_NE(proof, nullptr);
    // Created while nothing is installed: a child appears without activating anything.
    const HWND victim = peer.create(first);
    ASSERT_NE(victim, nullptr);

    enum class Trigger { Activate, Destroy, Minimize, Maximize };
    for (Trigger trigger :
         {Trigger::Activate, Trigger::Destroy, Trigger::Minimize, Trigger::Maximize}) {
        SCOPED_TRACE(static_cast<int>(trigger));
        StandIn gone;
        ASSERT_TRUE(library.install(gone.hwnd, nullptr));
        ASSERT_TRUE(waitForQuiet(gone)) << describe(gone.received);
        gone.destroy();
        ASSERT_FALSE(IsWindow(gone.hwnd));

        switch (trigger) {
        case Trigger::Activate: peer.activate(first); break;
        case Trigger::Destroy: peer.destroy(victim); break;
        case Trigger::Minimize: peer.show(first, SW_MINIMIZE); break;
        case Trigger::Maximize:
            peer.show(first, SW_MAXIMIZE);
            EXPECT_FALSE(IsZoomed(first)) << "the maximize at that moment is still refused";
            break;
        }

        peer.show(proof, SW_MAXIMIZE);
        EXPECT_TRUE(IsZoomed(proof)) << "the hook still acts";
        peer.show(proof, SW_RESTORE);
        peer.show(first, SW_RESTORE);
        EXPECT_TRUE(library.uninstall()) << "another process took the hook off";

        StandIn next;
        ASSERT_TRUE(library.install(next.hwnd, nullptr));
        peer.activate(second);
        peer.activate(first);
        EXPECT_GE(next.about(WM_HOOK_ACTIVATE, first).size(), 1u) << "not installed again";
        ASSERT_TRUE(library.uninstall());
    }
}

// The library may sit at another address in another process. Here the peer keeps the
// test's address for itself, so the hook loads the library elsewhere there; installing
// again afterwards must still use this process's own module handle.
TEST_F(HookLibrary, InstallsAgainAfterLoadingAtAnotherAddressElsewhere) {
    wchar_t args[64];
    swprintf(args, 64, L"%llx %llx",
             static_cast<unsigned long long>(reinterpret_cast<ULONG_PTR>(library.module)),
             static_cast<unsigned long long>(library.imageSize()));

    StandIn main;
    ASSERT_TRUE(library.install(main.hwnd, nullptr));
    startPeerWithTwoWindows(args);
    main.received.clear();
    ASSERT_TRUE(peer.activate(first));
    const HMODULE elsewhere = peer.libraryBase();
    ASSERT_NE(elsewhere, nullptr) << "the hook did not load the library into the peer";
    ASSERT_NE(elsewhere, library.module) << "the peer could not keep the address free";
    EXPECT_GE(main.about(WM_HOOK_ACTIVATE, first).size(), 1u)
        << "the relocated copy does not share the section";

    ASSERT_TRUE(library.uninstall());
    ASSERT_TRUE(library.install(main.hwnd, nullptr));
    main.received.clear();
    peer.activate(second);
    EXPECT_GE(main.about(WM_HOOK_ACTIVATE, second).size(), 1u);
}

} // namespace

namespace {

// A hostile program on the same desktop writes every value of the hook library's shared
// section. The real program goes on: reports never reach the hostile window, the program
// puts its hooks back (the proof is a maximize refused again on a 2 x 2 area), and after
// it is killed and started again over a forged "installed" record, it really installs.
TEST(HostileProcess, SharedValuesWrittenByAnotherProcessAreNotTrusted) {
    e2e::OrvalisRun run;
    run.prepare();
    ASSERT_TRUE(run.start());
    Peer peer;
    ASSERT_TRUE(peer.start());
    const HWND first = peer.create();
    const HWND second = peer.create();
    ASSERT_NE(second, nullptr);
    peer.activate(first);
    ASSERT_NE(peer.libraryBase(), nullptr) << "the hook did not load the library into the peer";

    auto maximizeRefused = [&] {
        peer.show(second, SW_MAXIMIZE);
        const bool refused = !IsZoomed(second);
        peer.show(second, SW_RESTORE);
        return refused;
    };
    auto refusedAgain = [&] { return e2e::waitUntil(maximizeRefused, 5000); };
    ASSERT_TRUE(refusedAgain()) << "the program's hook is not in place";

    // The hostile window as the main window; then a dead handle with the real process.
    HWND dead = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr,
                                nullptr);
    DestroyWindow(dead);
    const struct {
        const char* why;
        HWND mainWindow;
        DWORD processId;
    } forgeries[] = {
        {"hostile window", nullptr, 0},
        {"dead window", dead, run.proc.pid},
    };
    for (const auto& forged : forgeries) {
        SCOPED_TRACE(forged.why);
        ASSERT_NE(peer.send(kPeerTamper, reinterpret_cast<WPARAM>(forged.mainWindow),
                            static_cast<LPARAM>(forged.processId)),
                  0);
        for (int i = 0; i < 3; ++i) {
            peer.activate(first);
            peer.activate(second);
        }
        EXPECT_TRUE(refusedAgain()) << "the hooks were not put back";
        EXPECT_TRUE(run.barrier());
        EXPECT_EQ(peer.send(kPeerReports), 0) << "a report reached the hostile window";
    }

    // Killed without uninstalling, then the record forged as "installed" for a live window.
    run.proc.kill();
    run.proc.close();
    ASSERT_NE(peer.send(kPeerTamper), 0);
    ASSERT_TRUE(run.start());
    EXPECT_TRUE(refusedAgain()) << "InstallHook answered success without installing";
    peer.activate(first);
    peer.activate(second);
    EXPECT_EQ(peer.send(kPeerReports), 0);
    EXPECT_TRUE(run.stop());
}

} // namespace
