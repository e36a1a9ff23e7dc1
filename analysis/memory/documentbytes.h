#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <memory>

namespace quorvex {

// The kind of memory page that holds a document. Huge pages (2 MiB) spare a
// large document almost all of its page faults; the program always asks for
// them, and tests and benchmarks ask for small pages to run the way every
// machine without them takes.
enum class DocumentPages { HugeWhereOffered, Small };

// A document's bytes in memory of their own, taken straight from the system:
// no fill of our own, so reading a file into them touches every page once.
// A short document's lie in the heap instead.
// Owned by one holder at a time: it moves, it is never copied.
class DocumentBytes {
  public:
    DocumentBytes() = default;
    ~DocumentBytes();
    DocumentBytes(DocumentBytes&& other) noexcept;
    DocumentBytes& operator=(DocumentBytes&& other) noexcept;
    DocumentBytes(const DocumentBytes&) = delete;
    DocumentBytes& operator=(const DocumentBytes&) = delete;

    // Room for `length` bytes, whose content is whatever the system hands
    // out; std::bad_alloc when it has no memory to give. Nothing for 0.
    static DocumentBytes Allocate(std::size_t length, DocumentPages pages);

    // A copy of the bytes from first to last, for documents made in memory,
    // ready to be shared as a loaded document's bytes are.
    template <std::forward_iterator Iterator>
    static std::shared_ptr<const DocumentBytes> SharedCopy(Iterator first, Iterator last) {
        DocumentBytes copy =
            Allocate(static_cast<std::size_t>(std::distance(first, last)), DocumentPages::Small);
        std::copy(first, last, copy.data());
        return std::make_shared<const DocumentBytes>(std::move(copy));
    }

    std::uint8_t* data() { return data_; }
    const std::uint8_t* data() const { return data_; }
    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    // The memory held: size() rounded up to whole pages of the kind in use,
    // or for a short document in the heap, the length it was made with.
    std::size_t capacity() const { return capacity_; }

    // Keeps the first `length` bytes (no more than size()) and gives the
    // whole pages after them back to the system.
    void ShrinkTo(std::size_t length);

  private:
    // The page size of bytes that lie in the heap, or of none.
    static constexpr std::size_t kOnHeap = 0;

    DocumentBytes(std::uint8_t* data, std::size_t size, std::size_t capacity, std::size_t pageSize);
    static DocumentBytes AllocateOnHeap(std::size_t length);
    bool OnHeap() const;
    void Release();

    std::uint8_t* data_ = nullptr;
    std::size_t size_ = 0;
    std::size_t capacity_ = 0;
    std::size_t pageSize_ = kOnHeap;
};

}  // namespace quorvex
