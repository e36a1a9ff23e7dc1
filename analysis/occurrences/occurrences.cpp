#include "analysis/occurrences/occurrences.h"

#include <algorithm>
#include <cstring>

namespace quorvex {

namespace {

constexpr int kWordLowBits = 2;
constexpr std::uint32_t kTopBit = 0x80000000u;

}  // namespace

std::size_t Occurrences::WordOf(std::size_t at) const {
    const Place& place = places_[at];
    return (place.number >> (32 - kWordLowBits)) | ((place.start & kTopBit) >> (31 - kWordLowBits));
}

std::string_view Occurrences::Bytes(std::size_t from, std::size_t to) const {
    return {reinterpret_cast<const char*>(document_->data()) + from, to - from};
}

std::string_view Occurrences::WrittenWord(std::size_t at) const {
    return Bytes(StartOf(at), EndOf(at));
}

const Occurrences::Line& Occurrences::LineOf(std::size_t at) const {
    const auto start = static_cast<std::uint32_t>(StartOf(at));
    return *(std::upper_bound(lines_.begin(), lines_.end(), start,
                              [](std::uint32_t position, const Line& line) {
                                  return position < line.start;
                              }) -
             1);
}

// A word lies in a line's first seven bytes only when the whole line is
// scanned, as a line shorter than eight bytes is.
std::size_t Occurrences::ScanStartOf(std::size_t at) const {
    const std::size_t lineStart = LineOf(at).start;
    return StartOf(at) >= lineStart + kLineRefLength ? lineStart + kLineRefLength : lineStart;
}

std::string_view Occurrences::LineText(std::size_t at) const {
    const std::size_t lineStart = LineOf(at).start;
    const std::size_t end = EndOf(at);
    const void* lineFeed = std::memchr(document_->data() + end, '\n', length_ - end);
    const std::size_t lineEnd =
        lineFeed ? static_cast<std::size_t>(static_cast<const std::uint8_t*>(lineFeed) -
                                            document_->data()) +
                       1
                 : length_;
    return WithoutLineEnding(Document().subspan(lineStart, lineEnd - lineStart));
}

std::string_view Occurrences::LineRef(std::size_t at) const {
    const Line& line = LineOf(at);
    return line.refLineStart == kNoLine ? std::string_view()
                                        : Bytes(line.refLineStart, line.refLineStart + kLineRefLength);
}

std::size_t Occurrences::HeadingOf(std::size_t at) const {
    const auto start = static_cast<std::uint32_t>(StartOf(at));
    return static_cast<std::size_t>(
        std::upper_bound(headings_.begin() + 1, headings_.end(), start,
                         [](std::uint32_t position, const Heading& heading) {
                             return position < heading.lineStart;
                         }) -
        headings_.begin() - 1);
}

HeadingTextPieces Occurrences::HeadingText(std::size_t heading) const {
    if (heading == 0) {
        return {};
    }
    const Heading& line = headings_[heading];
    return HeadingTextOf(Document().subspan(line.lineStart, line.lineLength));
}

Occurrences::Builder::Builder(std::shared_ptr<const DocumentBytes> document, std::size_t length,
                              std::vector<std::string> words)
    : made_(std::make_unique<Occurrences>()) {
    made_->document_ = std::move(document);
    made_->length_ = length;
    made_->counts_.assign(words.size(), 0);
    made_->words_ = std::move(words);
    made_->headings_.push_back(Heading{0, 0, 0, 0});
    made_->headingCounts_.assign(made_->words_.size(), 0);
}

void Occurrences::Builder::AddHeading(std::size_t lineStart, std::size_t lineLength,
                                      std::int64_t wordsBefore) {
    Heading& last = made_->headings_.back();
    last.words = static_cast<std::uint32_t>(wordsBefore - last.firstWord);
    made_->headings_.push_back(Heading{static_cast<std::uint32_t>(lineStart),
                                       static_cast<std::uint32_t>(lineLength),
                                       static_cast<std::uint32_t>(wordsBefore), 0});
    made_->headingCounts_.resize(made_->headingCounts_.size() + made_->words_.size(), 0);
}

void Occurrences::Builder::AddOccurrence(std::size_t word, std::size_t lineStart,
                                         std::size_t start, std::size_t end, std::int64_t number) {
    if (made_->lines_.empty() || made_->lines_.back().start != lineStart) {
        made_->lines_.push_back(Line{static_cast<std::uint32_t>(lineStart), refLine_});
    }
    const auto w = static_cast<std::uint32_t>(word);
    made_->places_.push_back(
        Place{static_cast<std::uint32_t>(start) | (w << (31 - kWordLowBits) & kTopBit),
              static_cast<std::uint32_t>(end),
              static_cast<std::uint32_t>(number) | w << (32 - kWordLowBits)});
    ++made_->counts_[word];
    ++made_->headingCounts_[(made_->headings_.size() - 1) * made_->words_.size() + word];
}

std::shared_ptr<const Occurrences> Occurrences::Builder::Finish(std::int64_t totalWords) && {
    Heading& last = made_->headings_.back();
    last.words = static_cast<std::uint32_t>(totalWords - last.firstWord);
    made_->totalWords_ = totalWords;
    return std::shared_ptr<const Occurrences>(std::move(made_));
}

}  // namespace quorvex
