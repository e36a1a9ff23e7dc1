#include "analysis/memory/documentbytes.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <new>
#include <utility>

#include "analysis/memory/mappedarray.h"

namespace quorvex {

namespace {

std::size_t RoundUp(std::size_t length, std::size_t unit) {
    return (length + unit - 1) / unit * unit;
}

std::size_t SmallPage() {
    static const auto size = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
    return size;
}

}  // namespace

DocumentBytes::DocumentBytes(std::uint8_t* data, std::size_t size, std::size_t capacity,
                             std::size_t pageSize)
    : data_(data), size_(size), capacity_(capacity), pageSize_(pageSize) {}

bool DocumentBytes::OnHeap() const {
    return pageSize_ == kOnHeap;
}

DocumentBytes::~DocumentBytes() {
    Release();
}

DocumentBytes::DocumentBytes(DocumentBytes&& other) noexcept {
    *this = std::move(other);
}

DocumentBytes& DocumentBytes::operator=(DocumentBytes&& other) noexcept {
    if (this != &other) {
        Release();
        data_ = std::exchange(other.data_, nullptr);
        size_ = std::exchange(other.size_, 0);
        capacity_ = std::exchange(other.capacity_, 0);
        pageSize_ = std::exchange(other.pageSize_, kOnHeap);
    }
    return *this;
}

// The huge-page memory is rounded up to whole huge pages, so that its last
// bytes get one too; when huge pages cannot be had, small ones do. A short
// document lies in the heap, which a fresh mapping would cost more than
// reading it.
DocumentBytes DocumentBytes::Allocate(std::size_t length, DocumentPages pages) {
    if (length == 0) {
        return {};
    }
    if (length <= kHeapArrayBytes) {
        return AllocateOnHeap(length);
    }
    if (pages == DocumentPages::HugeWhereOffered && HugePagesOffered()) {
        const std::size_t capacity = RoundUp(length, kHugePage);
        if (std::uint8_t* data = MapHugePages(capacity)) {
            return DocumentBytes(data, length, capacity, kHugePage);
        }
    }
    const std::size_t capacity = RoundUp(length, SmallPage());
    std::uint8_t* data = MapAnonymous(capacity);
    if (data == nullptr) {
        throw std::bad_alloc();
    }
    // Where every mapping gets huge pages ("always"), small means small. The
    // pages are then made present in one pass, which costs far less than a
    // fault for every 4 KiB as the read reaches them; a kernel too old to do
    // so (before Linux 5.14) leaves that to the faults.
    ::madvise(data, capacity, MADV_NOHUGEPAGE);
    ::madvise(data, capacity, MADV_POPULATE_WRITE);
    return DocumentBytes(data, length, capacity, SmallPage());
}

DocumentBytes DocumentBytes::AllocateOnHeap(std::size_t length) {
    auto* data = static_cast<std::uint8_t*>(std::malloc(length));
    if (data == nullptr) {
        throw std::bad_alloc();
    }
    return DocumentBytes(data, length, length, kOnHeap);
}

// Cut on a boundary of the pages in use, so that no huge page is split. Heap
// memory is short: it is kept whole.
void DocumentBytes::ShrinkTo(std::size_t length) {
    if (length >= size_) {
        return;
    }
    if (OnHeap()) {
        size_ = length;
        return;
    }
    const std::size_t kept = RoundUp(length, pageSize_);
    if (kept < capacity_) {
        ::munmap(data_ + kept, capacity_ - kept);
    }
    size_ = length;
    capacity_ = kept;
    if (kept == 0) {
        data_ = nullptr;
    }
}

void DocumentBytes::Release() {
    if (OnHeap()) {
        std::free(data_);
    } else if (data_ != nullptr) {
        ::munmap(data_, capacity_);
    }
    data_ = nullptr;
    size_ = 0;
    capacity_ = 0;
}

}  // namespace quorvex
