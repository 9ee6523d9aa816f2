// Which top-level windows the window collector takes, as a verdict over one window's facts.
// Portable: viewport.cpp hands in a source that asks Win32 for each fact only when the
// verdict needs it (a window skipped early is asked nothing more); tests hand in tables.
#pragma once

#include "core/geometry.h"

// Collector modes (bits).
constexpr int kCollectMinimized = 1; // also minimized windows
constexpr int kCollectUntitled = 2;  // also untitled windows and windows with a parent/owner
// The caller reads each taken window's rectangle itself and drops those without one
// (the shift reads it anyway to move the window; reading it twice costs a round trip).
constexpr int kCollectRectLater = 4;
// Without kCollectUntitled: the caller reads each taken window's title itself and drops
// the untitled ones (the overview reads every title to draw it; asking its length first
// costs a round trip per window). Owned windows are still left out here.
constexpr int kCollectTitleLater = 8;

// Why a window is left out, or Take. The order is the order of the tests.
enum class CollectVerdict {
    Take,
    Invisible,
    OwnProcess,
    Untitled, // no title, or a parent/owner, outside kCollectUntitled
    ShellWindow,
    Taskbar,           // the shell's taskbars move with the shell, never with the view
    Magnifier,         // "#32770" titled "拡大鏡"
    DisabledToolFrame, // a disabled tool window of class "IEFrame"
    Excluded,
    NoRect, // the rectangle cannot be read, or it is empty
    Minimized,
};

// The class names the collector treats specially.
enum class SpecialClass { None, Dialog, IEFrame, Taskbar };
SpecialClass specialClassOf(const wchar_t* name, int length);

// The title as read into a 4-unit buffer (`count` units before the terminator).
bool isMagnifierTitle(const wchar_t* text, int count);

bool isEmptyRect(const Rect& r);

// `Facts` answers, each at most once and only when asked:
//   bool visible(); bool ownProcess(); int titleLength(); bool hasParent();
//   bool isShellWindow(); int className(const wchar_t*& text) (length; text may be null);
//   int shortTitle(wchar_t (&buffer)[4]) (units copied); bool disabledToolWindow();
//   bool excludable(const wchar_t* className) (some rule names the class);
//   bool excluded(int titleLength, const wchar_t* className); bool rect(Rect&);
//   bool iconic();
// The title length is asked only where a rule needs it: reading it is a message to the
// window's program, and a shift asks every window.
template <typename Facts> CollectVerdict collectorVerdict(Facts& facts, int mode) {
    if (!facts.visible())
        return CollectVerdict::Invisible;
    if (facts.ownProcess())
        return CollectVerdict::OwnProcess;
    int titleLength = -1;
    auto title = [&] {
        if (titleLength < 0)
            titleLength = facts.titleLength();
        return titleLength;
    };
    if (!(mode & kCollectUntitled) &&
        ((!(mode & kCollectTitleLater) && title() == 0) || facts.hasParent()))
        return CollectVerdict::Untitled;
    if (facts.isShellWindow())
        return CollectVerdict::ShellWindow;

    const wchar_t* name = nullptr;
    const int nameLength = facts.className(name);
    switch (specialClassOf(name, nameLength)) {
    case SpecialClass::Taskbar: return CollectVerdict::Taskbar;
    case SpecialClass::Dialog:
        if (title() == 3) {
            wchar_t shortTitle[4] = {};
            const int count = facts.shortTitle(shortTitle);
            if (isMagnifierTitle(shortTitle, count))
                return CollectVerdict::Magnifier;
        }
        break;
    case SpecialClass::IEFrame:
        if (facts.disabledToolWindow())
            return CollectVerdict::DisabledToolFrame;
        break;
    case SpecialClass::None: break;
    }
    if (facts.excludable(name) && facts.excluded(title(), name))
        return CollectVerdict::Excluded;

    Rect r;
    if (!(mode & kCollectRectLater) && (!facts.rect(r) || isEmptyRect(r)))
        return CollectVerdict::NoRect;
    if (!(mode & kCollectMinimized) && facts.iconic())
        return CollectVerdict::Minimized;
    return CollectVerdict::Take;
}
