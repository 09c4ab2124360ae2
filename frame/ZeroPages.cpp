#include "frame/ZeroPages.h"

#include <sys/mman.h>

#include <cstdint>
#include <new>
#include <utility>

namespace sorel {

ZeroPages::ZeroPages(size_t size) : size_(size) {
    // Twice the size is mapped so that an aligned block lies inside; the
    // slack on either side goes back at once.
    const size_t mapped = 2 * size;
    void* raw = mmap(nullptr, mapped, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (raw == MAP_FAILED) throw std::bad_alloc();
    const auto start = reinterpret_cast<uintptr_t>(raw);
    const uintptr_t aligned = (start + size - 1) & ~(uintptr_t{size} - 1);
    if (aligned > start) munmap(raw, aligned - start);
    const uintptr_t end = start + mapped, blockEnd = aligned + size;
    if (end > blockEnd) munmap(reinterpret_cast<void*>(blockEnd), end - blockEnd);
    data_ = reinterpret_cast<void*>(aligned);
}

ZeroPages::~ZeroPages() { Release(); }

ZeroPages::ZeroPages(ZeroPages&& other) noexcept
    : data_(std::exchange(other.data_, nullptr)), size_(std::exchange(other.size_, 0)) {}

ZeroPages& ZeroPages::operator=(ZeroPages&& other) noexcept {
    if (this != &other) {
        Release();
        data_ = std::exchange(other.data_, nullptr);
        size_ = std::exchange(other.size_, 0);
    }
    return *this;
}

void ZeroPages::Release() {
    if (data_) munmap(data_, size_);
    data_ = nullptr;
}

}  // namespace sorel
