#include "analysis/scan/documentscan.h"

#include <gtest/gtest.h>

#include <map>

#include "tests/analysis/analysistesting.h"
#include "tests/analysis/recordinghooks.h"

namespace quorvex::test {
namespace {

struct Scan {
    AnalysisState state;
    ScanOutcome outcome;
};

Scan Scanned(std::string_view document) {
    Scan scan{LoadedState(document), {}};
    RecordingHooks hooks;
    scan.outcome = ScanDocument(scan.state, hooks).value();
    return scan;
}

// The table's words in its order, as "word|hits|first occurs".
std::vector<std::string> Entries(const WordTable& words) {
    std::vector<std::string> entries;
    for (std::size_t row = 0; row < static_cast<std::size_t>(words.UniqueTotal()); ++row) {
        const StoredWord word = words.Word(row);
        entries.push_back(std::string(word.text) + "|" + std::to_string(word.hits) + "|" +
                          std::string(words.PlaceHeading(word.place)) +
                          std::string(words.PlaceLineRef(word.place)));
    }
    return entries;
}

std::vector<std::string> Entries(std::string_view document) {
    return Entries(*Scanned(document).state.UniqueWords);
}

using Counts = std::map<int, std::int64_t>;

Counts NonZeroCounts(const AnalysisState& state) {
    Counts counts;
    for (int b = 0; b < 256; ++b) {
        if (state.CharCount[b] != 0) {
            counts[b] = state.CharCount[b];
        }
    }
    return counts;
}

using Words = std::vector<std::string>;

TEST(DocumentScan, WorkedExample) {
    const Scan scan = Scanned("Book 01 Opening\r\n001:002 The cat sat.\r\n");
    EXPECT_EQ(scan.outcome.totalWords, 3);
    const Counts counted = {{'T', 1}, {' ', 3}, {'.', 1}, {'\r', 1}, {'\n', 1}, {'h', 1},
                            {'e', 1}, {'c', 1}, {'a', 2}, {'t', 2},  {'s', 1}};
    EXPECT_EQ(NonZeroCounts(scan.state), counted);
    EXPECT_EQ(Entries(*scan.state.UniqueWords),
              (Words{"cat|1|Book 01 Opening  001:002", "sat|1|Book 01 Opening  001:002",
                     "the|1|Book 01 Opening  001:002"}));
}

TEST(DocumentScan, FoldsLettersAndSplitsAtEverythingElse) {
    EXPECT_EQ(Entries("001:001 The THE the\r\n"), (Words{"the|3|001:001"}));
    EXPECT_EQ(Entries("001:001 abc123def\r\n"), (Words{"abc|1|001:001", "def|1|001:001"}));
    EXPECT_EQ(
        Entries("001:001 caf\xE9s na\x80z\xFFq\r\n"),
        (Words{"caf|1|001:001", "na|1|001:001", "q|1|001:001", "s|1|001:001", "z|1|001:001"}));
    // The bytes on either side of the letter ranges separate words too.
    const std::string edges = std::string("001:001 a@b[c`d{e") + '\x7F' + "f\x01g\th\r\n";
    EXPECT_EQ(Entries(edges).size(), 8u);
}

TEST(DocumentScan, ApostropheIsCountedOnceAndDroppedFromTheWord) {
    const Scan scan = Scanned("001:001 it's its don't ' ''\r\n");
    EXPECT_EQ(Entries(*scan.state.UniqueWords), (Words{"dont|1|001:001", "its|2|001:001"}));
    EXPECT_EQ(scan.outcome.totalWords, 3);
    EXPECT_EQ(scan.state.CharCount['\''], 5);
    EXPECT_EQ(Entries("001:001 abcdefgh ab''''''''''''''''cdefgh x\r\n"),
              (Words{"abcdefgh|2|001:001", "x|1|001:001"}));
}

TEST(DocumentScan, HeadingAndSkippedLinesCountNothing) {
    const Scan scan = Scanned("Book 01 alpha beta\r\n beta gamma\r\nBob went home\r\nB\r\n");
    EXPECT_EQ(NonZeroCounts(scan.state), Counts{});
    EXPECT_EQ(scan.outcome.totalWords, 0);
    EXPECT_EQ(scan.state.UniqueWords->UniqueTotal(), 0);
}

TEST(DocumentScan, LineReferenceIsNeitherCountedNorPartOfAWord) {
    const Scan scan = Scanned("ABCDEFGhij\r\n");
    EXPECT_EQ(Entries(*scan.state.UniqueWords), (Words{"hij|1|ABCDEFG"}));
    EXPECT_EQ(NonZeroCounts(scan.state),
              (Counts{{'h', 1}, {'i', 1}, {'j', 1}, {'\r', 1}, {'\n', 1}}));
}

TEST(DocumentScan, LinesShorterThanEightBytesAreScannedWhole) {
    EXPECT_EQ(Entries("abc de\n"), (Words{"abc|1|", "de|1|"}));
    EXPECT_EQ(Entries("abc def\n"), Words{});
    EXPECT_EQ(Entries("Book 01 Genesis\r\n001:001 in\r\n 002:002 skipped\r\nwas\r\n"),
              (Words{"in|1|Book 01 Genesis  001:001", "was|1|Book 01 Genesis  001:001"}));
}

TEST(DocumentScan, HeadingTextLosesItsLineEndingAndByteEight) {
    EXPECT_EQ(Entries("Book 01XGenesis\r\n001:001 w\r\n"), (Words{"w|1|Book 01 Genesis  001:001"}));
    EXPECT_EQ(Entries("Book 01 Opening\n001:001 w\n"), (Words{"w|1|Book 01 Opening  001:001"}));
    EXPECT_EQ(Entries("Book 01X\r\n001:001 w\r\n"), (Words{"w|1|Book 01   001:001"}));
    EXPECT_EQ(Entries("Book 01\r\n001:001 w\r\n"), (Words{"w|1|Book 01  001:001"}));
    EXPECT_EQ(Entries("Bk 1\r\n001:001 w\r\n"), (Words{"w|1|Bk 1  001:001"}));
    EXPECT_EQ(Entries("B\nw\n"), (Words{"w|1|B  "}));
}

TEST(DocumentScan, LineFeedOnlyDocument) {
    const Scan scan = Scanned("Book 01 Opening\n001:001 one two\n002:002 One\n");
    EXPECT_EQ(Entries(*scan.state.UniqueWords),
              (Words{"one|2|Book 01 Opening  001:001", "two|1|Book 01 Opening  001:001"}));
    EXPECT_EQ(scan.state.CharCount['\n'], 2);
    EXPECT_EQ(scan.state.CharCount['\r'], 0);
}

TEST(DocumentScan, WordOpenAtTheEndOfTheDocumentIsCounted) {
    EXPECT_EQ(Entries("001:001 last words"), (Words{"last|1|001:001", "words|1|001:001"}));
    EXPECT_EQ(Entries("001:001 x\ny"), (Words{"x|1|001:001", "y|1|001:001"}));
    const Scan single = Scanned("a");
    EXPECT_EQ(Entries(*single.state.UniqueWords), (Words{"a|1|"}));
    EXPECT_EQ(single.outcome.totalWords, 1);
    EXPECT_EQ(single.state.CharCount['a'], 1);
}

TEST(DocumentScan, FullBucketKeepsGrowing) {
    constexpr int kWords = 25000;
    std::vector<std::string> words;
    std::string document;
    for (int i = 0; i < kWords; ++i) {
        std::string word = "q";
        for (int rest = i, digit = 0; digit < 4; ++digit, rest /= 26) {
            word += static_cast<char>('a' + rest % 26);
        }
        document += (i % 10 == 0 ? "\r\n001:001 " : " ") + word;
        words.push_back(std::move(word));
    }
    document += "\r\n002:002 " + words.front() + " " + words.back() + "\r\n";

    const Scan scan = Scanned(document);
    const WordTable& table = *scan.state.UniqueWords;
    ASSERT_EQ(table.UniqueTotal(), kWords);
    for (int row = 0; row < kWords; ++row) {
        ASSERT_EQ(table.Word(row).text, words[row]) << "row " << row;
    }
    EXPECT_EQ(table.Word(0).hits, 2);
    EXPECT_EQ(table.Word(kWords - 1).hits, 2);
    EXPECT_EQ(table.Word(kWords / 2).hits, 1);
    EXPECT_EQ(scan.outcome.totalWords, kWords + 2);
}

TEST(DocumentScan, VeryLongWordIsKeptWhole) {
    const std::string longWord(5000, 'z');
    const std::string almost = std::string(4999, 'z') + "A";
    const Scan scan = Scanned("001:001 " + longWord + " " + almost + " " + longWord + "\r\n");
    const WordTable& table = *scan.state.UniqueWords;
    ASSERT_EQ(table.UniqueTotal(), 2);
    EXPECT_EQ(table.Word(0).text, longWord);
    EXPECT_EQ(table.Word(0).hits, 2);
    EXPECT_EQ(table.Word(1).text, std::string(4999, 'z') + "a");
}

TEST(DocumentScan, SecondRunStartsAfresh) {
    AnalysisState state =
        LoadedState("Book 01 Opening\r\n001:001 The cat's hat\r\n002:002 the\r\n");
    const Rows first = RowsOf(RunToEnd(state).unique);
    const ResultLists second = RunToEnd(state);
    EXPECT_EQ(RowsOf(second.unique), first);
    EXPECT_EQ(RowsOf(second.substitution)['t'][2], "           3");
    EXPECT_EQ(RowsOf(second.summary)[2][1], "4");
}

std::string LineOfLength(std::size_t length) {
    return length == 1 ? "\n" : "001:001 " + std::string(length - 9, 'w') + "\n";
}

TEST(DocumentScanProgress, EmptyBarComesFirstAndEveryLineIsReported) {
    AnalysisState state = LoadedState("Book 01 Opening\r\n skipped\r\nab\r\n\r\n001:001 word");
    RecordingHooks hooks;
    ASSERT_TRUE(ScanDocument(state, hooks).has_value());
    EXPECT_EQ(hooks.Calls(), "SLLLLLE");
    ASSERT_EQ(hooks.EmptyBars().size(), 1u);
    const ProgressPoint& bar = hooks.EmptyBars().front();
    EXPECT_EQ(bar.minValue, 0);
    EXPECT_EQ(bar.maxValue, 1);
    EXPECT_EQ(bar.value, 0);
}

TEST(DocumentScanProgress, DrawsAfterMoreThanAThousandBytesSinceTheLastDraw) {
    std::string document;
    for (const std::size_t length : {999, 500, 600, 401, 1000, 1}) {
        document += LineOfLength(length);
    }
    AnalysisState state = LoadedState(document);
    RecordingHooks hooks;
    ASSERT_TRUE(ScanDocument(state, hooks).has_value());

    EXPECT_EQ(hooks.Calls(), "SLDLLDLLDLE");
    const std::vector<std::pair<std::int64_t, std::int64_t>> expected = {
        {2, 1500}, {4, 2501}, {6, 3502}};
    ASSERT_EQ(hooks.Draws().size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const RecordingHooks::Draw& draw = hooks.Draws()[i];
        EXPECT_EQ(draw.line, expected[i].first);
        EXPECT_EQ(draw.point.value, expected[i].second);
        EXPECT_EQ(draw.point.minValue, 0);
        EXPECT_EQ(draw.point.maxValue, 3501);
    }
}

TEST(DocumentScanProgress, ThousandBytesShowOnlyTheEmptyBar) {
    AnalysisState state = LoadedState(LineOfLength(600) + LineOfLength(400));
    RecordingHooks hooks;
    ASSERT_TRUE(ScanDocument(state, hooks).has_value());
    EXPECT_EQ(hooks.Calls(), "SLLE");
}

TEST(DocumentScanProgress, StoppedRunEndsAtOnceWithoutResult) {
    AnalysisState state = LoadedState("001:001 a\r\n002:002 b\r\n003:003 c\r\n004:004 d\r\n");
    RecordingHooks hooks(2);
    EXPECT_FALSE(AnalyseDocument(state, hooks, NumberSeparators{}).has_value());
    EXPECT_EQ(hooks.LinesDone(), 2);
}

}  // namespace
}  // namespace quorvex::test
