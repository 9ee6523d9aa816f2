// "除外ウィンドウ.dat" through the real file calls: round trip, the exact bytes, the size
// and signature rules on disk, saving an empty list, and failed saves that must leave the
// old file whole. Also the entry points on the file beside the executable.
#include "exclusion/exclusion.h"
#include "exclusion/exclusion_codec.h"
#include "exclusion/exclusion_file.h"

#include "core/file_saver.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

ExclusionEntry rule(const wchar_t* cls, const wchar_t* title) {
    ExclusionEntry e;
    e.className = cls;
    e.windowName = title;
    return e;
}

struct ExclusionFileTest : ::testing::Test {
    std::wstring dir;
    std::wstring path;

    void SetUp() override {
        wchar_t tmp[MAX_PATH];
        GetTempPathW(MAX_PATH, tmp);
        dir =
            std::wstring(tmp) + L"orv-exclusion-" + std::to_wstring(GetCurrentProcessId()) + L"\\";
        CreateDirectoryW(dir.c_str(), nullptr);
        path = dir + L"除外ウィンドウ.dat";
        resetExclusionList();
        resetExclusionFileState();
    }
    void TearDown() override {
        finishFileSaves();
        resetExclusionFileState();
        for (const std::wstring& p : {path, path + L".new", path + L".bak"}) {
            SetFileAttributesW(p.c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileW(p.c_str());
            RemoveDirectoryW(p.c_str());
        }
        RemoveDirectoryW(dir.c_str());
        resetExclusionList();
    }
    Bytes bytes() const {
        Bytes out;
        HANDLE f = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                               0, nullptr);
        if (f == INVALID_HANDLE_VALUE)
            return out;
        out.resize(GetFileSize(f, nullptr));
        DWORD got = 0;
        ReadFile(f, out.data(), static_cast<DWORD>(out.size()), &got, nullptr);
        CloseHandle(f);
        out.resize(got);
        return out;
    }
    void put(const Bytes& b) const {
        HANDLE f = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD n = 0;
        WriteFile(f, b.data(), static_cast<DWORD>(b.size()), &n, nullptr);
        CloseHandle(f);
    }
    bool exists(const std::wstring& p) const {
        return GetFileAttributesW(p.c_str()) != INVALID_FILE_ATTRIBUTES;
    }
};

TEST_F(ExclusionFileTest, RoundTripWritesTheExactBytes) {
    const std::vector<ExclusionEntry> list = {rule(L"Notepad", L"memo.txt"), rule(L"#32770", L"*"),
                                              rule(L"CabinetWClass", L"")};
    ASSERT_TRUE(writeExclusionFile(path.c_str(), list));
    EXPECT_EQ(bytes(), encodeExclusionFile(list));
    EXPECT_FALSE(exists(path + L".new"));

    std::vector<ExclusionEntry> back;
    ASSERT_EQ(readExclusionFile(path.c_str(), back), FileRead::Read);
    ASSERT_EQ(back.size(), 3u);
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(back[i].className, list[i].className);
        EXPECT_EQ(back[i].windowName, list[i].windowName);
        EXPECT_EQ(back[i].imageIndex, kNoImageIndex);
    }
    // Other programs may read the file while it is open for reading.
    HANDLE reader = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                0, nullptr);
    ASSERT_NE(reader, INVALID_HANDLE_VALUE);
    back.clear();
    EXPECT_EQ(readExclusionFile(path.c_str(), back), FileRead::Read);
    EXPECT_EQ(back.size(), 3u);
    CloseHandle(reader);
}

TEST_F(ExclusionFileTest, SizeLimitAndSignatureOnDisk) {
    // The largest accepted size: the signature, one record, then a long run of one-unit
    // records ("\0" pairs) that the 128-record limit cuts off.
    Bytes big = encodeExclusionFile({rule(L"Cls", L"T")});
    big.resize(kExclusionFileMaxBytes, 0);
    put(big);
    std::vector<ExclusionEntry> got;
    ASSERT_EQ(readExclusionFile(path.c_str(), got), FileRead::Read);
    ASSERT_EQ(got.size(), 128u);
    EXPECT_EQ(got[0].className, L"Cls");
    EXPECT_EQ(got[1].className, L"");

    big.push_back(0); // one byte more: nothing at all
    put(big);
    got.clear();
    EXPECT_EQ(readExclusionFile(path.c_str(), got), FileRead::Unreadable);
    EXPECT_TRUE(got.empty());

    Bytes lower = encodeExclusionFile({rule(L"Cls", L"T")});
    const char* sig = "{8027eea7-18ec-44c9-95e4-159b46259420}";
    for (int i = 0; i < 38; ++i)
        lower[2 * i] = static_cast<std::uint8_t>(sig[i]);
    put(lower);
    got.clear();
    EXPECT_EQ(readExclusionFile(path.c_str(), got), FileRead::Read);
    EXPECT_EQ(got.size(), 1u);

    Bytes wrong = encodeExclusionFile({rule(L"Cls", L"T")});
    wrong[2] = '9';
    put(wrong);
    got.clear();
    EXPECT_EQ(readExclusionFile(path.c_str(), got), FileRead::Unreadable);
    EXPECT_TRUE(got.empty());

    put({});
    EXPECT_EQ(readExclusionFile(path.c_str(), got), FileRead::Unreadable);
    DeleteFileW(path.c_str());
    EXPECT_EQ(readExclusionFile(path.c_str(), got), FileRead::Missing); // no file
    EXPECT_TRUE(got.empty());
}

TEST_F(ExclusionFileTest, LoadingAppendsAndKeepsWhatIsThere) {
    ASSERT_TRUE(writeExclusionFile(path.c_str(), {rule(L"B", L"*")}));
    std::vector<ExclusionEntry> list = {rule(L"A", L"*")};
    ASSERT_EQ(readExclusionFile(path.c_str(), list), FileRead::Read);
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].className, L"A");
    EXPECT_EQ(list[1].className, L"B");
}

TEST_F(ExclusionFileTest, SavingAnEmptyListLeavesNoFile) {
    ASSERT_TRUE(writeExclusionFile(path.c_str(), {rule(L"A", L"*")}));
    ASSERT_TRUE(exists(path));
    EXPECT_TRUE(writeExclusionFile(path.c_str(), {}));
    EXPECT_FALSE(exists(path));
    EXPECT_FALSE(exists(path + L".new"));
    EXPECT_TRUE(writeExclusionFile(path.c_str(), {})); // nothing to delete
}

TEST_F(ExclusionFileTest, FailedSavesLeaveTheOldFileWhole) {
    const std::vector<ExclusionEntry> old = {rule(L"Old", L"kept")};
    ASSERT_TRUE(writeExclusionFile(path.c_str(), old));
    const Bytes before = bytes();
    const std::vector<ExclusionEntry> next = {rule(L"New", L"lost"), rule(L"More", L"*")};

    // The temporary file cannot be created: a folder stands in its place.
    ASSERT_TRUE(CreateDirectoryW((path + L".new").c_str(), nullptr));
    EXPECT_FALSE(writeExclusionFile(path.c_str(), next));
    RemoveDirectoryW((path + L".new").c_str());
    EXPECT_EQ(bytes(), before);

    // The old file is held open without sharing: it can be neither replaced nor deleted.
    HANDLE held = CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(writeExclusionFile(path.c_str(), next));
    EXPECT_FALSE(writeExclusionFile(path.c_str(), {}));
    CloseHandle(held);
    EXPECT_EQ(bytes(), before);
    EXPECT_FALSE(exists(path + L".new"));

    // Read-only: not replaced, not deleted.
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_FALSE(writeExclusionFile(path.c_str(), next));
    EXPECT_FALSE(writeExclusionFile(path.c_str(), {}));
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(bytes(), before);
    EXPECT_FALSE(exists(path + L".new"));

    std::vector<ExclusionEntry> back;
    ASSERT_EQ(readExclusionFile(path.c_str(), back), FileRead::Read);
    ASSERT_EQ(back.size(), 1u);
    EXPECT_EQ(back[0].windowName, L"kept");

    // A stale temporary file from an earlier crash does not stop the next save.
    HANDLE stale =
        CreateFileW((path + L".new").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    CloseHandle(stale);
    EXPECT_TRUE(writeExclusionFile(path.c_str(), next));
    EXPECT_EQ(bytes(), encodeExclusionFile(next));
}

TEST_F(ExclusionFileTest, PathIsBesideTheExecutable) {
    wchar_t p[260];
    ASSERT_TRUE(exclusionFilePath(p));
    wchar_t exe[260];
    const DWORD n = GetModuleFileNameW(nullptr, exe, 260);
    std::wstring expected(exe, n);
    expected = expected.substr(0, expected.find_last_of(L'\\') + 1) + L"除外ウィンドウ.dat";
    EXPECT_EQ(std::wstring(p), expected);
}

TEST_F(ExclusionFileTest, SaveDropsTheUnconfirmedCandidateAndLoadReadsItBack) {
    wchar_t real[260];
    ASSERT_TRUE(exclusionFilePath(real));
    ASSERT_FALSE(exists(real)) << "a rule file is already beside the test program";

    ExclusionList.entries = {rule(L"A", L"*"), rule(L"Candidate", L"?"), rule(L"C", L"c")};
    ExclusionList.candidateIndex = 1;
    saveExclusions();
    finishFileSaves();
    EXPECT_EQ(ExclusionList.entries.size(), 2u); // gone from memory too
    EXPECT_EQ(ExclusionList.candidateIndex, -1);

    resetExclusionList();
    loadExclusions();
    ASSERT_EQ(ExclusionList.entries.size(), 2u);
    EXPECT_EQ(ExclusionList.entries[0].className, L"A");
    EXPECT_EQ(ExclusionList.entries[1].className, L"C");

    ExclusionList.entries.clear();
    saveExclusions(); // an empty list deletes the file
    finishFileSaves();
    EXPECT_FALSE(exists(real));
    DeleteFileW(real);
}

} // namespace

namespace {

// A file that could not be read at start (held by another program, over the size limit, a
// wrong signature), or whose bytes were not all read (a cut record, a tail of garbage),
// survives the exit byte for byte unless the rules were changed; then it is kept under a
// backup name before the new file is written.
TEST_F(ExclusionFileTest, AFileNotReadWholeIsKeptUnlessTheRulesChanged) {
    const std::vector<ExclusionEntry> users = {rule(L"Notepad", L"*")};
    const Bytes two = encodeExclusionFile({rule(L"A", L"a"), rule(L"Notepad", L"memo.txt")});
    Bytes signatureWrong = encodeExclusionFile(users);
    signatureWrong[4] = 'X';
    Bytes tooBig = encodeExclusionFile(users);
    tooBig.resize(kExclusionFileMaxBytes + 1, 0);
    Bytes garbage = two;
    garbage.insert(garbage.end(), {'g', 0, 'a', 0, 0xFF});
    using F = ExclusionFileFound;
    struct Case {
        const char* why;
        Bytes file;
        bool hold;
        F found;
        size_t rules;
    } cases[] = {
        {"held open", encodeExclusionFile(users), true, F::Unreadable, 0},
        {"wrong signature", signatureWrong, false, F::Unreadable, 0},
        {"too big", tooBig, false, F::Unreadable, 0},
        {"first record cut at 77", Bytes(two.begin(), two.begin() + 77), false, F::Inexact, 0},
        {"second record cut at 100", Bytes(two.begin(), two.begin() + 100), false, F::Inexact, 1},
        {"garbage after the rules", garbage, false, F::Inexact, 2},
    };
    const std::wstring backup = path + L".bak";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        put(c.file);
        // A start, possibly while another program holds the file, the user's doing, an exit.
        auto run = [&](bool addsRule) {
            resetExclusionList();
            resetExclusionFileState();
            HANDLE held = c.hold ? CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr,
                                               OPEN_EXISTING, 0, nullptr)
                                 : INVALID_HANDLE_VALUE;
            EXPECT_EQ(loadExclusionFile(path.c_str()), c.found);
            EXPECT_EQ(ExclusionList.entries.size(), c.rules);
            if (addsRule)
                ExclusionList.entries.push_back(rule(L"Added", L"x"));
            saveExclusionFile(path.c_str());
            if (held != INVALID_HANDLE_VALUE)
                CloseHandle(held);
            finishFileSaves();
        };
        run(false);
        EXPECT_EQ(bytes(), c.file);
        EXPECT_FALSE(exists(backup));

        run(true);
        EXPECT_EQ(bytes(), encodeExclusionFile(ExclusionList.entries));
        std::wstring saved = path;
        path = backup;
        EXPECT_EQ(bytes(), c.file) << "no backup of the file as found";
        path = saved;
        DeleteFileW(backup.c_str());
        resetExclusionFileState();
    }
}

// A file read whole stays untouched by an exit that changed nothing, one holding no rules
// too; once the user empties the list, the file goes.
TEST_F(ExclusionFileTest, AnExitWithoutChangesWritesNothing) {
    takeFailedSaves(); // what earlier tests left
    for (const Bytes& file : {encodeExclusionFile({rule(L"A", L"*")}), encodeExclusionFile({})}) {
        put(file);
        resetExclusionList();
        resetExclusionFileState();
        EXPECT_EQ(loadExclusionFile(path.c_str()), ExclusionFileFound::Exact);
        // Read-only: any write or deletion would fail and be reported.
        SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY);
        saveExclusionFile(path.c_str());
        finishFileSaves();
        SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        EXPECT_EQ(bytes(), file);
        EXPECT_TRUE(takeFailedSaves().empty()) << "the exit tried to write";
    }
    ExclusionList.entries.push_back(rule(L"A", L"*"));
    saveExclusionFile(path.c_str());
    ExclusionList.entries.clear();
    saveExclusionFile(path.c_str());
    finishFileSaves();
    EXPECT_FALSE(exists(path));
    EXPECT_FALSE(exists(path + L".bak"));
}

TEST_F(ExclusionFileTest, AWholeTemporaryFileStandsInForAMissingOne) {
    const std::vector<ExclusionEntry> users = {rule(L"A", L"*"), rule(L"B", L"b")};
    const Bytes whole = encodeExclusionFile(users);
    const std::wstring temp = path + L".new";
    for (size_t cut : {whole.size() - 3, whole.size()}) {
        SCOPED_TRACE(cut);
        HANDLE f = CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD n = 0;
        WriteFile(f, whole.data(), static_cast<DWORD>(cut), &n, nullptr);
        CloseHandle(f);
        std::vector<ExclusionEntry> got;
        const FileRead r = readExclusionFile(path.c_str(), got);
        EXPECT_EQ(r, cut == whole.size() ? FileRead::Read : FileRead::Missing);
        EXPECT_EQ(got.size(), cut == whole.size() ? 2u : 0u);
        EXPECT_EQ(exists(path), cut == whole.size());
    }
    EXPECT_EQ(bytes(), whole);
    EXPECT_FALSE(exists(temp));

    // A read-only one becomes a file that later saves can replace.
    DeleteFileW(path.c_str());
    HANDLE f = CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD n = 0;
    WriteFile(f, whole.data(), static_cast<DWORD>(whole.size()), &n, nullptr);
    CloseHandle(f);
    SetFileAttributesW(temp.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
    std::vector<ExclusionEntry> got;
    ASSERT_EQ(readExclusionFile(path.c_str(), got), FileRead::Read);
    const DWORD attributes = GetFileAttributesW(path.c_str());
    EXPECT_FALSE(attributes & FILE_ATTRIBUTE_READONLY);
    EXPECT_TRUE(attributes & FILE_ATTRIBUTE_HIDDEN) << "kept, as a replacement keeps it";
    EXPECT_TRUE(writeExclusionFile(path.c_str(), users));
}

} // namespace
