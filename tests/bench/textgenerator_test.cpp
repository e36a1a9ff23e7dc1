#include "bench/engine/textgenerator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <functional>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/scan/analysisstate.h"
#include "analysis/scan/documentscan.h"

namespace quorvex::bench {
namespace {

constexpr std::uint64_t kFormatSize = 1'000'000;

// The lines of a document, each without its CR LF; fails the test on a line
// feed without a carriage return before it or a document not ending in CR LF.
std::vector<std::string_view> CrLfLines(std::string_view document) {
    std::vector<std::string_view> lines;
    while (!document.empty()) {
        const std::size_t lineFeed = document.find('\n');
        EXPECT_NE(lineFeed, std::string_view::npos) << "document does not end in CR LF";
        EXPECT_GT(lineFeed, 0u);
        if (lineFeed == std::string_view::npos || lineFeed == 0) {
            break;
        }
        EXPECT_EQ(document[lineFeed - 1], '\r') << "line " << lines.size() + 1;
        lines.push_back(document.substr(0, lineFeed - 1));
        document.remove_prefix(lineFeed + 1);
    }
    return lines;
}

bool IsDigits(std::string_view text) {
    for (const char c : text) {
        if (!std::isdigit(static_cast<unsigned char>(c))) {
            return false;
        }
    }
    return true;
}

bool StartsWithLineReference(std::string_view line) {
    return line.size() >= 8 && IsDigits(line.substr(0, 3)) && line[3] == ':' &&
           IsDigits(line.substr(4, 3)) && line[7] == ' ';
}

// Two capitals in a row: a word written all in capitals.
bool HasCapitalWord(std::string_view text) {
    for (std::size_t i = 1; i < text.size(); ++i) {
        if (std::isupper(static_cast<unsigned char>(text[i - 1])) &&
            std::isupper(static_cast<unsigned char>(text[i]))) {
            return true;
        }
    }
    return false;
}

TEST(TextGeneratorTest, SameSeedAndSizeGiveSameBytesHoweverTheyAreRead) {
    const std::string whole = GenerateText(200'000, 42);
    EXPECT_EQ(GenerateText(200'000, 42), whole);

    std::ostringstream streamed;
    ASSERT_TRUE(WriteText(streamed, 200'000, 42));
    EXPECT_EQ(streamed.str(), whole);

    TextGenerator generator(200'000, 42);
    std::string piecewise;
    char piece[7];
    while (const std::size_t length = generator.Read(piece)) {
        piecewise.append(piece, length);
    }
    EXPECT_EQ(piecewise, whole);
    EXPECT_EQ(generator.Remaining(), 0u);
}

TEST(TextGeneratorTest, DifferentSeedsGiveDifferentDocuments) {
    const std::string first = GenerateText(10'000, 1);
    EXPECT_NE(GenerateText(10'000, 2), first);
    EXPECT_NE(GenerateText(10'000, 1ull << 40), first);
}

TEST(TextGeneratorTest, HasExactlyTheSizeAskedForAndEndsInCrLf) {
    for (const std::uint64_t size :
         {2, 3, 7, 8, 9, 10, 30, 59, 60, 61, 119, 120, 121, 122, 1000, 4097, 123'457}) {
        const std::string document = GenerateText(size, size);
        ASSERT_EQ(document.size(), size);
        EXPECT_TRUE(document.ends_with("\r\n")) << "size " << size;
        CrLfLines(document);
    }
    EXPECT_EQ(GenerateText(0, 3), "");
    EXPECT_EQ(GenerateText(1, 3), "\n");
}

TEST(TextGeneratorTest, HeadingsComeEveryFortyLinesAtMostAndCountUp) {
    const std::string document = GenerateText(kFormatSize, 5);
    const std::vector<std::string_view> lines = CrLfLines(document);
    ASSERT_FALSE(lines.empty());
    int linesSinceHeading = 0;
    int expectedBook = 1;
    for (const std::string_view line : lines) {
        if (!line.starts_with('B')) {
            ++linesSinceHeading;
            ASSERT_LT(linesSinceHeading, 40);
            continue;
        }
        ASSERT_TRUE(line.starts_with("Book ") && line.size() > 8) << line;
        EXPECT_EQ(std::stoi(std::string(line.substr(5, 2))), expectedBook) << line;
        EXPECT_EQ(line[7], ' ');
        EXPECT_TRUE(std::isupper(static_cast<unsigned char>(line[8]))) << line;
        expectedBook = expectedBook % 99 + 1;
        linesSinceHeading = 0;
    }
    EXPECT_TRUE(lines.front().starts_with("Book 01 "));
}

TEST(TextGeneratorTest, TextLinesCarryAReferenceAndEnglishLikeText) {
    const std::string document = GenerateText(kFormatSize, 6);
    int indented = 0;
    int shortLines = 0;
    int withNumbers = 0;
    int withCapitalWords = 0;
    for (const std::string_view line : CrLfLines(document)) {
        const std::size_t length = line.size() + 2;
        ASSERT_LE(length, 200u) << line;
        if (line.starts_with('B')) {
            continue;
        }
        if (line.starts_with(' ')) {
            ++indented;
        } else if (length < 8) {
            ++shortLines;
        } else {
            ASSERT_TRUE(StartsWithLineReference(line)) << line;
            const std::string_view text = line.substr(8);
            withNumbers += text.find_first_of("0123456789") != std::string_view::npos;
            withCapitalWords += HasCapitalWord(text);
        }
    }
    EXPECT_GT(indented, 0);
    EXPECT_GT(shortLines, 0);
    EXPECT_GT(withNumbers, 0);
    EXPECT_GT(withCapitalWords, 0);
    for (const std::string_view mark : {"'s ", "n't", ",", ".", ";", ":", "!", "?", "\""}) {
        EXPECT_NE(document.find(mark), std::string::npos) << mark;
    }
}

// What the benchmark measures depends on the words: as in real text there
// must be tens of thousands of distinct ones, and the n-th commonest word
// must occur about 1/n as often as the commonest (Zipf's law).
TEST(TextGeneratorTest, WordsFollowZipfsLawOverTensOfThousandsOfWords) {
    const std::string document = GenerateText(5'000'000, 8);
    AnalysisState state;
    state.SourceBytes = DocumentBytes::SharedCopy(document.begin(), document.end());
    state.SourceLength = static_cast<std::int64_t>(document.size());
    SilentHooks hooks;
    const std::optional<ScanOutcome> outcome = ScanDocument(state, hooks);
    ASSERT_TRUE(outcome.has_value());

    const WordTable& words = *state.UniqueWords;
    EXPECT_GT(words.UniqueTotal(), 20'000);
    EXPECT_LT(words.UniqueTotal(), 60'000);
    std::vector<std::int64_t> hits;
    for (std::size_t row = 0; row < static_cast<std::size_t>(words.UniqueTotal()); ++row) {
        hits.push_back(words.Word(row).hits);
    }
    std::sort(hits.begin(), hits.end(), std::greater<>());
    const double top = static_cast<double>(hits[0]);
    EXPECT_GT(top / static_cast<double>(outcome->totalWords), 0.03);
    EXPECT_LT(top / static_cast<double>(outcome->totalWords), 0.15);
    for (const std::size_t rank : {10, 100, 1000}) {
        const double ratio = static_cast<double>(hits[rank - 1]) / top * rank;
        EXPECT_GT(ratio, 0.5) << "rank " << rank;
        EXPECT_LT(ratio, 2.0) << "rank " << rank;
    }
}

}  // namespace
}  // namespace quorvex::bench
