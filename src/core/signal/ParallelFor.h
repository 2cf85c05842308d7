#pragma once

#include <algorithm>
#include <exception>
#include <thread>
#include <vector>

namespace zembrel {

// Runs body(begin, end) over [0, count) split into one contiguous range per core. Every sample
// is computed by the same code whichever range holds it, so the result is bit-identical to a
// single pass. Short ranges stay on the calling thread, where starting threads costs more than
// it saves. An exception thrown by body in any range (std::bad_alloc of a range's buffers, for
// one) is carried to the calling thread and rethrown there once every range has ended; where
// several ranges throw, the one of the lowest range wins.
template <typename Body> void ParallelFor(int count, const Body& body, int minPerThread = 1 << 16) {
    // Asked once: the count comes from the system (sysfs on Linux), not for free.
    static const int cores = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    const int parts = std::clamp(count / std::max(1, minPerThread), 1, cores);
    if (parts <= 1) {
        body(0, count);
        return;
    }
    // Declared before the threads, so it outlives them when a thread cannot be started.
    std::vector<std::exception_ptr> errors(static_cast<std::size_t>(parts));
    const auto run = [&body, &errors](int part, int begin, int end) {
        try {
            body(begin, end);
        } catch (...) {
            errors[static_cast<std::size_t>(part)] = std::current_exception();
        }
    };
    {
        std::vector<std::jthread> helpers;
        helpers.reserve(static_cast<std::size_t>(parts - 1));
        const int step = count / parts;
        for (int part = 1; part < parts; ++part) {
            const int begin = part * step;
            const int end = part == parts - 1 ? count : begin + step;
            helpers.emplace_back(run, part, begin, end);
        }
        run(0, 0, step);
    } // joins the helpers
    for (const std::exception_ptr& error : errors) {
        if (error) {
            std::rethrow_exception(error);
        }
    }
}

} // namespace zembrel
