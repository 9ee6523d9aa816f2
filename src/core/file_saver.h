// Saves off the main thread. The main thread hands over a file's new bytes and goes on at
// once; one saver thread writes the latest bytes of each file, so a burst of saves of one
// file writes it once. The settings, exclusion and view record files go through here; a
// save that fails is reported back to the main window.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Posted by the saver to the main window (as it was when the save was queued) after a
// save failed; the main window then takes the failed paths with takeFailedSaves.
constexpr unsigned WM_SAVE_FAILED = 0x80D5;

// Replaces `path` with `bytes` (or deletes it when `remove`) on the saver thread. With
// `backupFirst` the file found there is first kept under a backup name (keepFileAsBackup);
// until that has worked, nothing is written over it. Never waits on the disk; a request
// that cannot be queued (no memory) is dropped like a failed save.
void queueFileSave(const wchar_t* path, std::vector<std::uint8_t> bytes, bool remove,
                   bool backupFirst);

// The same for a file rewritten after every move of the view: it is written at most once
// every `intervalMs`. A save asked for sooner waits its turn, and the saves asked for
// meanwhile only replace the bytes it will write, so a burst writes the file at once and
// then once more with its end.
void queueFrequentFileSave(const wchar_t* path, std::vector<std::uint8_t> bytes,
                           unsigned intervalMs);

// Waits until every queued save has been written or has failed; a save waiting its turn
// is written at once. Called at exit, so that the process never ends with a save half
// done or left unwritten, and by tests.
void finishFileSaves();

// The paths whose saves failed since the last call, each once. Main thread.
std::vector<std::wstring> takeFailedSaves();
