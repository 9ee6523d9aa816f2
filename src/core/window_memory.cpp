#include "core/window_memory.h"

#include <new>

void beginCollection(WindowMemoryRecord& memory) {
    // Round 0 never marks an entry, so a wrapped counter skips it.
    if (++memory.round == 0)
        memory.round = 1;
}

RememberedWindow* recallWindow(WindowMemoryRecord& memory, std::uintptr_t window) {
    const auto it = memory.windows.find(window);
    if (it == memory.windows.end())
        return nullptr;
    it->second.metInRound = memory.round;
    return &it->second;
}

RememberedWindow* rememberWindow(WindowMemoryRecord& memory, std::uintptr_t window,
                                 std::uint32_t thread, bool ownProcess, bool topLevel) {
    try {
        RememberedWindow& entry = memory.windows[window];
        entry = RememberedWindow{};
        entry.thread = thread;
        entry.ownProcess = ownProcess;
        entry.topLevel = topLevel;
        entry.metInRound = memory.round;
        return &entry;
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

bool rememberClassName(RememberedWindow& entry, const wchar_t* text, int length) {
    if (!text || length <= 0)
        return false;
    try {
        entry.className.assign(text, static_cast<std::size_t>(length));
        entry.hasClassName = true;
        return true;
    } catch (const std::bad_alloc&) {
        entry.className.clear();
        entry.hasClassName = false;
        return false;
    }
}

void endCollection(WindowMemoryRecord& memory) {
    std::erase_if(memory.windows,
                  [&](const auto& item) { return item.second.metInRound != memory.round; });
}

void forgetAllWindows(WindowMemoryRecord& memory) {
    memory.windows.clear();
    memory.round = 0;
}
