// The exclusion file's bytes: signature, record pairs, terminators, the 4,095-unit limit,
// the 128-record limit, damaged and odd-sized tails, and the encoder's exact output.
#include "exclusion/exclusion_codec.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

void put(Bytes& b, const std::wstring& s) {
    for (wchar_t c : s) {
        b.push_back(static_cast<std::uint8_t>(c & 0xFF));
        b.push_back(static_cast<std::uint8_t>((c >> 8) & 0xFF));
    }
}

Bytes signature(const std::wstring& text = kExclusionSignature) {
    Bytes b;
    put(b, text);
    return b;
}

// A file of (title, class) records, each string ending in U+0000.
Bytes file(const std::vector<std::pair<std::wstring, std::wstring>>& records) {
    Bytes b = signature();
    for (const auto& [title, cls] : records) {
        put(b, title + L'\0');
        put(b, cls + L'\0');
    }
    return b;
}

std::vector<ExclusionEntry> decode(const Bytes& b) {
    std::vector<ExclusionEntry> out;
    if (hasExclusionSignature(b.data(), b.size()))
        decodeExclusionRecords(b.data(), b.size(), out);
    return out;
}

ExclusionEntry entry(const wchar_t* cls, const wchar_t* title) {
    ExclusionEntry e;
    e.className = cls;
    e.windowName = title;
    return e;
}

TEST(ExclusionSignature, CaseDoesNotMatterButEveryUnitDoes) {
    EXPECT_TRUE(hasExclusionSignature(signature().data(), 76));
    const Bytes lower = signature(L"{8027eea7-18ec-44c9-95e4-159b46259420}");
    EXPECT_TRUE(hasExclusionSignature(lower.data(), lower.size()));
    const Bytes upper = signature(L"{8027EEA7-18EC-44C9-95E4-159B46259420}");
    EXPECT_TRUE(hasExclusionSignature(upper.data(), upper.size()));

    struct Bad {
        const char* name;
        Bytes bytes;
    } bad[] = {
        {"empty", {}},
        {"one unit short", signature(L"{8027EEA7-18EC-44c9-95E4-159B46259420")},
        {"75 bytes",
         [] {
             Bytes b = signature();
             b.pop_back();
             return b;
         }()},
        {"one digit differs", signature(L"{8027EEA7-18EC-44c9-95E4-159B46259421}")},
        {"brace differs", signature(L"[8027EEA7-18EC-44c9-95E4-159B46259420}")},
        {"terminator inside",
         signature(std::wstring(L"{8027EEA7-18EC-44c9-95E4-159B4625942\0}", 38))},
        {"byte-order mark first",
         [] {
             Bytes b{0xFF, 0xFE};
             const Bytes s = signature();
             b.insert(b.end(), s.begin(), s.end());
             return b;
         }()},
        {"big-endian",
         [] {
             Bytes b = signature();
             for (size_t i = 0; i + 1 < b.size(); i += 2)
                 std::swap(b[i], b[i + 1]);
             return b;
         }()},
        {"high byte set on a letter",
         [] {
             Bytes b = signature();
             b[2 * 5 + 1] = 0x01; // 'E' becomes U+0145
             return b;
         }()},
    };
    for (const Bad& c : bad) {
        SCOPED_TRACE(c.name);
        EXPECT_FALSE(hasExclusionSignature(c.bytes.data(), c.bytes.size()));
        EXPECT_TRUE(decode(c.bytes).empty());
    }
}

TEST(ExclusionRecords, TitleFirstThenClass) {
    const auto got = decode(file({{L"memo.txt", L"Notepad"}, {L"*", L"#32770"}, {L"", L""}}));
    ASSERT_EQ(got.size(), 3u);
    EXPECT_EQ(got[0].windowName, L"memo.txt");
    EXPECT_EQ(got[0].className, L"Notepad");
    EXPECT_EQ(got[1].windowName, L"*");
    EXPECT_EQ(got[1].className, L"#32770");
    EXPECT_EQ(got[2].windowName, L"");
    EXPECT_EQ(got[2].className, L"");
    for (const auto& e : got)
        EXPECT_EQ(e.imageIndex, kNoImageIndex);
}

TEST(ExclusionRecords, SignatureAloneIsAnEmptyList) {
    EXPECT_TRUE(decode(signature()).empty());
}

TEST(ExclusionRecords, DamagedTailsKeepTheCompleteRecordsBeforeThem) {
    const Bytes whole = file({{L"a", L"A"}, {L"b", L"B"}});
    struct Case {
        const char* name;
        Bytes bytes;
        size_t expected;
    } cases[] = {
        {"title without class",
         [&] {
             Bytes b = whole;
             put(b, std::wstring(L"c") + L'\0');
             return b;
         }(),
         2},
        {"class cut before its terminator",
         [&] {
             Bytes b = whole;
             put(b, std::wstring(L"c") + L'\0' + L"Cla");
             return b;
         }(),
         2},
        {"title cut before its terminator",
         [&] {
             Bytes b = whole;
             put(b, L"unfinished");
             return b;
         }(),
         2},
        {"one stray byte",
         [&] {
             Bytes b = whole;
             b.push_back('x');
             return b;
         }(),
         2},
        {"stray byte after a title",
         [&] {
             Bytes b = whole;
             put(b, std::wstring(L"c") + L'\0');
             b.push_back(0);
             return b;
         }(),
         2},
        {"odd size inside the second record", Bytes(whole.begin(), whole.end() - 1), 1},
        {"second record's class terminator missing", Bytes(whole.begin(), whole.end() - 2), 1},
        {"a lone zero byte after the signature",
         [] {
             Bytes b = signature();
             b.push_back(0);
             return b;
         }(),
         0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto got = decode(c.bytes);
        ASSERT_EQ(got.size(), c.expected);
        if (c.expected >= 1) {
            EXPECT_EQ(got[0].className, L"A");
        }
        if (c.expected >= 2) {
            EXPECT_EQ(got[1].className, L"B");
        }
    }
}

TEST(ExclusionRecords, AnyControlCharacterEndsAString) {
    // A title with a tab is written with a space there: read back as is, the rest of the
    // title would become the class and the real class the next record's title.
    ExclusionEntry e = entry(L"Notepad", L"left\tright\x01");
    const Bytes b = encodeExclusionFile({e, entry(L"Cls", L"T")});
    const auto got = decode(b);
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(got[0].windowName, L"left right ");
    EXPECT_EQ(got[0].className, L"Notepad");
    EXPECT_EQ(got[1].windowName, L"T");
    EXPECT_EQ(got[1].className, L"Cls");

    for (wchar_t terminator : {L'\x01', L'\x1F', L'\n', L'\r'}) {
        Bytes f = signature();
        put(f, std::wstring(L"ti") + terminator + L"cl" + L'\0');
        const auto r = decode(f);
        ASSERT_EQ(r.size(), 1u) << static_cast<int>(terminator);
        EXPECT_EQ(r[0].windowName, L"ti");
        EXPECT_EQ(r[0].className, L"cl");
    }
    Bytes space = signature(); // U+0020 is an ordinary character
    put(space, std::wstring(L"a b") + L'\0' + L"c d" + L'\0');
    const auto r = decode(space);
    ASSERT_EQ(r.size(), 1u);
    EXPECT_EQ(r[0].windowName, L"a b");
}

TEST(ExclusionRecords, FourThousandNinetyFiveUnitsIsTheLongestString) {
    const std::wstring longest(4095, L'x');
    const auto ok = decode(file({{longest, L"Cls"}, {L"t", longest}}));
    ASSERT_EQ(ok.size(), 2u);
    EXPECT_EQ(ok[0].windowName, longest);
    EXPECT_EQ(ok[1].className, longest);

    // 4,096 units with no terminator among them: the string is empty and the next one
    // starts one unit on, where the last 4,095 units and the terminator now fit. "Cls"
    // then stands as a title without a class and is dropped.
    Bytes b = signature();
    put(b, std::wstring(4096, L'y') + L'\0' + L"Cls" + L'\0');
    const auto got = decode(b);
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].windowName, L"");
    EXPECT_EQ(got[0].className, std::wstring(4095, L'y'));
}

TEST(ExclusionRecords, NoTerminatorBeforeTheEndOfAShortFileIsNoString) {
    std::wstring s;
    size_t pos = 0;
    Bytes tail;
    put(tail, L"abc");
    EXPECT_FALSE(readExclusionString(tail.data(), tail.size(), pos, s));
    EXPECT_EQ(pos, 0u);

    Bytes exact;
    put(exact, std::wstring(4096, L'z')); // a full read with no terminator
    EXPECT_TRUE(readExclusionString(exact.data(), exact.size(), pos, s));
    EXPECT_EQ(s, L"");
    EXPECT_EQ(pos, 2u);

    Bytes withEnd;
    put(withEnd, std::wstring(L"ab") + L'\0');
    pos = 0;
    EXPECT_TRUE(readExclusionString(withEnd.data(), withEnd.size(), pos, s));
    EXPECT_EQ(s, L"ab");
    EXPECT_EQ(pos, 6u);
    EXPECT_FALSE(readExclusionString(withEnd.data(), withEnd.size(), pos, s)); // at the end
}

TEST(ExclusionRecords, AtMost128RecordsAreRead) {
    std::vector<std::pair<std::wstring, std::wstring>> records;
    for (int i = 0; i < 129; ++i)
        records.push_back({std::to_wstring(i), L"C" + std::to_wstring(i)});
    const auto got = decode(file(records));
    ASSERT_EQ(got.size(), 128u);
    EXPECT_EQ(got.front().windowName, L"0");
    EXPECT_EQ(got.back().windowName, L"127");
    EXPECT_EQ(got.back().className, L"C127");

    records.resize(128);
    EXPECT_EQ(decode(file(records)).size(), 128u);
    records.resize(127);
    EXPECT_EQ(decode(file(records)).size(), 127u);

    // Duplicates are not refused.
    EXPECT_EQ(decode(file({{L"t", L"c"}, {L"t", L"c"}})).size(), 2u);
}

TEST(ExclusionRecords, DecodingAppendsToWhatIsThere) {
    std::vector<ExclusionEntry> list = {entry(L"Kept", L"*")};
    const Bytes b = file({{L"t", L"c"}});
    decodeExclusionRecords(b.data(), b.size(), list);
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].className, L"Kept");
    EXPECT_EQ(list[1].className, L"c");
}

// Whether a reading kept every byte decides whether the file may later be written over
// without a backup: any cut, tail or lost record makes it Inexact, whatever was read.
TEST(ExclusionFileFound, OnlyAFileThatReEncodesToItsOwnBytesIsExact) {
    const Bytes two = file({{L"memo.txt - Notepad", L"Notepad"}, {L"*", L"#32770"}});
    Bytes garbage = two;
    garbage.insert(garbage.end(), {0xFF, 0xFE, 'Z', 0x00, 0x41});
    Bytes garbageAfterSignature = signature();
    garbageAfterSignature.insert(garbageAfterSignature.end(), {'j', 'u', 'n', 'k'});
    std::vector<std::pair<std::wstring, std::wstring>> many;
    for (int i = 0; i < 129; ++i)
        many.push_back({std::to_wstring(i), L"C"});
    Bytes lower = two;
    lower[2 * 5] = 'e'; // "{8027eEA7": one lower-case letter
    Bytes control = signature();
    put(control, std::wstring(L"a\tb") + L'\0' + L"C" + L'\0');
    const struct {
        const char* why;
        Bytes bytes;
        ExclusionFileFound found;
        size_t rules;
    } cases[] = {
        {"two whole rules", two, ExclusionFileFound::Exact, 2},
        {"the signature alone", signature(), ExclusionFileFound::Exact, 0},
        {"first record cut at 77", Bytes(two.begin(), two.begin() + 77),
         ExclusionFileFound::Inexact, 0},
        {"first record cut at 99", Bytes(two.begin(), two.begin() + 99),
         ExclusionFileFound::Inexact, 0},
        {"first record cut at 100", Bytes(two.begin(), two.begin() + 100),
         ExclusionFileFound::Inexact, 0},
        {"second record cut", Bytes(two.begin(), two.end() - 3), ExclusionFileFound::Inexact, 1},
        {"garbage after the rules", garbage, ExclusionFileFound::Inexact, 2},
        {"garbage after the signature", garbageAfterSignature, ExclusionFileFound::Inexact, 0},
        {"129 records", file(many), ExclusionFileFound::Inexact, 128},
        {"lower-case signature", lower, ExclusionFileFound::Inexact, 2},
        {"control character in a title", control, ExclusionFileFound::Inexact, 1},
        {"no signature", Bytes(two.begin() + 2, two.end()), ExclusionFileFound::Unreadable, 0},
        {"empty", Bytes{}, ExclusionFileFound::Unreadable, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        std::vector<ExclusionEntry> out = {entry(L"Before", L"*")};
        EXPECT_EQ(readExclusionBytes(c.bytes.data(), c.bytes.size(), out), c.found);
        ASSERT_EQ(out.size(), 1 + c.rules);
        EXPECT_EQ(out[0].className, L"Before"); // appended after what was there
    }
}

TEST(ExclusionFileSize, TheLargestListTheWriterCanMakeIsReadBackWhole) {
    EXPECT_TRUE(exclusionFileSizeAccepted(0));
    EXPECT_TRUE(exclusionFileSizeAccepted(2097152));
    EXPECT_FALSE(exclusionFileSizeAccepted(0x100000000ull)); // beyond 32 bits

    // 128 rules with both names at the 4,095-unit limit: 76 bytes over 2 MiB.
    std::vector<ExclusionEntry> full(kExclusionLimit);
    for (int i = 0; i < kExclusionLimit; ++i) {
        full[i].className.assign(kExclusionTextLimit, static_cast<wchar_t>(L'A' + i % 26));
        full[i].windowName.assign(kExclusionTextLimit, static_cast<wchar_t>(L'あ' + i));
    }
    const Bytes b = encodeExclusionFile(full);
    EXPECT_EQ(b.size(), 2097152u + 76u);
    EXPECT_TRUE(exclusionFileSizeAccepted(b.size()));
    EXPECT_FALSE(exclusionFileSizeAccepted(b.size() + 1));
    const std::vector<ExclusionEntry> back = decode(b);
    ASSERT_EQ(back.size(), full.size());
    EXPECT_EQ(back.back().className, full.back().className);
    EXPECT_EQ(back.back().windowName, full.back().windowName);
}

TEST(ExclusionEncode, ExactBytesAndRoundTrip) {
    std::vector<ExclusionEntry> list = {entry(L"Notepad", L"memo"), entry(L"#32770", L"拡大鏡"),
                                        entry(L"", L""), entry(L"Cls", L"*")};
    list[0].imageIndex = 7; // never saved
    const Bytes b = encodeExclusionFile(list);

    Bytes expected = signature();
    put(expected, std::wstring(L"memo") + L'\0' + L"Notepad" + L'\0');
    put(expected, std::wstring(L"拡大鏡") + L'\0' + L"#32770" + L'\0');
    put(expected, std::wstring(1, L'\0') + L'\0');
    put(expected, std::wstring(L"*") + L'\0' + L"Cls" + L'\0');
    EXPECT_EQ(b, expected);
    // "拡" is U+62E1: little-endian E1 62.
    EXPECT_EQ(b[76 + 26], 0xE1);
    EXPECT_EQ(b[76 + 27], 0x62);

    const auto back = decode(b);
    ASSERT_EQ(back.size(), list.size());
    for (size_t i = 0; i < list.size(); ++i) {
        EXPECT_EQ(back[i].className, list[i].className) << i;
        EXPECT_EQ(back[i].windowName, list[i].windowName) << i;
        EXPECT_EQ(back[i].imageIndex, kNoImageIndex) << i;
    }
    EXPECT_EQ(encodeExclusionFile({}), signature());
}

} // namespace
