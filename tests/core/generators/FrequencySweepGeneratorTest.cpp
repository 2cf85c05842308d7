#include "core/generators/FrequencySweepGenerator.h"
#include "core/signal/SignalBase.h"

#include "tests/core/generators/ToneMeasure.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <stdexcept>
#include <string>

namespace zembrel {
namespace {

constexpr double kPi = std::numbers::pi;

// The named shapes of the six characteristics: the share of the span f2 - f1 that the sweep's
// frequency has covered at the relative position x.
double NamedShape(int characteristic, double x) {
    switch (characteristic) {
    case 0: // lin
        return x;
    case 1: // exp
        return (std::exp(x) - 1.0) / (std::numbers::e - 1.0);
    case 2: // exp10
        return (std::pow(10.0, x) - 1.0) / 9.0;
    default: // quad, cube, bi-quad
        return std::pow(x, characteristic - 1);
    }
}

const char* const kNames[] = {"lin", "exp", "exp10", "quad", "cube", "bi-quad"};

// Measures the sweep's frequency in blocks of 2 ms, half overlapping, across the whole signal
// and compares each with the named shape at the block's centre: so the first block reads the
// start frequency, the middle ones the shape, the last block the stop frequency. A part that
// ran past fs/2 would read as its alias below fs/2 and miss the shape there.
void ExpectFollowsTheShape(int characteristic, double f1, double f2) {
    constexpr double fs = 48000.0;
    SignalBase s(fs, 2.0, 16, 32768, 1);
    FrequencySweepGenerator(s, f1, f2, characteristic);
    const int n = s.SampleCount;
    const int block = 96;
    double worst = 0.0;
    double worstAt = 0.0;
    for (int from = 1; from + block < n; from += block / 2) {
        const double centre = (from + block / 2 - 0.5) / n;
        const double expected = f1 + NamedShape(characteristic, centre) * (f2 - f1);
        const double measured = test::LocalFrequency(s.Mono.data(), from, from + block, fs);
        const double error = std::abs(measured / expected - 1.0);
        if (error > worst) {
            worst = error;
            worstAt = centre;
        }
    }
    EXPECT_LT(worst, 0.005) << "at x = " << worstAt;
}

TEST(FrequencySweepGenerator, EveryCharacteristicRunsFromStartToStopAlongItsShape) {
    for (int c = 0; c < kSweepCharacteristicCount; ++c) {
        SCOPED_TRACE(kNames[c]);
        {
            SCOPED_TRACE("rising");
            ExpectFollowsTheShape(c, 1000.0, 10000.0);
        }
        {
            SCOPED_TRACE("falling");
            ExpectFollowsTheShape(c, 12000.0, 1000.0);
        }
        {
            SCOPED_TRACE("up to fs/2");
            ExpectFollowsTheShape(c, 2000.0, 24000.0);
        }
    }
}

TEST(FrequencySweepGenerator, EqualFrequenciesGiveASteadySineAndStereoChannelsAgree) {
    for (int c = 0; c < kSweepCharacteristicCount; ++c) {
        SCOPED_TRACE(kNames[c]);
        SignalBase s(44100.0, 3.0, 16, 32768, 2);     // long enough for several threads
        std::fill(s.Left.begin(), s.Left.end(), 3.0); // replaced, not added to
        FrequencySweepGenerator(s, 1000.0, 1000.0, c);
        EXPECT_EQ(s.Left[0], 0.0);
        for (int i = 0; i < s.SampleCount; ++i) {
            ASSERT_NEAR(s.Left[i], std::sin(2 * kPi * 1000.0 * i / 44100.0), 1e-10) << i;
        }
        EXPECT_EQ(s.Left, s.Right);
    }
}

TEST(FrequencySweepGenerator, QuadraticPhaseHalfWayMatchesTheClosedForm) {
    // 1 s at 44100 Hz from 100 to 10100 Hz: at x = 0.5 the phase is
    // 0.5 * 2 pi (100 + 10000 * 0.25 / 3).
    SignalBase s(44100.0, 1.0, 16, 32768, 1);
    FrequencySweepGenerator(s, 100.0, 10100.0, SweepQuad);
    EXPECT_NEAR(s.Mono[22050], std::sin(0.5 * 2 * kPi * (100.0 + 10000.0 * 0.25 / 3.0)), 1e-9);
}

TEST(FrequencySweepGenerator, ShapesStartAtZeroEndAtOneAndUnknownCharacteristicsAreRefused) {
    for (int c = 0; c < kSweepCharacteristicCount; ++c) {
        SCOPED_TRACE(kNames[c]);
        EXPECT_EQ(SweepShape(c, 0.0), 0.0);
        EXPECT_NEAR(SweepShape(c, 1.0), 1.0, 1e-15);
        EXPECT_EQ(SweepMeanShape(c, 0.0), 0.0);
        EXPECT_NEAR(SweepShape(c, 0.37), NamedShape(c, 0.37), 1e-15);
    }
    SignalBase s(8000.0, 0.01, 16, 32768, 1);
    for (int bad : {-1, kSweepCharacteristicCount}) {
        EXPECT_THROW(FrequencySweepGenerator(s, 100.0, 200.0, bad), std::invalid_argument);
        EXPECT_THROW(SweepShape(bad, 0.5), std::invalid_argument);
    }
}

} // namespace
} // namespace zembrel
