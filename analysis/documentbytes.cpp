#include "analysis/documentbytes.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <fstream>
#include <new>
#include <string>
#include <utility>

namespace quorvex {

namespace {

constexpr std::size_t kHugePage = std::size_t{2} << 20;

std::size_t RoundUp(std::size_t length, std::size_t unit) {
    return (length + unit - 1) / unit * unit;
}

std::size_t SmallPage() {
    static const auto size = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
    return size;
}

// Debian's default mode, "madvise", gives huge pages to the memory that asks
// for them, as does "always"; "never", or a kernel without them, gives none.
bool HugePagesOffered() {
    std::ifstream setting("/sys/kernel/mm/transparent_hugepage/enabled");
    std::string modes;
    std::getline(setting, modes);
    return modes.find("[always]") != std::string::npos ||
           modes.find("[madvise]") != std::string::npos;
}

// Private, anonymous memory: the kernel gives each page on first touch,
// already zeroed, so nobody else needs to fill it.
std::uint8_t* MapAnonymous(std::size_t length) {
    void* memory =
        ::mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    return memory == MAP_FAILED ? nullptr : static_cast<std::uint8_t*>(memory);
}

// `length` bytes (whole huge pages) starting on a huge-page boundary, asked to
// be held in huge pages. The kernel may place a mapping on any small-page
// boundary and only aligned 2 MiB can become a huge page, so one huge page
// more is mapped and the unaligned ends are given back. If the kernel refuses
// the advice the memory still works, in small pages.
std::uint8_t* MapHugePages(std::size_t length) {
    std::uint8_t* start = MapAnonymous(length + kHugePage);
    if (start == nullptr) {
        return nullptr;
    }
    const auto address = reinterpret_cast<std::uintptr_t>(start);
    const std::size_t head = RoundUp(address, kHugePage) - address;
    std::uint8_t* aligned = start + head;
    if (head > 0) {
        ::munmap(start, head);
    }
    ::munmap(aligned + length, kHugePage - head);
    ::madvise(aligned, length, MADV_HUGEPAGE);
    return aligned;
}

}  // namespace

DocumentBytes::DocumentBytes(std::uint8_t* data, std::size_t size, std::size_t capacity,
                             std::size_t pageSize)
    : data_(data), size_(size), capacity_(capacity), pageSize_(pageSize) {}

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
        pageSize_ = std::exchange(other.pageSize_, 0);
    }
    return *this;
}

// The huge-page memory is rounded up to whole huge pages, so that its last
// bytes get one too; when huge pages cannot be had, small ones do.
DocumentBytes DocumentBytes::Allocate(std::size_t length, DocumentPages pages) {
    if (length == 0) {
        return {};
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

// Cut on a boundary of the pages in use, so that no huge page is split.
void DocumentBytes::ShrinkTo(std::size_t length) {
    if (length >= size_) {
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
    if (data_ != nullptr) {
        ::munmap(data_, capacity_);
    }
    data_ = nullptr;
    size_ = 0;
    capacity_ = 0;
}

}  // namespace quorvex
