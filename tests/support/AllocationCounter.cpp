#include "support/AllocationCounter.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

std::atomic<bool> gCounting{false};
std::atomic<long> gAllocations{0};

void* Allocate(std::size_t size) {
    if (gCounting.load(std::memory_order_relaxed)) gAllocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}

// Kept out of line so that the compiler pairs free with the malloc inside
// Allocate, not with the operator new that calls it.
[[gnu::noinline]] void Release(void* p) noexcept { std::free(p); }

}  // namespace

namespace sorel::test {

void AllocationCounter::Start() {
    gAllocations.store(0);
    gCounting.store(true);
}
void AllocationCounter::Stop() { gCounting.store(false); }
long AllocationCounter::Count() { return gAllocations.load(); }

}  // namespace sorel::test

void* operator new(std::size_t size) { return Allocate(size); }
void* operator new[](std::size_t size) { return Allocate(size); }
void operator delete(void* p) noexcept { Release(p); }
void operator delete[](void* p) noexcept { Release(p); }
void operator delete(void* p, std::size_t) noexcept { Release(p); }
void operator delete[](void* p, std::size_t) noexcept { Release(p); }
