#include "testsupport/docgen/hostiledocuments.h"

#include <algorithm>
#include <cstring>
#include <random>

#include "analysis/words/wordhash.h"

namespace quorvex::docgen {

namespace {

constexpr std::size_t kChunk = 1 << 20;
constexpr std::size_t kLineLength = 80;
constexpr std::size_t kVocabularyWords = 40000;
constexpr std::size_t kLongestWordsFrom = 25;

// Collects output and writes it in large pieces.
class ChunkWriter {
  public:
    explicit ChunkWriter(std::FILE* out) : out_(out) { buffer_.reserve(kChunk * 2); }

    void Append(std::string_view text) {
        buffer_.append(text);
        if (buffer_.size() >= kChunk) {
            Flush();
        }
    }
    bool Finish() {
        Flush();
        return ok_;
    }

  private:
    void Flush() {
        ok_ = ok_ && std::fwrite(buffer_.data(), 1, buffer_.size(), out_) == buffer_.size();
        buffer_.clear();
    }

    std::FILE* out_;
    std::string buffer_;
    bool ok_ = true;
};

std::string RandomWord(std::mt19937_64& random, std::size_t length) {
    std::string word(length, 'a');
    for (char& letter : word) {
        letter = static_cast<char>('a' + random() % 26);
    }
    return word;
}

// Fills `size` bytes with lines "001:001 " and words from `nextWord`, each
// line ending in CR LF; the last line is cut to fit. A line has
// `wordsPerLine` words, or as many as make it kLineLength bytes.
template <typename NextWord>
bool WriteWordLines(std::FILE* out, std::uint64_t size, const NextWord& nextWord,
                    std::size_t wordsPerLine = 0) {
    ChunkWriter writer(out);
    std::string line;
    std::uint64_t written = 0;
    while (written < size) {
        line = "001:001";
        for (std::size_t words = 0;
             wordsPerLine > 0 ? words < wordsPerLine : line.size() < kLineLength; ++words) {
            line += ' ';
            line += nextWord();
        }
        line += "\r\n";
        const auto take =
            static_cast<std::size_t>(std::min<std::uint64_t>(line.size(), size - written));
        writer.Append(std::string_view(line).substr(0, take));
        written += take;
    }
    return writer.Finish();
}

}  // namespace

std::string CounterWord(std::uint64_t number) {
    std::string word;
    do {
        word += static_cast<char>('a' + number % 26);
        number /= 26;
    } while (number > 0);
    return word;
}

bool WriteRandomWords(std::FILE* out, std::uint64_t size, std::uint64_t seed) {
    std::mt19937_64 random(seed);
    return WriteWordLines(out, size, [&] { return RandomWord(random, 6 + random() % 4); });
}

bool WriteSharedPrefixWords(std::FILE* out, std::uint64_t size, std::uint64_t seed,
                            std::size_t shared, std::pair<std::size_t, std::size_t> letters) {
    std::mt19937_64 random(seed);
    const std::string prefix = RandomWord(random, shared);
    const std::size_t lengths = letters.second - letters.first + 1;
    return WriteWordLines(out, size, [&] {
        return prefix + RandomWord(random, letters.first + random() % lengths - shared);
    });
}

bool WriteLongHeading(std::FILE* out, std::uint64_t headingBytes, std::uint64_t lines,
                      bool highBytes) {
    ChunkWriter writer(out);
    std::mt19937_64 random(headingBytes);
    std::string heading = "B";
    for (std::uint64_t made = 1; made < headingBytes; ++made) {
        heading += static_cast<char>(highBytes ? 128 + random() % 128 : 32 + random() % 95);
        if (heading.size() >= kChunk) {
            writer.Append(heading);
            heading.clear();
        }
    }
    writer.Append(heading);
    writer.Append("\r\n");
    for (std::uint64_t line = 0; line < lines; ++line) {
        writer.Append("0000000" + CounterWord(line) + "\r\n");
    }
    return writer.Finish();
}

bool WriteOneWord(std::FILE* out, std::uint64_t size) {
    ChunkWriter writer(out);
    const std::string letters(kChunk, 'w');
    for (std::uint64_t left = size; left > 0;) {
        const auto take = static_cast<std::size_t>(std::min<std::uint64_t>(left, kChunk));
        writer.Append(std::string_view(letters).substr(0, take));
        left -= take;
    }
    return writer.Finish();
}

std::vector<std::string> EightLetterWords(std::size_t count, std::uint64_t seed,
                                          const std::uint64_t* hashSeed) {
    std::mt19937_64 random(seed);
    std::vector<std::string> words;
    words.reserve(count);
    const WordHash hash(hashSeed != nullptr ? *hashSeed : 0);
    while (words.size() < count) {
        std::string word = RandomWord(random, 8);
        std::uint64_t packed = 0;
        std::memcpy(&packed, word.data(), 8);
        if (hashSeed == nullptr || hash.Short(packed) >> 52 == 0) {
            words.push_back(std::move(word));
        }
    }
    return words;
}

bool WriteVocabulary(std::FILE* out, std::uint64_t size, std::uint64_t seed,
                     std::pair<std::size_t, std::size_t> letters) {
    std::mt19937_64 random(seed);
    const auto lengths = letters.second - letters.first + 1;
    std::vector<std::string> words(kVocabularyWords);
    for (std::string& word : words) {
        word = RandomWord(random, letters.first + random() % lengths);
    }
    const std::size_t wordsPerLine = letters.first >= kLongestWordsFrom ? 6 : 10;
    return WriteWordLines(
        out, size, [&] { return words[random() % words.size()]; }, wordsPerLine);
}

bool WriteWordCycle(std::FILE* out, std::uint64_t size, const std::vector<std::string>& words) {
    std::size_t next = 0;
    return WriteWordLines(out, size, [&] {
        const std::string& word = words[next];
        next = (next + 1) % words.size();
        return word;
    });
}

}  // namespace quorvex::docgen
