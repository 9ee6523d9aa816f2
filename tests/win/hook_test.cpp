// ovl.dll as the main program sees it: linked by import through ovl.h, its export and
// import tables, the shared section that every process maps as one copy, and the icon
// save on the list view's thread (here a list view of this thread).
#include "hook/ovl.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace {

HMODULE library() {
    return GetModuleHandleW(L"ovl.dll");
}

const IMAGE_NT_HEADERS* headersOf(HMODULE module) {
    const auto* base = reinterpret_cast<const BYTE*>(module);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    return reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
}

template <typename T> const T* at(HMODULE module, DWORD rva) {
    return reinterpret_cast<const T*>(reinterpret_cast<const BYTE*>(module) + rva);
}

TEST(HookLibraryImage, ExportsExactlyTheFourUndecoratedNames) {
    const HMODULE module = library();
    ASSERT_NE(module, nullptr) << "ovl.dll is not linked by import";
    const IMAGE_DATA_DIRECTORY& dir =
        headersOf(module)->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
    ASSERT_NE(dir.VirtualAddress, 0u);
    const auto* exports = at<IMAGE_EXPORT_DIRECTORY>(module, dir.VirtualAddress);
    const auto* names = at<DWORD>(module, exports->AddressOfNames);
    std::set<std::string> found;
    for (DWORD i = 0; i < exports->NumberOfNames; ++i) {
        found.insert(at<char>(module, names[i]));
    }
    const std::set<std::string> expected{"InstallHook", "UninstallHook", "d_bHookRet",
                                         "d_bPreventMaximize"};
    EXPECT_EQ(found, expected);
    EXPECT_EQ(exports->NumberOfFunctions, 4u);
}

TEST(HookLibraryImage, ImportedNamesAreTheLibrarysOwn) {
    const HMODULE module = library();
    ASSERT_NE(module, nullptr);
    EXPECT_EQ(reinterpret_cast<void*>(&InstallHook),
              reinterpret_cast<void*>(GetProcAddress(module, "InstallHook")));
    EXPECT_EQ(reinterpret_cast<void*>(&UninstallHook),
              reinterpret_cast<void*>(GetProcAddress(module, "UninstallHook")));
    EXPECT_EQ(reinterpret_cast<void*>(&d_bHookRet),
              reinterpret_cast<void*>(GetProcAddress(module, "d_bHookRet")));
    EXPECT_EQ(reinterpret_cast<void*>(&d_bPreventMaximize),
              reinterpret_cast<void*>(GetProcAddress(module, "d_bPreventMaximize")));

    const int saved = d_bHookRet;
    storeHookFlag(d_bHookRet, 7);
    EXPECT_EQ(*reinterpret_cast<int*>(GetProcAddress(module, "d_bHookRet")), 7);
    storeHookFlag(d_bHookRet, saved);
}

TEST(HookLibraryImage, FlagsAndHookStateLiveInOneSharedSection) {
    const HMODULE module = library();
    ASSERT_NE(module, nullptr);
    const IMAGE_NT_HEADERS* nt = headersOf(module);
    const IMAGE_SECTION_HEADER* section = IMAGE_FIRST_SECTION(nt);
    const IMAGE_SECTION_HEADER* share = nullptr;
    for (WORD i = 0; i < nt->FileHeader.NumberOfSections; ++i) {
        if (std::string(reinterpret_cast<const char*>(section[i].Name), 6) == ".share") {
            share = &section[i];
        }
    }
    ASSERT_NE(share, nullptr);
    const DWORD wanted = IMAGE_SCN_MEM_SHARED | IMAGE_SCN_MEM_READ | IMAGE_SCN_MEM_WRITE |
                         IMAGE_SCN_CNT_INITIALIZED_DATA;
    EXPECT_EQ(share->Characteristics & wanted, wanted);

    // The two flags and the five hook records (handles and a process id), nothing else:
    // the module handle and the icon-file path stay per process.
    const size_t expectedSize = 2 * sizeof(int) + 4 * sizeof(void*) + sizeof(DWORD);
    EXPECT_LE(share->Misc.VirtualSize, (expectedSize + 7) / 8 * 8);
    EXPECT_GE(share->Misc.VirtualSize, expectedSize);

    const auto* begin = reinterpret_cast<const BYTE*>(module) + share->VirtualAddress;
    const auto* end = begin + share->Misc.VirtualSize;
    for (const int* flag : {&d_bHookRet, &d_bPreventMaximize}) {
        const auto* p = reinterpret_cast<const BYTE*>(flag);
        EXPECT_TRUE(p >= begin && p + sizeof(int) <= end);
    }
}

std::vector<char> contentsOf(const std::wstring& path) {
    std::vector<char> bytes(4096);
    DWORD n = 0;
    HANDLE f = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                           nullptr);
    if (f == INVALID_HANDLE_VALUE)
        return {};
    ReadFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &n, nullptr);
    CloseHandle(f);
    bytes.resize(n);
    return bytes;
}

DWORD WINAPI letGoLater(LPVOID file) {
    Sleep(300);
    CloseHandle(static_cast<HANDLE>(file));
    return 0;
}

// The save runs on the shell's thread, which must never wait: a file that another program
// holds fails it at once, even one let go a moment later, and the old file stays.
TEST(IconSave, AFileHeldByAnotherProgramFailsTheSaveAtOnce) {
    wchar_t dll[MAX_PATH];
    const DWORD n = GetModuleFileNameW(library(), dll, MAX_PATH);
    ASSERT_TRUE(n > 0 && n < MAX_PATH);
    std::wstring path(dll, n);
    path = path.substr(0, path.find_last_of(L'\\') + 1) + L"iconpos.dat";
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&icc);
    // The hooks elsewhere take a main window of another class for a program that is gone.
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.lpszClassName = L"ZerdaneOrvalis";
    RegisterClassW(&wc);
    HWND main = CreateWindowExW(0, L"ZerdaneOrvalis", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                nullptr, nullptr);
    HWND list = CreateWindowExW(0, WC_LISTVIEWW, L"", WS_POPUP | LVS_ICON, 0, 0, 200, 200, nullptr,
                                nullptr, nullptr, nullptr);
    ASSERT_TRUE(main && list);
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.pszText = const_cast<wchar_t*>(L"Notes");
    SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    ASSERT_TRUE(InstallHook(main, list));
    storeHookFlag(d_bHookRet, 1);

    const std::vector<char> old{'o', 'l', 'd'};
    HANDLE f = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(f, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(f, old.data(), static_cast<DWORD>(old.size()), &written, nullptr);
    CloseHandle(f);
    HANDLE held = CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    HANDLE letGo = CreateThread(nullptr, 0, letGoLater, held, 0, nullptr);
    ASSERT_TRUE(letGo);
    SendMessageW(list, WM_ICONS_SAVE, 0, 0);
    WaitForSingleObject(letGo, 5000);
    CloseHandle(letGo);
    EXPECT_EQ(contentsOf(path), old);
    EXPECT_EQ(GetFileAttributesW((path + L".new").c_str()), INVALID_FILE_ATTRIBUTES);

    // Let go: the next save replaces the file (a count of 1 and the label's record).
    SendMessageW(list, WM_ICONS_SAVE, 0, 0);
    EXPECT_EQ(contentsOf(path).size(), 4u + 4u + 2u * 5u + 8u);

    storeHookFlag(d_bHookRet, 0);
    EXPECT_TRUE(UninstallHook());
    DestroyWindow(list);
    DestroyWindow(main);
    DeleteFileW(path.c_str());
}

TEST(HookLibraryImage, NeedsNoRuntimeLibraryBesideIt) {
    // Loaded into every GUI process, the library may only depend on system libraries.
    const HMODULE module = library();
    ASSERT_NE(module, nullptr);
    const IMAGE_DATA_DIRECTORY& dir =
        headersOf(module)->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    ASSERT_NE(dir.VirtualAddress, 0u);
    std::set<std::string> imported;
    for (const auto* entry = at<IMAGE_IMPORT_DESCRIPTOR>(module, dir.VirtualAddress);
         entry->Name != 0; ++entry) {
        std::string name = at<char>(module, entry->Name);
        for (char& c : name) {
            c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
        }
        imported.insert(name);
    }
    const std::set<std::string> system{"KERNEL32.DLL", "USER32.DLL", "MSVCRT.DLL"};
    for (const std::string& name : imported) {
        EXPECT_TRUE(system.count(name)) << name;
    }
    EXPECT_TRUE(imported.count("USER32.DLL"));
}

} // namespace
