#include "analysis/occurrences/occurrencesearch.h"

#include <algorithm>
#include <cstring>
#include <span>
#include <stdexcept>

#include "analysis/scan/linerules.h"
#include "analysis/scan/wordrule.h"

namespace quorvex {

namespace {

constexpr std::int64_t kBytesBetweenProgressCalls = std::int64_t{1} << 20;

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

// Walks the document line by line, as the run does, and every word of the
// scanned parts of its text lines.
class Search {
  public:
    Search(std::span<const std::uint8_t> document, Occurrences::Builder& found,
           const std::vector<std::string>& words)
        : document_(document), found_(found), words_(words) {}

    bool Run(const SearchProgress& progress) {
        std::size_t position = 0;
        std::int64_t sinceProgress = 0;
        while (position < document_.size()) {
            const std::uint8_t* start = document_.data() + position;
            const void* lineFeed = std::memchr(start, '\n', document_.size() - position);
            const std::size_t length =
                lineFeed ? static_cast<std::size_t>(static_cast<const std::uint8_t*>(lineFeed) -
                                                    start) +
                               1
                         : document_.size() - position;
            TakeLine(position, length);
            position += length;
            sinceProgress += static_cast<std::int64_t>(length);
            if (sinceProgress >= kBytesBetweenProgressCalls) {
                sinceProgress = 0;
                if (progress(static_cast<std::int64_t>(position),
                             static_cast<std::int64_t>(document_.size())) == RunControl::Stop) {
                    return false;
                }
            }
        }
        return true;
    }

    std::int64_t TotalWords() const { return totalWords_; }

  private:
    void TakeLine(std::size_t lineStart, std::size_t length) {
        const std::span<const std::uint8_t> line = document_.subspan(lineStart, length);
        switch (KindOfLine(line)) {
            case LineKind::Heading:
                found_.AddHeading(lineStart, length, totalWords_);
                return;
            case LineKind::Skipped:
                return;
            case LineKind::Text:
                if (HasLineRef(line)) {
                    found_.SetRefLine(lineStart);
                }
                ScanPart(lineStart, ScannedPart(line));
                return;
        }
    }

    // A word is a run of letters and apostrophes holding at least one letter.
    void ScanPart(std::size_t lineStart, std::span<const std::uint8_t> part) {
        const std::size_t partStart = static_cast<std::size_t>(part.data() - document_.data());
        std::size_t i = 0;
        while (i < part.size()) {
            if (kWordRule[part[i]] == kSeparator) {
                ++i;
                continue;
            }
            std::size_t runEnd = i;
            while (runEnd < part.size() && kWordRule[part[runEnd]] != kSeparator) {
                ++runEnd;
            }
            TakeRun(lineStart, partStart + i, part.subspan(i, runEnd - i));
            i = runEnd;
        }
    }

    void TakeRun(std::size_t lineStart, std::size_t runStart, std::span<const std::uint8_t> run) {
        folded_.clear();
        std::size_t first = run.size();
        std::size_t last = 0;
        for (std::size_t i = 0; i < run.size(); ++i) {
            if (kWordRule[run[i]] != kDeleted) {
                folded_ += static_cast<char>(kWordRule[run[i]]);
                first = std::min(first, i);
                last = i;
            }
        }
        if (folded_.empty()) {
            return;
        }
        const auto found = std::find(words_.begin(), words_.end(), folded_);
        if (found != words_.end()) {
            found_.AddOccurrence(static_cast<std::size_t>(found - words_.begin()), lineStart,
                                 runStart + first, runStart + last + 1, totalWords_);
        }
        ++totalWords_;
    }

    std::span<const std::uint8_t> document_;
    Occurrences::Builder& found_;
    const std::vector<std::string>& words_;
    std::string folded_;
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
    Search search(bytes, found, words);
    if (!search.Run(progress)) {
        return nullptr;
    }
    return std::move(found).Finish(search.TotalWords());
}

}  // namespace quorvex
