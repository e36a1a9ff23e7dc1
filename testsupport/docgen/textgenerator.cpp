#include "testsupport/docgen/textgenerator.h"

#include <algorithm>
#include <array>
#include <string_view>
#include <vector>

namespace quorvex::docgen {

namespace {

constexpr std::size_t kVocabularySize = 40000;
constexpr std::uint64_t kVocabularySeedMix = 0x5EEDC0DE5EEDC0DEull;
constexpr std::size_t kChunkSize = std::size_t{1} << 20;

constexpr std::string_view kLineEnd = "\r\n";
constexpr std::uint32_t kShortestContent = 58;  // 60 bytes with the line end
constexpr std::uint32_t kLongestContent = 118;
constexpr std::uint32_t kLinesBetweenHeadingsMin = 19;
constexpr std::uint32_t kLinesBetweenHeadingsMax = 39;
constexpr std::uint32_t kVersesPerChapterMin = 8;
constexpr std::uint32_t kVersesPerChapterMax = 30;
constexpr std::uint32_t kLastNumber = 999;  // chapters and verses have three digits
constexpr std::uint32_t kBooks = 99;        // books have two
constexpr std::uint32_t kTitleWordsMax = 3;

// Odds are "one in n".
constexpr std::uint32_t kIndentedLineOdds = 100;
constexpr std::uint32_t kShortLineOdds = 150;
constexpr std::uint32_t kNumberOdds = 250;
constexpr std::uint32_t kAllCapitalsOdds = 300;
constexpr std::uint32_t kApostropheOdds = 30;
constexpr std::uint32_t kQuoteOdds = 80;
constexpr std::uint32_t kQuoteCloseOdds = 8;

// A line must stay under 8 bytes: four letters, a full stop, CR LF.
constexpr std::size_t kShortWordLongest = 4;
constexpr int kShortWordAttempts = 64;
constexpr std::string_view kShortWordFallback = "amen";

// Contractions go with the commonest words (don't, it'll), the possessive
// with common ones (the king's); rarer words never take them, which keeps the
// number of distinct words close to the vocabulary's size.
constexpr std::size_t kContractionRanks = 100;
constexpr std::size_t kPossessiveRanks = 2000;
constexpr std::array<std::string_view, 4> kContractions = {"n't", "'ll", "'d", "'ve"};
constexpr std::string_view kPossessive = "'s";

char Capital(char letter) {
    return static_cast<char>(letter - 'a' + 'A');
}

std::uint32_t NextInCycle(std::uint32_t value, std::uint32_t last) {
    return value >= last ? 1 : value + 1;
}

}  // namespace

TextGenerator::TextGenerator(std::uint64_t size, std::uint64_t seed)
    : random_(seed), vocabulary_(kVocabularySize, seed ^ kVocabularySeedMix), bytesLeft_(size) {
    line_.reserve(256);
}

std::size_t TextGenerator::Read(std::span<char> buffer) {
    std::size_t written = 0;
    while (written < buffer.size()) {
        if (lineOffset_ == line_.size()) {
            if (bytesLeft_ == 0) {
                break;
            }
            MakeNextLine();
        }
        const std::size_t take = std::min(buffer.size() - written, line_.size() - lineOffset_);
        std::copy_n(line_.data() + lineOffset_, take, buffer.data() + written);
        lineOffset_ += take;
        written += take;
    }
    return written;
}

void TextGenerator::MakeNextLine() {
    line_.clear();
    lineOffset_ = 0;
    if (linesToHeading_ == 0) {
        MakeHeadingLine();
    } else {
        --linesToHeading_;
        if (random_.OneIn(kIndentedLineOdds)) {
            MakeIndentedLine(DrawContentLength());
        } else if (random_.OneIn(kShortLineOdds)) {
            MakeShortLine();
        } else {
            MakeTextLine(DrawContentLength());
        }
    }
    line_ += kLineEnd;
    // Never leave a single byte, which could not be a CR LF line.
    if (line_.size() != bytesLeft_ && line_.size() + kLineEnd.size() > bytesLeft_) {
        MakeLastLine();
    }
    bytesLeft_ -= line_.size();
}

void TextGenerator::MakeLastLine() {
    line_.clear();
    if (bytesLeft_ < kLineEnd.size()) {
        line_ += '\n';
        return;
    }
    const std::size_t contentLength = bytesLeft_ - kLineEnd.size();
    MakeTextLine(contentLength);
    line_.resize(contentLength);
    line_ += kLineEnd;
}

void TextGenerator::MakeHeadingLine() {
    book_ = NextInCycle(book_, kBooks);
    chapter_ = 0;
    versesToChapter_ = 0;
    linesToHeading_ = random_.Between(kLinesBetweenHeadingsMin, kLinesBetweenHeadingsMax);
    line_ += "Book ";
    AppendDigits(book_, 2);
    const std::uint32_t titleWords = random_.Between(1, kTitleWordsMax);
    for (std::uint32_t i = 0; i < titleWords; ++i) {
        line_ += ' ';
        const std::size_t start = line_.size();
        line_ += vocabulary_.Word(vocabulary_.DrawRank(random_));
        line_[start] = Capital(line_[start]);
    }
    sentenceStart_ = true;
    quoteOpen_ = false;
}

void TextGenerator::MakeTextLine(std::size_t contentLength) {
    AppendLineReference();
    AppendWordsUpTo(contentLength);
}

void TextGenerator::MakeIndentedLine(std::size_t contentLength) {
    line_ += ' ';
    AppendWordsUpTo(contentLength);
}

void TextGenerator::MakeShortLine() {
    const std::size_t start = line_.size();
    line_ += DrawShortWord();
    line_[start] = Capital(line_[start]);
    line_ += random_.OneIn(3) ? '!' : '.';
    sentenceStart_ = true;
}

// A word that fits a short line and, capitalised, does not start with "B",
// which would make the line a heading.
std::string_view TextGenerator::DrawShortWord() {
    for (int attempt = 0; attempt < kShortWordAttempts; ++attempt) {
        const std::string& word = vocabulary_.Word(vocabulary_.DrawRank(random_));
        if (word.size() <= kShortWordLongest && word.front() != 'b') {
            return word;
        }
    }
    return kShortWordFallback;
}

void TextGenerator::AppendLineReference() {
    if (versesToChapter_ == 0) {
        chapter_ = NextInCycle(chapter_, kLastNumber);
        verse_ = 0;
        versesToChapter_ = random_.Between(kVersesPerChapterMin, kVersesPerChapterMax);
    }
    --versesToChapter_;
    verse_ = NextInCycle(verse_, kLastNumber);
    AppendDigits(chapter_, 3);
    line_ += ':';
    AppendDigits(verse_, 3);
    line_ += ' ';
}

void TextGenerator::AppendWordsUpTo(std::size_t contentLength) {
    while (line_.size() < contentLength) {
        AppendToken();
    }
}

void TextGenerator::AppendToken() {
    if (line_.back() != ' ') {
        line_ += ' ';
    }
    if (!quoteOpen_ && random_.OneIn(kQuoteOdds)) {
        line_ += '"';
        quoteOpen_ = true;
    }
    if (random_.OneIn(kNumberOdds)) {
        AppendDigits(random_.Between(1, 2000), 1);
    } else {
        AppendWord();
    }
    sentenceStart_ = false;
    AppendPunctuation();
}

void TextGenerator::AppendWord() {
    const std::size_t start = line_.size();
    const std::size_t rank = vocabulary_.DrawRank(random_);
    line_ += vocabulary_.Word(rank);
    if (random_.OneIn(kAllCapitalsOdds)) {
        std::transform(line_.begin() + static_cast<std::ptrdiff_t>(start), line_.end(),
                       line_.begin() + static_cast<std::ptrdiff_t>(start), Capital);
    } else if (sentenceStart_) {
        line_[start] = Capital(line_[start]);
    }
    if (rank < kPossessiveRanks && random_.OneIn(kApostropheOdds)) {
        line_ += rank < kContractionRanks && random_.OneIn(2)
                     ? kContractions[random_.Below(kContractions.size())]
                     : kPossessive;
    }
}

// `value` in decimal, with leading zeros up to `width` digits.
void TextGenerator::AppendDigits(std::uint32_t value, int width) {
    if (value >= 10 || width > 1) {
        AppendDigits(value / 10, width - 1);
    }
    line_ += static_cast<char>('0' + value % 10);
}

void TextGenerator::AppendPunctuation() {
    const std::uint32_t roll = random_.Below(100);
    if (roll < 8) {
        line_ += roll < 6 ? '.' : (roll == 6 ? '!' : '?');
        CloseQuote();
        sentenceStart_ = true;
        return;
    }
    if (roll < 14) {
        line_ += roll < 12 ? ',' : (roll == 12 ? ';' : ':');
    }
    if (quoteOpen_ && random_.OneIn(kQuoteCloseOdds)) {
        CloseQuote();
    }
}

void TextGenerator::CloseQuote() {
    if (quoteOpen_) {
        line_ += '"';
        quoteOpen_ = false;
    }
}

std::size_t TextGenerator::DrawContentLength() {
    return random_.Between(kShortestContent, kLongestContent);
}

std::string GenerateText(std::uint64_t size, std::uint64_t seed) {
    std::string document(size, '\0');
    TextGenerator(size, seed).Read(document);
    return document;
}

bool WriteText(std::ostream& out, std::uint64_t size, std::uint64_t seed) {
    TextGenerator generator(size, seed);
    std::vector<char> chunk(kChunkSize);
    while (const std::size_t length = generator.Read(chunk)) {
        if (!out.write(chunk.data(), static_cast<std::streamsize>(length))) {
            return false;
        }
    }
    return static_cast<bool>(out.flush());
}

bool WriteText(std::FILE* out, std::uint64_t size, std::uint64_t seed) {
    TextGenerator generator(size, seed);
    std::vector<char> chunk(kChunkSize);
    while (const std::size_t length = generator.Read(chunk)) {
        if (std::fwrite(chunk.data(), 1, length, out) != length) {
            return false;
        }
    }
    return std::fflush(out) == 0;
}

}  // namespace quorvex::docgen
