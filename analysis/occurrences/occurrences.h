#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/memory/documentbytes.h"
#include "analysis/memory/mappedarray.h"
#include "analysis/scan/linerules.h"

namespace quorvex {

// Where some words occur in a document, as a search found them: every
// occurrence in document order, and per heading line the words counted under
// it. Made once by FindOccurrences and never changed, so that the rows and
// the picture that show it can share it. It keeps the document's bytes, which
// the texts it gives are views into.
//
// An occurrence is exactly a word the run counts; its number is its place
// among all the words the run counts, from 0. Heading 0 is the "no heading"
// before the first heading line; headings 1 onwards are the heading lines in
// document order.
//
// Memory: 8 bytes per occurrence (16 for one written with apostrophes
// between its letters), 4 per line that holds one far into it
// (256 bytes or more), 8 per line shorter than eight bytes that holds one,
// per heading line 16 bytes and 4 per searched word, and 16 bytes per MiB
// and per 65,536 words of the document.
class Occurrences {
  public:
    // Filled by the search, in document order.
    class Builder;

    // The searched words, folded, in the order given.
    const std::vector<std::string>& Words() const { return words_; }
    std::int64_t CountOf(std::size_t word) const { return counts_[word]; }

    std::size_t size() const { return places_.size(); }
    // Which searched word occurrence `at` is.
    std::size_t WordOf(std::size_t at) const;
    // Its number among the document's counted words.
    std::int64_t NumberOf(std::size_t at) const { return places_[at].number & kNumberBits; }
    // Where its letters lie in Document(): from its first letter to one past
    // its last, apostrophes between them included.
    std::size_t StartOf(std::size_t at) const { return places_[at].start & kPositionBits; }
    std::size_t EndOf(std::size_t at) const;
    std::string_view WrittenWord(std::size_t at) const;
    // Where the scanned part of its line begins: the line's eighth byte, or
    // its first in a line shorter than eight bytes.
    std::size_t ScanStartOf(std::size_t at) const;
    // Its whole line without the line ending.
    std::string_view LineText(std::size_t at) const;
    // The line reference the run records with it: that of the last text line
    // of eight bytes or more up to its own, or empty when there is none.
    std::string_view LineRef(std::size_t at) const;
    std::size_t HeadingOf(std::size_t at) const;
    // Whether occurrences `first` and `later`, later in the document, lie on
    // one line: no line feed between them, which is quicker to tell for
    // neighbours than where their lines begin.
    bool OnOneLine(std::size_t first, std::size_t later) const;

    // The document's bytes the search read.
    std::span<const std::uint8_t> Document() const { return {document_->data(), length_}; }

    // Headings, 0 ("no heading") included.
    std::size_t HeadingCount() const { return headings_.size(); }
    // As First Occurs shows it: empty for heading 0.
    HeadingTextPieces HeadingText(std::size_t heading) const;
    // The words counted in the heading's text lines.
    std::int64_t WordsUnder(std::size_t heading) const { return headings_[heading].words; }
    // The number of the first word counted after the heading line.
    std::int64_t FirstWordAfter(std::size_t heading) const { return headings_[heading].firstWord; }
    // The first occurrence under the heading, or size() when none is.
    std::size_t FirstUnder(std::size_t heading) const;
    std::int64_t CountUnder(std::size_t heading, std::size_t word) const {
        return headingCounts_[heading * words_.size() + word];
    }
    std::int64_t TotalWords() const { return totalWords_; }
    // The line reference the run records with the word numbered `number`,
    // whether it is an occurrence or not, found by walking the document again
    // from the last waypoint the search left before it: a MiB or so at most.
    std::string_view LineRefOfWord(std::int64_t number) const;

  private:
    static constexpr std::uint32_t kPositionBits = 0x7FFFFFFFu;
    static constexpr std::uint32_t kNumberBits = 0x3FFFFFFFu;
    static constexpr std::uint32_t kNoLine = 0xFFFFFFFFu;

    // An occurrence in 8 bytes: where its letters begin, its number, and
    // which word it is, in the bits the first two leave free (a position
    // stays below 2^31, a number below 2^30). It ends its word's length
    // further on, unless written with apostrophes inside.
    struct Place {
        std::uint32_t start;
        std::uint32_t number;
    };
    // An occurrence written with apostrophes between its letters, and
    // where it ends.
    struct WrittenApart {
        std::uint32_t at;
        std::uint32_t end;
    };
    // A line shorter than eight bytes that holds an occurrence, and the
    // text line whose reference its occurrences carry (kNoLine for none).
    struct ShortLine {
        std::uint32_t start;
        std::uint32_t refLineStart;
    };
    struct Heading {
        std::uint32_t lineStart;
        std::uint32_t lineLength;
        std::uint32_t firstWord;
        std::uint32_t words;
    };

    // A place the search passed, at a text line's start or within a long
    // text line that begins at lineStart, with the words counted before it
    // and the text line whose reference was in force there.
    struct Waypoint {
        std::uint32_t position;
        std::uint32_t lineStart;
        std::uint32_t refLineStart;
        std::uint32_t wordsBefore;
    };

    std::string_view Bytes(std::size_t from, std::size_t to) const;
    std::string_view RefOfLineAt(std::uint32_t refLineStart) const;
    std::size_t LineStartOf(std::size_t at) const;

    std::shared_ptr<const DocumentBytes> document_;
    std::size_t length_ = 0;
    std::vector<std::string> words_;
    std::vector<std::int64_t> counts_;
    // Grown in mappings of their own, never copied: a word that occurs a
    // hundred million times never has its occurrences held twice.
    MappedArray<Place> places_;
    MappedArray<WrittenApart> writtenApart_;  // in document order
    MappedArray<std::uint32_t> lineStarts_;   // of the lines that hold one far in
    MappedArray<ShortLine> shortLines_;
    MappedArray<Heading> headings_;
    MappedArray<std::uint32_t> headingCounts_;  // per heading, per word
    MappedArray<Waypoint> waypoints_;
    std::int64_t totalWords_ = 0;
};

// Takes what a search finds, in document order, and makes the Occurrences of
// it. Positions are offsets into the document.
class Occurrences::Builder {
  public:
    Builder(std::shared_ptr<const DocumentBytes> document, std::size_t length,
            std::vector<std::string> words);

    // A heading line, after `wordsBefore` counted words.
    void AddHeading(std::size_t lineStart, std::size_t lineLength, std::int64_t wordsBefore);
    // The last text line of eight bytes or more begins at lineStart.
    void SetRefLine(std::size_t lineStart) { refLine_ = static_cast<std::uint32_t>(lineStart); }
    void AddOccurrence(std::size_t word, std::size_t lineStart, std::size_t start, std::size_t end,
                       std::int64_t number);
    // A place to walk from later, `position` in the text line at lineStart.
    void AddWaypoint(std::size_t position, std::size_t lineStart, std::int64_t wordsBefore);
    std::shared_ptr<const Occurrences> Finish(std::int64_t totalWords) &&;

  private:
    void AddHeadingCounts();

    std::unique_ptr<Occurrences> made_;
    std::uint32_t refLine_ = kNoLine;
    std::uint32_t lastLine_ = kNoLine;  // the line of the last occurrence
};

}  // namespace quorvex
