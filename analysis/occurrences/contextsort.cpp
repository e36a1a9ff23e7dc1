#include "analysis/occurrences/contextsort.h"

#include <algorithm>
#include <numeric>
#include <string_view>

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

// Twelve bytes, not sixteen, for every row of the sort.
struct [[gnu::packed]] Keyed {
    std::uint64_t key;
    std::uint32_t row;
    bool operator<(const Keyed& other) const {
        return key != other.key ? key < other.key : row < other.row;
    }
};
static_assert(sizeof(Keyed) == 12);

struct Walked {
    Keyed keyed;
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
        walked.push_back({{0, row}, cursor});
    }
    std::vector<std::pair<std::size_t, std::size_t>> pending = {{0, walked.size()}};
    while (!pending.empty()) {
        const auto [from, to] = pending.back();
        pending.pop_back();
        for (std::size_t i = from; i < to; ++i) {
            walked[i].keyed.key = parts.NextKey(walked[i].cursor);
        }
        std::sort(walked.begin() + static_cast<std::ptrdiff_t>(from),
                  walked.begin() + static_cast<std::ptrdiff_t>(to),
                  [](const Walked& x, const Walked& y) { return x.keyed < y.keyed; });
        for (std::size_t i = from, j = from; i < to; i = j) {
            while (j < to && walked[j].keyed.key == walked[i].keyed.key) {
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
        groups.order[b + i] = walked[i].keyed.row;
    }
}

// Every row in the order of its own part; groups of rows with equal own
// parts.
void SortByOwnParts(const OwnParts& parts, std::size_t rows, Groups& groups) {
    std::vector<Keyed> keyed(rows);
    for (std::uint32_t row = 0; row < rows; ++row) {
        OwnParts::Cursor cursor = parts.Start(row);
        keyed[row] = {parts.NextKey(cursor), row};
    }
    std::sort(keyed.begin(), keyed.end());
    for (std::size_t i = 0; i < rows; ++i) {
        groups.order[i] = keyed[i].row;
    }
    for (std::size_t i = 0, j = 0; i < rows; i = j) {
        while (j < rows && keyed[j].key == keyed[i].key) {
            ++j;
        }
        groups.starts[i] = true;
        // kSideEnd, 0, is found only at the end of an own part and after it
        if (j - i > 1 && (keyed[i].key & 0xFF) != kSideEnd) {
            SortEqualStarts(parts, i, j, groups);
        }
    }
}

using Range = std::pair<std::size_t, std::size_t>;

// Sorts order[b, e) by `key(row)`, a number whose low 32 bits are the row,
// and starts a group at every change of its high bits; each group of more
// than one row whose strings go on goes into `open`. Every row's rank
// becomes the start of its group: finer than before, and in the same order,
// so ranks read during a round are never wrong, only sometimes coarser.
template <typename Key>
void SplitGroup(std::size_t b, std::size_t e, const Key& key, Groups& groups,
                std::vector<std::uint32_t>& rank, const std::vector<std::uint32_t>& jump,
                std::vector<std::uint64_t>& keys, std::vector<Range>& open) {
    keys.clear();
    for (std::size_t i = b; i < e; ++i) {
        keys.push_back(key(groups.order[i]));
    }
    std::sort(keys.begin(), keys.end());
    bool goesOn = false;
    for (std::size_t i = b, groupStart = b; i < e; ++i) {
        const std::uint64_t k = keys[i - b];
        groups.order[i] = static_cast<std::uint32_t>(k);
        if (i == b || k >> 32 != keys[i - b - 1] >> 32) {
            groupStart = i;
            groups.starts[i] = true;
            goesOn = false;
        }
        rank[groups.order[i]] = static_cast<std::uint32_t>(groupStart);
        goesOn = goesOn || jump[groups.order[i]] != kNoRow;
        if ((i + 1 == e || keys[i + 1 - b] >> 32 != k >> 32) && i > groupStart && goesOn) {
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
    // The further rows, and how often each row's own part repeats: every
    // row after the next occurrence it depends on.
    std::vector<std::uint32_t> jump(rows);
    std::vector<std::uint32_t> repeats(rows);
    const bool left = side == ContextSide::Left;
    for (std::size_t k = 0; k < rows; ++k) {
        const auto row = static_cast<std::uint32_t>(left ? k : rows - 1 - k);
        const std::uint32_t next = parts.NextRow(row);
        const bool repeated = next != kNoRow && rank[next] == rank[row];
        jump[row] = repeated ? jump[next] : next;
        repeats[row] = repeated ? repeats[next] + 1 : 1;
    }
    std::vector<std::uint64_t> keys;
    std::vector<Range> open;
    for (const auto& [b, e] : groupsOfEqualParts) {
        SplitGroup(
            b, e,
            [&](std::uint32_t row) {
                const bool before = jump[row] == kNoRow || rank[jump[row]] < rank[row];
                const std::uint64_t order = before ? repeats[row] : 0x7FFFFFFFu - repeats[row];
                return (std::uint64_t{!before} << 63) | order << 32 | row;
            },
            groups, rank, jump, keys, open);
    }
    repeats = std::vector<std::uint32_t>();
    while (!open.empty()) {
        std::vector<Range> stillOpen;
        for (const auto& [b, e] : open) {
            SplitGroup(
                b, e,
                [&](std::uint32_t row) {
                    const std::uint64_t further = jump[row] == kNoRow ? 0 : rank[jump[row]] + 1ull;
                    return further << 32 | row;
                },
                groups, rank, jump, keys, stillOpen);
        }
        // Each row's further row twice as far: a row before the rows it
        // reaches, so that each reads their reach of this round.
        for (std::size_t k = 0; k < rows; ++k) {
            const auto row = static_cast<std::uint32_t>(left ? rows - 1 - k : k);
            jump[row] = jump[row] == kNoRow ? kNoRow : jump[jump[row]];
        }
        open.clear();
        for (const auto& [b, e] : stillOpen) {
            if (std::any_of(groups.order.begin() + static_cast<std::ptrdiff_t>(b),
                            groups.order.begin() + static_cast<std::ptrdiff_t>(e),
                            [&](std::uint32_t row) { return jump[row] != kNoRow; })) {
                open.emplace_back(b, e);
            }
        }
    }
}

// Groups of equal rows in reverse order, each still in document order.
void ReverseGroups(Groups& groups) {
    std::vector<std::uint32_t> reversed;
    reversed.reserve(groups.order.size());
    for (std::size_t end = groups.order.size(); end > 0;) {
        std::size_t start = end - 1;
        while (!groups.starts[start]) {
            --start;
        }
        reversed.insert(reversed.end(), groups.order.begin() + static_cast<std::ptrdiff_t>(start),
                        groups.order.begin() + static_cast<std::ptrdiff_t>(end));
        end = start;
    }
    groups.order.swap(reversed);
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
