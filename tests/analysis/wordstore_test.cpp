#include "analysis/words/wordstore.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace quorvex {
namespace {

std::vector<std::pair<std::string, std::int64_t>> Bucket(WordStore& store, char letter) {
    store.Seal();
    std::vector<std::pair<std::string, std::int64_t>> words;
    for (std::int64_t slot = 1; slot <= store.BucketFill(letter); ++slot) {
        words.emplace_back(store.WordText(letter, slot), store.WordHits(letter, slot));
    }
    return words;
}

// Words are told apart whole, whatever they share: the first eight, twelve or
// sixteen letters, or everything but their length.
TEST(WordStoreTest, KeepsWordsThatShareTheirFirstLettersApart) {
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
    WordStore store;
    FirstOccursPlace place;
    for (std::size_t i = 0; i < words.size(); ++i) {
        for (std::size_t hit = 0; hit <= i; ++hit) {
            EXPECT_EQ(store.Tally(words[i], place), hit == 0) << words[i];
        }
    }
    std::vector<std::pair<std::string, std::int64_t>> expected;
    for (std::size_t i = 0; i < words.size(); ++i) {
        expected.emplace_back(words[i], static_cast<std::int64_t>(i + 1));
    }
    EXPECT_EQ(Bucket(store, 'a'), expected);
    EXPECT_EQ(store.UniqueTotal(), static_cast<std::int64_t>(words.size()));
}

TEST(WordStoreTest, PackedAndTextualTalliesMeetInOneEntry) {
    WordStore store;
    FirstOccursPlace place;
    std::uint64_t packed = 0;
    std::memcpy(&packed, "cat", 3);
    EXPECT_TRUE(store.TallyPacked(packed, place));
    EXPECT_FALSE(store.Tally("cat", place));
    std::uint64_t prefix = 0;
    std::uint64_t middle = 0;
    std::memcpy(&prefix, "elephant", 8);
    std::memcpy(&middle, "ine", 3);
    EXPECT_TRUE(store.Tally("elephantine", place));
    EXPECT_FALSE(store.TallyPacked(LongKey{prefix, middle}, place));
    EXPECT_EQ(Bucket(store, 'c'), (std::vector<std::pair<std::string, std::int64_t>>{{"cat", 2}}));
    EXPECT_EQ(Bucket(store, 'e'),
              (std::vector<std::pair<std::string, std::int64_t>>{{"elephantine", 2}}));
}

// Far more words than the index starts with, short and long, in one bucket:
// every growth of the index keeps every count and the order of first sight.
TEST(WordStoreTest, GrowsWithoutLosingAWordOrItsOrder) {
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
    WordStore store;
    FirstOccursPlace place;
    for (int round = 0; round < 2; ++round) {
        for (const std::string& word : words) {
            store.Tally(word, place);
        }
    }
    store.Seal();
    ASSERT_EQ(store.BucketFill('q'), static_cast<std::int64_t>(words.size()));
    for (std::size_t i = 0; i < words.size(); ++i) {
        ASSERT_EQ(store.WordText('q', static_cast<std::int64_t>(i + 1)), words[i]);
        ASSERT_EQ(store.WordHits('q', static_cast<std::int64_t>(i + 1)), 2) << words[i];
    }
}

}  // namespace
}  // namespace quorvex
