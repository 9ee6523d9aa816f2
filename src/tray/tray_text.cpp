// The tray's texts.
#include "tray/tray_text.h"

#include "core/settings.h"

#include <cwchar>

void formatTrayTooltip(wchar_t (&out)[kTooltipUnits], int scrollEnabled, Point origin, Size screen,
                       int columns, int rows) {
    // An empty screen size has no position to tell; the view is then on the first screen.
    const double x = screen.w > 0 ? static_cast<double>(origin.x) / screen.w + 1 : 1.0;
    const double y = screen.h > 0 ? static_cast<double>(origin.y) / screen.h + 1 : 1.0;
    const wchar_t* format =
        scrollEnabled ? L"Orvalis 「入」\n　　　　　　━　%.1f / %d\n　　　　　　┃　%.1f / %d"
                      : L"Orvalis 「切」\n　　　　　　━　%.1f / %d\n　　　　　　┃　%.1f / %d";
    // A text that does not fit is cut; swprintf then reports failure and may leave the
    // buffer unterminated, so the last unit is set either way.
    if (std::swprintf(out, kTooltipUnits, format, x, columns, y, rows) < 0)
        out[kTooltipUnits - 1] = 0;
}

std::wstring overviewItemText(int trayClickTogglesScroll) {
    std::wstring text = L"仮想全域を表示(&W)...";
    if (!trayClickTogglesScroll)
        text += L"\t左クリック";
    return text;
}

std::wstring toggleItemText(int scrollEnabled, int toggleKey) {
    std::wstring text = scrollEnabled ? L"「切」 にする(&O)" : L"「入」 にする(&O)";
    switch (toggleKey) {
    case kToggleCapsLock: text += L"\tCaps Lock"; break;
    case kToggleNumLock: text += L"\tNum Lock"; break;
    case kToggleScrollLock: text += L"\tScroll Lock"; break;
    default: break;
    }
    return text;
}

namespace {

// Where the extension of the path's last component starts (its '.'), or the path's end
// when it has none. A dot followed by a space does not start an extension.
std::size_t extensionStart(const std::wstring& path) {
    const std::size_t separator = path.find_last_of(L"\\/:");
    const std::size_t nameStart = separator == std::wstring::npos ? 0 : separator + 1;
    const std::size_t dot = path.rfind(L'.');
    if (dot == std::wstring::npos || dot < nameStart)
        return path.size();
    if (path.find(L' ', dot) != std::wstring::npos)
        return path.size();
    return dot;
}

} // namespace

std::wstring helpViewerParameter(const wchar_t* programPath, const wchar_t* page) {
    std::wstring parameter = L"its:";
    if (!programPath)
        return parameter;
    std::wstring helpFile(programPath);
    helpFile.resize(extensionStart(helpFile));
    helpFile += L".chm";
    if (helpFile.size() >= kHelpParameterUnits)
        return parameter;
    parameter += helpFile;
    parameter += L"::/";
    if (page)
        parameter += page;
    if (parameter.size() > kHelpParameterUnits - 1)
        parameter.resize(kHelpParameterUnits - 1);
    return parameter;
}

std::wstring balloonTextWithPath(const std::wstring& message, const std::wstring& path) {
    constexpr size_t kRoom = kBalloonTextUnits - 1;
    std::wstring text = message + L"\n" + path;
    if (text.size() <= kRoom)
        return text;
    const size_t fixed = message.size() + 1 + 1; // the line break and the "…"
    if (fixed + 2 > kRoom)
        return text.substr(0, kRoom);
    const size_t kept = kRoom - fixed; // path units that still fit
    const size_t tail = kept - kept / 3;
    return message + L"\n" + path.substr(0, kept - tail) + L"…" + path.substr(path.size() - tail);
}
