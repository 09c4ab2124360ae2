// A block of memory that reads as zeros and costs no resident memory until
// a page of it is written: the kernel hands out untouched pages of an
// anonymous mapping on demand. The block starts at a multiple of its own
// size, so that any address inside it finds the block's start by masking.
#pragma once

#include <cstddef>

namespace sorel {

class ZeroPages {
public:
    ZeroPages() = default;
    // `size` must be a power of two and a multiple of the page size.
    explicit ZeroPages(size_t size);
    ~ZeroPages();
    ZeroPages(ZeroPages&& other) noexcept;
    ZeroPages& operator=(ZeroPages&& other) noexcept;
    ZeroPages(const ZeroPages&) = delete;
    ZeroPages& operator=(const ZeroPages&) = delete;

    void* Data() const { return data_; }
    size_t Size() const { return size_; }

private:
    void Release();

    void* data_ = nullptr;
    size_t size_ = 0;
};

}  // namespace sorel
