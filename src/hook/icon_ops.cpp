// The desktop-icon operations; see icon_ops.h. They run inside the desktop's process on
// the list view's thread, called by the icon hook. Every list-view message goes straight
// to the list view's window procedure, so the hooks on the thread are not entered again.
// Failures are silent; whatever was allocated is freed before returning.
#include "hook/icon_ops.h"

#include <commctrl.h>

#include <cstdlib>

#include "core/file_replace.h"
#include "hook/iconpos_codec.h"
#include "hook/ovl_state.h"

namespace {

constexpr int kFirstLabelCapacity = 260;

struct ListView {
    HWND hwnd;
    WNDPROC proc;

    LRESULT call(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) const {
        return CallWindowProcW(proc, hwnd, msg, wParam, lParam);
    }
    bool position(int item, POINT& p) const {
        return call(LVM_GETITEMPOSITION, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&p)) !=
               0;
    }
    void place(int item, int x, int y) const {
        POINT p{x, y};
        call(LVM_SETITEMPOSITION32, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&p));
    }
    int count() const { return static_cast<int>(call(LVM_GETITEMCOUNT)); }
};

ListView listViewOf(HWND hwnd) {
    return {hwnd, reinterpret_cast<WNDPROC>(GetWindowLongPtrW(hwnd, GWLP_WNDPROC))};
}

// A list view that places its items by itself would undo any move at once.
bool arrangesItself(const ListView& lv) {
    return (GetWindowLongW(lv.hwnd, GWL_STYLE) & LVS_AUTOARRANGE) != 0 ||
           (lv.call(LVM_GETEXTENDEDLISTVIEWSTYLE) & LVS_EX_SNAPTOGRID) != 0;
}

// A buffer that only grows, for labels and for the file's bytes.
template <typename T> struct Buffer {
    T* data = nullptr;
    std::size_t capacity = 0;
    Buffer() = default;
    Buffer(const Buffer&) = delete;
    Buffer& operator=(const Buffer&) = delete;
    ~Buffer() { std::free(data); }
    bool reserve(std::size_t wanted) {
        if (wanted <= capacity) {
            return true;
        }
        // The first request is met exactly: a file's bytes and its records are counted.
        std::size_t grown = capacity == 0 ? wanted : capacity;
        while (grown < wanted) {
            if (grown > static_cast<std::size_t>(-1) / 2 / sizeof(T)) {
                return false;
            }
            grown *= 2;
        }
        T* moved = static_cast<T*>(std::realloc(data, grown * sizeof(T)));
        if (moved == nullptr) {
            return false;
        }
        data = moved;
        capacity = grown;
        return true;
    }
};

// Reads an item's label into `label`, doubling the room until the text fits (a full
// buffer may be a cut one). A label that cannot be held is saved empty.
std::uint32_t readLabel(const ListView& lv, int item, Buffer<wchar_t>& label) {
    std::size_t room = kFirstLabelCapacity;
    while (label.reserve(room) && room <= 0x3FFFFFFF) {
        LVITEMW request{};
        request.iSubItem = 0;
        request.pszText = label.data;
        request.cchTextMax = static_cast<int>(room);
        const auto length = static_cast<std::size_t>(lv.call(
            LVM_GETITEMTEXTW, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&request)));
        if (length + 1 < room) {
            return static_cast<std::uint32_t>(length);
        }
        room *= 2;
    }
    return 0;
}

// The whole file, or as much of it as the reader will look at.
bool readIconFile(Buffer<std::uint8_t>& bytes, std::size_t& size) {
    HANDLE file = CreateFileW(d_szIconPosPath, GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    LARGE_INTEGER fileSize{};
    size = 0;
    bool ok = GetFileSizeEx(file, &fileSize) != 0 && fileSize.QuadPart > 0;
    if (ok) {
        const auto wanted = static_cast<unsigned long long>(fileSize.QuadPart);
        const std::size_t limit =
            wanted < kIconPosMaxFileBytes ? static_cast<std::size_t>(wanted) : kIconPosMaxFileBytes;
        ok = bytes.reserve(limit);
        // A file that shrinks while it is read ends where the reading ends.
        while (ok && size < limit) {
            DWORD got = 0;
            if (!ReadFile(file, bytes.data + size, static_cast<DWORD>(limit - size), &got,
                          nullptr) ||
                got == 0) {
                break;
            }
            size += got;
        }
    }
    CloseHandle(file);
    return ok && size > 0;
}

} // namespace

void shiftIcons(HWND listView, int dx, int dy) {
    const ListView lv = listViewOf(listView);
    if (lv.proc == nullptr || arrangesItself(lv)) {
        return;
    }
    lv.call(WM_SETREDRAW, FALSE);
    // Bounded by the item count, should the list view ever answer in a circle.
    const int count = lv.count();
    int item = static_cast<int>(lv.call(LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_ALL));
    for (int seen = 0; item != -1 && seen < count; ++seen) {
        POINT p;
        if (lv.position(item, p)) {
            lv.place(item, iconPosPlaced(p.x, dx), iconPosPlaced(p.y, dy));
        }
        item = static_cast<int>(lv.call(LVM_GETNEXTITEM, static_cast<WPARAM>(item), LVNI_ALL));
    }
    lv.call(WM_SETREDRAW, TRUE);
}

void saveIconPositions(HWND listView, int originX, int originY) {
    const ListView lv = listViewOf(listView);
    if (lv.proc == nullptr || d_szIconPosPath[0] == L'\0') {
        return;
    }
    const int count = lv.count();
    Buffer<std::uint8_t> bytes;
    Buffer<wchar_t> label;
    if (count < 0 || !bytes.reserve(kIconPosCountBytes)) {
        return;
    }
    std::size_t size = putIconPosInt(bytes.data, count) - bytes.data;
    for (int item = 0; item < count; ++item) {
        const std::uint32_t length = readLabel(lv, item, label);
        POINT p;
        // Any failure leaves the previous file as it was.
        if (!lv.position(item, p) || !bytes.reserve(size + iconPosRecordBytes(length))) {
            return;
        }
        size = putIconPosRecord(bytes.data + size, label.data, length, iconPosStored(p.x, originX),
                                iconPosStored(p.y, originY)) -
               bytes.data;
    }
    // This is the shell's thread, and at the end of Windows it runs inside the system's
    // time limit: a file held by another program fails the save at once, the old one stays.
    replaceFileWhole(d_szIconPosPath, bytes.data, size, Patience::FailAtOnce);
}

void restoreIconPositions(HWND listView, int originX, int originY) {
    const ListView lv = listViewOf(listView);
    if (lv.proc == nullptr || d_szIconPosPath[0] == L'\0' || arrangesItself(lv)) {
        return;
    }
    Buffer<std::uint8_t> bytes;
    std::size_t size = 0;
    if (!readIconFile(bytes, size)) {
        return;
    }
    const std::size_t capacity = iconPosCapacity(bytes.data, size);
    Buffer<IconPosRecord> records;
    Buffer<std::uint32_t> order;
    if (capacity == 0 || !records.reserve(capacity) || !order.reserve(capacity)) {
        return;
    }
    const std::size_t n = decodeIconPos(bytes.data, size, records.data, capacity);
    rankIconLabels(bytes.data, records.data, n, order.data);

    const int items = lv.count();
    Buffer<wchar_t> label;
    for (std::size_t i = 0; i < n; ++i) {
        const IconPosRecord& r = records.data[i];
        // No list item can be the (rank + 1)-th of its label: nothing to search for.
        if (r.length == 0 || r.rank >= static_cast<std::uint32_t>(items) ||
            !label.reserve(r.length + 1)) {
            continue;
        }
        for (std::uint32_t u = 0; u < r.length; ++u) {
            label.data[u] = static_cast<wchar_t>(iconLabelUnit(bytes.data, r, u));
        }
        label.data[r.length] = L'\0';
        LVFINDINFOW find{};
        find.flags = LVFI_STRING;
        find.psz = label.data;
        // The list view matches labels without regard to case; each search starts after
        // the item the previous one found.
        int item = -1;
        for (std::uint32_t k = 0; k <= r.rank; ++k) {
            item = static_cast<int>(
                lv.call(LVM_FINDITEMW, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&find)));
            if (item == -1) {
                break;
            }
        }
        if (item != -1) {
            lv.place(item, iconPosPlaced(r.x, originX), iconPosPlaced(r.y, originY));
        }
    }
}
