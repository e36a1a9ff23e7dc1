#include "analysis/occurrences/occurrencesearch.h"

#include <algorithm>
#include <cstring>
#include <span>
#include <stdexcept>

#include "analysis/scan/linerules.h"
#include "analysis/scan/wordruns.h"

namespace quorvex {

namespace {

constexpr std::size_t kProgressStep = std::size_t{1} << 20;
constexpr std::int64_t kWordsBetweenWaypoints = std::int64_t{1} << 16;

bool IsFoldedWord(const std::string& word) {
    return !word.empty() &&
           std::all_of(word.begin(), word.end(), [](char c) { return c >= 'a' && c <= 'z'; });
}

void CheckWords(const std::vector<std::string>& words) {
    if (words.empty() || words.size() > kMostSearchedWords ||
        !std::all_of(words.begin(), words.end(), IsFoldedWord)) {
        throw std::invalid_argument("one to eight words of the letters a to z");
    }
    for (std::size_t i = 0; i < words.size(); ++i) {
        if (std::find(words.begin(), words.begin() + static_cast<std::ptrdiff_t>(i), words[i]) !=
            words.begin() + static_cast<std::ptrdiff_t>(i)) {
            throw std::invalid_argument("a word searched twice");
        }
    }
}

constexpr std::size_t kPacked = 8;
constexpr std::uint64_t kCaseBits = 0x0101010101010101ull * kCaseBit;

std::uint64_t Load8(const std::uint8_t* p) {
    std::uint64_t packed = 0;
    std::memcpy(&packed, p, sizeof packed);
    return packed;
}

// Up to eight letters, folded, zeros after the last.
std::uint64_t FoldLetters(const std::uint8_t* p, std::size_t length) {
    return (Load8(p) | kCaseBits) & (~0ull >> (64 - 8 * length));
}

// A searched word of up to sixteen letters as the scan packs one: its first
// eight letters and the rest, zeros after the last.
struct PackedWord {
    std::uint64_t prefix = 0;
    std::uint64_t middle = 0;
};

PackedWord Pack(const std::string& word) {
    PackedWord packed;
    std::memcpy(&packed.prefix, word.data(), std::min(word.size(), kPacked));
    if (word.size() > kPacked) {
        std::memcpy(&packed.middle, word.data() + kPacked,
                    std::min(word.size() - kPacked, kPacked));
    }
    return packed;
}

// Walks the document line by line, as the run does, and the runs of word
// bytes of the scanned parts of its text lines as the run's scanner does.
// Almost every run is a word without apostrophes whose length alone tells
// that it is none of the searched words; the rest are packed and compared
// as the scanner packs them, or, rare, folded byte by byte.
class Search {
  public:
    Search(std::span<const std::uint8_t> document, Occurrences::Builder& found,
           const std::vector<std::string>& words, const SearchProgress& progress)
        : document_(document), found_(found), words_(words), progress_(progress) {
        for (const std::string& word : words) {
            packed_.push_back(Pack(word));
            if (word.size() < kBlock) {
                lengths_ |= 1ull << word.size();
            }
        }
    }

    // Lines are taken whole, but for one that reaches past the next look at
    // the progress, which is taken a piece at a time so that a stop is seen
    // within it too.
    bool Run() {
        std::size_t position = 0;
        while (position < document_.size()) {
            const std::size_t reach = std::min(document_.size() - position, kProgressStep);
            const std::uint8_t* start = document_.data() + position;
            if (const void* lineFeed = std::memchr(start, '\n', reach)) {
                const auto length =
                    static_cast<std::size_t>(static_cast<const std::uint8_t*>(lineFeed) - start) +
                    1;
                TakeLine(position, length);
                position += length;
            } else if (reach == document_.size() - position) {
                TakeLine(position, reach);
                position += reach;
            } else if (!TakeLongLine(position)) {
                return false;
            }
            if (!ReportReading(position)) {
                return false;
            }
        }
        return true;
    }

    std::int64_t TotalWords() const { return totalWords_; }

  private:
    static constexpr std::size_t kNone = ~std::size_t{0};

    void TakeLine(std::size_t lineStart, std::size_t length) {
        const std::span<const std::uint8_t> line = document_.subspan(lineStart, length);
        switch (KindOfLine(line)) {
            case LineKind::Heading:
                found_.AddHeading(lineStart, length, totalWords_);
                return;
            case LineKind::Skipped:
                return;
            case LineKind::Text:
                if (totalWords_ >= nextWaypointWords_ || lineStart >= nextWaypoint_) {
                    MarkWaypoint(lineStart, lineStart);
                }
                if (HasLineRef(line)) {
                    found_.SetRefLine(lineStart);
                }
                ScanPart(lineStart, ScannedPart(line));
                return;
        }
    }

    // Whether to go on, asked once the reading has gone a step past the last
    // time, and after every piece of a long line.
    bool ReportReading(std::size_t position) { return position < nextReport_ || Report(position); }

    bool Report(std::size_t position) {
        nextReport_ = position + kProgressStep;
        return progress_(static_cast<std::int64_t>(position),
                         static_cast<std::int64_t>(document_.size())) == RunControl::Continue;
    }

    // A line of more than a step from `position`, up to its line feed or the
    // document's end, in pieces of about a step, each cut after a byte that
    // is no part of a word, so that every word lies whole in one piece.
    // Leaves `position` after the line, or where it was stopped.
    bool TakeLongLine(std::size_t& position) {
        const std::size_t lineStart = position;
        const LineKind kind = KindOfLine(document_.subspan(lineStart));
        if (kind == LineKind::Text) {
            found_.SetRefLine(lineStart);
            position += kLineRefLength;
        }
        for (;;) {
            const std::size_t reach = std::min(document_.size() - position, kProgressStep);
            const std::uint8_t* start = document_.data() + position;
            const void* lineFeed = std::memchr(start, '\n', reach);
            std::size_t end =
                lineFeed ? static_cast<std::size_t>(static_cast<const std::uint8_t*>(lineFeed) -
                                                    document_.data()) +
                               1
                         : position + reach;
            if (lineFeed == nullptr && end < document_.size() && kind == LineKind::Text) {
                end = WordSafeCut(position, end);
            }
            if (kind == LineKind::Text) {
                MarkWaypoint(position, lineStart);
                ScanPart(lineStart, document_.subspan(position, end - position));
            }
            position = end;
            if (lineFeed != nullptr || position == document_.size()) {
                break;
            }
            if (!Report(position)) {
                return false;
            }
        }
        if (kind == LineKind::Heading) {
            found_.AddHeading(lineStart, position - lineStart, totalWords_);
        }
        return true;
    }

    // Where a look-up of a word's line walks from: a text line once enough
    // words or bytes have passed since the last, and each piece of a long one.
    void MarkWaypoint(std::size_t position, std::size_t lineStart) {
        found_.AddWaypoint(position, lineStart, totalWords_);
        nextWaypointWords_ = totalWords_ + kWordsBetweenWaypoints;
        nextWaypoint_ = position + kProgressStep;
    }

    // The nearest place at or before `end`, past `from`, that follows a byte
    // of no word; or, in a run of word bytes from `from` to `end` and on,
    // where that run ends.
    std::size_t WordSafeCut(std::size_t from, std::size_t end) const {
        const auto inWord = [this](std::size_t at) {
            return at < document_.size() && kWordRule[document_[at]] != kSeparator;
        };
        std::size_t cut = end;
        while (cut > from && inWord(cut - 1)) {
            --cut;
        }
        if (cut > from) {
            return cut;
        }
        for (cut = end; inWord(cut); ++cut) {
        }
        return cut;
    }

    void ScanPart(std::size_t lineStart, std::span<const std::uint8_t> part) {
        WalkWordRuns(
            part, document_.data() + document_.size(),
            [&](const std::uint8_t* loadable, const std::uint8_t* run, std::size_t length,
                bool apostrophe) {
                if (apostrophe) {
                    TakeRunSlowly(lineStart, run, length);
                    return;
                }
                if ((lengths_ >> length & 1) != 0) {
                    if (const std::size_t word = Match(loadable, length); word != kNone) {
                        const auto start = static_cast<std::size_t>(run - document_.data());
                        found_.AddOccurrence(word, lineStart, start, start + length, totalWords_);
                    }
                }
                ++totalWords_;
            },
            [&](const std::uint8_t* run, std::size_t length) {
                TakeRunSlowly(lineStart, run, length);
            });
    }

    // A run of `length` letters, readable kRunLoadReach bytes from `loadable`.
    std::size_t Match(const std::uint8_t* loadable, std::size_t length) const {
        for (std::size_t w = 0; w < words_.size(); ++w) {
            if (words_[w].size() != length) {
                continue;
            }
            if (length > 2 * kPacked) {
                if (std::equal(words_[w].begin(), words_[w].end(), loadable,
                               [](char letter, std::uint8_t byte) {
                                   return letter == static_cast<char>(byte | kCaseBit);
                               })) {
                    return w;
                }
                continue;
            }
            const std::uint64_t prefix = FoldLetters(loadable, std::min(length, kPacked));
            const std::uint64_t middle =
                length > kPacked ? FoldLetters(loadable + kPacked, length - kPacked) : 0;
            if (prefix == packed_[w].prefix && middle == packed_[w].middle) {
                return w;
            }
        }
        return kNone;
    }

    // A run with apostrophes, or of a block or more, however long: its
    // letters compared byte by byte where they lie, never copied.
    void TakeRunSlowly(std::size_t lineStart, const std::uint8_t* run, std::size_t length) {
        const std::span<const std::uint8_t> bytes(run, length);
        const auto isLetter = [](std::uint8_t byte) { return byte != kDeleted; };
        const auto first = std::find_if(bytes.begin(), bytes.end(), isLetter);
        if (first == bytes.end()) {
            return;
        }
        const auto last = std::find_if(bytes.rbegin(), bytes.rend(), isLetter).base();
        const auto letters = static_cast<std::size_t>(std::count_if(first, last, isLetter));
        for (std::size_t w = 0; w < words_.size(); ++w) {
            if (words_[w].size() == letters && SameLetters(first, last, words_[w])) {
                const auto start = static_cast<std::size_t>(&*first - document_.data());
                found_.AddOccurrence(w, lineStart, start,
                                     start + static_cast<std::size_t>(last - first), totalWords_);
                break;
            }
        }
        ++totalWords_;
    }

    static bool SameLetters(std::span<const std::uint8_t>::iterator from,
                            std::span<const std::uint8_t>::iterator to, const std::string& word) {
        std::size_t at = 0;
        for (; from != to; ++from) {
            if (*from != kDeleted && static_cast<char>(*from | kCaseBit) != word[at++]) {
                return false;
            }
        }
        return true;
    }

    std::span<const std::uint8_t> document_;
    Occurrences::Builder& found_;
    const std::vector<std::string>& words_;
    const SearchProgress& progress_;
    std::size_t nextReport_ = kProgressStep;
    std::int64_t nextWaypointWords_ = kWordsBetweenWaypoints;
    std::size_t nextWaypoint_ = kProgressStep;
    std::vector<PackedWord> packed_;
    std::uint64_t lengths_ = 0;  // bit n set for a searched word of n letters
    std::int64_t totalWords_ = 0;
};

}  // namespace

std::shared_ptr<const Occurrences> FindOccurrences(std::shared_ptr<const DocumentBytes> document,
                                                   std::int64_t length,
                                                   std::vector<std::string> words,
                                                   const SearchProgress& progress) {
    CheckWords(words);
    const std::size_t readable =
        std::min(static_cast<std::size_t>(std::max<std::int64_t>(length, 0)), document->size());
    const std::span<const std::uint8_t> bytes(document->data(), readable);
    Occurrences::Builder found(std::move(document), readable, words);
    Search search(bytes, found, words, progress);
    if (!search.Run()) {
        return nullptr;
    }
    return std::move(found).Finish(search.TotalWords());
}

}  // namespace quorvex
