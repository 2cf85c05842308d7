#include "core/generators/FrequencyModulationGenerator.h"
#include "core/signal/SignalBase.h"

#include "tests/core/generators/ToneMeasure.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace zembrel {
namespace {

constexpr double kPi = std::numbers::pi;

TEST(FrequencyModulationGenerator, ReplacesEverySampleInEveryChannelWithTheSameValue) {
    for (int channels : {1, 2}) {
        SCOPED_TRACE(channels);
        SignalBase s(44100.0, 3.0, 16, 32768, channels); // long enough for several threads
        for (SampleArray* channel : s.ChannelArrays()) {
            std::fill(channel->begin(), channel->end(), 5.0); // overwritten, not added to
        }
        FrequencyModulationGenerator(s, 1000.0, 30.0, 2.0);
        const SampleArray& x = channels == 1 ? s.Mono : s.Left;
        EXPECT_EQ(x[0], 0.0); // both sines start at 0
        for (int i = 0; i < s.SampleCount; ++i) {
            const double t = i / 44100.0;
            ASSERT_NEAR(x[i], std::sin(2 * kPi * 1000 * t + 2.0 * std::sin(2 * kPi * 30 * t)), 1e-9)
                << i;
        }
        if (channels == 2) {
            EXPECT_EQ(s.Left, s.Right);
        }
    }
}

TEST(FrequencyModulationGenerator, QuarterRateModulationAddsTheFullDeviationAtSampleOne) {
    // fm = fs/4: the modulating sine is 1 at sample 1, so the phase there is m + 2 pi fc / fs.
    SignalBase s(44100.0, 0.01, 16, 32768, 1);
    FrequencyModulationGenerator(s, 1000.0, 44100.0 / 4, kPi / 2);
    EXPECT_NEAR(s.Mono[1], std::sin(kPi / 2 + 2 * kPi * 1000.0 / 44100.0), 1e-12);
}

TEST(FrequencyModulationGenerator, SpectralLinesFollowTheBesselFunctions) {
    // The lines lie at fc +- k fm with amplitudes |J_k(m)|; 1 s holds whole cycles of each.
    constexpr double fs = 48000.0, fc = 6000.0, fm = 500.0;
    SignalBase s(fs, 1.0, 16, 32768, 1);
    FrequencyModulationGenerator(s, fc, fm, 1.0);
    const double* x = s.Mono.data();
    const int n = s.SampleCount;
    for (int k = 0; k <= 3; ++k) {
        const double expectedDb = 20.0 * std::log10(std::abs(std::cyl_bessel_j(k, 1.0)));
        for (double f : {fc - k * fm, fc + k * fm}) {
            EXPECT_NEAR(20.0 * std::log10(test::LineAmplitude(x, n, fs, f)), expectedDb, 0.1)
                << "k " << k << ", " << f << " Hz";
        }
    }
    // Nothing between the lines.
    EXPECT_LT(test::LineAmplitude(x, n, fs, fc + fm / 2), 1e-6);

    // At the first zero of J_0 the carrier vanishes.
    FrequencyModulationGenerator(s, fc, fm, 2.405);
    const double carrier = test::LineAmplitude(x, n, fs, fc);
    for (double f : {fc - fm, fc + fm}) {
        EXPECT_LT(20.0 * std::log10(carrier / test::LineAmplitude(x, n, fs, f)), -40.0) << f;
    }
}

} // namespace
} // namespace zembrel
