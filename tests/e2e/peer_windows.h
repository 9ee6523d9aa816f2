// The window peer program seen from a test: start it with one argument per window, find its windows
// by title, read their rectangles, end it.
#pragma once

#include "harness.h"

#include "core/settings.h"

#include <string>
#include <vector>

namespace e2e {

struct WindowPeer {
    Process proc;
    // Each argument is "title,x,y,w,h[,flags]" (flags: m minimized, u untitled, t tool window).
    bool start(const std::vector<std::wstring>& windowArgs, DWORD timeoutMs = 10000);
    HWND find(const wchar_t* title) const;
    RECT rect(const wchar_t* title) const;
    void stop();
    ~WindowPeer() { stop(); }
    size_t expected = 0;
};

// The settings file bytes of a record.
std::vector<unsigned char> settingsBytes(const SettingsRecord& s);

} // namespace e2e
