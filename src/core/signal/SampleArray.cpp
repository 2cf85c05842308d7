#include "core/signal/SampleArray.h"

#include <atomic>
#include <cstdint>
#include <new>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace zembrel::detail {

namespace {
std::atomic<LargeBlockObserver> gObserver{nullptr};

void Notify(long long delta) {
    if (const LargeBlockObserver observer = gObserver.load(std::memory_order_relaxed)) {
        observer(delta);
    }
}
} // namespace

void SetLargeBlockObserver(LargeBlockObserver observer) noexcept {
    gObserver = observer;
}

#if defined(__linux__)

namespace {
constexpr std::size_t kHugePage = std::size_t{2} << 20;

std::size_t Rounded(std::size_t bytes) {
    return (bytes + kHugePage - 1) & ~(kHugePage - 1);
}
} // namespace

void* AllocateLarge(std::size_t bytes) {
    const std::size_t size = Rounded(bytes);
    void* raw =
        mmap(nullptr, size + kHugePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (raw == MAP_FAILED) {
        throw std::bad_alloc();
    }
    // Keep the 2 MiB-aligned part and give back what lies before and after it.
    const auto start = reinterpret_cast<std::uintptr_t>(raw);
    const std::uintptr_t aligned = (start + kHugePage - 1) & ~(kHugePage - 1);
    if (aligned > start) {
        munmap(raw, aligned - start);
    }
    const std::size_t tail = kHugePage - (aligned - start);
    if (tail > 0) {
        munmap(reinterpret_cast<void*>(aligned + size), tail);
    }
    void* p = reinterpret_cast<void*>(aligned);
    madvise(p, size, MADV_HUGEPAGE); // advice only: without huge pages it still works
    Notify(static_cast<long long>(bytes));
    return p;
}

void FreeLarge(void* p, std::size_t bytes) noexcept {
    munmap(p, Rounded(bytes));
}

#else

void* AllocateLarge(std::size_t bytes) {
    return ::operator new(bytes);
}
void FreeLarge(void* p, std::size_t) noexcept {
    ::operator delete(p);
}

#endif

} // namespace zembrel::detail
