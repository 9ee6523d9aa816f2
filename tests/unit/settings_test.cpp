// The settings image: defaults byte for byte, damaged fields, and the round trip.
#include "core/settings.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Builds an image from readable text where '~' stands for a NUL separator.
SettingsImage imageOf(const std::u16string& text) {
    SettingsImage img{};
    EXPECT_EQ(text.size(), static_cast<size_t>(kSettingsUnits));
    for (size_t i = 0; i < text.size() && i < img.size(); ++i)
        img[i] = text[i] == u'~' ? 0 : text[i];
    return img;
}

const std::u16string kDefaults = u"101t01s0122" u"00~00~" u"15~" u"100000~00000~" u"000101100";

TEST(SettingsCodec, DefaultsEncodeToTheDocumentedBytes) {
    const auto bytes = settingsBytesFromImage(encodeSettings(SettingsRecord{}));
    const auto expected = settingsBytesFromImage(imageOf(kDefaults));
    EXPECT_EQ(bytes, expected);
    EXPECT_EQ(bytes[0], '1');
    EXPECT_EQ(bytes[1], 0);
    EXPECT_EQ(bytes[26], 0); // first separator
    EXPECT_EQ(bytes[27], 0);
}

TEST(SettingsCodec, DefaultsImageDecodesToDefaults) {
    EXPECT_EQ(decodeSettings(imageOf(kDefaults)), SettingsRecord{});
}

TEST(SettingsCodec, AllZeroUnitsLoadAsEverythingOff) {
    SettingsImage img;
    img.fill(u'0');
    const SettingsRecord s = decodeSettings(img);
    EXPECT_EQ(s.scrollEnabled, 0);
    EXPECT_EQ(s.edgeMiddleClickToggles, 0);
    EXPECT_EQ(s.startPosition, u'0');
    EXPECT_EQ(s.toggleKey, kToggleNone);
    EXPECT_EQ(s.moveDisplay, 0);
    EXPECT_EQ(s.columns, 1);
    EXPECT_EQ(s.rows, 1);
    // With no separators the digits run on, and the clamps keep every number in range.
    EXPECT_EQ(s.acceleration, 0);
    EXPECT_EQ(s.delay, 0);
    EXPECT_EQ(s.trackLevel, 0);
    EXPECT_EQ(s.overviewWidth, 0);
    EXPECT_EQ(s.overviewHeight, 0);
    EXPECT_EQ(s.keepIconPositions, 0);
    EXPECT_EQ(s.delayNoMove, 0);
}

TEST(SettingsCodec, NumbersAreParsedAndClamped) {
    struct Case {
        const char16_t* delayDigits;
        int delay;
    } cases[] = {{u"10", 100}, {u"12", 100}, {u"-5", 0}, {u"05", 50}, {u" 3", 30}, {u"x1", 0}};
    for (const auto& c : cases) {
        SettingsImage img = imageOf(kDefaults);
        img[14] = c.delayDigits[0];
        img[15] = c.delayDigits[1];
        EXPECT_EQ(decodeSettings(img).delay, c.delay) << "digits " << char(c.delayDigits[0])
                                                      << char(c.delayDigits[1]);
    }
    SettingsImage img = imageOf(kDefaults);
    img[11] = u'9';
    img[12] = u'9';
    EXPECT_EQ(decodeSettings(img).acceleration, 10);
}

TEST(SettingsCodec, OverviewInsteadOfMovingSwitchesContinuingOff) {
    SettingsImage img = imageOf(kDefaults);
    img[4] = u'1';
    img[7] = u'o';
    const SettingsRecord s = decodeSettings(img);
    EXPECT_EQ(s.moveDisplay, u'o');
    EXPECT_EQ(s.continueAtEdge, 0);
    img[7] = u'b';
    EXPECT_EQ(decodeSettings(img).continueAtEdge, 1);
}

TEST(SettingsCodec, UnknownUnitsFallBackFieldByField) {
    SettingsImage img = imageOf(kDefaults);
    img[6] = u'?';  // toggle key
    img[7] = u'z';  // move display
    img[9] = u'7';  // columns out of range
    img[10] = u'0'; // rows
    img[0] = u'x';  // any flag unit but '0' is on
    const SettingsRecord s = decodeSettings(img);
    EXPECT_EQ(s.toggleKey, kToggleScrollLock);
    EXPECT_EQ(s.moveDisplay, u'b');
    EXPECT_EQ(s.columns, 1);
    EXPECT_EQ(s.rows, 1);
    EXPECT_EQ(s.scrollEnabled, 1);
}

TEST(SettingsCodec, DamagedSeparatorCannotPushNumbersOutOfRange) {
    SettingsImage img = imageOf(kDefaults);
    img[19] = u'9'; // trackLevel "5" now runs on into "91..."
    img[18] = u'9';
    EXPECT_EQ(decodeSettings(img).trackLevel, 9);
    img = imageOf(kDefaults);
    for (int i = 21; i <= 31; ++i) img[i] = u'9'; // eleven digits: saturates, no overflow
    const SettingsRecord s = decodeSettings(img);
    EXPECT_GT(s.overviewWidth, 99999);
    // Writing it back keeps the record at its fixed size with in-range digits.
    const SettingsImage back = encodeSettings(s);
    EXPECT_EQ(back[21], u'9');
    EXPECT_EQ(back[26], 0);
}

TEST(SettingsCodec, SaveAfterLoadReproducesTheRecord) {
    SettingsImage img = imageOf(u"010b10n0035" u"07~04~" u"08~" u"012345~00678~" u"111010011");
    img[13] = u'Z'; // a non-digit where a separator belongs is rewritten as 0x0000
    const SettingsRecord s = decodeSettings(img);
    EXPECT_EQ(s.acceleration, 7);
    EXPECT_EQ(s.delay, 40);
    EXPECT_EQ(s.trackLevel, 8);
    EXPECT_EQ(s.overviewWidth, 12345);
    EXPECT_EQ(s.overviewHeight, 678);
    EXPECT_EQ(s.toggleKey, kToggleNumLock);
    EXPECT_EQ(s.columns, 3);
    EXPECT_EQ(s.rows, 5);
    const SettingsImage out = encodeSettings(s);
    EXPECT_EQ(out[13], 0);
    EXPECT_EQ(decodeSettings(out), s);
    img[13] = 0;
    EXPECT_EQ(out, img);
}

TEST(SettingsCodec, BytesAreLittleEndianUnits) {
    std::array<std::uint8_t, kSettingsFileBytes> bytes{};
    bytes[6] = 0x42;
    bytes[7] = 0x30; // U+3042
    const SettingsImage img = settingsImageFromBytes(bytes);
    EXPECT_EQ(img[3], u'\u3042');
    EXPECT_EQ(settingsBytesFromImage(img), bytes);
}

// A file of another length is the user's too: kept before the first save, and read when
// it holds a whole record. Only the program's own 84 bytes may stand in from a left-over
// temporary file.
TEST(SettingsFileReading, EveryLengthKeepsTheFileAndAWholeRecordIsRead) {
    SettingsRecord users;
    users.columns = 4;
    users.rows = 3;
    users.delay = 50;
    const auto image = settingsBytesFromImage(encodeSettings(users));
    std::vector<std::uint8_t> bytes(image.begin(), image.end());
    bytes.insert(bytes.end(), 84, 'x'); // room to cut and to extend
    const struct {
        size_t size;
        bool hasRecord;
        bool keep;
    } cases[] = {{0, false, true},  {1, false, true}, {41, false, true}, {83, false, true},
                 {84, true, false}, {85, true, true}, {168, true, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.size);
        const SettingsFileReading r = readSettingsBytes(bytes.data(), c.size);
        EXPECT_EQ(r.hasRecord, c.hasRecord);
        EXPECT_EQ(r.keepBeforeSave, c.keep);
        EXPECT_EQ(r.record, c.hasRecord ? users : SettingsRecord{});
        EXPECT_EQ(settingsBytesWhole(bytes.data(), c.size), c.size == 84);
    }
    // 84 bytes that decode, but not to what a save writes: not whole.
    bytes[0] = '7';
    EXPECT_TRUE(readSettingsBytes(bytes.data(), 84).hasRecord);
    EXPECT_FALSE(settingsBytesWhole(bytes.data(), 84));
}

TEST(ParseDecimal, FollowsTheWtoiRule) {
    EXPECT_EQ(parseDecimal(u"  -12x", 6), -12);
    EXPECT_EQ(parseDecimal(u"+7", 2), 7);
    EXPECT_EQ(parseDecimal(u"-", 1), 0);
    EXPECT_EQ(parseDecimal(u"99999999999999", 14), 2147483647);
    EXPECT_EQ(parseDecimal(u"-99999999999999", 15), -2147483647 - 1);
    EXPECT_EQ(parseDecimal(u"12345", 3), 123); // bounded by the window
}

} // namespace
