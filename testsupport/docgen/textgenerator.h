#pragma once

#include <cstdint>
#include <cstdio>
#include <ostream>
#include <span>
#include <string>
#include <string_view>

#include "testsupport/docgen/randomsource.h"
#include "testsupport/docgen/vocabulary.h"

namespace quorvex::docgen {

// Makes lifelike text of any size in the program's own input format, the
// kind of document the program is meant for (documents made to find the
// engine's limits come from hostiledocuments.h), for benchmarks, tests and
// demonstrations: CR LF line endings; a heading line "Book NN Title" first
// and then after every 19 to 39 other lines (NN counts 01 to 99, then starts
// over); text lines "CCC:VVV " followed by English-like sentences of made-up
// words of Zipf-distributed frequency, with capitals, a few all-capital
// words, apostrophes, punctuation, quotes and numbers; now and then a line
// starting with a space or a line shorter than 8 bytes. Lines run to about 60
// to 120 bytes.
//
// The document has exactly the size asked for. Its last line is a text line
// cut to fit, and still ends in CR LF; only a document of a single byte, a
// lone LF, cannot. Documents too small for a heading are that one cut line.
//
// Equal size and seed give equal bytes on every platform, and the bytes do
// not depend on how the document is read out in pieces.
class TextGenerator {
  public:
    TextGenerator(std::uint64_t size, std::uint64_t seed);

    // Copies the next bytes of the document into `buffer`; returns how many,
    // which is less than the buffer only at the end of the document.
    std::size_t Read(std::span<char> buffer);

    std::uint64_t Remaining() const { return bytesLeft_ + (line_.size() - lineOffset_); }

  private:
    void MakeNextLine();
    void MakeHeadingLine();
    void MakeTextLine(std::size_t contentLength);
    void MakeIndentedLine(std::size_t contentLength);
    void MakeShortLine();
    void MakeLastLine();

    void AppendLineReference();
    void AppendWordsUpTo(std::size_t contentLength);
    void AppendToken();
    void AppendWord();
    void AppendDigits(std::uint32_t value, int width);
    void AppendPunctuation();
    void CloseQuote();
    std::string_view DrawShortWord();
    std::size_t DrawContentLength();

    RandomSource random_;
    Vocabulary vocabulary_;
    std::uint64_t bytesLeft_;  // bytes of the document not yet made into lines
    std::string line_;
    std::size_t lineOffset_ = 0;  // bytes of line_ already read out

    std::uint32_t book_ = 0;
    std::uint32_t chapter_ = 0;
    std::uint32_t verse_ = 0;
    std::uint32_t linesToHeading_ = 0;
    std::uint32_t versesToChapter_ = 0;
    bool sentenceStart_ = true;
    bool quoteOpen_ = false;
};

// The whole document in memory.
std::string GenerateText(std::uint64_t size, std::uint64_t seed);

// Streams the document in large chunks; returns false when writing failed.
bool WriteText(std::ostream& out, std::uint64_t size, std::uint64_t seed);
bool WriteText(std::FILE* out, std::uint64_t size, std::uint64_t seed);

}  // namespace quorvex::docgen
