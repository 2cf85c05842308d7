#include "core/generators/EnvelopGenerator.h"
#include "core/generators/FinishSignal.h"
#include "core/generators/SineGenerator.h"
#include "core/signal/SignalBase.h"

#include "tests/core/generators/ToneMeasure.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace zembrel {
namespace {

constexpr double kPi = std::numbers::pi;

// A signal whose every sample is 1.0: after the envelope it holds the envelope itself.
SignalBase Ones(double rate, double duration, int channels) {
    SignalBase s(rate, duration, 16, 32768, channels);
    for (SampleArray* channel : s.ChannelArrays()) {
        std::fill(channel->begin(), channel->end(), 1.0);
    }
    return s;
}

// The envelope written the other way round: 1 - (m/2)(1 + cos(2 pi fm t + phi)).
double Envelope(double t, double fm, double m, double phaseDegrees) {
    return 1.0 - m / 2.0 * (1.0 + std::cos(2.0 * kPi * fm * t + phaseDegrees * kPi / 180.0));
}

TEST(EnvelopGenerator, MultipliesEverySampleByTheRaisedCosineEnvelope) {
    struct Case {
        double fm, m, phase;
    };
    for (const Case& c : {Case{100.0, 1.0, 0.0}, Case{37.5, 0.5, 90.0}, Case{1000.0, 0.2, -45.0},
                          Case{3.0, 1.5, 400.0}, Case{0.0, 1.0, 0.0}}) {
        SCOPED_TRACE(testing::Message() << "fm " << c.fm << " m " << c.m << " phase " << c.phase);
        SignalBase s(8000.0, 0.5, 16, 32768, 1);
        for (int i = 0; i < s.SampleCount; ++i) {
            s.Mono[i] = 1.0 + i % 7; // the envelope scales what is there, it adds nothing
        }
        EnvelopGenerator(s, c.fm, c.m, c.phase, 0.0);
        for (int i = 0; i < s.SampleCount; ++i) {
            const double t = i / 8000.0;
            ASSERT_NEAR(s.Mono[i], (1.0 + i % 7) * Envelope(t, c.fm, c.m, c.phase), 1e-9) << i;
        }
    }
}

TEST(EnvelopGenerator, SwingsBetweenOneAndOneMinusTheIndex) {
    // 480 samples per modulation period: the extremes fall on samples.
    for (double m : {0.5, 1.0, 1.8}) {
        SCOPED_TRACE(m);
        SignalBase s = Ones(48000.0, 0.1, 1);
        EnvelopGenerator(s, 100.0, m, 0.0, 0.0);
        const auto [low, high] = std::minmax_element(s.Mono.begin(), s.Mono.end());
        EXPECT_NEAR(*low, 1.0 - m, 1e-12); // below zero for m > 1: the carrier reverses
        EXPECT_NEAR(*high, 1.0, 1e-12);
        EXPECT_NEAR(s.Mono[0], 1.0 - m, 1e-12); // phase 0 starts at the minimum
        EXPECT_NEAR(s.Mono[240], 1.0, 1e-12);   // half a period later, 5 ms
    }
}

TEST(EnvelopGenerator, StereoOffsetShiftsOnlyTheRightEnvelope) {
    // 3 s: long enough to be split over several threads.
    SignalBase s(48000.0, 3.0, 16, 32768, 2);
    SineGenerator(s, 2000.0, 1.0, 0.0);
    EnvelopGenerator(s, 100.0, 1.0, 0.0, 180.0);
    SignalBase envelope = Ones(48000.0, 3.0, 2);
    EnvelopGenerator(envelope, 100.0, 1.0, 0.0, 180.0);
    for (int i = 0; i < s.SampleCount; ++i) {
        const double t = i / 48000.0;
        // Opposite envelopes: where the left one is at its minimum the right one is at its
        // maximum, and the two always add up to 2 - m.
        ASSERT_NEAR(envelope.Left[i] + envelope.Right[i], 1.0, 1e-12) << i;
        ASSERT_NEAR(envelope.Right[i], Envelope(t, 100.0, 1.0, 180.0), 1e-9) << i;
        // One carrier, the same in both channels.
        const double carrier = std::sin(2 * kPi * 2000 * t);
        ASSERT_NEAR(s.Left[i], carrier * envelope.Left[i], 1e-9) << i;
        ASSERT_NEAR(s.Right[i], carrier * envelope.Right[i], 1e-9) << i;
    }
    EXPECT_EQ(envelope.Left[0], 0.0);
    EXPECT_EQ(envelope.Right[0], 1.0);

    SignalBase plain = Ones(48000.0, 0.05, 1);
    SignalBase offset = Ones(48000.0, 0.05, 1);
    EnvelopGenerator(plain, 100.0, 0.7, 30.0, 0.0);
    EnvelopGenerator(offset, 100.0, 0.7, 30.0, 123.0); // mono: the offset is not used
    EXPECT_EQ(plain.Mono, offset.Mono);
}

TEST(EnvelopGenerator, SidebandsStandAtAQuarterOfTheIndexAgainstTheRemainingCarrier) {
    // fc and fc +- fm are whole numbers of cycles in 1 s: every line falls on one DFT bin.
    constexpr double fs = 48000.0, fc = 1000.0, fm = 100.0;
    for (double m : {0.2, 0.5, 1.0, 1.5}) {
        SCOPED_TRACE(m);
        SignalBase s(fs, 1.0, 16, 32768, 1);
        SineGenerator(s, fc, 1.0, 0.0);
        EnvelopGenerator(s, fm, m, 30.0, 0.0);
        FinishSignal(s, -1.0); // measured in file units, as it is played
        const double* x = s.Mono.data();
        const int n = s.SampleCount;
        const double carrier = test::LineAmplitude(x, n, fs, fc);
        const double expectedDb = 20.0 * std::log10((m / 4.0) / (1.0 - m / 2.0));
        for (double f : {fc - fm, fc + fm}) {
            EXPECT_NEAR(20.0 * std::log10(test::LineAmplitude(x, n, fs, f) / carrier), expectedDb,
                        0.05)
                << f << " Hz";
        }
        // Nothing else: a second pair of sidebands would mean a distorted envelope.
        EXPECT_LT(test::LineAmplitude(x, n, fs, fc + 2 * fm), carrier * 1e-4);
        EXPECT_LT(test::LineAmplitude(x, n, fs, fm), carrier * 1e-4);
    }
}

} // namespace
} // namespace zembrel
