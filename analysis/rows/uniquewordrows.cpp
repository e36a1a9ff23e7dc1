#include "analysis/rows/uniquewordrows.h"

#include <algorithm>
#include <array>
#include <bit>
#include <limits>
#include <numeric>

#include "analysis/text/codepage.h"

namespace quorvex {

namespace {

constexpr int kLetterBits = 5;

// The spaces before a number of `characters` in a column of `width`.
std::size_t Padding(std::size_t width, std::size_t characters) {
    return width - std::min(width, characters);
}

}  // namespace

UniqueWordRows::UniqueWordRows(std::shared_ptr<const WordTable> words, NumberSeparators separators)
    : words_(std::move(words)), separators_(std::move(separators)) {
    countWidth_ = ColumnWidth(kCountWidth, FormatGrouped(words_->LargestHits(), separators_));
    orderWidth_ = ColumnWidth(kOrderWidth, FormatDigits(words_->UniqueTotal()));
    thousandsBytes_ = Utf8Measure::OfUtf16(separators_.thousands, AsciiSet{}).Bytes();
    thousandsCharacters_ = CharacterCount(separators_.thousands);
}

std::size_t UniqueWordRows::RowCount() const {
    return static_cast<std::size_t>(words_->UniqueTotal());
}

std::u16string UniqueWordRows::Cell(std::size_t row, int column, std::size_t limit) const {
    const StoredWord word = words_->Word(row);
    switch (static_cast<Column>(column)) {
        case Column::Word: {
            std::u16string text;
            AppendWindows1252(text, word.text, limit);
            return text;
        }
        case Column::Count:
            return CutToLimit(FixedWidth(FormatGrouped(word.hits, separators_), countWidth_),
                              limit);
        case Column::FirstOccurs: {
            std::u16string text;
            const std::size_t added =
                AppendWindows1252(text, words_->PlaceHeading(word.place), limit);
            AppendWindows1252(text, words_->PlaceLineRef(word.place), limit - added);
            return text;
        }
        case Column::OriginalOrder:
            return CutToLimit(
                FixedWidth(FormatDigits(static_cast<std::int64_t>(row) + 1), orderWidth_), limit);
    }
    return {};
}

// A part takes the same share of every letter's rows. The rows of one
// letter are in order of first occurrence, like the table's memory, so a
// part's rows of all letters lie close together there, and are read from
// the caches rather than from memory one by one.
//
// A word is letters a to z; a number is digits, with separators between
// them, padded on the left with spaces. Unless the ends' characters include
// letters or digits, those are measured by their sizes alone; else every
// cell is made and measured.
std::uint64_t UniqueWordRows::Utf8SizeBetweenEnds(const std::vector<bool>& selected,
                                                  std::size_t part, std::size_t parts, int columns,
                                                  const AsciiSet& ends) const {
    if (ends.HasAnyOf(u"abcdefghijklmnopqrstuvwxyz0123456789")) {
        return ReportRows::Utf8SizeBetweenEnds(selected, part, parts, columns, ends);
    }
    const std::array<std::size_t, 27>& letterStarts = words_->LetterStarts();
    std::uint64_t bytes = 0;
    for (std::size_t letter = 0; letter + 1 < letterStarts.size(); ++letter) {
        const auto [first, end] =
            PartOfRows(letterStarts[letter], letterStarts[letter + 1], part, parts);
        bytes += StretchUtf8Size(selected, first, end, columns, ends);
    }
    return bytes;
}

// The words of a block of rows are read in a loop of their own, so that the
// reads of many rows are under way at once. Rows of one letter that follow
// each other mostly share a heading, which is measured once for them.
std::uint64_t UniqueWordRows::StretchUtf8Size(const std::vector<bool>& selected, std::size_t first,
                                              std::size_t end, int columns,
                                              const AsciiSet& ends) const {
    constexpr std::size_t kRowsReadAtOnce = 256;
    std::array<StoredWord, kRowsReadAtOnce> words;
    std::array<std::size_t, kRowsReadAtOnce> rows;
    std::uint32_t measuredHeadingId = std::numeric_limits<std::uint32_t>::max();
    Utf8Measure heading;
    const bool paddingIsEnd = ends.Has(u' ');
    std::uint64_t bytes = 0;
    for (std::size_t blockStart = first; blockStart < end;) {
        std::size_t count = 0;
        for (; blockStart < end && count < kRowsReadAtOnce; ++blockStart) {
            if (selected[blockStart]) {
                rows[count] = blockStart;
                words[count++] = words_->Word(blockStart);
            }
        }
        for (std::size_t i = 0; i < count; ++i) {
            const std::uint32_t headingId = words_->PlaceHeadingId(words[i].place);
            if (headingId != measuredHeadingId) {
                heading = Utf8Measure::OfWindows1252(words_->PlaceHeading(words[i].place), ends);
                measuredHeadingId = headingId;
            }
            for (int column = 0; column < std::min(columns, kColumnCount); ++column) {
                bytes += CellUtf8Size(words[i], rows[i], column, heading, ends, paddingIsEnd);
            }
        }
    }
    return bytes;
}

// For ends without letters or digits; `paddingIsEnd` if they hold the space.
std::uint64_t UniqueWordRows::CellUtf8Size(const StoredWord& word, std::size_t row, int column,
                                           const Utf8Measure& heading, const AsciiSet& ends,
                                           bool paddingIsEnd) const {
    switch (static_cast<Column>(column)) {
        case Column::Word:
            return word.text.size();
        case Column::Count: {
            const std::size_t bytes = GroupedSize(word.hits, thousandsBytes_);
            return paddingIsEnd
                       ? bytes
                       : bytes + Padding(countWidth_, GroupedSize(word.hits, thousandsCharacters_));
        }
        case Column::FirstOccurs:
            return (heading + Utf8Measure::OfWindows1252(words_->PlaceLineRef(word.place), ends))
                .BytesBetweenEnds();
        case Column::OriginalOrder: {
            const std::size_t digits = DigitsSize(static_cast<std::int64_t>(row) + 1);
            return paddingIsEnd ? digits : digits + Padding(orderWidth_, digits);
        }
    }
    return 0;
}

// Typed keys give the order of the texts: a Count or Original Order text is
// a number right-aligned in one width for the whole column, so its text
// order is its numeric order; a word is letters a to z, one byte each; a
// first occurrence is ranked among all places by its text.
void UniqueWordRows::SortRows(int column, bool descending,
                              std::vector<std::uint32_t>& order) const {
    SortRows(column, descending, 1, order);
}

void UniqueWordRows::SortRows(int column, bool descending, int rowBits,
                              std::vector<std::uint32_t>& order) const {
    const std::size_t rowCount = RowCount();
    rowBits = std::max(rowBits, static_cast<int>(std::bit_width(rowCount)));
    switch (static_cast<Column>(column)) {
        case Column::Word:
            WordKeys(rowBits, descending).TakeRows(order);
            return;
        case Column::Count: {
            RowKeys keys(rowCount, rowBits, 32, descending);
            words_->VisitAsStored(
                [&keys](std::size_t row, const StoredWord& word) { keys.Set(row, word.hits); });
            keys.Sort();
            keys.TakeRows(order);
            return;
        }
        case Column::FirstOccurs:
            PlaceKeys(rowBits, descending).TakeRows(order);
            return;
        case Column::OriginalOrder:
            order.resize(rowCount);
            std::iota(order.begin(), order.end(), 0u);
            if (descending) {
                std::reverse(order.begin(), order.end());
            }
            return;
    }
    ReportRows::SortRows(column, descending, order);
}

// As many first letters as fit beside the row number, five bits each, the
// first letter highest and 0 after the last: their order is the words'
// order. Words that share all the letters the key holds are put in order by
// their whole text afterwards.
RowKeys UniqueWordRows::WordKeys(int rowBits, bool descending) const {
    const std::size_t letters = static_cast<std::size_t>((64 - rowBits) / kLetterBits);
    const int valueBits = static_cast<int>(letters) * kLetterBits;
    RowKeys keys(RowCount(), rowBits, valueBits, descending);
    words_->VisitAsStored([&](std::size_t row, const StoredWord& word) {
        std::uint64_t value = 0;
        for (std::size_t i = 0; i < letters; ++i) {
            value = (value << kLetterBits) |
                    (i < word.text.size() ? static_cast<std::uint64_t>(word.text[i] - 'a' + 1) : 0);
        }
        keys.Set(row, value);
    });
    keys.Sort();

    const auto wholeWordOrder = [&](std::uint64_t a, std::uint64_t b) {
        const int comparison =
            words_->Word(keys.RowOf(a)).text.compare(words_->Word(keys.RowOf(b)).text);
        return comparison != 0 ? (descending ? comparison > 0 : comparison < 0) : a < b;
    };
    const std::span<std::uint64_t> sorted = keys.Keys();
    for (auto first = sorted.begin(); first != sorted.end();) {
        const auto last = std::find_if(first + 1, sorted.end(), [&](std::uint64_t key) {
            return keys.ValueOf(key) != keys.ValueOf(*first);
        });
        if (last - first > 1) {
            std::sort(first, last, wholeWordOrder);
        }
        first = last;
    }
    return keys;
}

RowKeys UniqueWordRows::PlaceKeys(int rowBits, bool descending) const {
    const std::vector<std::uint32_t> ranks = PlaceRanks();
    const int rankBits = std::max(1, static_cast<int>(std::bit_width(ranks.size())));
    RowKeys keys(RowCount(), rowBits, rankBits, descending);
    words_->VisitAsStored(
        [&](std::size_t row, const StoredWord& word) { keys.Set(row, ranks[word.place]); });
    keys.Sort();
    return keys;
}

// The rank of every place by its text; places with equal texts share one.
// Places that follow each other with the same heading and line reference,
// as lines that all carry one reference make, are ranked as one: only the
// first place of each such run is compared with the others.
std::vector<std::uint32_t> UniqueWordRows::PlaceRanks() const {
    std::vector<std::uint32_t> ranks(words_->PlaceCount());
    std::vector<std::uint32_t> runStarts;
    for (std::uint32_t place = 0; place < ranks.size(); ++place) {
        if (place == 0 || words_->PlaceHeadingId(place - 1) != words_->PlaceHeadingId(place) ||
            words_->PlaceLineRef(place - 1) != words_->PlaceLineRef(place)) {
            runStarts.push_back(place);
        }
        ranks[place] = static_cast<std::uint32_t>(runStarts.size() - 1);
    }
    std::vector<std::uint32_t> runs(runStarts.size());
    std::iota(runs.begin(), runs.end(), 0u);
    std::sort(runs.begin(), runs.end(), [&](std::uint32_t a, std::uint32_t b) {
        return ComparePlaces(runStarts[a], runStarts[b]) < 0;
    });
    std::vector<std::uint32_t> runRanks(runs.size());
    std::uint32_t rank = 0;
    for (std::size_t i = 0; i < runs.size(); ++i) {
        if (i > 0 && ComparePlaces(runStarts[runs[i - 1]], runStarts[runs[i]]) != 0) {
            ++rank;
        }
        runRanks[runs[i]] = rank;
    }
    for (std::uint32_t& placeRank : ranks) {
        placeRank = runRanks[placeRank];
    }
    return ranks;
}

int UniqueWordRows::ComparePlaces(std::uint32_t a, std::uint32_t b) const {
    if (words_->PlaceHeadingId(a) == words_->PlaceHeadingId(b)) {
        return CompareWindows1252(words_->PlaceLineRef(a), {}, words_->PlaceLineRef(b), {});
    }
    return CompareWindows1252(words_->PlaceHeading(a), words_->PlaceLineRef(a),
                              words_->PlaceHeading(b), words_->PlaceLineRef(b));
}

}  // namespace quorvex
