// The saver thread and its slots, one per file path. The main thread only takes the lock
// to swap bytes into a slot; the thread writes outside the lock.
#include "core/file_saver.h"

#include "core/app.h"
#include "core/file_replace.h"

#include <windows.h>

#include <algorithm>
#include <new>
#include <string>

namespace {

struct Slot {
    std::wstring path;
    std::vector<std::uint8_t> bytes;
    bool pending = false;
    bool remove = false;
    bool backupFirst = false; // sticky until the backup has been made
    HWND told = nullptr;      // the main window when the save was queued: told of failures
    unsigned intervalMs = 0;  // a frequent save's least time between two writes
    bool everWritten = false;
    ULONGLONG lastWrite = 0;
};

SRWLOCK lock = SRWLOCK_INIT;
CONDITION_VARIABLE workArrived = CONDITION_VARIABLE_INIT;
CONDITION_VARIABLE allDone = CONDITION_VARIABLE_INIT;
std::vector<Slot>* slots = nullptr; // never freed: the thread may outlive static clean-up
bool writing = false;
int finishing = 0; // callers of finishFileSaves waiting: no save waits its turn
HANDLE saverThread = nullptr;
std::vector<std::wstring>* failedPaths = nullptr; // never freed, like the slots

Slot* pendingSlot() {
    for (Slot& s : *slots)
        if (s.pending)
            return &s;
    return nullptr;
}

// How long the slot's save still waits its turn; 0 when it is due.
ULONGLONG waitLeft(const Slot& s, ULONGLONG now) {
    if (finishing > 0 || !s.everWritten || now - s.lastWrite >= s.intervalMs)
        return 0;
    return s.lastWrite + s.intervalMs - now;
}

// The first pending slot that is due; otherwise null and, when a save waits its turn,
// the time until the first turn comes in `sleepMs` (INFINITE when none waits).
Slot* dueSlot(DWORD& sleepMs) {
    sleepMs = INFINITE;
    const ULONGLONG now = GetTickCount64();
    for (Slot& s : *slots) {
        if (!s.pending)
            continue;
        const ULONGLONG left = waitLeft(s, now);
        if (left == 0)
            return &s;
        sleepMs = static_cast<DWORD>(std::min<ULONGLONG>(sleepMs, left));
    }
    return nullptr;
}

struct Written {
    bool backedUp = false; // the backup that had to come first is made (or none was due)
    bool ok = false;       // the file now holds the bytes (or is gone, for a removal)
};

// One save, outside the lock. Nothing is written over the file before its backup exists.
Written write(const std::wstring& path, const std::vector<std::uint8_t>& bytes, bool remove,
              bool backupFirst) {
    Written w;
    if (backupFirst && !keepFileAsBackup(path.c_str()))
        return w;
    w.backedUp = true;
    w.ok = remove ? deleteFileUnlessReadOnly(path.c_str())
                  : replaceFileWhole(path.c_str(), bytes.data(), bytes.size());
    return w; // a failed write leaves the old file whole
}

// Under the lock: notes what a save did to its slot, and a failure for the main window.
void settle(const std::wstring& path, bool backupFirst, HWND told, const Written& w) {
    if (backupFirst && w.backedUp) {
        for (Slot& s : *slots)
            if (s.path == path)
                s.backupFirst = false;
    }
    if (w.ok)
        return;
    try {
        if (failedPaths == nullptr)
            failedPaths = new std::vector<std::wstring>;
        for (const std::wstring& p : *failedPaths)
            if (p == path)
                return; // already waiting to be told
        failedPaths->push_back(path);
    } catch (const std::bad_alloc&) {
        return; // the failure goes untold; the file is as it was
    }
    if (told != nullptr)
        PostMessageW(told, WM_SAVE_FAILED, 0, 0);
}

DWORD WINAPI saverMain(void*) {
    AcquireSRWLockExclusive(&lock);
    for (;;) {
        DWORD sleepMs = INFINITE;
        Slot* slot = dueSlot(sleepMs);
        if (slot == nullptr) {
            if (sleepMs == INFINITE)
                WakeAllConditionVariable(&allDone);
            SleepConditionVariableSRW(&workArrived, &lock, sleepMs, 0);
            continue;
        }
        slot->pending = false;
        slot->everWritten = true;
        slot->lastWrite = GetTickCount64();
        const std::wstring path = slot->path; // slots may grow while unlocked
        std::vector<std::uint8_t> bytes;
        bytes.swap(slot->bytes);
        const bool remove = slot->remove;
        const bool backupFirst = slot->backupFirst;
        const HWND told = slot->told;
        writing = true;
        ReleaseSRWLockExclusive(&lock);
        const Written w = write(path, bytes, remove, backupFirst);
        AcquireSRWLockExclusive(&lock);
        writing = false;
        settle(path, backupFirst, told, w);
    }
}

} // namespace

namespace {

void queueSave(const wchar_t* path, std::vector<std::uint8_t>& bytes, bool remove, bool backupFirst,
               unsigned intervalMs) {
    AcquireSRWLockExclusive(&lock);
    try {
        if (slots == nullptr)
            slots = new std::vector<Slot>;
        Slot* slot = nullptr;
        for (Slot& s : *slots)
            if (s.path == path)
                slot = &s;
        if (slot == nullptr) {
            slots->emplace_back();
            slot = &slots->back();
            slot->path = path;
        }
        slot->bytes.swap(bytes);
        slot->remove = remove;
        slot->backupFirst = slot->backupFirst || backupFirst;
        slot->told = MainWindow;
        slot->intervalMs = intervalMs;
        slot->pending = true;
        if (saverThread == nullptr)
            saverThread = CreateThread(nullptr, 0, saverMain, nullptr, 0, nullptr);
    } catch (const std::bad_alloc&) {
        // dropped like a failed save: the file on disk stays as it was
    }
    const bool threadRuns = saverThread != nullptr;
    WakeConditionVariable(&workArrived);
    ReleaseSRWLockExclusive(&lock);
    if (!threadRuns)
        finishFileSaves(); // no thread to be had: write here rather than not at all
}

} // namespace

void queueFileSave(const wchar_t* path, std::vector<std::uint8_t> bytes, bool remove,
                   bool backupFirst) {
    queueSave(path, bytes, remove, backupFirst, 0);
}

void queueFrequentFileSave(const wchar_t* path, std::vector<std::uint8_t> bytes,
                           unsigned intervalMs) {
    queueSave(path, bytes, false, false, intervalMs);
}

void finishFileSaves() {
    AcquireSRWLockExclusive(&lock);
    ++finishing;
    WakeConditionVariable(&workArrived); // a save waiting its turn is due now
    if (saverThread == nullptr) {
        // Only when the thread could not be started: write on the caller's thread.
        while (Slot* slot = slots ? pendingSlot() : nullptr) {
            slot->pending = false;
            const Written w = write(slot->path, slot->bytes, slot->remove, slot->backupFirst);
            slot->bytes.clear();
            settle(slot->path, slot->backupFirst, slot->told, w);
        }
    }
    while (saverThread != nullptr && (writing || (slots && pendingSlot())))
        SleepConditionVariableSRW(&allDone, &lock, INFINITE, 0);
    --finishing;
    ReleaseSRWLockExclusive(&lock);
}

std::vector<std::wstring> takeFailedSaves() {
    std::vector<std::wstring> taken;
    AcquireSRWLockExclusive(&lock);
    if (failedPaths != nullptr)
        taken.swap(*failedPaths);
    ReleaseSRWLockExclusive(&lock);
    return taken;
}
