// The questions a coarse plate asks of a window's program, and their prefetch thread. The
// thread only reads the handles it was given and writes its own facts; the main thread
// starts it before and reads the facts after, so no lock is needed.
#include "overview/plate_facts.h"

#include <new>

namespace {

struct Prefetch {
    HANDLE thread = nullptr;
    std::vector<PlateFacts> facts;
};
Prefetch prefetch;

DWORD WINAPI prefetchMain(void*) {
    // The threads whose icon question timed out: their other windows are not asked.
    std::vector<DWORD> silent;
    for (PlateFacts& f : prefetch.facts) {
        const DWORD thread = GetWindowThreadProcessId(f.window, nullptr);
        for (DWORD t : silent)
            f.asleep = f.asleep || t == thread;
        if (!askPlateFacts(f.window, f)) {
            f.title.clear();
        } else if (f.timedOut) {
            try {
                silent.push_back(thread);
            } catch (const std::bad_alloc&) {
                // asked again: each question is bounded anyway
            }
        }
    }
    return 0;
}

void awaitPrefetch() {
    // A program the thread is asking may itself wait on this thread: run what is sent
    // here meanwhile, as a synchronous question would.
    DWORD woke;
    while ((woke = MsgWaitForMultipleObjectsEx(1, &prefetch.thread, INFINITE, QS_SENDMESSAGE, 0)) ==
           WAIT_OBJECT_0 + 1) {
        MSG msg;
        PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
    if (woke != WAIT_OBJECT_0) // the facts are the thread's until it has ended
        WaitForSingleObject(prefetch.thread, INFINITE);
    CloseHandle(prefetch.thread);
    prefetch.thread = nullptr;
}

} // namespace

bool askPlateFacts(HWND window, PlateFacts& facts) {
    facts.window = window;
    if (!GetWindowRect(window, &facts.rect))
        return false;
    // One question when the title fits the usual buffer. A longer one is read into ever
    // larger buffers: the system keeps the title of another program's window and answers
    // without asking it, where the length alone would be a message to the program.
    wchar_t usual[256];
    int count = GetWindowTextW(window, usual, 256);
    if (count <= 0)
        return false;
    try {
        if (count < 255) {
            facts.title.assign(usual, static_cast<size_t>(count));
        } else {
            size_t room = 256;
            do {
                room *= 2;
                facts.title.resize(room);
                count = GetWindowTextW(window, facts.title.data(), static_cast<int>(room));
            } while (count >= static_cast<int>(room) - 1);
            facts.title.resize(static_cast<size_t>(count > 0 ? count : 0));
        }
    } catch (const std::bad_alloc&) {
        return false;
    }
    if (facts.title.empty())
        return false;
    DWORD_PTR h = 0;
    // A program that hangs must not hang the overview: its icon is simply not asked for.
    bool answered = false;
    if (!facts.asleep) {
        answered =
            SendMessageTimeoutW(window, WM_GETICON, ICON_SMALL, 0, SMTO_ABORTIFHUNG, 200, &h) != 0;
        facts.timedOut = !answered && IsWindow(window);
    }
    if (answered && h)
        facts.icon = reinterpret_cast<HICON>(h);
    else
        facts.icon = reinterpret_cast<HICON>(GetClassLongPtrW(window, GCLP_HICONSM));
    return true;
}

bool prefetchPlateFacts(const std::vector<HWND>& windows, const std::vector<bool>& asleep) {
    dropPrefetchedPlateFacts();
    try {
        prefetch.facts.assign(windows.size(), PlateFacts{});
    } catch (const std::bad_alloc&) {
        return false;
    }
    for (size_t i = 0; i < windows.size(); ++i) {
        prefetch.facts[i].window = windows[i];
        prefetch.facts[i].asleep = i < asleep.size() && asleep[i];
    }
    prefetch.thread = CreateThread(nullptr, 0, prefetchMain, nullptr, 0, nullptr);
    if (!prefetch.thread)
        prefetch.facts.clear();
    return prefetch.thread != nullptr;
}

bool takePrefetchedPlateFacts(std::vector<PlateFacts>& facts) {
    if (!prefetch.thread)
        return false;
    awaitPrefetch();
    facts.swap(prefetch.facts);
    prefetch.facts.clear();
    return true;
}

void dropPrefetchedPlateFacts() {
    if (prefetch.thread)
        awaitPrefetch();
    prefetch.facts.clear();
    prefetch.facts.shrink_to_fit();
}
