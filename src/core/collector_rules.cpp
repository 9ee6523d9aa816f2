// The class names and the title that the collector leaves alone.
#include "core/collector_rules.h"

namespace {

bool sameText(const wchar_t* a, int length, const wchar_t* b) {
    for (int i = 0; i < length; ++i)
        if (b[i] == 0 || a[i] != b[i])
            return false;
    return b[length] == 0;
}

} // namespace

SpecialClass specialClassOf(const wchar_t* name, int length) {
    if (!name)
        return SpecialClass::None;
    switch (length) {
    case 6: return sameText(name, 6, L"#32770") ? SpecialClass::Dialog : SpecialClass::None;
    case 7: return sameText(name, 7, L"IEFrame") ? SpecialClass::IEFrame : SpecialClass::None;
    case 13:
        return sameText(name, 13, L"Shell_TrayWnd") ? SpecialClass::Taskbar : SpecialClass::None;
    case 22:
        return sameText(name, 22, L"Shell_SecondaryTrayWnd") ? SpecialClass::Taskbar
                                                             : SpecialClass::None;
    default: return SpecialClass::None;
    }
}

bool isMagnifierTitle(const wchar_t* text, int count) {
    return count == 3 && text && sameText(text, 3, L"拡大鏡");
}

bool isEmptyRect(const Rect& r) {
    return r.right <= r.left || r.bottom <= r.top;
}
