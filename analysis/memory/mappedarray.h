#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <type_traits>
#include <utility>

namespace quorvex {

inline constexpr std::size_t kHugePage = std::size_t{2} << 20;

// An array of up to this size lives in the ordinary heap, and a larger one in
// a mapping of its own. A small document's run then takes no fresh mapping:
// the system calls and page faults of one would cost more than its whole scan.
inline constexpr std::size_t kHeapArrayBytes = std::size_t{64} << 10;

// Memory for an array of `newBytes` that keeps the first `usedBytes` of the
// `oldBytes` at `memory` (nothing yet when null). In a mapping, pages are
// given memory only when first written, and growing remaps the pages already
// in use instead of copying them, so an array of hundreds of megabytes grows
// without ever holding its contents twice. Throws std::bad_alloc when the
// system refuses.
void* GrowArrayMemory(void* memory, std::size_t usedBytes, std::size_t oldBytes,
                      std::size_t newBytes);
// `bytes` of zeros, which a fresh mapping costs nothing to give.
void* ZeroedArrayMemory(std::size_t bytes);
void ReleaseArrayMemory(void* memory, std::size_t bytes);

// Whether the kernel gives huge pages to memory that asks for them.
bool HugePagesOffered();
// Private, anonymous memory: the kernel gives each page on first touch,
// already zeroed, so nobody else needs to fill it. Nothing when refused.
std::uint8_t* MapAnonymous(std::size_t length);
// `length` bytes (whole huge pages) on a huge-page boundary, asked to be held
// in huge pages; nothing when refused.
std::uint8_t* MapHugePages(std::size_t length);
// Gives back `length` bytes of such a mapping from `start`, on a page
// boundary: part of it, or the whole.
void Unmap(std::uint8_t* start, std::size_t length);

// A growing array of plain values, once large in its own memory mapping: for
// the word index's and table's arrays, whose size nothing predicts and whose
// growth by copying would briefly need three times their size.
template <typename T>
class MappedArray {
    static_assert(std::is_trivially_copyable_v<T> && std::is_trivially_destructible_v<T>);

  public:
    MappedArray() = default;
    MappedArray(const MappedArray&) = delete;
    MappedArray& operator=(const MappedArray&) = delete;
    MappedArray(MappedArray&& other) noexcept { Swap(other); }
    MappedArray& operator=(MappedArray&& other) noexcept {
        MappedArray(std::move(other)).Swap(*this);
        return *this;
    }
    ~MappedArray() { ReleaseArrayMemory(data_, capacity_ * sizeof(T)); }

    // `count` zero values. A fresh mapping is zero already: its pages cost
    // nothing until they are written. A large array that is read and written
    // all over, like a hash index, is put in huge pages where the kernel
    // offers them: far fewer page faults, and far fewer misses of the
    // processor's address cache.
    static MappedArray Zeroed(std::size_t count) {
        MappedArray array;
        const std::size_t bytes = count * sizeof(T);
        if (bytes >= kHugePage && HugePagesOffered()) {
            const std::size_t whole = (bytes + kHugePage - 1) / kHugePage * kHugePage;
            array.data_ = reinterpret_cast<T*>(MapHugePages(whole));
            array.capacity_ = array.data_ != nullptr ? whole / sizeof(T) : 0;
        }
        if (array.data_ == nullptr && count > 0) {
            array.data_ = static_cast<T*>(ZeroedArrayMemory(bytes));
            array.capacity_ = count;
        }
        array.size_ = count;
        return array;
    }

    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    T* data() { return data_; }
    const T* data() const { return data_; }
    T& operator[](std::size_t at) { return data_[at]; }
    const T& operator[](std::size_t at) const { return data_[at]; }
    T& back() { return data_[size_ - 1]; }

    void push_back(const T& value) {
        if (size_ == capacity_) {
            Reserve(size_ + 1);
        }
        data_[size_++] = value;
    }

    // Appends `count` values copied from `values`, which may already lie
    // where they go: in the room RoomAtEnd gave.
    void Append(const T* values, std::size_t count) {
        if (values != data_ + size_) {
            if (capacity_ - size_ < count) {
                Reserve(size_ + count);
            }
            std::memcpy(data_ + size_, values, count * sizeof(T));
        }
        size_ += count;
    }

    // Room for `count` values past the end, to be filled and then appended.
    T* RoomAtEnd(std::size_t count) {
        if (capacity_ - size_ < count) {
            Reserve(size_ + count);
        }
        return data_ + size_;
    }

    void Reserve(std::size_t count) {
        if (count <= capacity_) {
            return;
        }
        const std::size_t grown =
            std::max(count, std::max<std::size_t>(capacity_ * 2, kFirstBytes / sizeof(T)));
        data_ = static_cast<T*>(
            GrowArrayMemory(data_, size_ * sizeof(T), capacity_ * sizeof(T), grown * sizeof(T)));
        capacity_ = grown;
    }

  private:
    // What a small document's words need, so that it seldom grows at all.
    static constexpr std::size_t kFirstBytes = 256;

    void Swap(MappedArray& other) noexcept {
        std::swap(data_, other.data_);
        std::swap(size_, other.size_);
        std::swap(capacity_, other.capacity_);
    }

    T* data_ = nullptr;
    std::size_t size_ = 0;
    std::size_t capacity_ = 0;
};

}  // namespace quorvex
