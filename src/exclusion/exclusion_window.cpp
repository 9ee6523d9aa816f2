// The "ZerdaneExceptionListWndCls" window: the rules of ExclusionList as a virtual report
// list, find mode (a click-through window that takes the window under the pointer as a
// candidate rule until Ctrl confirms it), rename, sort and delete. Opened by command 130
// on the main thread; the edits themselves are exclusion_edit's, this only applies them to
// the list view and saves after deletions and confirmed finds.
#include "exclusion/exclusion_window.h"

#include "core/dpi.h"
#include "core/dpi_scale.h"
#include "exclusion/exclusion.h"
#include "exclusion/exclusion_edit.h"
#include "exclusion/exclusion_file.h"
#include "exclusion/exclusion_layout.h"
#include "mainwnd/hand_off.h"
#include "res/resource.h"

#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <new>
#include <string>
#include <vector>

namespace {

constexpr wchar_t kClassName[] = L"ZerdaneExceptionListWndCls";
constexpr wchar_t kTitle[] = L"Orvalis 除外ウィンドウ";
constexpr wchar_t kHint[] = L"確定後、ウィンドウ名を 「*」 にすると、すべてと一致します。";
constexpr wchar_t kFindText[] = L"除外ウィンドウを探す";
constexpr wchar_t kConfirmText[] = L"Ctrl キーで確定";
constexpr UINT_PTR kFindTimer = 1;
constexpr UINT kFindPeriod = 33;
constexpr BYTE kFindAlpha = 192;
constexpr Size kMinSize{300, 200};  // at 96 DPI
constexpr UINT kIconAnswerMs = 200; // a hung program's window gets no icon, not our wait

struct ExclusionWindowRecord {
    HWND window = nullptr;
    HIMAGELIST images = nullptr;
    HWND listView = nullptr;
    HWND statusBar = nullptr;
    HFONT statusFont = nullptr; // the status bar's, at the window's DPI
    HWND lastSeenWindow = nullptr;
    UINT_PTR findTimer = 0;
};
ExclusionWindowRecord ExclusionWindow;

int rowCount() {
    return static_cast<int>(ExclusionList.entries.size());
}

bool removeImage(void* context, int image) {
    return ImageList_Remove(static_cast<HIMAGELIST>(context), image) != FALSE;
}

void setRowState(int row, UINT state, UINT mask) {
    LVITEMW item{};
    item.stateMask = mask;
    item.state = state;
    SendMessageW(ExclusionWindow.listView, LVM_SETITEMSTATE, static_cast<WPARAM>(row),
                 reinterpret_cast<LPARAM>(&item));
}

bool deleteRow(int row) {
    return SendMessageW(ExclusionWindow.listView, LVM_DELETEITEM, static_cast<WPARAM>(row), 0);
}

void redrawRows(int first, int last) {
    SendMessageW(ExclusionWindow.listView, LVM_REDRAWITEMS, static_cast<WPARAM>(first), last);
}

void setFindItem(const wchar_t* text, UINT state) {
    HMENU menu = GetMenu(ExclusionWindow.window);
    ModifyMenuW(menu, IDM_EXCL_FIND, MF_BYCOMMAND | MF_STRING | state, IDM_EXCL_FIND, text);
    DrawMenuBar(ExclusionWindow.window);
}

void updateDeleteItem() {
    const bool any = SendMessageW(ExclusionWindow.listView, LVM_GETSELECTEDCOUNT, 0, 0) > 0;
    EnableMenuItem(GetMenu(ExclusionWindow.window), IDM_EXCL_DELETE,
                   MF_BYCOMMAND | (any ? MF_ENABLED : MF_GRAYED));
    DrawMenuBar(ExclusionWindow.window);
}

// Takes an unconfirmed candidate out of the list with its icon and its row; the next find
// tick finds the window under the pointer again.
void dropCandidate() {
    const int candidate = ExclusionList.candidateIndex;
    if (candidate < 0)
        return;
    forgetImage(ExclusionList, candidate, removeImage, ExclusionWindow.images);
    removeCandidate(ExclusionList);
    if (IsWindow(ExclusionWindow.listView))
        deleteRow(candidate);
    ExclusionWindow.lastSeenWindow = nullptr;
}

// Saves the rules. An unconfirmed candidate is never saved.
void saveRules() {
    dropCandidate();
    saveExclusions();
}

int dpiNow() {
    return windowDpi(ExclusionWindow.window);
}

// The smallest outer size that shows the whole hint in the status bar at `dpi`.
Size minimumSize(HWND w, int dpi) {
    const Size least = scaleForDpi(kMinSize, dpi);
    const int text = textWidth(ExclusionWindow.statusBar, ExclusionWindow.statusFont, kHint);
    // The text's inset on both sides and the size grip beside it.
    RECT r{0, 0, text + scaleForDpi(12, dpi) + metricForDpi(SM_CXVSCROLL, dpi), least.h};
    AdjustWindowRectEx(&r, static_cast<DWORD>(GetWindowLongPtrW(w, GWL_STYLE)), TRUE, 0);
    return {std::max(least.w, static_cast<int>(r.right - r.left)), least.h};
}

// The status bar's font and the column widths at the window's DPI.
void applyDpi(HWND w) {
    const int dpi = windowDpi(w);
    HFONT font = statusFontForDpi(dpi);
    if (font) {
        SendMessageW(ExclusionWindow.statusBar, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
        if (ExclusionWindow.statusFont)
            DeleteObject(ExclusionWindow.statusFont);
        ExclusionWindow.statusFont = font;
    }
    RECT client{};
    GetClientRect(ExclusionWindow.listView, &client);
    // Room for the vertical scroll bar a longer list brings.
    const int width = exclusionColumnWidth(client.right - metricForDpi(SM_CXVSCROLL, dpi), dpi);
    for (int i = 0; i < 2; ++i)
        SendMessageW(ExclusionWindow.listView, LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(i), width);
}

// The icon of a window the rule matches: its own small icon, its class's, or the plain
// application icon. Returns the image index, or I_IMAGENONE when no window or icon is found.
int lookUpImage(ExclusionEntry& e) {
    if (e.imageIndex >= 0)
        return e.imageIndex;
    const bool anyTitle = e.windowName.find(L'*') != std::wstring::npos;
    HWND found = FindWindowW(e.className.c_str(), anyTitle ? nullptr : e.windowName.c_str());
    HICON icon = nullptr;
    if (found) {
        DWORD_PTR answer = 0;
        if (SendMessageTimeoutW(found, WM_GETICON, ICON_SMALL, 0, SMTO_ABORTIFHUNG | SMTO_BLOCK,
                                kIconAnswerMs, &answer))
            icon = reinterpret_cast<HICON>(answer);
        if (!icon)
            icon = reinterpret_cast<HICON>(GetClassLongPtrW(found, GCLP_HICONSM));
        if (!icon)
            icon = static_cast<HICON>(LoadImageW(nullptr, IDI_APPLICATION, IMAGE_ICON,
                                                 metricForDpi(SM_CXICON, dpiNow()),
                                                 metricForDpi(SM_CYICON, dpiNow()), LR_SHARED));
    }
    const int added = icon ? ImageList_ReplaceIcon(ExclusionWindow.images, -1, icon) : -1;
    e.imageIndex = added >= 0 ? added : kNoImageIndex;
    return added >= 0 ? added : I_IMAGENONE;
}

void supplyRow(NMLVDISPINFOW& d) {
    LVITEMW& item = d.item;
    if (item.iItem < 0 || item.iItem >= rowCount())
        return;
    ExclusionEntry& e = ExclusionList.entries[static_cast<size_t>(item.iItem)];
    if ((item.mask & LVIF_TEXT) && item.pszText && item.cchTextMax > 0) {
        const std::wstring& text = item.iSubItem == 1 ? e.className : e.windowName;
        lstrcpynW(item.pszText, text.c_str(), item.cchTextMax);
    }
    if (item.mask & LVIF_IMAGE)
        item.iImage = lookUpImage(e);
}

void deleteSelected() {
    std::vector<int> rows;
    for (int row = -1; (row = static_cast<int>(SendMessageW(
                            ExclusionWindow.listView, LVM_GETNEXTITEM, row, LVNI_SELECTED))) >= 0;)
        rows.push_back(row);
    int deleted = 0;
    for (int row : deleteEntries(ExclusionList, rows, removeImage, ExclusionWindow.images))
        deleted += deleteRow(row) ? 1 : 0;
    if (deleted > 0)
        saveRules();
    updateDeleteItem();
}

LRESULT endRename(const NMLVDISPINFOW& d) {
    const int row = d.item.iItem;
    if (!renameEntry(ExclusionList, row, d.item.pszText))
        return 0;
    // The rule names other windows now: its icon is looked up again.
    forgetImage(ExclusionList, row, removeImage, ExclusionWindow.images);
    redrawRows(row, row);
    return 1;
}

void sortByColumn(int column) {
    const int n = rowCount();
    std::vector<UINT> states(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i)
        states[i] = static_cast<UINT>(SendMessageW(ExclusionWindow.listView, LVM_GETITEMSTATE, i,
                                                   LVIS_FOCUSED | LVIS_SELECTED));
    std::vector<int> from;
    if (!sortEntries(ExclusionList, column, compareNames, from))
        return;
    setRowState(-1, 0, static_cast<UINT>(-1));
    for (int r = 0; r < n; ++r)
        if (const UINT s = states[static_cast<size_t>(from[r])])
            setRowState(r, s, LVIS_FOCUSED | LVIS_SELECTED);
    redrawRows(0, n - 1);
    UpdateWindow(ExclusionWindow.listView);
}

void startRename() {
    const int row = static_cast<int>(SendMessageW(ExclusionWindow.listView, LVM_GETNEXTITEM,
                                                  static_cast<WPARAM>(-1), LVNI_FOCUSED));
    if (row >= 0)
        SendMessageW(ExclusionWindow.listView, LVM_EDITLABELW, static_cast<WPARAM>(row), 0);
}

LRESULT onListNotify(NMHDR& h) {
    switch (h.code) {
    case LVN_GETDISPINFOW: supplyRow(reinterpret_cast<NMLVDISPINFOW&>(h)); return 0;
    case LVN_ENDLABELEDITW: return endRename(reinterpret_cast<NMLVDISPINFOW&>(h));
    case LVN_COLUMNCLICK: sortByColumn(reinterpret_cast<NMLISTVIEW&>(h).iSubItem); return 0;
    case LVN_KEYDOWN: {
        const WORD key = reinterpret_cast<NMLVKEYDOWN&>(h).wVKey;
        if (key == VK_DELETE)
            deleteSelected();
        else if (key == VK_F2)
            startRename();
        return 0;
    }
    case LVN_ITEMCHANGED: {
        const auto& c = reinterpret_cast<NMLISTVIEW&>(h);
        if ((c.uChanged & LVIF_STATE) && ((c.uOldState | c.uNewState) & LVIS_SELECTED))
            updateDeleteItem();
        return 0;
    }
    default: return 0;
    }
}

void setClickThrough(bool on) {
    HWND w = ExclusionWindow.window;
    const LONG_PTR ex = GetWindowLongPtrW(w, GWL_EXSTYLE);
    if (on) {
        SetWindowLongPtrW(w, GWL_EXSTYLE, ex | WS_EX_LAYERED | WS_EX_TRANSPARENT);
        SetLayeredWindowAttributes(w, 0, kFindAlpha, LWA_ALPHA);
    } else {
        SetLayeredWindowAttributes(w, 0, 255, LWA_ALPHA);
        SetWindowLongPtrW(w, GWL_EXSTYLE,
                          ex & ~static_cast<LONG_PTR>(WS_EX_LAYERED | WS_EX_TRANSPARENT));
    }
}

void startFind() {
    if (ExclusionWindow.findTimer || rowCount() >= kExclusionLimit)
        return;
    ExclusionList.candidateIndex = -1;
    ExclusionWindow.findTimer = SetTimer(ExclusionWindow.window, kFindTimer, kFindPeriod, nullptr);
    if (!ExclusionWindow.findTimer)
        return;
    setClickThrough(true);
    setFindItem(kConfirmText, MF_DISABLED);
}

// The top-level window under the pointer as a rule of its exact title, when it is not the
// one seen last; false when there is none or it cannot be read.
bool newCandidate(ExclusionEntry& found) {
    POINT p;
    if (!GetCursorPos(&p))
        return false;
    HWND under = WindowFromPoint(p);
    HWND root = under ? GetAncestor(under, GA_ROOT) : nullptr;
    if (!root || root == ExclusionWindow.lastSeenWindow)
        return false;
    ExclusionWindow.lastSeenWindow = root;
    int length = GetWindowTextLengthW(root);
    length = length < 0 ? 0 : (length > kExclusionTextLimit ? kExclusionTextLimit : length);
    found.windowName.resize(static_cast<size_t>(length) + 1);
    const int copied = GetWindowTextW(root, found.windowName.data(), length + 1);
    found.windowName.resize(static_cast<size_t>(copied > 0 && copied <= length ? copied : 0));
    ClassName name = fetchClassName(root);
    if (name.length <= 0)
        return false;
    found.className.assign(name.text, static_cast<size_t>(name.length));
    freeClassName(name);
    return true;
}

void addCandidateRow(int index) {
    setRowState(-1, 0, static_cast<UINT>(-1));
    LVITEMW item{};
    item.iItem = index;
    item.mask = LVIF_STATE;
    item.state = item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    const int at = static_cast<int>(SendMessageW(ExclusionWindow.listView, LVM_INSERTITEMW, 0,
                                                 reinterpret_cast<LPARAM>(&item)));
    if (at != index) {
        if (at >= 0)
            deleteRow(at);
        removeEntry(ExclusionList, index);
        return;
    }
    setRowState(index, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    SendMessageW(ExclusionWindow.listView, LVM_ENSUREVISIBLE, static_cast<WPARAM>(index), FALSE);
}

void confirmFind(UINT_PTR timer) {
    ExclusionWindow.lastSeenWindow = nullptr;
    ExclusionList.candidateIndex = -1;
    KillTimer(ExclusionWindow.window, timer);
    ExclusionWindow.findTimer = 0;
    for (const DuplicateRemoval& step : removeDuplicates(ExclusionList, compareNames))
        if (deleteRow(step.removed))
            setRowState(step.kept, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    saveRules();
    setFindItem(kFindText, MF_ENABLED);
    setClickThrough(false);
    updateDeleteItem();
}

void findTick(UINT_PTR timer) {
    ExclusionEntry found;
    if (newCandidate(found)) {
        bool appended = false;
        const int index = placeCandidate(ExclusionList, std::move(found), appended);
        if (appended) {
            addCandidateRow(index);
        } else {
            // Another window: the row's icon was the last one's.
            forgetImage(ExclusionList, index, removeImage, ExclusionWindow.images);
            redrawRows(index, index);
        }
    }
    if (GetAsyncKeyState(VK_CONTROL) < 0)
        confirmFind(timer);
}

void layOut(HWND w) {
    RECT client, bar;
    GetClientRect(w, &client);
    GetWindowRect(ExclusionWindow.statusBar, &bar);
    const int h = bar.bottom - bar.top;
    MoveWindow(ExclusionWindow.listView, 0, 0, client.right, client.bottom - h, TRUE);
    MoveWindow(ExclusionWindow.statusBar, 0, client.bottom - h, client.right, 1, TRUE);
}

bool onCreate(HWND w) {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    ExclusionWindow.statusBar = CreateWindowExW(
        0, STATUSCLASSNAMEW, nullptr, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | SBARS_SIZEGRIP, 0,
        0, 1, 1, w, nullptr, instance, nullptr);
    if (!ExclusionWindow.statusBar)
        return false;
    SendMessageW(ExclusionWindow.statusBar, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(kHint));
    RECT client, bar;
    GetClientRect(w, &client);
    GetWindowRect(ExclusionWindow.statusBar, &bar);
    HWND list = CreateWindowExW(0, WC_LISTVIEWW, nullptr,
                                WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | LVS_REPORT |
                                    LVS_SHOWSELALWAYS | LVS_EDITLABELS | LVS_OWNERDATA,
                                0, 0, client.right, client.bottom - (bar.bottom - bar.top), w,
                                nullptr, instance, nullptr);
    if (!list)
        return false;
    ExclusionWindow.listView = list;
    SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    const int dpi = windowDpi(w);
    ExclusionWindow.images = ImageList_Create(metricForDpi(SM_CXSMICON, dpi),
                                              metricForDpi(SM_CYSMICON, dpi), ILC_COLOR32, 0, 1);
    // The icons of an earlier opening went with its image list: look each one up again.
    for (ExclusionEntry& e : ExclusionList.entries)
        e.imageIndex = kNoImageIndex;
    SendMessageW(list, LVM_SETIMAGELIST, LVSIL_SMALL,
                 reinterpret_cast<LPARAM>(ExclusionWindow.images));
    const wchar_t* headers[] = {L"ウィンドウ名", L"クラス名"};
    for (int i = 0; i < 2; ++i) {
        LVCOLUMNW c{};
        c.mask = LVCF_TEXT | LVCF_WIDTH;
        c.cx = scaleForDpi(200, dpi);
        c.pszText = const_cast<wchar_t*>(headers[i]);
        SendMessageW(list, LVM_INSERTCOLUMNW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&c));
    }
    SendMessageW(list, LVM_SETITEMCOUNT, static_cast<WPARAM>(rowCount()), 0);
    applyDpi(w);
    return true;
}

LRESULT handle(HWND w, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_NCCREATE: ExclusionWindow.window = w; break;
    case WM_CREATE:
        if (!onCreate(w))
            return -1;
        break;
    case WM_SIZE: layOut(w); return 0;
    case WM_SETFOCUS: SetFocus(ExclusionWindow.listView); break;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        BeginPaint(w, &ps);
        EndPaint(w, &ps);
        return 0;
    }
    case WM_GETMINMAXINFO: {
        DefWindowProcW(w, message, wParam, lParam);
        auto* mmi = reinterpret_cast<MINMAXINFO*>(lParam);
        const Size least = minimumSize(w, windowDpi(w));
        mmi->ptMinTrackSize = {least.w, least.h};
        return 0;
    }
    case WM_DPICHANGED: {
        const RECT* suggested = reinterpret_cast<const RECT*>(lParam);
        applyDpi(w);
        SetWindowPos(w, nullptr, suggested->left, suggested->top,
                     suggested->right - suggested->left, suggested->bottom - suggested->top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        return 0;
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == IDM_EXCL_DELETE)
            deleteSelected();
        else if (LOWORD(wParam) == IDM_EXCL_FIND)
            startFind();
        break;
    case WM_TIMER:
        if (ExclusionWindow.findTimer)
            findTick(wParam);
        return 0;
    case WM_NOTIFY: {
        auto* h = reinterpret_cast<NMHDR*>(lParam);
        return h && h->hwndFrom == ExclusionWindow.listView ? onListNotify(*h) : 0;
    }
    case WM_CLOSE: handOffActivation(w, CloseCause::Asked); break;
    case WM_DESTROY:
        if (ExclusionWindow.findTimer) {
            KillTimer(w, ExclusionWindow.findTimer);
            ExclusionWindow.findTimer = 0;
            // Closing ends the find unconfirmed: the window pointed at is no rule.
            removeCandidate(ExclusionList);
        }
        break;
    case WM_NCDESTROY:
        if (ExclusionWindow.statusFont)
            DeleteObject(ExclusionWindow.statusFont);
        ExclusionWindow = ExclusionWindowRecord{};
        break;
    default: break;
    }
    return DefWindowProcW(w, message, wParam, lParam);
}

LRESULT CALLBACK exclusionWindowProc(HWND w, UINT message, WPARAM wParam, LPARAM lParam) {
    try {
        return handle(w, message, wParam, lParam);
    } catch (const std::bad_alloc&) {
        return 0; // out of memory: the edit did not happen, the list stays usable
    }
}

void registerExclusionClass(HINSTANCE instance) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = exclusionWindowProc;
    wc.hInstance = instance;
    wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_ORVALIS));
    wc.hIconSm = static_cast<HICON>(
        LoadImageW(instance, MAKEINTRESOURCEW(IDI_ORVALIS_SMALL), IMAGE_ICON, 16, 16, LR_SHARED));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszMenuName = MAKEINTRESOURCEW(IDM_EXCLUSION);
    wc.lpszClassName = kClassName;
    RegisterClassExW(&wc); // fails harmlessly once registered
}

} // namespace

void showExclusionWindow() {
    // A second command neither opens another window nor activates the open one.
    if (IsWindow(ExclusionWindow.window))
        return;
    ExclusionWindow = ExclusionWindowRecord{};
    ExclusionList.candidateIndex = -1;
    HINSTANCE instance = GetModuleHandleW(nullptr);
    registerExclusionClass(instance);
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const int w = work.right - work.left;
    const int h = work.bottom - work.top;
    HWND window = CreateWindowExW(0, kClassName, kTitle, WS_OVERLAPPEDWINDOW,
                                  work.left + (w - w / 3) / 2, work.top + (h - h / 3) / 2, w / 3,
                                  h / 3, nullptr, nullptr, instance, nullptr);
    if (!window)
        return;
    // Grown, once it can measure its hint, to show the whole of it.
    const Rect r = exclusionWindowPlacement({work.left, work.top, work.right, work.bottom},
                                            minimumSize(window, windowDpi(window)));
    SetWindowPos(window, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    applyDpi(window);
    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);
}

void dropUnconfirmedCandidate() {
    dropCandidate();
}
