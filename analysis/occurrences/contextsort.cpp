#include "analysis/occurrences/contextsort.h"

#include <algorithm>
#include <array>
#include <numeric>
#include <span>
#include <string_view>
#include <tuple>
#include <utility>

#include "analysis/scan/blockmasks.h"

namespace quorvex {

namespace {

// The side of an occurrence as one string of bytes: its words folded, the
// nearest first, each followed by kWordEnd, and kSideEnd after the last, so
// that comparing two such strings byte by byte compares the sides word by
// word, a side that ends first first. Read 8 bytes at a time as a number.
constexpr std::uint8_t kSideEnd = 0;
constexpr std::uint8_t kWordEnd = 1;
constexpr std::uint32_t kNoRow = ~std::uint32_t{0};

// A row's string reaches the next occurrence on its line (the row before it
// on the Left, after it on the Right) and goes on as that occurrence's own
// string. The part up to that occurrence's word, its kWordEnd included, is
// the row's own part; a row without a next occurrence owns its whole
// string. No own part is the beginning of another, as each ends at its first
// searched word or at kSideEnd, so rows are ordered by own part, and rows of
// equal own parts by the strings of their next occurrences.
class OwnParts {
  public:
    OwnParts(const Occurrences& occurrences, ContextSide side)
        : occurrences_(occurrences), bytes_(occurrences.Document()), side_(side) {}

    // Where the walk of a row's own part stands.
    struct Cursor {
        std::uint32_t position;  // the walk has taken the bytes up to here
        std::uint32_t limit;     // where the scanned part begins, on the Left
        std::uint32_t wordStart;
        std::uint32_t letter;  // the next byte of the word under way
        std::uint32_t wordEnd;
        std::uint32_t stop;  // where the next occurrence's word begins
        enum : std::uint8_t { BetweenWords, InWord, Done } state;
    };

    std::uint32_t NextRow(std::uint32_t row) const {
        const bool left = side_ == ContextSide::Left;
        if (left ? row == 0 : row + 1 >= occurrences_.size()) {
            return kNoRow;
        }
        const std::uint32_t next = left ? row - 1 : row + 1;
        return occurrences_.OnOneLine(std::min(row, next), std::max(row, next)) ? next : kNoRow;
    }

    Cursor Start(std::uint32_t row) const {
        const bool left = side_ == ContextSide::Left;
        const std::uint32_t next = NextRow(row);
        const auto at = [](std::size_t position) { return static_cast<std::uint32_t>(position); };
        return {at(left ? occurrences_.StartOf(row) : occurrences_.EndOf(row)),
                at(left ? occurrences_.ScanStartOf(row) : 0),
                0,
                0,
                0,
                next == kNoRow ? kNoRow : at(occurrences_.StartOf(next)),
                Cursor::BetweenWords};
    }

    // The next eight bytes of the own part, zeros after its end.
    std::uint64_t NextKey(Cursor& cursor) const {
        std::uint64_t key = 0;
        for (int i = 0; i < 8; ++i) {
            key = key << 8 | NextByte(cursor);
        }
        return key;
    }

  private:
    std::uint8_t NextByte(Cursor& cursor) const {
        if (cursor.state == Cursor::BetweenWords) {
            if (!FindWord(cursor)) {
                cursor.state = Cursor::Done;
                return kSideEnd;
            }
            cursor.state = Cursor::InWord;
        }
        if (cursor.state == Cursor::Done) {
            return kSideEnd;
        }
        while (cursor.letter != cursor.wordEnd) {
            const std::uint8_t byte = bytes_[cursor.letter++];
            if (byte != kDeleted) {
                return byte | kCaseBit;
            }
        }
        const bool atNextRow = cursor.stop >= cursor.wordStart && cursor.stop < cursor.wordEnd;
        cursor.state = atNextRow ? Cursor::Done : Cursor::BetweenWords;
        return kWordEnd;
    }

    bool IsWordByte(std::size_t at) const { return kWordRule[bytes_[at]] != kSeparator; }

    // The next run of word bytes that holds a letter; false when the side
    // has no more. On the Right the side ends at the line feed.
    bool FindWord(Cursor& cursor) const {
        const bool left = side_ == ContextSide::Left;
        for (;;) {
            if (left) {
                while (cursor.position > cursor.limit && !IsWordByte(cursor.position - 1)) {
                    --cursor.position;
                }
                if (cursor.position == cursor.limit) {
                    return false;
                }
                cursor.wordEnd = cursor.position;
                while (cursor.position > cursor.limit && IsWordByte(cursor.position - 1)) {
                    --cursor.position;
                }
                cursor.wordStart = cursor.position;
            } else {
                while (cursor.position < bytes_.size() && !IsWordByte(cursor.position)) {
                    if (bytes_[cursor.position] == '\n') {
                        return false;
                    }
                    ++cursor.position;
                }
                if (cursor.position == bytes_.size()) {
                    return false;
                }
                cursor.wordStart = cursor.position;
                while (cursor.position < bytes_.size() && IsWordByte(cursor.position)) {
                    ++cursor.position;
                }
                cursor.wordEnd = cursor.position;
            }
            cursor.letter = cursor.wordStart;
            const auto run = bytes_.subspan(cursor.wordStart, cursor.wordEnd - cursor.wordStart);
            if (std::any_of(run.begin(), run.end(), [](std::uint8_t b) { return b != kDeleted; })) {
                return true;
            }
        }
    }

    const Occurrences& occurrences_;
    std::span<const std::uint8_t> bytes_;
    ContextSide side_;
};

struct Walked {
    std::uint64_t key;
    std::uint32_t row;
    OwnParts::Cursor cursor;
};

// Rows in sorted order and where each group of equal rows begins.
struct Groups {
    std::vector<std::uint32_t>& order;
    std::vector<bool> starts;
};

// The rows order[b, e), whose own parts agree in their first eight bytes,
// in the order of their whole own parts, 8 bytes further at a time.
void SortEqualStarts(const OwnParts& parts, std::size_t b, std::size_t e, Groups& groups) {
    std::vector<Walked> walked;
    walked.reserve(e - b);
    for (std::size_t i = b; i < e; ++i) {
        const std::uint32_t row = groups.order[i];
        OwnParts::Cursor cursor = parts.Start(row);
        parts.NextKey(cursor);
        walked.push_back({0, row, cursor});
    }
    std::vector<std::pair<std::size_t, std::size_t>> pending = {{0, walked.size()}};
    while (!pending.empty()) {
        const auto [from, to] = pending.back();
        pending.pop_back();
        for (std::size_t i = from; i < to; ++i) {
            walked[i].key = parts.NextKey(walked[i].cursor);
        }
        std::sort(walked.begin() + static_cast<std::ptrdiff_t>(from),
                  walked.begin() + static_cast<std::ptrdiff_t>(to),
                  [](const Walked& x, const Walked& y) {
                      return x.key != y.key ? x.key < y.key : x.row < y.row;
                  });
        for (std::size_t i = from, j = from; i < to; i = j) {
            while (j < to && walked[j].key == walked[i].key) {
                ++j;
            }
            if (j - i > 1 && walked[i].cursor.state != OwnParts::Cursor::Done) {
                pending.emplace_back(i, j);
            } else {
                groups.starts[b + i] = true;
            }
        }
    }
    for (std::size_t i = 0; i < walked.size(); ++i) {
        groups.order[b + i] = walked[i].row;
    }
}

// Rows of equal keys go in row order, which they mostly keep already.
void PutInRowOrder(std::span<std::uint32_t> rows) {
    if (!std::is_sorted(rows.begin(), rows.end())) {
        std::sort(rows.begin(), rows.end());
    }
}

// Sorts `rows` by their keys, keys[i] being that of rows[i], of which the
// bytes from `shift` down are all that may differ, in place, keys moving
// with their rows: into one bucket per byte value, each sorted further. A
// zero byte is kSideEnd, after which a key holds only zeros, so the rows of
// its bucket are equal.
void SortByKeyBytes(std::span<std::uint32_t> rows, std::span<std::uint64_t> keys, int shift) {
    constexpr std::size_t kFewRows = 64;
    if (rows.size() < kFewRows) {
        std::array<std::pair<std::uint64_t, std::uint32_t>, kFewRows> few;
        for (std::size_t i = 0; i < rows.size(); ++i) {
            few[i] = {keys[i], rows[i]};
        }
        std::sort(few.begin(), few.begin() + static_cast<std::ptrdiff_t>(rows.size()));
        for (std::size_t i = 0; i < rows.size(); ++i) {
            std::tie(keys[i], rows[i]) = few[i];
        }
        return;
    }
    const auto byte = [shift](std::uint64_t key) { return key >> shift & 0xFF; };
    std::array<std::size_t, 256> ends{};
    for (const std::uint64_t key : keys) {
        ++ends[byte(key)];
    }
    std::array<std::size_t, 256> heads{};
    for (std::size_t value = 0, at = 0; value < 256; ++value) {
        heads[value] = at;
        at += ends[value];
        ends[value] = at;
    }
    const std::array<std::size_t, 256> starts = heads;
    for (std::size_t value = 0; value < 256; ++value) {
        while (heads[value] < ends[value]) {
            std::uint64_t key = keys[heads[value]];
            std::uint32_t row = rows[heads[value]];
            for (std::size_t other = byte(key); other != value; other = byte(key)) {
                std::swap(key, keys[heads[other]]);
                std::swap(row, rows[heads[other]++]);
            }
            keys[heads[value]] = key;
            rows[heads[value]++] = row;
        }
    }
    for (std::size_t value = 0; value < 256; ++value) {
        const std::size_t size = ends[value] - starts[value];
        if (size > 1) {
            const std::span<std::uint32_t> bucket = rows.subspan(starts[value], size);
            if (value == kSideEnd || shift == 0) {
                PutInRowOrder(bucket);
            } else {
                SortByKeyBytes(bucket, keys.subspan(starts[value], size), shift - 8);
            }
        }
    }
}

// Every row in the order of its own part; groups of rows with equal own
// parts. The first eight bytes of each are sorted beside the order, not
// with it: 8 bytes a row, not 12.
void SortByOwnParts(const OwnParts& parts, std::size_t rows, Groups& groups) {
    std::vector<std::uint64_t> keys(rows);
    for (std::uint32_t row = 0; row < rows; ++row) {
        OwnParts::Cursor cursor = parts.Start(row);
        keys[row] = parts.NextKey(cursor);
    }
    std::iota(groups.order.begin(), groups.order.end(), 0u);
    SortByKeyBytes(groups.order, keys, 56);
    for (std::size_t i = 0, j = 0; i < rows; i = j) {
        while (j < rows && keys[j] == keys[i]) {
            ++j;
        }
        groups.starts[i] = true;
        // kSideEnd, 0, is found only at the end of an own part and after it
        if (j - i > 1 && (keys[i] & 0xFF) != kSideEnd) {
            SortEqualStarts(parts, i, j, groups);
        }
    }
}

using Range = std::pair<std::size_t, std::size_t>;

// What sorting a group needs beyond the rows, kept from one group to the
// next.
struct GroupSortSpace {
    std::vector<std::uint64_t> keys;
    std::vector<std::uint32_t> rows;
    std::vector<std::uint32_t> counts;
};

// Sorts order[b, e), which is in row order, by `key(row)`, keeping row order
// among equal keys. A group whose keys rise or fall already is left or
// turned round. Else a small group is sorted with its keys beside its rows;
// a large one, as a document made to repeat itself has, and sorts again
// every round, 16 bits of the key at a time from the lowest, skipping a
// digit in which all agree, the key read again in each pass: 4 bytes a row
// beside the order, not 16.
template <typename Key>
void SortGroup(std::size_t b, std::size_t e, const Key& key, std::vector<std::uint32_t>& order,
               GroupSortSpace& space) {
    constexpr std::size_t kRadixSortFrom = 1 << 16;
    constexpr int kDigitBits = 16;
    constexpr std::uint32_t kDigitMask = (1u << kDigitBits) - 1;
    const auto first = order.begin() + static_cast<std::ptrdiff_t>(b);
    const auto last = order.begin() + static_cast<std::ptrdiff_t>(e);
    // The runs of a line of one word repeated rise or fall with the row.
    bool rising = true;
    bool falling = true;
    for (auto row = first + 1; row != last && (rising || falling); ++row) {
        const std::uint32_t previous = key(*(row - 1));
        const std::uint32_t k = key(*row);
        rising = rising && previous <= k;
        falling = falling && previous > k;
    }
    if (rising || falling) {
        if (falling) {
            std::reverse(first, last);
        }
        return;
    }
    if (e - b < kRadixSortFrom) {
        space.keys.clear();
        for (auto row = first; row != last; ++row) {
            space.keys.push_back(std::uint64_t{key(*row)} << 32 | *row);
        }
        std::sort(space.keys.begin(), space.keys.end());
        std::transform(space.keys.begin(), space.keys.end(), first,
                       [](std::uint64_t k) { return static_cast<std::uint32_t>(k); });
        return;
    }
    space.rows.resize(e - b);
    space.counts.resize(std::size_t{1} << kDigitBits);
    for (int shift = 0; shift < 32; shift += kDigitBits) {
        std::fill(space.counts.begin(), space.counts.end(), 0);
        for (auto row = first; row != last; ++row) {
            ++space.counts[key(*row) >> shift & kDigitMask];
        }
        if (space.counts[key(*first) >> shift & kDigitMask] == e - b) {
            continue;
        }
        std::uint32_t at = 0;
        for (std::uint32_t& count : space.counts) {
            at += std::exchange(count, at);
        }
        for (auto row = first; row != last; ++row) {
            space.rows[space.counts[key(*row) >> shift & kDigitMask]++] = *row;
        }
        std::copy(space.rows.begin(), space.rows.end(), first);
    }
}

// The high bit of an entry of `further` (below) tells that the line ends
// before a further row.
constexpr std::uint32_t kPastLine = 0x80000000u;
static_assert((kNoRow & kPastLine) != 0);

bool HasFurther(std::uint32_t further) {
    return (further & kPastLine) == 0;
}

// Sorts order[b, e), which is in row order, by `key(row)` and starts a group
// at every change of it; each group of more than one row whose strings go on
// goes into `open`. Every row's rank becomes the start of its group: finer
// than before, and in the same order, so ranks read during a round are never
// wrong, only sometimes coarser. They change only once the group is sorted,
// as a key may read the rank of a row of the group itself.
template <typename Key>
void SplitGroup(std::size_t b, std::size_t e, const Key& key, Groups& groups,
                std::vector<std::uint32_t>& rank, const std::vector<std::uint32_t>& further,
                GroupSortSpace& space, std::vector<Range>& open) {
    SortGroup(b, e, key, groups.order, space);
    std::uint32_t previous = key(groups.order[b]);
    for (std::size_t i = b + 1; i < e; ++i) {
        const std::uint32_t k = key(groups.order[i]);
        groups.starts[i] = k != previous;
        previous = k;
    }
    bool goesOn = false;
    for (std::size_t i = b, groupStart = b; i < e; ++i) {
        const std::uint32_t row = groups.order[i];
        if (i == b || groups.starts[i]) {
            groupStart = i;
            goesOn = false;
        }
        rank[row] = static_cast<std::uint32_t>(groupStart);
        goesOn = goesOn || HasFurther(further[row]);
        if ((i + 1 == e || groups.starts[i + 1]) && i > groupStart && goesOn) {
            open.emplace_back(groupStart, i + 1);
        }
    }
}

// Groups of equal own parts ordered further by what follows them: a row's
// string is its own part, that part again as often as the next occurrences
// on its line repeat it, then the string of the first next occurrence with
// another own part, its further row. A row whose further row's own part
// comes before the repeated one comes before every row that repeats it more
// often, one whose further row's part comes after it after them; rows that
// agree in both are ordered by the strings of their further rows: by their
// ranks, then, doubling the reach each round, by the ranks of the further
// rows' further rows, and so on, until every group is of equal strings. So
// a line of one word repeated is ordered at once, and no line takes more
// rounds than the logarithm of its occurrences.
//
// Besides the order, 8 bytes a row: a rank and a further row each, and what
// the largest group being sorted takes.
void SortByNextRows(const OwnParts& parts, std::size_t rows, ContextSide side, Groups& groups) {
    std::vector<Range> groupsOfEqualParts;
    for (std::size_t i = 0, j = 0; i < rows; i = j) {
        j = i + 1;
        while (j < rows && !groups.starts[j]) {
            ++j;
        }
        if (j - i > 1 && parts.NextRow(groups.order[i]) != kNoRow) {
            groupsOfEqualParts.emplace_back(i, j);
        }
    }
    if (groupsOfEqualParts.empty()) {
        return;
    }
    std::vector<std::uint32_t> rank(rows);
    for (std::size_t i = 0, groupStart = 0; i < rows; ++i) {
        groupStart = groups.starts[i] ? i : groupStart;
        rank[groups.order[i]] = static_cast<std::uint32_t>(groupStart);
    }
    // How far each row's own part repeats: the last row of the run of next
    // occurrences with the same own part, kPastLine added when the line ends
    // there; every row after the next occurrence it depends on. The further
    // row follows the last one, and the run's length is the repeats.
    std::vector<std::uint32_t> further(rows);
    const bool left = side == ContextSide::Left;
    for (std::size_t k = 0; k < rows; ++k) {
        const auto row = static_cast<std::uint32_t>(left ? k : rows - 1 - k);
        const std::uint32_t next = parts.NextRow(row);
        const bool repeated = next != kNoRow && rank[next] == rank[row];
        further[row] = repeated ? further[next] : row | (next == kNoRow ? kPastLine : 0);
    }
    const auto lastOfRun = [&](std::uint32_t row) { return further[row] & ~kPastLine; };
    const auto afterLast = [&](std::uint32_t row) {
        return HasFurther(further[row]) ? (left ? lastOfRun(row) - 1 : lastOfRun(row) + 1) : kNoRow;
    };
    GroupSortSpace space;
    std::vector<Range> open;
    for (const auto& [b, e] : groupsOfEqualParts) {
        SplitGroup(
            b, e,
            [&](std::uint32_t row) {
                const std::uint32_t repeats =
                    (left ? row - lastOfRun(row) : lastOfRun(row) - row) + 1;
                const std::uint32_t next = afterLast(row);
                const bool before = next == kNoRow || rank[next] < rank[row];
                return before ? repeats : kPastLine | (0x7FFFFFFFu - repeats);
            },
            groups, rank, further, space, open);
    }
    for (std::uint32_t row = 0; row < rows; ++row) {
        further[row] = afterLast(row);
    }
    while (!open.empty()) {
        std::vector<Range> stillOpen;
        for (const auto& [b, e] : open) {
            SplitGroup(
                b, e,
                [&](std::uint32_t row) {
                    return further[row] == kNoRow ? 0 : rank[further[row]] + 1;
                },
                groups, rank, further, space, stillOpen);
        }
        // Each row's further row twice as far: a row before the rows it
        // reaches, so that each reads their reach of this round.
        for (std::size_t k = 0; k < rows; ++k) {
            const auto row = static_cast<std::uint32_t>(left ? rows - 1 - k : k);
            further[row] = further[row] == kNoRow ? kNoRow : further[further[row]];
        }
        open.clear();
        for (const auto& [b, e] : stillOpen) {
            if (std::any_of(groups.order.begin() + static_cast<std::ptrdiff_t>(b),
                            groups.order.begin() + static_cast<std::ptrdiff_t>(e),
                            [&](std::uint32_t row) { return further[row] != kNoRow; })) {
                open.emplace_back(b, e);
            }
        }
    }
}

// Groups of equal rows in reverse order, each still in document order: the
// whole order reversed, then each group back, in place.
void ReverseGroups(Groups& groups) {
    std::vector<std::uint32_t>& order = groups.order;
    const std::size_t rows = order.size();
    std::reverse(order.begin(), order.end());
    for (std::size_t end = rows; end > 0;) {
        std::size_t start = end - 1;
        while (!groups.starts[start]) {
            --start;
        }
        std::reverse(order.begin() + static_cast<std::ptrdiff_t>(rows - end),
                     order.begin() + static_cast<std::ptrdiff_t>(rows - start));
        end = start;
    }
}

template <typename Compare>
void StableOrder(std::size_t rows, bool descending, std::vector<std::uint32_t>& order,
                 const Compare& compare) {
    order.resize(rows);
    std::iota(order.begin(), order.end(), 0u);
    std::stable_sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) {
        return descending ? compare(b, a) < 0 : compare(a, b) < 0;
    });
}

}  // namespace

void SortByContext(const Occurrences& occurrences, ContextSide side, bool descending,
                   std::vector<std::uint32_t>& order) {
    const std::size_t rows = occurrences.size();
    const OwnParts parts(occurrences, side);
    order.resize(rows);
    Groups groups{order, std::vector<bool>(rows)};
    SortByOwnParts(parts, rows, groups);
    SortByNextRows(parts, rows, side, groups);
    if (descending) {
        ReverseGroups(groups);
    }
}

void SortByWrittenWord(const Occurrences& occurrences, bool descending,
                       std::vector<std::uint32_t>& order) {
    const std::vector<std::string>& words = occurrences.Words();
    StableOrder(occurrences.size(), descending, order, [&](std::size_t a, std::size_t b) {
        if (const int c = words[occurrences.WordOf(a)].compare(words[occurrences.WordOf(b)]);
            c != 0) {
            return c;
        }
        return occurrences.WrittenWord(a).compare(occurrences.WrittenWord(b));
    });
}

}  // namespace quorvex
