// Documents nobody writes on purpose: no line feed, nothing but line ends,
// every byte value, NULs, a single line of 50 MB, a heading of megabytes.
// Each must give the rows the rules give, and leave the loaded document
// exactly as it was.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>

#include "analysis/analysedocument.h"
#include "analysis/rows/summarytable.h"
#include "tests/analysis/analysistesting.h"
#include "tests/analysis/recordinghooks.h"
#include "tests/analysis/referencemodel.h"

namespace quorvex::test {
namespace {

constexpr std::size_t kFiftyMegabytes = 50'000'000;

// What the user sees after a run, and what the run told the window.
struct Seen {
    Rows summary;  // the elapsed time left out: no two runs agree on it
    Rows substitution;
    Rows unique;
    std::int64_t lines = 0;
    std::vector<RecordingHooks::Draw> draws;
};

Seen Analysed(const std::string& document) {
    AnalysisState state = LoadedState(document);
    RecordingHooks hooks;
    const std::optional<ResultLists> lists = AnalyseDocument(state, hooks, NumberSeparators{});
    if (!lists) {
        ADD_FAILURE() << "the run stopped by itself";
        return {};
    }
    EXPECT_EQ(state.SourceFileName, u"book.txt");
    EXPECT_EQ(state.SourceLength, static_cast<std::int64_t>(document.size()));
    const std::string_view loaded(reinterpret_cast<const char*>(state.SourceBytes->data()),
                                  state.SourceBytes->size());
    EXPECT_TRUE(loaded == document) << "the run changed the loaded bytes";

    Seen seen{RowsOf(lists->summary), RowsOf(lists->substitution), RowsOf(lists->unique),
              hooks.LinesDone(), hooks.Draws()};
    seen.summary.at(IndexOf(SummaryRow::TimeToComplete)).at(IndexOf(SummaryColumn::Value)).clear();
    return seen;
}

std::string Value(const Seen& seen, std::string_view item) {
    for (const auto& row : seen.summary) {
        if (row.at(0) == item) {
            return row.at(1);
        }
    }
    ADD_FAILURE() << "no Summary row " << item;
    return {};
}

std::string CountText(const std::string& grouped) {
    return std::string(12 - std::min<std::size_t>(grouped.size(), 12), ' ') + grouped;
}

// The byte values whose Substitutions count is not zero, with their counts.
std::map<int, std::string> NonZeroCounts(const Seen& seen) {
    std::map<int, std::string> counts;
    for (int b = 0; b < 256; ++b) {
        const std::string& count = seen.substitution.at(b).at(2);
        if (count != CountText("0")) {
            counts[b] = count;
        }
    }
    return counts;
}

std::string Repeated(std::string_view pattern, std::size_t length) {
    std::string text;
    text.reserve(length + pattern.size());
    while (text.size() < length) {
        text += pattern;
    }
    text.resize(length);
    return text;
}

void ExpectSameAsModel(const std::string& document) {
    const Seen seen = Analysed(document);
    const ReferenceRun model = RunReferenceModel(document, u"book.txt", NumberSeparators{});
    EXPECT_EQ(seen.summary, model.summary) << "document \"" << Escaped(document) << "\"";
    EXPECT_EQ(seen.substitution, model.substitution) << "document \"" << Escaped(document) << "\"";
    EXPECT_EQ(seen.unique, model.unique) << "document \"" << Escaped(document) << "\"";
    EXPECT_EQ(seen.lines, model.lineCount);
}

TEST(OddDocuments, EveryDocumentOfOneByte) {
    for (int b = 0; b < 256; ++b) {
        ExpectSameAsModel(std::string(1, static_cast<char>(b)));
    }
    const Seen feed = Analysed("\n");
    EXPECT_EQ(feed.lines, 1);
    EXPECT_EQ(NonZeroCounts(feed), (std::map<int, std::string>{{'\n', CountText("1")}}));
    EXPECT_EQ(Analysed("Z").unique, (Rows{{"z", CountText("1"), "", "       1"}}));
}

// Each line feed ends a line of its own, which holds nothing but itself.
TEST(OddDocuments, OnlyLineFeeds) {
    const Seen seen = Analysed(std::string(5000, '\n'));
    EXPECT_EQ(seen.lines, 5000);
    EXPECT_EQ(Value(seen, "Total Word Count"), "0");
    EXPECT_EQ(Value(seen, "Substitution Count"), "5,000");
    EXPECT_EQ(NonZeroCounts(seen), (std::map<int, std::string>{{'\n', CountText("5,000")}}));
    EXPECT_TRUE(seen.unique.empty());
}

// Carriage returns alone end no line: the document is one line, whose first
// seven bytes are its line reference.
TEST(OddDocuments, OnlyCarriageReturns) {
    const Seen seen = Analysed(std::string(5000, '\r'));
    EXPECT_EQ(seen.lines, 1);
    EXPECT_EQ(Value(seen, "Substitution Count"), "4,993");
    EXPECT_EQ(NonZeroCounts(seen), (std::map<int, std::string>{{'\r', CountText("4,993")}}));
    EXPECT_TRUE(seen.unique.empty());
    ExpectSameAsModel("\r\r\r\r\r\r\r\r\rab\rB\r \r");
}

// Bytes 0 to 255 in order make two lines, 0 to 10 and 11 to 255; the first
// seven bytes of each are its line reference. What is scanned holds the
// capitals and the small letters as two spellings of one word, and a lone
// apostrophe, which is no word.
TEST(OddDocuments, EveryByteValueOnce) {
    std::string document;
    for (int b = 0; b < 256; ++b) {
        document += static_cast<char>(b);
    }
    const Seen seen = Analysed(document);
    EXPECT_EQ(seen.lines, 2);
    for (int b = 0; b < 256; ++b) {
        const bool lineReference = b <= 6 || (b >= 11 && b <= 17);
        EXPECT_EQ(seen.substitution.at(b).at(2), CountText(lineReference ? "0" : "1")) << b;
    }
    EXPECT_EQ(Value(seen, "Total Word Count"), "2");
    EXPECT_EQ(Value(seen, "Unique Word Count"), "1");
    EXPECT_EQ(Value(seen, "Substitution Count"), "216");  // 4 + 238 bytes, less 26 small letters
    EXPECT_EQ(seen.unique, (Rows{{"abcdefghijklmnopqrstuvwxyz", CountText("2"),
                                  "\x0B\x0C\r\x0E\x0F\x10\x11", "       1"}}));

    std::reverse(document.begin(), document.end());
    ExpectSameAsModel(document);
}

// A NUL is a byte like any other: it separates words and may stand in a line
// reference, where it stays part of the First Occurs text.
TEST(OddDocuments, NulBytes) {
    const char bytes[] = "001:001 al\0pha\0\0beta\r\n\0\0\0\0\0\0\0\0gamma\0";
    const std::string document(bytes, sizeof bytes - 1);
    const Seen seen = Analysed(document);
    EXPECT_EQ(seen.substitution.at(0).at(2), CountText("5"));
    EXPECT_EQ(seen.unique, (Rows{{"al", CountText("1"), "001:001", "       1"},
                                 {"beta", CountText("1"), "001:001", "       2"},
                                 {"gamma", CountText("1"), std::string(7, '\0'), "       3"},
                                 {"pha", CountText("1"), "001:001", "       4"}}));
    ExpectSameAsModel(document);

    const Seen zeros = Analysed(std::string(100'000, '\0'));
    EXPECT_EQ(zeros.lines, 1);
    EXPECT_EQ(NonZeroCounts(zeros), (std::map<int, std::string>{{0, CountText("99,993")}}));
}

// One line of 50 MB without a line feed: read to its last byte, drawn once
// when it is done, and every word in it counted.
TEST(OddDocuments, ASingleLineOf50MB) {
    const std::string document = "001:001 " + Repeated("Alpha beta's GAMMA. ", kFiftyMegabytes);
    const Seen seen = Analysed(document);
    const std::int64_t length = static_cast<std::int64_t>(document.size());
    EXPECT_EQ(seen.lines, 1);
    ASSERT_EQ(seen.draws.size(), 1u);
    EXPECT_EQ(seen.draws[0].point.maxValue, length);
    EXPECT_EQ(seen.draws[0].point.value, length + 1);

    // 2,500,000 repetitions of the pattern, each with three words.
    EXPECT_EQ(Value(seen, "Total Word Count"), "7,500,000");
    EXPECT_EQ(seen.unique, (Rows{{"alpha", CountText("2,500,000"), "001:001", "       1"},
                                 {"betas", CountText("2,500,000"), "001:001", "       2"},
                                 {"gamma", CountText("2,500,000"), "001:001", "       3"}}));
    EXPECT_EQ(seen.substitution.at('\'').at(2), CountText("2,500,000"));
    EXPECT_EQ(seen.substitution.at(' ').at(2), CountText("7,500,001"));
}

// A heading of megabytes becomes, whole, the First Occurs text of the words
// after it.
TEST(OddDocuments, AHeadingOfMegabytes) {
    const std::string heading = "Book " + Repeated("long title ", 5'000'000);
    const Seen seen = Analysed(heading + "\r\n001:001 word\r\n002:002 other word\r\n");
    ASSERT_EQ(seen.unique.size(), 2u);
    const std::string firstOccurs = heading.substr(0, 7) + " " + heading.substr(8) + "  001:001";
    EXPECT_TRUE(seen.unique[1][2] == firstOccurs) << "First Occurs of \"word\" is not the heading";
    EXPECT_EQ(seen.unique[0][2], heading.substr(0, 7) + " " + heading.substr(8) + "  002:002");
    EXPECT_EQ(Value(seen, "Total Word Count"), "3");
    EXPECT_EQ(Value(seen, "Substitution Count"), "7");
}

}  // namespace
}  // namespace quorvex::test
