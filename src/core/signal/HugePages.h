#pragma once

#include <cstddef>
#include <vector>

namespace zembrel {

// Asks the kernel to back the whole 2 MiB pages inside [start, start + bytes) with huge pages.
// Call it before the memory is first touched: a fresh page costs a fault each 4 KiB otherwise,
// which on a virtual machine takes longer than filling it (a few hundred milliseconds for the
// channels of a three-minute stereo file). Only advice: where the kernel has no transparent
// huge pages, or on another system, nothing changes.
void AdviseHugePages(void* start, std::size_t bytes);

// vector.reserve(count) for a buffer of many megabytes, the new storage advised.
template <typename T> void ReserveLarge(std::vector<T>& vector, std::size_t count) {
    if (count > vector.capacity()) {
        vector.reserve(count);
        AdviseHugePages(vector.data(), count * sizeof(T));
    }
}

// vector.resize(count) likewise: the storage is advised before resize fills it.
template <typename T> void ResizeLarge(std::vector<T>& vector, std::size_t count) {
    ReserveLarge(vector, count);
    vector.resize(count);
}

} // namespace zembrel
