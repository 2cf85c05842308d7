#include "core/generators/SineComb.h"
#include "core/signal/SignalBase.h"
#include "tests/core/generators/FastPathCompare.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace zembrel {
namespace {

struct Case {
    double rate;
    double duration;
    int channels;
    double first;
    double spacing;
    int lines;
};

SineComb RandomLines(const Case& c, std::mt19937& rng) {
    std::uniform_real_distribution<double> amplitude(0.1, 1.0);
    std::uniform_real_distribution<double> phase(0.0, 6.283185307179586);
    SineComb lines;
    lines.First = c.first;
    lines.Spacing = c.spacing;
    for (int m = 0; m < c.lines; ++m) {
        lines.Amplitudes.push_back(amplitude(rng));
        lines.PhasesLeft.push_back(phase(rng));
        lines.PhasesRight.push_back(phase(rng));
    }
    return lines;
}

// Both evaluations of the same lines, compared before and after scaling.
void Compare(const Case& c, std::mt19937& rng) {
    const SineComb lines = RandomLines(c, rng);
    SignalBase fast(c.rate, c.duration, 16, 32768, c.channels);
    SignalBase reference = fast;
    AddSineComb(fast, lines);
    AddSineCombPerSample(reference, lines);
    test::ExpectFastMatchesReference(fast, reference);
}

TEST(SineComb, AgreesWithThePerSampleSumOnRandomCases) {
    std::mt19937 rng(20261207);
    const Case cases[] = {
        // spacing divides the rate: periodic path
        {44100.0, 0.5, 1, 20.0, 1.0, 200},
        {44100.0, 0.37, 2, 1000.0, 2000.0, 11}, // odd harmonics of 1 kHz
        {48000.0, 0.25, 2, 10.0, 10.0, 2399},   // sawtooth of 10 Hz
        {8000.0, 0.3333, 1, 3.5, 0.5, 300},     // period longer than a second's half
        // spacing does not divide the rate: chirp path, odd lengths, several blocks
        {48000.0, 0.7, 2, 1001.0, 1001.0, 23},
        {44100.0, 0.9, 2, 123.456, 7.77, 500},
        {32075.0, 0.2, 1, 50.0, 0.1234567, 3000},
        {44100.0, 0.01, 2, 100.0, 0.001, 100001}, // more lines than samples
        {44100.5, 1.0, 1, 0.0, 1.0, 40},          // fractional rate
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.spacing) + " Hz spacing, " + std::to_string(c.lines) +
                     " lines, " + std::to_string(c.channels) + " ch");
        Compare(c, rng);
    }
}

TEST(SineComb, ManyRandomShapes) {
    std::mt19937 rng(7);
    std::uniform_int_distribution<int> lines(1, 400);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    const double rates[] = {8000.0, 11025.0, 44100.0, 48000.0};
    for (int trial = 0; trial < 30; ++trial) {
        Case c;
        c.rate = rates[trial % 4];
        c.duration = 0.01 + 0.2 * unit(rng);
        c.channels = 1 + trial % 2;
        c.lines = lines(rng);
        c.spacing = trial % 3 == 0 ? c.rate / (1 + static_cast<int>(200 * unit(rng)))
                                   : 0.5 + 80.0 * unit(rng);
        c.first = 3000.0 * unit(rng);
        SCOPED_TRACE(trial);
        Compare(c, rng);
    }
}

TEST(SineComb, AddsToWhatTheSignalHolds) {
    SignalBase s(8000.0, 0.1, 16, 32768, 1);
    std::fill(s.Mono.begin(), s.Mono.end(), 5.0);
    SineComb lines;
    lines.First = 0.0;
    lines.Spacing = 100.0;
    lines.Amplitudes = {0.0, 0.0};
    lines.PhasesLeft = {0.0, 0.0};
    AddSineComb(s, lines);
    for (double v : s.Mono) {
        ASSERT_NEAR(v, 5.0, 1e-12);
    }
}

// A comb longer than one batch is evaluated batch by batch, whether it is handed over whole or
// line by line through the builder; both must still be the one sum.
TEST(SineComb, CombsBeyondOneBatch) {
    SignalBase reference(44100.0, 0.004, 16, 32768, 2);
    std::mt19937 rng(31);
    const Case c{44100.0, 0.004, 2, 100.0, 0.001, SineCombBatchLines(reference) + 1000};
    const SineComb lines = RandomLines(c, rng);
    AddSineCombPerSample(reference, lines);

    SignalBase whole(c.rate, c.duration, 16, 32768, 2);
    SignalBase built = whole;
    AddSineComb(whole, lines);
    SineCombBuilder builder(built, lines.First, lines.Spacing);
    for (int m = 0; m < lines.Lines(); ++m) {
        builder.Add(lines.Amplitudes[m], lines.PhasesLeft[m], lines.PhasesRight[m]);
    }
    builder.Flush();

    SignalBase reference2 = reference;
    test::ExpectFastMatchesReference(whole, reference);
    test::ExpectFastMatchesReference(built, reference2);
}

TEST(SineComb, RightCanFollowLeft) {
    SignalBase s(8000.0, 0.2, 16, 32768, 2);
    std::fill(s.Right.begin(), s.Right.end(), 7.0);
    std::mt19937 rng(3);
    SineComb lines = RandomLines({8000.0, 0.2, 2, 30.0, 7.5, 40}, rng);
    lines.RightCopiesLeft = true;
    SignalBase perSample = s;
    AddSineComb(s, lines);
    AddSineCombPerSample(perSample, lines);
    EXPECT_EQ(s.Right, s.Left);
    EXPECT_EQ(perSample.Right, perSample.Left);
    EXPECT_NEAR(s.Left[123], perSample.Left[123], 1e-9);
}

} // namespace
} // namespace zembrel
