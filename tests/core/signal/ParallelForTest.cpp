#include "core/signal/ParallelFor.h"
#include "core/generators/SineGenerator.h"
#include "core/signal/SignalBase.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <new>
#include <vector>

namespace zembrel {
namespace {

TEST(ParallelFor, CoversEveryIndexExactlyOnce) {
    for (int count : {0, 1, 1000, 65536 * 2 + 7, 1000003}) {
        std::vector<std::atomic<int>> hits(static_cast<std::size_t>(count));
        ParallelFor(
            count,
            [&](int begin, int end) {
                for (int i = begin; i < end; ++i) {
                    hits[i]++;
                }
            },
            1000);
        for (int i = 0; i < count; ++i) {
            ASSERT_EQ(hits[i].load(), 1) << count << " " << i;
        }
    }
}

// A failure in any range reaches the caller instead of ending the process.
TEST(ParallelFor, RethrowsAWorkersExceptionOnTheCallingThread) {
    EXPECT_THROW(ParallelFor(
                     1 << 20,
                     [](int, int end) {
                         if (end == 1 << 20) { // a helper's range wherever there are two cores
                             throw std::bad_alloc();
                         }
                     },
                     1),
                 std::bad_alloc);
}

// A sine added over several cores equals, bit for bit, the same sine added in one pass.
TEST(ParallelFor, SineIsBitIdenticalToOnePass) {
    SignalBase s(48000.0, 5.0, 16, 32768, 2);
    SineGenerator(s, 997.3, 0.8, 12.0, 77.0);
    const double omega = 2.0 * SineGenerator::Pi * 997.3;
    const double phi = 2.0 * SineGenerator::Pi * 12.0 / 360.0;
    const double phiRight = 2.0 * SineGenerator::Pi * 77.0 / 360.0 + phi;
    for (int i = 0; i < s.SampleCount; ++i) {
        const double t = i * s.SamplePeriod;
        ASSERT_EQ(s.Left[i], 0.8 * std::sin(t * omega + phi)) << i;
        ASSERT_EQ(s.Right[i], 0.8 * std::sin(t * omega + phiRight)) << i;
    }
}

} // namespace
} // namespace zembrel
