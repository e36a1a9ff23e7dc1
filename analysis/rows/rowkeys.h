#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <utility>
#include <vector>

namespace quorvex {

// One 64-bit key for every row of a list: the row's sort value in the high
// bits, its row number in the low `rowBits`, so that ordering the keys
// orders the rows by value and keeps equal values in row order. Descending,
// the values are turned round while the row numbers are not.
//
// A list of 26 million rows takes 200 MiB of keys. They live in a mapping of
// their own, sorted where they lie, and the mapping is given back bit by bit
// while the rows are taken out: the keys and the order they make are never
// held in full at once.
class RowKeys {
  public:
    // Keys for `rowCount` rows whose values take at most `valueBits` bits,
    // each to be set once.
    RowKeys(std::size_t rowCount, int rowBits, int valueBits, bool descending);
    RowKeys(RowKeys&& other) noexcept
        : keys_(std::exchange(other.keys_, nullptr)),
          count_(std::exchange(other.count_, 0)),
          rowBits_(other.rowBits_),
          turn_(other.turn_),
          mappedBytes_(std::exchange(other.mappedBytes_, 0)),
          givenBackBytes_(std::exchange(other.givenBackBytes_, 0)),
          scratch_(std::move(other.scratch_)) {}
    RowKeys& operator=(RowKeys&&) = delete;
    ~RowKeys();

    void Set(std::size_t row, std::uint64_t value) {
        keys_[row] = ((value ^ turn_) << rowBits_) | row;
    }
    // The key at `at` keeps its row but takes a new value: a stretch of
    // keys with equal values is told apart by what follows them.
    void Revalue(std::size_t at, std::uint64_t value) {
        keys_[at] = ((value ^ turn_) << rowBits_) | RowOf(keys_[at]);
    }
    // The key at `at` is made anew for `row`: a stretch of keys with equal
    // values is keyed again in the order the table holds its rows.
    void Put(std::size_t at, std::size_t row, std::uint64_t value) {
        keys_[at] = ((value ^ turn_) << rowBits_) | row;
    }
    // Puts the keys in ascending order, all of them or those from `first`
    // up to `end`.
    void Sort() { Sort(0, count_); }
    void Sort(std::size_t first, std::size_t end);
    // The keys, in order once sorted, for orders that keys alone cannot tell.
    std::span<std::uint64_t> Keys() { return {keys_, count_}; }
    std::uint64_t ValueOf(std::uint64_t key) const { return key >> rowBits_; }
    std::uint32_t RowOf(std::uint64_t key) const {
        return static_cast<std::uint32_t>(key & ((1ull << rowBits_) - 1));
    }
    // The rows in the order of their keys; the keys are gone afterwards.
    void TakeRows(std::vector<std::uint32_t>& order);

  private:
    void GiveBack(std::size_t endByte);

    std::uint64_t* keys_ = nullptr;
    std::size_t count_ = 0;
    int rowBits_;
    std::uint64_t turn_;  // the bits of a value turned round: all of them descending
    std::size_t mappedBytes_ = 0;
    std::size_t givenBackBytes_ = 0;      // from the start of the mapping
    std::vector<std::uint64_t> scratch_;  // for stretches small enough to stay in the caches
};

}  // namespace quorvex
