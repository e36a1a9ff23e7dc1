#include "analysis/rows/texttable.h"

#include <gtest/gtest.h>

namespace quorvex {
namespace {

// Texts are kept one byte a character until one needs more; the texts stored
// before must come back unchanged after the switch, and order the same way.
TEST(TextTableTest, KeepsEveryTextWhenATextBeyondLatin1Arrives) {
    TextTable table(3);
    table.AppendRow(u"caf\u00e9");
    table.AddColumnText(u"1\u00a0234");
    table.AppendRow(u"");
    table.AddColumnText(u"x");
    table.AddColumnText(u"y");
    table.AddColumnText(u"ignored: past the last column");
    EXPECT_FALSE(table.Text(0, 0).IsWide());

    table.AppendRow(u"\u20ac and \u2019");
    table.AddColumnText(u"1\u202f234");
    EXPECT_TRUE(table.Text(0, 0).IsWide());

    EXPECT_EQ(table.RowCount(), 3u);
    EXPECT_EQ(table.Text(0, 0).ToU16String(), u"caf\u00e9");
    EXPECT_EQ(table.Text(0, 1).ToU16String(), u"1\u00a0234");
    EXPECT_EQ(table.Text(0, 2).ToU16String(), u"");
    EXPECT_EQ(table.Text(1, 0).ToU16String(), u"");
    EXPECT_EQ(table.Text(1, 2).ToU16String(), u"y");
    EXPECT_EQ(table.Text(2, 0).ToU16String(), u"\u20ac and \u2019");
    EXPECT_EQ(table.Text(2, 1).ToU16String(), u"1\u202f234");
    EXPECT_EQ(table.Text(2, 2).ToU16String(), u"");
}

int Sign(int value) {
    return (value > 0) - (value < 0);
}

TEST(TextTableTest, ComparesByCodePointInBothForms) {
    const std::u16string texts[] = {u"", u" 9", u"10", u"1", u"a", u"B", u"\u00e9", u"\u00e9a"};
    TextTable narrow(1);
    TextTable wide(1);
    wide.AppendRow(u"\u20ac");
    for (const std::u16string& text : texts) {
        narrow.AppendRow(text);
        wide.AppendRow(text);
    }
    ASSERT_FALSE(narrow.Text(0, 0).IsWide());
    ASSERT_TRUE(wide.Text(0, 0).IsWide());
    for (std::size_t a = 0; a < std::size(texts); ++a) {
        for (std::size_t b = 0; b < std::size(texts); ++b) {
            const int expected = Sign(texts[a].compare(texts[b]));
            EXPECT_EQ(Sign(CompareOrdinal(narrow.Text(a, 0), narrow.Text(b, 0))), expected);
            EXPECT_EQ(Sign(CompareOrdinal(wide.Text(a + 1, 0), wide.Text(b + 1, 0))), expected);
            EXPECT_EQ(Sign(CompareOrdinal(narrow.Text(a, 0), wide.Text(b + 1, 0))), expected);
        }
    }
    EXPECT_GT(CompareOrdinal(wide.Text(0, 0), narrow.Text(6, 0)), 0);
}

}  // namespace
}  // namespace quorvex
