#include "core/generators/NoiseGenerator.h"
#include "core/generators/RandomNumberGenerator.h"
#include "core/signal/SignalBase.h"
#include "tests/core/generators/FastPathCompare.h"
#include "tests/core/generators/ReportRecorder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace zembrel {
namespace {

// A noise band made with FFTs equals the per-sample sum of the same draws: before scaling to
// 1e-9 of the peak, after scaling to one unit in at most 0.1 % of the samples.
TEST(NoiseFastPath, MatchesThePerSampleBandWithTheSameDraws) {
    struct Case {
        double start, stop, step, offset, rate, duration;
        int channels;
    };
    const Case cases[] = {
        {20.0, 2000.0, 1.0, 0.0, 44100.0, 0.3, 2},     // step divides the rate
        {100.0, 110.9, 0.1, 90.0, 44100.0, 0.5, 2},    // fractional band
        {500.0, 503.0, 0.0007, 0.0, 48000.0, 0.05, 1}, // step does not divide the rate
        {1000.0, 1500.0, 3.3, 45.0, 32075.0, 0.41, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.start) + " .. " + std::to_string(c.stop));
        SignalBase fast(c.rate, c.duration, 16, 32768, c.channels);
        SignalBase reference = fast;
        test::ReportRecorder fastReports, referenceReports;
        int p1 = 0, p2 = 0;
        RandomNumberGenerator::Seed(12345);
        ASSERT_TRUE(RunNoiseBand(fast, c.start, c.stop, c.step, 0.5, c.offset, NoiseMode::White, p1,
                                 fastReports));
        const std::uint32_t stateAfterFast = RandomNumberGenerator::State();
        RandomNumberGenerator::Seed(12345);
        ASSERT_TRUE(RunNoiseBand(reference, c.start, c.stop, c.step, 0.5, c.offset,
                                 NoiseMode::White, p2, referenceReports,
                                 SynthesisMethod::PerSample));
        EXPECT_EQ(RandomNumberGenerator::State(), stateAfterFast); // same number of draws
        EXPECT_EQ(fastReports.reports, referenceReports.reports);
        EXPECT_EQ(p1, 100);

        test::ExpectFastMatchesReference(fast, reference, -3.0);
    }
}

} // namespace
} // namespace zembrel
