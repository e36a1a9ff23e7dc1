#include "analysis/scan/textscanner.h"

#include <gtest/gtest.h>

#include <map>
#include <sstream>

#include "analysis/scan/blockmasks.h"

namespace quorvex::test {
namespace {

struct Tally {
    std::map<std::string, std::int64_t> words;
    std::int64_t totalWords = 0;
    std::array<std::int64_t, 256> bytes{};
    bool operator==(const Tally&) const = default;
};

// The word rule applied to `range` byte by byte, straight from the table.
void AddByTheTable(std::string_view range, Tally& tally) {
    std::string folded;
    for (const char c : range) {
        const auto byte = static_cast<std::uint8_t>(c);
        ++tally.bytes[byte];
        folded += kWordRule[byte] == kDeleted ? "" : std::string(1, char(kWordRule[byte]));
    }
    std::istringstream words(folded);  // kSeparator is a space
    for (std::string word; words >> word; ++tally.totalWords) {
        ++tally.words[word];
    }
}

// Scans the first `length` bytes of `document` into `state`; returns the
// words counted.
std::int64_t Scanned(std::string_view document, std::size_t length, AnalysisState& state) {
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(document.data());
    TextScanner scanner(state, {bytes, document.size()});
    scanner.Scan({bytes, length});
    scanner.Finish();
    return scanner.TotalWords();
}

Tally Sealed(AnalysisState& state, std::int64_t totalWords) {
    const WordTable table = std::move(*state.Words).Seal();
    Tally tally{{}, totalWords, state.CharCount};
    for (std::size_t row = 0; row < static_cast<std::size_t>(table.UniqueTotal()); ++row) {
        tally.words.emplace(table.Word(row).text, table.Word(row).hits);
    }
    return tally;
}

// Every byte value at every place of the first block and of the second,
// among short words of both cases, in ranges that end in either block or
// with it: each as a document of its own, and as a line of a document that
// goes on with letters the scan must leave alone.
TEST(TextScanner, EveryByteAtEveryPlaceOfABlockFollowsTheWordRule) {
    std::string words(2 * kBlock, ' ');
    for (std::size_t i = 0; i < words.size(); ++i) {
        words[i] = i % 8 == 7 ? ' ' : static_cast<char>((i % 3 == 0 ? 'A' : 'a') + i % 26);
    }
    for (int b = 0; b < 256; ++b) {
        for (std::size_t p = 0; p < kBlock; ++p) {
            std::string text = words;
            text[p] = text[kBlock + p] = static_cast<char>(b);
            AnalysisState state;
            InitAnalysisTables(state);
            std::int64_t totalWords = 0;
            Tally expected;
            for (const std::size_t length : {p + 1, kBlock + p + 1, 2 * kBlock}) {
                const std::string range = text.substr(0, length);
                const std::string line = range + "\n" + words;
                totalWords += Scanned(range, length, state) + Scanned(line, length + 1, state);
                AddByTheTable(range, expected);
                AddByTheTable(line.substr(0, length + 1), expected);
            }
            ASSERT_TRUE(Sealed(state, totalWords) == expected) << "byte " << b << " at " << p;
        }
    }
}

// Each way of classifying a block, the portable one and the processor's,
// against the table: every byte value at every place, among letters,
// apostrophes and separators.
TEST(BlockMasks, EveryWayFollowsTheWordRule) {
    std::array<std::uint8_t, kBlock> block{};
    for (std::size_t i = 0; i < kBlock; ++i) {
        block[i] = "a' Z\x80"[i % 5];
    }
    for (int b = 0; b < 256; ++b) {
        for (std::size_t p = 0; p < kBlock; ++p) {
            std::array<std::uint8_t, kBlock> bytes = block;
            bytes[p] = static_cast<std::uint8_t>(b);
            BlockMasks expected;
            for (std::size_t i = 0; i < kBlock; ++i) {
                expected.word |= std::uint64_t{kWordRule[bytes[i]] != kSeparator} << i;
                expected.apostrophes |= std::uint64_t{kWordRule[bytes[i]] == kDeleted} << i;
            }
            for (const BlockMasks masks : {PortableMasks64(bytes.data()), Masks64(bytes.data())}) {
                ASSERT_EQ(masks.word, expected.word) << "byte " << b << " at " << p;
                ASSERT_EQ(masks.apostrophes, expected.apostrophes) << "byte " << b << " at " << p;
            }
        }
    }
}

}  // namespace
}  // namespace quorvex::test
