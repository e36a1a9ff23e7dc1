#include "analysis/occurrences/occurrences.h"

#include <algorithm>
#include <cstring>

#include "analysis/scan/wordruns.h"

namespace quorvex {

namespace {

constexpr int kWordLowBits = 2;
constexpr std::uint32_t kTopBit = 0x80000000u;
constexpr std::size_t kNearLineStart = 256;

// Whether no line feed lies in the kNearLineStart bytes before a word, so
// that only the lines' table tells where its line begins.
bool FarFromLineStart(std::size_t start, std::size_t lineStart) {
    return start - lineStart >= std::min(start, kNearLineStart);
}

}  // namespace

std::size_t Occurrences::WordOf(std::size_t at) const {
    const Place& place = places_[at];
    return (place.number >> (32 - kWordLowBits)) | ((place.start & kTopBit) >> (31 - kWordLowBits));
}

std::string_view Occurrences::Bytes(std::size_t from, std::size_t to) const {
    return {reinterpret_cast<const char*>(document_->data()) + from, to - from};
}

std::size_t Occurrences::EndOf(std::size_t at) const {
    if (!writtenApart_.empty()) {
        const WrittenApart* const end = writtenApart_.data() + writtenApart_.size();
        const WrittenApart* const apart = std::lower_bound(
            writtenApart_.data(), end, at, [](const WrittenApart& written, std::size_t occurrence) {
                return written.at < occurrence;
            });
        if (apart != end && apart->at == at) {
            return apart->end;
        }
    }
    return StartOf(at) + words_[WordOf(at)].size();
}

std::string_view Occurrences::WrittenWord(std::size_t at) const {
    return Bytes(StartOf(at), EndOf(at));
}

// Most lines are short: the line feed before a word is looked for in the
// bytes just before it, and only the start of a line with a word far from
// it in the lines' table, which holds no other.
std::size_t Occurrences::LineStartOf(std::size_t at) const {
    const std::size_t start = StartOf(at);
    const std::size_t near = start - std::min(start, kNearLineStart);
    if (const void* lineFeed = memrchr(document_->data() + near, '\n', start - near)) {
        return static_cast<std::size_t>(static_cast<const std::uint8_t*>(lineFeed) -
                                        document_->data()) +
               1;
    }
    return *(std::upper_bound(lineStarts_.data(), lineStarts_.data() + lineStarts_.size(),
                              static_cast<std::uint32_t>(start)) -
             1);
}

// A word lies in a line's first seven bytes only when the whole line is
// scanned, as a line shorter than eight bytes is.
std::size_t Occurrences::ScanStartOf(std::size_t at) const {
    const std::size_t lineStart = LineStartOf(at);
    return StartOf(at) >= lineStart + kLineRefLength ? lineStart + kLineRefLength : lineStart;
}

bool Occurrences::OnOneLine(std::size_t first, std::size_t later) const {
    const std::size_t end = EndOf(first);
    return std::memchr(document_->data() + end, '\n', StartOf(later) - end) == nullptr;
}

std::string_view Occurrences::LineText(std::size_t at) const {
    const std::size_t lineStart = LineStartOf(at);
    const std::size_t end = EndOf(at);
    const void* lineFeed = std::memchr(document_->data() + end, '\n', length_ - end);
    const std::size_t lineEnd =
        lineFeed ? static_cast<std::size_t>(static_cast<const std::uint8_t*>(lineFeed) -
                                            document_->data()) +
                       1
                 : length_;
    return WithoutLineEnding(Document().subspan(lineStart, lineEnd - lineStart));
}

std::string_view Occurrences::RefOfLineAt(std::uint32_t refLineStart) const {
    return refLineStart == kNoLine ? std::string_view()
                                   : Bytes(refLineStart, refLineStart + kLineRefLength);
}

std::string_view Occurrences::LineRef(std::size_t at) const {
    const std::size_t lineStart = LineStartOf(at);
    std::size_t refLineStart = lineStart;
    if (ScanStartOf(at) == lineStart) {
        refLineStart =
            std::lower_bound(
                shortLines_.data(), shortLines_.data() + shortLines_.size(), lineStart,
                [](const ShortLine& line, std::size_t position) { return line.start < position; })
                ->refLineStart;
    }
    return RefOfLineAt(static_cast<std::uint32_t>(refLineStart));
}

namespace {

// The words of a scanned part by the word rule: the runs of word bytes that
// hold a letter.
std::int64_t CountWords(std::span<const std::uint8_t> part, const std::uint8_t* documentEnd) {
    const auto holdsLetter = [](const std::uint8_t* run, std::size_t length) {
        return std::any_of(run, run + length, [](std::uint8_t byte) { return byte != kDeleted; });
    };
    std::int64_t words = 0;
    WalkWordRuns(
        part, documentEnd,
        [&](const std::uint8_t* /*loadable*/, const std::uint8_t* run, std::size_t length,
            bool apostrophe) { words += !apostrophe || holdsLetter(run, length) ? 1 : 0; },
        [&](const std::uint8_t* run, std::size_t length) {
            words += holdsLetter(run, length) ? 1 : 0;
        });
    return words;
}

}  // namespace

// Line by line from the waypoint, as the search went, until the word.
std::string_view Occurrences::LineRefOfWord(std::int64_t number) const {
    const std::span<const std::uint8_t> document = Document();
    const auto after = std::upper_bound(
        waypoints_.data(), waypoints_.data() + waypoints_.size(), number,
        [](std::int64_t n, const Waypoint& waypoint) { return n < waypoint.wordsBefore; });
    const Waypoint from = after == waypoints_.data() ? Waypoint{0, 0, kNoLine, 0} : after[-1];
    std::size_t position = from.position;
    std::size_t lineStart = from.lineStart;
    std::uint32_t refLineStart = from.refLineStart;
    std::int64_t words = from.wordsBefore;
    // The word lies before the next waypoint, which is where a line or a
    // piece of a long one begins: the walk never goes past it.
    const std::size_t end =
        after == waypoints_.data() + waypoints_.size() ? document.size() : after->position;
    while (position < end) {
        const void* lineFeed = std::memchr(document.data() + position, '\n', end - position);
        const std::size_t lineEnd =
            lineFeed ? static_cast<std::size_t>(static_cast<const std::uint8_t*>(lineFeed) -
                                                document.data()) +
                           1
                     : end;
        const std::span<const std::uint8_t> line = document.subspan(lineStart, lineEnd - lineStart);
        if (KindOfLine(line) == LineKind::Text) {
            std::span<const std::uint8_t> part = document.subspan(position, lineEnd - position);
            if (position == lineStart) {
                refLineStart =
                    HasLineRef(line) ? static_cast<std::uint32_t>(lineStart) : refLineStart;
                part = ScannedPart(line);
            }
            words += CountWords(part, document.data() + document.size());
            if (words > number) {
                break;
            }
        }
        position = lineStart = lineEnd;
    }
    return RefOfLineAt(refLineStart);
}

std::size_t Occurrences::HeadingOf(std::size_t at) const {
    const auto start = static_cast<std::uint32_t>(StartOf(at));
    return static_cast<std::size_t>(
        std::upper_bound(headings_.data() + 1, headings_.data() + headings_.size(), start,
                         [](std::uint32_t position, const Heading& heading) {
                             return position < heading.lineStart;
                         }) -
        headings_.data() - 1);
}

std::size_t Occurrences::FirstUnder(std::size_t heading) const {
    const std::uint32_t lineStart = headings_[heading].lineStart;
    const auto first = static_cast<std::size_t>(
        std::lower_bound(places_.data(), places_.data() + places_.size(), lineStart,
                         [](const Place& place, std::uint32_t position) {
                             return (place.start & kPositionBits) < position;
                         }) -
        places_.data());
    return first < size() && HeadingOf(first) == heading ? first : size();
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
    AddHeadingCounts();
    made_->headings_.push_back(Heading{0, 0, 0, 0});
}

void Occurrences::Builder::AddHeadingCounts() {
    for (std::size_t word = 0; word < made_->words_.size(); ++word) {
        made_->headingCounts_.push_back(0);
    }
}

void Occurrences::Builder::AddHeading(std::size_t lineStart, std::size_t lineLength,
                                      std::int64_t wordsBefore) {
    Heading& last = made_->headings_.back();
    last.words = static_cast<std::uint32_t>(wordsBefore - last.firstWord);
    made_->headings_.push_back(Heading{static_cast<std::uint32_t>(lineStart),
                                       static_cast<std::uint32_t>(lineLength),
                                       static_cast<std::uint32_t>(wordsBefore), 0});
    AddHeadingCounts();
}

void Occurrences::Builder::AddOccurrence(std::size_t word, std::size_t lineStart, std::size_t start,
                                         std::size_t end, std::int64_t number) {
    const auto line = static_cast<std::uint32_t>(lineStart);
    if (line != lastLine_ && start < lineStart + kLineRefLength) {
        made_->shortLines_.push_back(ShortLine{line, refLine_});
    }
    lastLine_ = line;
    if (FarFromLineStart(start, lineStart) &&
        (made_->lineStarts_.empty() || made_->lineStarts_.back() != line)) {
        made_->lineStarts_.push_back(line);
    }
    const auto w = static_cast<std::uint32_t>(word);
    if (end - start != made_->words_[word].size()) {
        made_->writtenApart_.push_back(WrittenApart{static_cast<std::uint32_t>(made_->size()),
                                                    static_cast<std::uint32_t>(end)});
    }
    made_->places_.push_back(
        Place{static_cast<std::uint32_t>(start) | (w << (31 - kWordLowBits) & kTopBit),
              static_cast<std::uint32_t>(number) | w << (32 - kWordLowBits)});
    ++made_->counts_[word];
    ++made_->headingCounts_[(made_->headings_.size() - 1) * made_->words_.size() + word];
}

void Occurrences::Builder::AddWaypoint(std::size_t position, std::size_t lineStart,
                                       std::int64_t wordsBefore) {
    made_->waypoints_.push_back(Waypoint{static_cast<std::uint32_t>(position),
                                         static_cast<std::uint32_t>(lineStart), refLine_,
                                         static_cast<std::uint32_t>(wordsBefore)});
}

std::shared_ptr<const Occurrences> Occurrences::Builder::Finish(std::int64_t totalWords) && {
    Heading& last = made_->headings_.back();
    last.words = static_cast<std::uint32_t>(totalWords - last.firstWord);
    made_->totalWords_ = totalWords;
    return std::shared_ptr<const Occurrences>(std::move(made_));
}

}  // namespace quorvex
