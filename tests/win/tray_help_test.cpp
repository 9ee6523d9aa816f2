// The help file the build puts beside the program: a compiled help file whose directory
// holds the nine pages the tray menu opens, each with content.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace {

std::vector<unsigned char> readHelpFile() {
    wchar_t path[MAX_PATH];
    const DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring p(path, n);
    p = p.substr(0, p.find_last_of(L'\\') + 1) + L"Orvalis.chm";
    std::vector<unsigned char> bytes;
    HANDLE f =
        CreateFileW(p.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE)
        return bytes;
    bytes.resize(GetFileSize(f, nullptr));
    DWORD got = 0;
    if (!bytes.empty() &&
        !ReadFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr))
        got = 0;
    bytes.resize(got);
    CloseHandle(f);
    return bytes;
}

std::uint32_t u32(const std::vector<unsigned char>& b, size_t at) {
    if (at + 4 > b.size())
        return 0;
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
}

// The file's directory: entry name -> uncompressed length. Empty when the file is not a
// compiled help file. Names are stored as UTF-8 with variable-length numbers, in
// listing chunks ("PMGL") that follow the directory header ("ITSP").
std::map<std::string, std::uint64_t> directory(const std::vector<unsigned char>& b) {
    std::map<std::string, std::uint64_t> entries;
    if (b.size() < 0x60 || std::string(b.begin(), b.begin() + 4) != "ITSF")
        return entries;
    const size_t dir = u32(b, 0x48); // the directory offset's low half: the file is small
    if (dir + 0x54 > b.size() || std::string(b.begin() + dir, b.begin() + dir + 4) != "ITSP")
        return entries;
    const size_t headerLength = u32(b, dir + 0x08);
    const size_t chunkSize = u32(b, dir + 0x10);
    const size_t chunks = u32(b, dir + 0x2C);
    for (size_t c = 0; c < chunks; ++c) {
        const size_t chunk = dir + headerLength + c * chunkSize;
        if (chunk + chunkSize > b.size())
            break;
        if (std::string(b.begin() + chunk, b.begin() + chunk + 4) != "PMGL")
            continue;
        const size_t end = chunk + chunkSize - u32(b, chunk + 4);
        size_t at = chunk + 0x14;
        auto number = [&]() {
            std::uint64_t v = 0;
            while (at < end) {
                const unsigned char byte = b[at++];
                v = v << 7 | (byte & 0x7F);
                if (!(byte & 0x80))
                    break;
            }
            return v;
        };
        while (at < end) {
            const std::uint64_t nameLength = number();
            if (at + nameLength > end)
                break;
            std::string name(b.begin() + at, b.begin() + at + nameLength);
            at += nameLength;
            number(); // section
            number(); // offset
            entries[name] = number();
        }
    }
    return entries;
}

TEST(HelpFile, HoldsTheNinePagesTheMenuOpens) {
    const std::vector<unsigned char> bytes = readHelpFile();
    ASSERT_FALSE(bytes.empty()) << "Orvalis.chm is missing beside the test program";
    const auto entries = directory(bytes);
    ASSERT_FALSE(entries.empty()) << "not a compiled help file";
    for (const char* page :
         {"first.html", "howtouse.html", "uninstall.html", "notfound.html", "stopscroll.html",
          "limit.html", "requirements.html", "files.html", "about.html"}) {
        const auto it = entries.find(std::string("/") + page);
        ASSERT_NE(it, entries.end()) << page;
        // Every page is a real page, not a stub.
        EXPECT_GT(it->second, 1000u) << page;
    }
    // The viewer's own tables: the system data and the table of contents.
    EXPECT_TRUE(entries.count("/#SYSTEM"));
    EXPECT_TRUE(entries.count("/Orvalis.hhc"));
}

} // namespace
