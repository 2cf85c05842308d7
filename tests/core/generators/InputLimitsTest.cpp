// Values a generator's checks let through stay within what its arithmetic can carry.

#include "core/generators/CalculationProtocol.h"
#include "core/generators/FrequencyListFile.h"
#include "core/generators/FunctionGenerator.h"
#include "core/generators/Generate.h"
#include "core/generators/InputRules.h"
#include "core/signal/SignalBase.h"

#include "tests/core/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace zembrel {
namespace {

struct Silent : CalculationObserver {
    bool StopRequested() const override { return false; }
    void Report(int) override {}
};

// The largest magnitude over all channels; NaN when any sample is not finite.
double Peak(const SignalBase& s) {
    double peak = 0.0;
    for (const auto* channel : s.ChannelArrays()) {
        for (double v : *channel) {
            if (!std::isfinite(v)) {
                return std::nan("");
            }
            peak = std::max(peak, std::abs(v));
        }
    }
    return peak;
}

TEST(InputLimits, NumbersWithoutARangeAreHeldToWhatTheArithmeticCarries) {
    EXPECT_TRUE(IsValidNumber(-kLargestMagnitude));
    EXPECT_FALSE(IsValidNumber(1e300));
    const double fs = 44100.0;
    EXPECT_FALSE(CheckSine({1000.0, 1.0, 1e308, 0.0}, fs).Phase);
    EXPECT_FALSE(CheckFrequencyModulation({1000.0, 1e307, 1.0, 0.0}, fs).ModulationFrequency);
    EXPECT_FALSE(
        CheckAmplitudeModulation({1000.0, 100.0, 0.0, 0.0, 1e300, 0.0}, fs).ModulationIndex);

    // At the limit the samples are still numbers (before, a phase of 1e308 degrees made NaN).
    Silent observer;
    SignalBase sine(fs, 0.01, 16, 32768, 2);
    EXPECT_EQ(GenerateSines(sine, {{1000.0, kLargestMagnitude, kLargestMagnitude, -1e250}}, 0.0,
                            observer),
              GeneratorStatus::Finished);
    SignalBase fm(fs, 0.01, 16, 32768, 1);
    EXPECT_EQ(GenerateFrequencyModulation(fm, {1000.0, kLargestMagnitude, kLargestMagnitude, 0.0},
                                          observer),
              GeneratorStatus::Finished);
    EXPECT_NEAR(Peak(sine), 32767.0, 1.0);
    EXPECT_NEAR(Peak(fm), 32767.0, 1.0);
}

TEST(InputLimits, AFundamentalWhoseSeriesIsTooLongIsRefused) {
    for (const Waveform w : {Waveform::Square, Waveform::Sawtooth}) {
        const double lowest = LowestFundamental(w, 48000.0);
        EXPECT_TRUE(CheckFunction({w, lowest, 0.0, 0.0, 0.0}, 48000.0).Frequency);
        EXPECT_LE(HarmonicCount(w, lowest, 48000.0), kMaxHarmonics);
        EXPECT_FALSE(CheckFunction({w, lowest * 0.999, 0.0, 0.0, 0.0}, 48000.0).Frequency);
        // Far below, where the count once overflowed an int.
        EXPECT_FALSE(CheckFunction({w, 1e-9, 0.0, 0.0, 0.0}, 48000.0).Frequency);
    }
    // The limit a message gives, read back as typed, is accepted (0.000657 Hz at 44.1 kHz was
    // shown for 0.00065713 Hz).
    for (const double fs : {8000.0, 44100.0, 48000.0}) {
        for (const Waveform w : {Waveform::Square, Waveform::Triangle, Waveform::Sawtooth}) {
            char shown[32];
            std::snprintf(shown, sizeof shown, "%.3g", LowestFundamentalRoundedUp(w, fs, 3));
            EXPECT_TRUE(
                CheckFunction({w, std::strtod(shown, nullptr), 0.0, 0.0, 0.0}, fs).Frequency)
                << shown << " Hz at " << fs;
        }
    }
    // The series made one harmonic at a time is the table of before.
    const auto table = FourierHarmonics(Waveform::Triangle, 1000.0, 44100.0);
    ASSERT_EQ(table.size(), 11u);
    EXPECT_EQ(table[10].Number, 21);
    EXPECT_DOUBLE_EQ(table[1].Amplitude, -8.0 / (9.0 * M_PI * M_PI));
}

TEST(InputLimits, AListValueBeyondTheLimitIsRefusedWithItsLine) {
    test::TempDir dir;
    const std::string path = dir.File("list.txt");
    test::WriteText(path, "Level -6 dB\n1;1000;1;0\n2;1e300;1;0\n");
    try {
        ReadFrequencyList(path, kSineListReset);
        ADD_FAILURE() << "accepted";
    } catch (const ListFileError& e) {
        EXPECT_EQ(e.Line(), 3);
        EXPECT_NE(std::string(e.what()).find("1e300"), std::string::npos) << e.what();
    }
}

} // namespace
} // namespace zembrel
