// iconpos.dat: round trip with repeated, case-differing, empty and long labels; damaged,
// truncated and hostile files, which must stop at the damage without reading past it.
#include "hook/iconpos_codec.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

struct Icon {
    std::u16string label;
    std::int32_t x, y;
};

Bytes encode(std::int32_t count, const std::vector<Icon>& icons) {
    Bytes b(kIconPosCountBytes);
    putIconPosInt(b.data(), count);
    for (const Icon& i : icons) {
        const auto length = static_cast<std::uint32_t>(i.label.size());
        const std::size_t at = b.size();
        b.resize(at + iconPosRecordBytes(length));
        EXPECT_EQ(putIconPosRecord(b.data() + at, i.label.data(), length, i.x, i.y),
                  b.data() + b.size());
    }
    return b;
}

std::vector<IconPosRecord> decode(const Bytes& b) {
    std::vector<IconPosRecord> out(iconPosCapacity(b.data(), b.size()));
    out.resize(decodeIconPos(b.data(), b.size(), out.data(), out.size()));
    return out;
}

std::u16string labelOf(const Bytes& b, const IconPosRecord& r) {
    std::u16string s;
    for (std::uint32_t i = 0; i < r.length; ++i)
        s += iconLabelUnit(b.data(), r, i);
    return s;
}

TEST(IconPosCodec, RoundTripRanksEqualLabelsInFileOrder) {
    const std::u16string longLabel(300, u'ア'); // longer than the first label buffer
    const std::vector<Icon> icons = {
        {u"Memo", 10, 20},
        {u"memo", -5, 7},
        {u"Memo", 100, 20},
        {longLabel, 1024, 768},
        {u"", 3, 4},
        {u"Memo", INT_MIN, INT_MAX},
        {longLabel + u"x", 0, 0},
        {longLabel, 2048, -768},
    };
    const Bytes b = encode(static_cast<std::int32_t>(icons.size()), icons);
    std::vector<IconPosRecord> records = decode(b);
    ASSERT_EQ(records.size(), icons.size());
    std::vector<std::uint32_t> order(records.size());
    rankIconLabels(b.data(), records.data(), records.size(), order.data());
    // Case counts, and a label that only starts like another is another label.
    const std::uint32_t ranks[] = {0, 0, 1, 0, 0, 2, 0, 1};
    for (std::size_t i = 0; i < icons.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(labelOf(b, records[i]), icons[i].label);
        EXPECT_EQ(records[i].x, icons[i].x);
        EXPECT_EQ(records[i].y, icons[i].y);
        EXPECT_EQ(records[i].rank, ranks[i]);
    }
}

TEST(IconPosCodec, OriginArithmeticWrapsLikeTheFile) {
    EXPECT_EQ(iconPosStored(100, 1024), 1124);
    EXPECT_EQ(iconPosPlaced(1124, 2048), -924);
    EXPECT_EQ(iconPosStored(INT_MAX, 1), INT_MIN);
    EXPECT_EQ(iconPosPlaced(INT_MIN, 1), INT_MAX);
}

// `b` with its count set to `count` and the ints appended.
Bytes counted(Bytes b, std::int32_t count, std::initializer_list<std::int32_t> ints = {}) {
    putIconPosInt(b.data(), count);
    for (std::int32_t v : ints) {
        const std::size_t at = b.size();
        b.resize(at + 4);
        putIconPosInt(b.data() + at, v);
    }
    return b;
}

TEST(IconPosCodec, DamagedFilesStopAtTheDamage) {
    const Bytes two = encode(2, {{u"Ab", 1, 2}, {u"Cde", 3, 4}});
    const Bytes one = encode(1, {{u"Ab", 1, 2}});
    Bytes cutLength = counted(one, 2);
    cutLength.insert(cutLength.end(), {3, 0});
    struct Case {
        const char* why;
        Bytes bytes;
        std::size_t records;
    };
    const Case cases[] = {
        {"empty file", {}, 0},
        {"count cut short", {2, 0, 0}, 0},
        {"count 0", counted(one, 0), 0},
        {"negative count", counted(one, -1), 0},
        {"whole file", two, 2},
        {"cut in the last y", Bytes(two.begin(), two.end() - 1), 1},
        {"cut in the last label", Bytes(two.begin(), two.end() - 10), 1},
        {"cut in the last length", cutLength, 1},
        {"count larger than the records", counted(one, 2), 1},
        {"bytes after the counted records", counted(one, 1, {5, 6, 7}), 1},
        {"negative length", counted(one, 2, {-1, 0, 0}), 1},
        {"length past the end", counted(one, 2, {3, 0, 0}), 1},
        // Twice these lengths overflows 32 bits; the bytes left never hold them.
        {"length of 2^31 - 1", counted(one, 2, {INT_MAX, 0, 0, 0}), 1},
        {"length of 2^30", counted(one, 2, {0x40000000, 0, 0, 0}), 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        EXPECT_EQ(decode(c.bytes).size(), c.records);
    }
}

TEST(IconPosCodec, AHugeCountAllocatesOnlyWhatTheBytesHold) {
    const Bytes b = encode(INT_MAX, {{u"A", 1, 2}, {u"B", 3, 4}});
    // Two records of 14 bytes after the count: room for at most two 12-byte records.
    EXPECT_EQ(iconPosCapacity(b.data(), b.size()), 2u);
    EXPECT_EQ(decode(b).size(), 2u);
}

} // namespace
