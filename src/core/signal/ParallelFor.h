#pragma once

#include <algorithm>
#include <thread>
#include <vector>

namespace zembrel {

// Runs body(begin, end) over [0, count) split into one contiguous range per core. Every sample
// is computed by the same code whichever range holds it, so the result is bit-identical to a
// single pass. Short ranges stay on the calling thread, where starting threads costs more than
// it saves.
template <typename Body> void ParallelFor(int count, const Body& body, int minPerThread = 1 << 16) {
    const int cores = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    const int parts = std::clamp(count / std::max(1, minPerThread), 1, cores);
    if (parts <= 1) {
        body(0, count);
        return;
    }
    std::vector<std::jthread> helpers;
    helpers.reserve(static_cast<std::size_t>(parts - 1));
    const int step = count / parts;
    for (int part = 1; part < parts; ++part) {
        const int begin = part * step;
        const int end = part == parts - 1 ? count : begin + step;
        helpers.emplace_back([&body, begin, end] { body(begin, end); });
    }
    body(0, step);
}

} // namespace zembrel
