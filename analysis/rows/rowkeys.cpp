#include "analysis/rows/rowkeys.h"

#include <unistd.h>

#include <algorithm>
#include <array>
#include <bit>
#include <new>
#include <utility>

#include "analysis/memory/mappedarray.h"

namespace quorvex {

namespace {

constexpr int kDigitBits = 8;
constexpr std::size_t kDigitValues = std::size_t{1} << kDigitBits;
constexpr std::uint64_t kDigitMask = kDigitValues - 1;
constexpr int kMostDigits = 64 / kDigitBits;
// A stretch of this many keys and its copy stay in the processor's caches,
// where passing over them digit by digit costs little.
constexpr std::size_t kCachedKeys = std::size_t{1} << 16;
// Fewer keys than this are sorted faster by comparing them.
constexpr std::size_t kFewKeys = 64;
// The keys are given back in whole huge pages, which are whole small pages too.
constexpr std::size_t kKeysGivenBackAtOnce = kHugePage / sizeof(std::uint64_t);

std::size_t RoundUp(std::size_t bytes, std::size_t unit) {
    return (bytes + unit - 1) / unit * unit;
}

// The bits in which not all the keys are the same: only their digits need
// sorting.
std::uint64_t DifferingBits(std::span<const std::uint64_t> keys) {
    std::uint64_t any = 0;
    std::uint64_t all = ~0ull;
    for (const std::uint64_t key : keys) {
        any |= key;
        all &= key;
    }
    return any ^ all;
}

// Lowest digit first, by the bits of `bits` alone, each pass moving the
// keys between `keys` and `scratch` and keeping the order of the pass before
// for equal digits. The counts of every digit are taken in one pass over the
// keys, and a digit without any of those bits is passed over.
void SortByBits(std::span<std::uint64_t> keys, std::uint64_t bits, std::uint64_t* scratch) {
    const int digits = (static_cast<int>(std::bit_width(bits)) + kDigitBits - 1) / kDigitBits;
    std::array<std::array<std::uint32_t, kDigitValues>, kMostDigits> counts;
    for (int digit = 0; digit < digits; ++digit) {
        counts[digit].fill(0);
    }
    for (const std::uint64_t key : keys) {
        for (int digit = 0; digit < digits; ++digit) {
            ++counts[digit][((key & bits) >> (digit * kDigitBits)) & kDigitMask];
        }
    }
    std::uint64_t* from = keys.data();
    std::uint64_t* to = scratch;
    for (int digit = 0; digit < digits; ++digit) {
        const int shift = digit * kDigitBits;
        if (((bits >> shift) & kDigitMask) == 0) {
            continue;
        }
        std::array<std::uint32_t, kDigitValues> next;
        std::uint32_t start = 0;
        for (std::size_t value = 0; value < kDigitValues; ++value) {
            next[value] = start;
            start += counts[digit][value];
        }
        for (std::size_t at = 0; at < keys.size(); ++at) {
            to[next[((from[at] & bits) >> shift) & kDigitMask]++] = from[at];
        }
        std::swap(from, to);
    }
    if (from != keys.data()) {
        std::copy(from, from + keys.size(), keys.data());
    }
}

// By value first, and then by row number only where values are equal: the
// values of most words differ, so their row digits cost no pass, while a
// stretch of equal counts costs the passes over their row digits it would
// have cost anyway.
void SortCachedKeys(std::span<std::uint64_t> keys, std::uint64_t differing, std::uint64_t rowMask,
                    std::uint64_t* scratch) {
    const std::uint64_t valueBits = differing & ~rowMask;
    SortByBits(keys, valueBits != 0 ? valueBits : differing, scratch);
    if (valueBits == 0) {
        return;
    }
    for (std::size_t first = 0; first < keys.size();) {
        std::size_t end = first + 1;
        while (end < keys.size() && ((keys[end] ^ keys[first]) & ~rowMask) == 0) {
            ++end;
        }
        const std::span<std::uint64_t> equalValues = keys.subspan(first, end - first);
        if (equalValues.size() < kFewKeys) {
            std::sort(equalValues.begin(), equalValues.end());
        } else {
            SortByBits(equalValues, DifferingBits(equalValues), scratch);
        }
        first = end;
    }
}

// Highest differing digit first, the keys swapped into their digit's stretch
// where they lie, then each stretch on its own: no memory but the keys',
// until a stretch fits the caches.
void SortKeys(std::span<std::uint64_t> keys, std::uint64_t rowMask, std::uint64_t* scratch) {
    const std::uint64_t differing = DifferingBits(keys);
    if (differing == 0) {
        return;
    }
    if (keys.size() < kFewKeys) {
        std::sort(keys.begin(), keys.end());
        return;
    }
    if (keys.size() <= kCachedKeys) {
        SortCachedKeys(keys, differing, rowMask, scratch);
        return;
    }
    const int shift = std::max(0, static_cast<int>(std::bit_width(differing)) - kDigitBits);
    const auto digitOf = [shift](std::uint64_t key) { return (key >> shift) & kDigitMask; };
    std::array<std::size_t, kDigitValues> counts{};
    for (const std::uint64_t key : keys) {
        ++counts[digitOf(key)];
    }
    std::array<std::size_t, kDigitValues> next;
    std::array<std::size_t, kDigitValues> ends;
    std::size_t start = 0;
    for (std::size_t value = 0; value < kDigitValues; ++value) {
        next[value] = start;
        start += counts[value];
        ends[value] = start;
    }
    for (std::size_t value = 0; value < kDigitValues; ++value) {
        while (next[value] < ends[value]) {
            std::uint64_t key = keys[next[value]];
            for (std::uint64_t digit = digitOf(key); digit != value; digit = digitOf(key)) {
                std::swap(key, keys[next[digit]++]);
            }
            keys[next[value]++] = key;
        }
    }
    for (std::size_t value = 0; value < kDigitValues; ++value) {
        SortKeys(keys.subspan(ends[value] - counts[value], counts[value]), rowMask, scratch);
    }
}

}  // namespace

// Huge pages where the kernel offers them: a tenth of the page faults.
RowKeys::RowKeys(std::size_t rowCount, int rowBits, int valueBits, bool descending)
    : count_(rowCount),
      rowBits_(rowBits),
      turn_(!descending       ? 0
            : valueBits >= 64 ? ~0ull
                              : (1ull << valueBits) - 1) {
    if (rowCount == 0) {
        return;
    }
    const std::size_t bytes = rowCount * sizeof(std::uint64_t);
    std::uint8_t* memory = nullptr;
    if (bytes >= kHugePage && HugePagesOffered()) {
        mappedBytes_ = RoundUp(bytes, kHugePage);
        memory = MapHugePages(mappedBytes_);
    }
    if (memory == nullptr) {
        mappedBytes_ = RoundUp(bytes, static_cast<std::size_t>(::sysconf(_SC_PAGESIZE)));
        memory = MapAnonymous(mappedBytes_);
    }
    if (memory == nullptr) {
        throw std::bad_alloc();
    }
    keys_ = reinterpret_cast<std::uint64_t*>(memory);
}

RowKeys::~RowKeys() {
    GiveBack(mappedBytes_);
}

// Keys that are in order already, as keys set by row with all values equal
// are, cost one pass over them.
void RowKeys::Sort(std::size_t first, std::size_t end) {
    const std::span<std::uint64_t> keys = Keys().subspan(first, end - first);
    if (std::is_sorted(keys.begin(), keys.end())) {
        return;
    }
    scratch_.resize(std::max(scratch_.size(), std::min(keys.size(), kCachedKeys)));
    SortKeys(keys, (1ull << rowBits_) - 1, scratch_.data());
}

// The order grows into memory that is touched only as it is written, while
// the keys already taken are given back.
void RowKeys::TakeRows(std::vector<std::uint32_t>& order) {
    order.clear();
    order.reserve(count_);
    for (std::size_t first = 0; first < count_; first += kKeysGivenBackAtOnce) {
        const std::size_t end = std::min(count_, first + kKeysGivenBackAtOnce);
        for (std::size_t at = first; at < end; ++at) {
            order.push_back(RowOf(keys_[at]));
        }
        GiveBack(end * sizeof(std::uint64_t));
    }
}

// Gives back the mapping up to `endByte`, in whole huge pages but for its end.
void RowKeys::GiveBack(std::size_t endByte) {
    const std::size_t end =
        endByte >= mappedBytes_ ? mappedBytes_ : endByte / kHugePage * kHugePage;
    if (end > givenBackBytes_) {
        Unmap(reinterpret_cast<std::uint8_t*>(keys_) + givenBackBytes_, end - givenBackBytes_);
        givenBackBytes_ = end;
    }
}

}  // namespace quorvex
