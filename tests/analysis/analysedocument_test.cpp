#include "analysis/analysedocument.h"

#include <gtest/gtest.h>

#include <map>
#include <regex>

#include "analysis/rows/summarytable.h"
#include "tests/analysis/analysistesting.h"

namespace quorvex::test {
namespace {

using Row = std::vector<std::string>;

std::string Padded(std::string text, std::size_t width) {
    return std::string(width - text.size(), ' ') + text;
}

// The Substitutions row of byte `b` in the standard width, from the byte
// classes of the character map.
Row SubstitutionRow(int b, const std::string& count) {
    const std::string charText = (b >= 32 && b <= 126) ? std::string(1, char(b)) : " ";
    std::string replacedWith = "  {space char}";
    if (b >= 'A' && b <= 'Z') {
        replacedWith = std::string(1, char(b - 'A' + 'a'));
    } else if (b >= 'a' && b <= 'z') {
        replacedWith = std::string(1, char(b));
    } else if (b == '\'') {
        replacedWith = "{deleted char}";
    }
    return {std::to_string(b), charText, Padded(count, 12), replacedWith};
}

Rows SubstitutionRows(const std::map<int, std::string>& nonZeroCounts) {
    Rows rows;
    for (int b = 0; b < 256; ++b) {
        const auto found = nonZeroCounts.find(b);
        rows.push_back(SubstitutionRow(b, found == nonZeroCounts.end() ? "0" : found->second));
    }
    return rows;
}

void ExpectTimeText(const std::string& text) {
    EXPECT_TRUE(std::regex_match(text, std::regex(R"([0-9]*\.[0-9]{1,8} seconds)"))) << text;
}

TEST(ResultLists, WorkedExample) {
    AnalysisState state = LoadedState("001:001 The cat ate the apple.\r\n", u"Psalms.txt");
    const ResultLists lists = RunToEnd(state);

    const Rows summary = RowsOf(lists.summary);
    ASSERT_EQ(summary.size(), 6u);
    EXPECT_EQ(summary[0], (Row{"File Loaded", "Psalms.txt"}));
    EXPECT_EQ(summary[1], (Row{"File Size", "32 bytes"}));
    EXPECT_EQ(summary[2], (Row{"Total Word Count", "5"}));
    EXPECT_EQ(summary[3], (Row{"Unique Word Count", "4"}));
    EXPECT_EQ(summary[4], (Row{"Substitution Count", "9"}));
    EXPECT_EQ(summary[5][0], "Time To Complete");
    ExpectTimeText(summary[5][1]);

    EXPECT_EQ(RowsOf(lists.substitution), SubstitutionRows({{'\n', "1"},
                                                            {'\r', "1"},
                                                            {' ', "5"},
                                                            {'.', "1"},
                                                            {'T', "1"},
                                                            {'a', "3"},
                                                            {'c', "1"},
                                                            {'e', "4"},
                                                            {'h', "2"},
                                                            {'l', "1"},
                                                            {'p', "2"},
                                                            {'t', "3"}}));

    EXPECT_EQ(RowsOf(lists.unique), (Rows{{"ate", "           1", "001:001", "       1"},
                                          {"apple", "           1", "001:001", "       2"},
                                          {"cat", "           1", "001:001", "       3"},
                                          {"the", "           2", "001:001", "       4"}}));
}

TEST(ResultLists, SubstitutionRowsOfEachByteClass) {
    AnalysisState state = LoadedState("");
    const Rows rows = RowsOf(RunToEnd(state).substitution);
    ASSERT_EQ(rows.size(), 256u);
    EXPECT_EQ(rows[0], (Row{"0", " ", "           0", "  {space char}"}));
    EXPECT_EQ(rows[32], (Row{"32", " ", "           0", "  {space char}"}));
    EXPECT_EQ(rows[39], (Row{"39", "'", "           0", "{deleted char}"}));
    EXPECT_EQ(rows[48], (Row{"48", "0", "           0", "  {space char}"}));
    EXPECT_EQ(rows[65], (Row{"65", "A", "           0", "a"}));
    EXPECT_EQ(rows[90], (Row{"90", "Z", "           0", "z"}));
    EXPECT_EQ(rows[97], (Row{"97", "a", "           0", "a"}));
    EXPECT_EQ(rows[126], (Row{"126", "~", "           0", "  {space char}"}));
    EXPECT_EQ(rows[127], (Row{"127", " ", "           0", "  {space char}"}));
    EXPECT_EQ(rows[233], (Row{"233", " ", "           0", "  {space char}"}));
    EXPECT_EQ(rows[255], (Row{"255", " ", "           0", "  {space char}"}));
}

TEST(ResultLists, EmptyDocument) {
    AnalysisState state = LoadedState("");
    const ResultLists lists = RunToEnd(state);
    const Rows summary = RowsOf(lists.summary);
    ASSERT_EQ(summary.size(), 6u);
    EXPECT_EQ(summary[1][1], "0 bytes");
    EXPECT_EQ(summary[2][1], "0");
    EXPECT_EQ(summary[3][1], "0");
    EXPECT_EQ(summary[4][1], "0");
    EXPECT_EQ(RowsOf(lists.substitution), SubstitutionRows({}));
    EXPECT_EQ(lists.unique.RowCount(), 0u);
}

TEST(ResultLists, ApostropheCountsOnceInTheTotals) {
    AnalysisState state = LoadedState("001:001 don't\r\n");
    const ResultLists lists = RunToEnd(state);
    EXPECT_EQ(RowsOf(lists.substitution)[39][2], "           1");
    EXPECT_EQ(RowsOf(lists.summary)[4][1], "4");
    EXPECT_EQ(RowsOf(lists.unique), (Rows{{"dont", "           1", "001:001", "       1"}}));
}

TEST(ResultLists, FirstOccursShowsDocumentBytesAsWindows1252) {
    AnalysisState state = LoadedState(
        "B\x80\x81\x8D\x9F\xA0\xFFXx\x92\r\n\x93"
        "01:00\x94 word\r\n");
    const Rows unique = RowsOf(RunToEnd(state).unique);
    ASSERT_EQ(unique.size(), 1u);
    EXPECT_EQ(unique[0][2], "B\u20AC\u0081\u008D\u0178\u00A0\u00FF x\u2019  \u201C01:00\u201D");
}

TEST(ResultLists, FileNameAndSeparatorsReachTheSummary) {
    std::string document;
    for (int i = 0; i < 500; ++i) {
        document += "001:001 a\r\n";
    }
    AnalysisState state = LoadedState(document, u"B\u00FCcher/\u2603 \U0001F4D6.txt");
    const Rows summary = RowsOf(RunToEnd(state, {u"\u202F", u","}).summary);
    EXPECT_EQ(summary[0][1], "B\u00FCcher/\u2603 \U0001F4D6.txt");
    EXPECT_EQ(summary[1][1], "5\u202F500 bytes");
    EXPECT_EQ(summary[2][1], "500");
    EXPECT_EQ(summary[4][1], "1\u202F500");
    EXPECT_TRUE(std::regex_match(summary[5][1], std::regex(R"([0-9]*,[0-9]{1,8} seconds)")))
        << summary[5][1];
}

TEST(ResultLists, SummaryHeadRowsAsTheLoaderShowsThem) {
    const TextTable summary = SummaryOfLoadedDocument(u"Hymns.txt", 1234, NumberSeparators{});
    EXPECT_EQ(RowsOf(summary), (Rows{{"File Loaded", "Hymns.txt"}, {"File Size", "1,234 bytes"}}));
}

TEST(ResultLists, TimeToComplete) {
    const AnalysisState state = LoadedState("");
    const auto timeText = [&](double seconds, const NumberSeparators& separators) {
        return RowsOf(BuildResultLists(state, {0, seconds}, separators).summary)[5][1];
    };
    EXPECT_EQ(timeText(1.5, {}), "1.5 seconds");
    EXPECT_EQ(timeText(0.25, {}), ".25 seconds");
    EXPECT_EQ(timeText(2, {}), "2.0 seconds");
    EXPECT_EQ(timeText(0, {}), ".0 seconds");
    EXPECT_EQ(timeText(0.25, {u"\u00A0", u","}), ",25 seconds");
}

// A state after a real run, with some counters then raised by hand to
// values no test document could reach.
AnalysisState StateWithCounts(const std::map<int, std::int64_t>& counts) {
    AnalysisState state = LoadedState("001:001 Lamb\r\n");
    RunToEnd(state);
    for (const auto& [byte, count] : counts) {
        state.CharCount[byte] = count;
    }
    return state;
}

Rows SubstitutionsOf(const AnalysisState& state, const NumberSeparators& separators) {
    return RowsOf(BuildResultLists(state, {1, 0}, separators).substitution);
}

TEST(ResultListsCountColumn, SevenAndNineDigitsFitTheStandardWidth) {
    const Rows rows = SubstitutionsOf(StateWithCounts({{32, 1234567}, {33, 999999999}}), {});
    EXPECT_EQ(rows[32][2], "   1,234,567");
    EXPECT_EQ(rows[33][2], " 999,999,999");
    EXPECT_EQ(rows[34][2], "           0");
}

TEST(ResultListsCountColumn, TenDigitsWidenTheWholeColumn) {
    const AnalysisState state = StateWithCounts({{10, 1000000000}, {13, 12345}});
    const ResultLists lists = BuildResultLists(state, {1, 0}, NumberSeparators{});
    const Rows rows = RowsOf(lists.substitution);
    EXPECT_EQ(rows[10][2], "1,000,000,000");
    EXPECT_EQ(rows[13][2], "       12,345");
    for (const Row& row : rows) {
        EXPECT_EQ(row[2].size(), 13u) << "byte " << row[0];
    }
    EXPECT_EQ(RowsOf(lists.summary)[4][1], "1,000,012,347");
    EXPECT_EQ(RowsOf(lists.unique), (Rows{{"lamb", "           1", "001:001", "       1"}}));
}

TEST(ResultListsCountColumn, WidthIsCountedInCharacters) {
    const Rows narrow = SubstitutionsOf(StateWithCounts({{10, 1000000000}}), {u"\u202F", u","});
    EXPECT_EQ(narrow[10][2], "1\u202F000\u202F000\u202F000");
    EXPECT_EQ(narrow[0][2], std::string(12, ' ') + "0");
    EXPECT_EQ(narrow['a'][2], std::string(12, ' ') + "1");

    const Rows astral = SubstitutionsOf(StateWithCounts({{10, 1234567}}), {u"\U0001D30D", u","});
    EXPECT_EQ(astral[10][2], "   1\U0001D30D234\U0001D30D567");
    EXPECT_EQ(astral[0][2], std::string(11, ' ') + "0");
}

}  // namespace
}  // namespace quorvex::test
