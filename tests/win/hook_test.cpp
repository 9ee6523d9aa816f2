// ovl.dll as the main program sees it: linked by import through ovl.h, its export and
// import tables, and the shared section that every process maps as one copy.
#include "hook/ovl.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

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
