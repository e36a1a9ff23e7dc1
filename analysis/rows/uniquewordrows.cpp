#include "analysis/rows/uniquewordrows.h"

#include <algorithm>
#include <array>
#include <bit>
#include <limits>
#include <numeric>
#include <string_view>
#include <vector>

#include "analysis/text/codepage.h"

namespace quorvex {

namespace {

constexpr int kLetterBits = 5;

// `letters` letters of `text` from `from` on, five bits each, the first
// highest, and 0 for each letter past its end.
std::uint64_t LettersKey(std::string_view text, std::size_t from, std::size_t letters) {
    const std::size_t inText = std::min(letters, text.size() - std::min(from, text.size()));
    std::uint64_t value = 0;
    for (std::size_t i = from; i < from + inText; ++i) {
        value = (value << kLetterBits) | static_cast<std::uint64_t>(text[i] - 'a' + 1);
    }
    return value << (kLetterBits * (letters - inText));
}

// How many of the first `most` letters of `a` `b` begins with as well.
std::size_t CommonLetters(std::string_view a, std::string_view b, std::size_t most) {
    const auto end = a.begin() + static_cast<std::ptrdiff_t>(std::min(most, a.size()));
    return static_cast<std::size_t>(std::mismatch(a.begin(), end, b.begin(), b.end()).first -
                                    a.begin());
}

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
// the letters that follow, a key's worth at a time.
RowKeys UniqueWordRows::WordKeys(int rowBits, bool descending) const {
    const std::size_t letters = static_cast<std::size_t>((64 - rowBits) / kLetterBits);
    const int valueBits = static_cast<int>(letters) * kLetterBits;
    // Letters that all words but a few have tell none of those apart: keys
    // that would hold nothing else begin after them. A word that does not
    // have them all lies wholly below the others, as it ends within them or
    // by its first letter that differs, or wholly above them: its key is 0,
    // or all ones, which no letters make, until those few are put in order.
    const std::string_view shared = LettersSharedByMost(letters);
    const std::size_t from = shared.size();
    const std::uint64_t allOnes = (std::uint64_t{1} << valueBits) - 1;
    RowKeys keys(RowCount(), rowBits, valueBits, descending);
    std::size_t below = 0;
    std::size_t above = 0;
    words_->VisitAsStored([&](std::size_t row, const StoredWord& word) {
        if (from == 0 || (word.text.size() > from && word.text.starts_with(shared))) {
            keys.Set(row, LettersKey(word.text, from, letters));
            return;
        }
        const std::size_t common = CommonLetters(word.text, shared, from);
        const bool isBelow = common == word.text.size() || word.text[common] < shared[common];
        keys.Set(row, isBelow ? 0 : allOnes);
        ++(isBelow ? below : above);
    });
    keys.Sort();
    const std::size_t count = RowCount();
    const std::size_t lowFirst = descending ? count - below : 0;
    const std::size_t highFirst = descending ? 0 : count - above;
    SortApart(keys, lowFirst, lowFirst + below, 0);
    SortApart(keys, highFirst, highFirst + above, allOnes - above);
    SortEqualKeysOn(keys, letters, from);
    return keys;
}

// The words of these keys, few, are put in order by comparing them; each key
// takes its word's rank from `lowest` on, which keeps it apart from every
// other word's key.
void UniqueWordRows::SortApart(RowKeys& keys, std::size_t first, std::size_t end,
                               std::uint64_t lowest) const {
    const std::span<std::uint64_t> apart = keys.Keys().subspan(first, end - first);
    const auto word = [&](std::uint64_t key) { return WordOf(keys.RowOf(key)); };
    std::sort(apart.begin(), apart.end(),
              [&](std::uint64_t a, std::uint64_t b) { return word(a) < word(b); });
    for (std::size_t rank = 0; rank < apart.size(); ++rank) {
        keys.Revalue(first + rank, lowest + rank);
    }
    keys.Sort(first, end);
}

// Each stretch of keys with equal values, whose words share every letter
// before the letters its keys hold, is keyed anew by the letters that
// follow, sorted, and its own stretches of equal keys then the same way,
// until no two keys are equal: a document can make the sort read more
// letters, never compare words. The rows of a stretch lie all over the
// table, so reading its words one by one misses the caches at every word.
// Where large stretches hold many of the rows, all of them are keyed in one
// pass over the table in its own order instead, a level at a time; smaller
// ones, and large ones that hold few rows in all, read their words.
void UniqueWordRows::SortEqualKeysOn(RowKeys& keys, std::size_t letters, std::size_t from) const {
    // The pass marks each row with its stretch in 16 bits, so there are
    // never as many stretches as that in one pass.
    constexpr std::size_t kLeastKeyedInPass = 64;
    constexpr std::size_t kShareOfRowsForPass = 8;
    const std::size_t rows = RowCount();
    std::size_t large = std::max(kLeastKeyedInPass, rows / 0xffff + 1);
    std::vector<KeyStretch> level{{0, rows, from + letters}};
    while (!level.empty()) {
        std::vector<KeyStretch> largeStretches;
        for (const KeyStretch& within : level) {
            SortEqualKeysWithin(keys, letters, within, large, largeStretches);
        }
        std::size_t largeRows = 0;
        for (const KeyStretch& stretch : largeStretches) {
            largeRows += stretch.end - stretch.next;
        }
        if (largeRows * kShareOfRowsForPass >= rows) {
            level = KeyInTableOrder(keys, letters, largeStretches);
        } else {
            level = std::move(largeStretches);
            large = rows + 1;
        }
    }
}

// Every stretch of equal keys within `within`, and theirs in turn, read
// word by word; but those of at least `setAsideFrom` keys directly within
// it are only added to `setAside`. Every step tells at least two of a
// stretch's words apart, as it skips the letters all of them share.
void UniqueWordRows::SortEqualKeysWithin(RowKeys& keys, std::size_t letters, KeyStretch within,
                                         std::size_t setAsideFrom,
                                         std::vector<KeyStretch>& setAside) const {
    const std::span<std::uint64_t> sorted = keys.Keys();
    std::vector<KeyStretch> open{within};
    while (!open.empty()) {
        KeyStretch& stretch = open.back();
        const std::size_t first = stretch.next;
        if (first == stretch.end) {
            open.pop_back();
            continue;
        }
        const std::uint64_t value = keys.ValueOf(sorted[first]);
        std::size_t end = first + 1;
        while (end < stretch.end && keys.ValueOf(sorted[end]) == value) {
            ++end;
        }
        stretch.next = end;
        if (end - first == 1) {
            continue;
        }
        if (open.size() == 1 && end - first >= setAsideFrom) {
            setAside.push_back({first, end, stretch.shared});
            continue;
        }
        const std::span<const std::uint64_t> equalKeys = sorted.subspan(first, end - first);
        const std::size_t next = stretch.shared + SharedLetters(keys, equalKeys, stretch.shared);
        VisitWords(keys, equalKeys, next, [&](std::size_t at, std::string_view word) {
            keys.Revalue(first + at, LettersKey(word, next, letters));
            return true;
        });
        keys.Sort(first, end);
        open.push_back({first, end, next + letters});
    }
}

// Keys each stretch of equal keys anew by the letters after those its
// words share, in one pass over the table: each row is marked with its
// stretch, and its new key takes the stretch's next free place, as the
// order within a stretch is the sort's to make. The letters all words of a
// stretch share after those are counted on the way: when they fill the new
// keys, the keys after these begin after them.
std::vector<UniqueWordRows::KeyStretch> UniqueWordRows::KeyInTableOrder(
    RowKeys& keys, std::size_t letters, const std::vector<KeyStretch>& stretches) const {
    constexpr std::uint16_t kInNoStretch = 0xffff;
    struct Keying {
        std::size_t free;
        std::string_view head;  // the letters after the shared ones of its first word met
        std::size_t common;     // how many of those every word met so far has
    };
    std::vector<Keying> keying(stretches.size());
    {
        std::vector<std::uint16_t> stretchOf(RowCount(), kInNoStretch);
        const std::span<const std::uint64_t> sorted = keys.Keys();
        for (std::size_t s = 0; s < stretches.size(); ++s) {
            for (std::size_t at = stretches[s].next; at < stretches[s].end; ++at) {
                stretchOf[keys.RowOf(sorted[at])] = static_cast<std::uint16_t>(s);
            }
            keying[s].free = stretches[s].next;
        }
        words_->VisitAsStored([&](std::size_t row, const StoredWord& word) {
            const std::uint16_t s = stretchOf[row];
            if (s == kInNoStretch) {
                return;
            }
            Keying& stretch = keying[s];
            const std::size_t shared = stretches[s].shared;
            const std::string_view after = word.text.substr(shared);
            if (stretch.free == stretches[s].next) {
                stretch.head = after;
                stretch.common = after.size();
            } else if (stretch.common > 0) {
                stretch.common = CommonLetters(stretch.head, after, stretch.common);
            }
            keys.Put(stretch.free++, row, LettersKey(word.text, shared, letters));
        });
    }
    std::vector<KeyStretch> keyed;
    for (std::size_t s = 0; s < stretches.size(); ++s) {
        keys.Sort(stretches[s].next, stretches[s].end);
        keyed.push_back({stretches[s].next, stretches[s].end,
                         stretches[s].shared + std::max(letters, keying[s].common)});
    }
    return keyed;
}

// The most letters, at least `least`, that every word but a few begins
// with and has more letters than, or none: read row by row, in the table's
// order, and most often only until a few words part from the first. Each
// word is held to the longest word so far, which takes the place of any it
// begins with all of: a word that parted from one of those parts from it.
std::string_view UniqueWordRows::LettersSharedByMost(std::size_t least) const {
    const std::size_t mostApart = std::max<std::size_t>(64, RowCount() / 4096);
    std::string_view head;
    std::vector<std::size_t> kept(1);  // how many words have how many letters before they part
    std::size_t partedEarly = 0;
    for (std::size_t row = 0; row < RowCount() && partedEarly <= mostApart; ++row) {
        const std::string_view word = words_->Word(row).text;
        std::size_t common = CommonLetters(head, word, head.size());
        if (common == head.size() && word.size() > head.size()) {
            head = word;
            common = word.size();
            kept.resize(head.size() + 1);
        }
        const std::size_t keeps = std::min(common, word.size() - 1);
        ++kept[keeps];
        partedEarly += keeps < least;
    }
    std::size_t shared = 0;
    for (std::size_t letters = 0, parted = 0; letters < kept.size() && parted <= mostApart;
         parted += kept[letters++]) {
        shared = letters;
    }
    return shared >= least && partedEarly <= mostApart ? head.substr(0, shared)
                                                       : std::string_view{};
}

// How many letters from `from` on every word of the stretch has, the same.
// All of them have at least `from` letters: two words that end within the
// letters their equal keys hold are the same word.
std::size_t UniqueWordRows::SharedLetters(const RowKeys& keys,
                                          std::span<const std::uint64_t> stretch,
                                          std::size_t from) const {
    const std::string_view head = words_->Word(keys.RowOf(stretch.front())).text.substr(from);
    std::size_t shared = head.size();
    VisitWords(keys, stretch.subspan(1), from, [&](std::size_t, std::string_view word) {
        shared = CommonLetters(head, word.substr(from), shared);
        return shared > 0;
    });
    return shared;
}

// Calls visit(i, word) with the word of the i-th key of `stretch` while it
// returns true; the letters from `from` on are what it reads. The words of a
// block of keys are found in a loop of their own, and those letters fetched,
// so that the reads of many are under way at once: the rows of a stretch of
// equal keys may lie anywhere in the table.
template <typename Visit>
void UniqueWordRows::VisitWords(const RowKeys& keys, std::span<const std::uint64_t> stretch,
                                std::size_t from, const Visit& visit) const {
    constexpr std::size_t kWordsReadAtOnce = 64;
    std::array<std::string_view, kWordsReadAtOnce> words;
    for (std::size_t blockStart = 0; blockStart < stretch.size(); blockStart += kWordsReadAtOnce) {
        const std::size_t count = std::min(kWordsReadAtOnce, stretch.size() - blockStart);
        for (std::size_t i = 0; i < count; ++i) {
            words[i] = words_->Word(keys.RowOf(stretch[blockStart + i])).text;
            __builtin_prefetch(words[i].data() + std::min(from, words[i].size()));
        }
        for (std::size_t i = 0; i < count; ++i) {
            if (!visit(blockStart + i, words[i])) {
                return;
            }
        }
    }
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
