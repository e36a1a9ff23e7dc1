#include "analysis/numberformat.h"

#include <gtest/gtest.h>

#include "tests/analysis/analysistesting.h"

namespace quorvex::test {
namespace {

const NumberSeparators kEnglish{u",", u"."};
const NumberSeparators kNoBreakSpace{u"\u00A0", u","};
const NumberSeparators kNarrowNoBreakSpace{u"\u202F", u","};
// A separator outside the basic plane takes two code units but is one character.
const NumberSeparators kAstral{u"\U0001D30D", u"\U0001D30E"};

TEST(NumberFormat, GroupsDigitsInThreesFromTheRight) {
    EXPECT_EQ(Utf8(FormatGrouped(0, kEnglish)), "0");
    EXPECT_EQ(Utf8(FormatGrouped(7, kEnglish)), "7");
    EXPECT_EQ(Utf8(FormatGrouped(999, kEnglish)), "999");
    EXPECT_EQ(Utf8(FormatGrouped(1000, kEnglish)), "1,000");
    EXPECT_EQ(Utf8(FormatGrouped(32, kEnglish)), "32");
    EXPECT_EQ(Utf8(FormatGrouped(100200, kEnglish)), "100,200");
    EXPECT_EQ(Utf8(FormatGrouped(1234567, kEnglish)), "1,234,567");
    EXPECT_EQ(Utf8(FormatGrouped(2147483647, kEnglish)), "2,147,483,647");
    EXPECT_EQ(Utf8(FormatGrouped(9223372036854775807, kEnglish)), "9,223,372,036,854,775,807");
}

TEST(NumberFormat, GroupsWithTheLocaleSeparator) {
    EXPECT_EQ(FormatGrouped(1234567, kNoBreakSpace), u"1\u00A0234\u00A0567");
    EXPECT_EQ(FormatGrouped(1234567, kNarrowNoBreakSpace), u"1\u202F234\u202F567");
    EXPECT_EQ(FormatGrouped(1000, kAstral), u"1\U0001D30D000");
    EXPECT_EQ(FormatGrouped(999, kNoBreakSpace), u"999");
}

TEST(NumberFormat, PlainDigits) {
    EXPECT_EQ(FormatDigits(0), u"0");
    EXPECT_EQ(FormatDigits(65), u"65");
    EXPECT_EQ(FormatDigits(255), u"255");
    EXPECT_EQ(FormatDigits(123456789), u"123456789");
}

TEST(NumberFormat, SecondsHaveNoLeadingZeroAndOneToEightDecimals) {
    EXPECT_EQ(Utf8(FormatSeconds(1.5, kEnglish)), "1.5");
    EXPECT_EQ(Utf8(FormatSeconds(0.25, kEnglish)), ".25");
    EXPECT_EQ(Utf8(FormatSeconds(2, kEnglish)), "2.0");
    EXPECT_EQ(Utf8(FormatSeconds(0, kEnglish)), ".0");
    EXPECT_EQ(Utf8(FormatSeconds(1234.5, kEnglish)), "1234.5");
    EXPECT_EQ(Utf8(FormatSeconds(0.125, kEnglish)), ".125");
    EXPECT_EQ(Utf8(FormatSeconds(0.000000004, kEnglish)), ".0");
    EXPECT_EQ(Utf8(FormatSeconds(0.123456789, kEnglish)), ".12345679");
    EXPECT_EQ(Utf8(FormatSeconds(0.999999999, kEnglish)), "1.0");
    EXPECT_EQ(FormatSeconds(1.5, kNoBreakSpace), u"1,5");
    EXPECT_EQ(FormatSeconds(0.25, kNarrowNoBreakSpace), u",25");
    EXPECT_EQ(FormatSeconds(2, kAstral), u"2\U0001D30E0");
}

TEST(NumberFormat, FixedWidthCountsCharactersNotCodeUnits) {
    EXPECT_EQ(FixedWidth(u"0", 12), u"           0");
    EXPECT_EQ(FixedWidth(u"7", 8), u"       7");
    EXPECT_EQ(FixedWidth(u"1,234,567", 12), u"   1,234,567");
    EXPECT_EQ(FixedWidth(FormatGrouped(1234567, kNarrowNoBreakSpace), 12),
              u"   1\u202F234\u202F567");
    const std::u16string astral = FormatGrouped(1234567, kAstral);
    EXPECT_EQ(CharacterCount(astral), 9u);
    EXPECT_EQ(FixedWidth(astral, 12), u"   " + astral);
    EXPECT_EQ(FixedWidth(u"999,999,999", 12), u" 999,999,999");
}

TEST(NumberFormat, FixedWidthNeverCutsALongerText) {
    EXPECT_EQ(FixedWidth(u"1,000,000,000", 12), u"1,000,000,000");
    EXPECT_EQ(FixedWidth(u"123456789", 8), u"123456789");
    EXPECT_EQ(FixedWidth(u"12345678", 8), u"12345678");
}

}  // namespace
}  // namespace quorvex::test
