#include "analysis/words/wordindex.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace quorvex {
namespace {

using Counted = std::vector<std::pair<std::string, std::int64_t>>;

// The words the index counted and their counts, as the sealed table lists them.
Counted Sealed(WordIndex& index) {
    const WordTable table = std::move(index).Seal();
    Counted words;
    for (std::size_t row = 0; row < static_cast<std::size_t>(table.UniqueTotal()); ++row) {
        const StoredWord word = table.Word(row);
        words.emplace_back(word.text, word.hits);
    }
    return words;
}

// Words are told apart whole, whatever they share: the first eight, twelve or
// sixteen letters, or everything but their length.
TEST(WordIndexTest, KeepsWordsThatShareTheirFirstLettersApart) {
    const std::vector<std::string> words = {
        "abcdefgh",
        "abcdefghi",
        "abcdefg",
        "abcdefghabcdefgh",
        "abcdefghabcdefghi",
        "abcdefghabcdefghij",
        "abcdefghabcdefghabcdefghabcdefgh",
        "abcdefghabcdefghabcdefghabcdefghx",
        "a",
        "abcdefghabcdefgha",
        "abcdefghabcd",
        "abcdefghabcz",
        "abcdefgzabcd",
        "abcdefghabcda",
        "abcdefghab",
    };
    WordIndex index;
    FirstOccursPlace place;
    for (std::size_t i = 0; i < words.size(); ++i) {
        for (std::size_t hit = 0; hit <= i; ++hit) {
            EXPECT_EQ(index.Tally(words[i], place), hit == 0) << words[i];
        }
    }
    Counted expected;
    for (std::size_t i = 0; i < words.size(); ++i) {
        expected.emplace_back(words[i], static_cast<std::int64_t>(i + 1));
    }
    EXPECT_EQ(Sealed(index), expected);
}

TEST(WordIndexTest, PackedAndTextualTalliesMeetInOneEntry) {
    WordIndex index;
    FirstOccursPlace place;
    std::uint64_t packed = 0;
    std::memcpy(&packed, "cat", 3);
    EXPECT_TRUE(index.TallyPacked(packed, place));
    EXPECT_FALSE(index.Tally("cat", place));
    std::uint64_t prefix = 0;
    std::uint64_t middle = 0;
    std::memcpy(&prefix, "elephant", 8);
    std::memcpy(&middle, "ine", 3);
    EXPECT_TRUE(index.Tally("elephantine", place));
    EXPECT_FALSE(index.TallyPacked(LongKey{prefix, middle}, place));
    EXPECT_EQ(Sealed(index), (Counted{{"cat", 2}, {"elephantine", 2}}));
}

// Far more words than the index starts with, short and long, in one bucket:
// every growth of the index keeps every count and the order of first sight.
TEST(WordIndexTest, GrowsWithoutLosingAWordOrItsOrder) {
    std::vector<std::string> words;
    for (int i = 0; i < 30000; ++i) {
        std::string word = "q";  // then i in base 25 with the digits a to y, then z's
        for (int n = i; n > 0; n /= 25) {
            word += static_cast<char>('a' + n % 25);
        }
        if (i % 3 == 0) {
            word += std::string(static_cast<std::size_t>(i % 20), 'z');
        }
        words.push_back(word);
    }
    WordIndex index;
    FirstOccursPlace place;
    for (int round = 0; round < 2; ++round) {
        for (const std::string& word : words) {
            index.Tally(word, place);
        }
    }
    Counted expected;
    for (const std::string& word : words) {
        expected.emplace_back(word, 2);
    }
    EXPECT_EQ(Sealed(index), expected);
}

}  // namespace
}  // namespace quorvex
