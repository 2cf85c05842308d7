#include "core/generators/TestTones.h"
#include "core/analysis/SignalReadings.h"
#include "core/analysis/TonePowers.h"
#include "core/signal/SignalBase.h"

#include "tests/core/generators/ReportRecorder.h"

#include <fftw3.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <functional>
#include <numeric>
#include <vector>

namespace zembrel {
namespace {

using test::ReportRecorder;

constexpr double kRate = 48000.0;

TEST(TwinTone, EachStandardHasItsRatioAndTotalPeak) {
    for (const TwinToneStandard& tones : TwinToneStandards()) {
        SignalBase signal(kRate, 1.0, 16, 32768, 2);
        ReportRecorder observer;
        ASSERT_EQ(GenerateTwinTone(signal, tones.Standard, -6.0, observer),
                  GeneratorStatus::Finished);
        const auto channels = NormalizedChannels(signal);
        EXPECT_EQ(channels[0], channels[1]);
        const ChannelReadings r = ReadChannel(channels[0], kRate, {});
        EXPECT_NEAR(r.SamplePeakDbfs, -6.0, 0.01) << tones.Name;
        const TonePowers spectrum(channels[0].data(), channels[0].size(), kRate);
        EXPECT_NEAR(10.0 *
                        std::log10(spectrum.TonePower(tones.Low) / spectrum.TonePower(tones.High)),
                    20.0 * std::log10(tones.Ratio), 0.01)
            << tones.Name;
        EXPECT_EQ(r.Imd.Standard, tones.Standard);
    }
    EXPECT_FALSE(CheckTwinTone(ImdStandard::Ccif, -6.0, 32000.0).SampleRate);
    EXPECT_FALSE(CheckTwinTone(ImdStandard::Smpte, 0.5, kRate).Level);
}

// Crest factor and the tones' levels in an FFT of one analysis length (rectangular window).
struct MultitoneReading {
    double CrestDb = 0.0;
    std::vector<double> LevelsDb;
};

MultitoneReading ReadMultitone(MultitonePhases phases, std::uint32_t seed = 0) {
    MultitoneInput input;
    input.Phases = phases;
    input.Level = -1.0;
    SignalBase signal(kRate, 2.0, 16, 32768, 1);
    ReportRecorder observer;
    MultitoneReading reading;
    EXPECT_EQ(GenerateMultitone(signal, input, seed, observer, &reading.CrestDb),
              GeneratorStatus::Finished);
    const int n = input.AnalysisLength;
    std::vector<double> in(signal.Mono.begin() + 1000, signal.Mono.begin() + 1000 + n);
    std::vector<std::complex<double>> out(static_cast<std::size_t>(n / 2 + 1));
    fftw_plan plan = fftw_plan_dft_r2c_1d(n, in.data(), reinterpret_cast<fftw_complex*>(out.data()),
                                          FFTW_ESTIMATE);
    fftw_execute(plan);
    fftw_destroy_plan(plan);
    for (std::int64_t k : MultitoneBins(input, kRate)) {
        reading.LevelsDb.push_back(20.0 * std::log10(std::abs(out[static_cast<std::size_t>(k)])));
    }
    return reading;
}

TEST(Multitone, PhasesLowerTheCrestFactorAndLeaveTheLevelsEqual) {
    const MultitoneReading lowCrest = ReadMultitone(MultitonePhases::LowCrest);
    const MultitoneReading newman = ReadMultitone(MultitonePhases::Newman);
    const MultitoneReading schroeder = ReadMultitone(MultitonePhases::Schroeder);
    ASSERT_EQ(lowCrest.LevelsDb.size(), 30u); // 20 Hz ... 20 kHz in thirds of an octave
    for (const MultitoneReading* m : {&lowCrest, &newman, &schroeder}) {
        for (double level : m->LevelsDb) {
            EXPECT_NEAR(level, m->LevelsDb.front(), 0.01); // every tone in its one bin
        }
    }
    double random = 0.0;
    double lowestRandom = HUGE_VAL;
    for (std::uint32_t seed = 1; seed <= 8; ++seed) {
        const double crest = ReadMultitone(MultitonePhases::Random, seed).CrestDb;
        random += crest / 8.0;
        lowestRandom = std::min(lowestRandom, crest);
    }
    // Tones this sparse leave the closed-form rules little to gain over random phases (see
    // TestTones.h); the search starts from Newman's phases and ends well below both.
    EXPECT_LT(newman.CrestDb, random);
    EXPECT_LT(schroeder.CrestDb, random);
    EXPECT_LT(lowCrest.CrestDb, lowestRandom - 1.5);
    EXPECT_LT(lowCrest.CrestDb, newman.CrestDb - 2.0);
    EXPECT_FALSE(CheckMultitone({.High = 24000.0}, kRate).High);
    EXPECT_FALSE(CheckMultitone({.AnalysisLength = 100}, kRate).AnalysisLength);
}

// The search and the sum are two parts of one calculation: the progress runs once from 0 to 100,
// and a stop during the search leaves no tone.
TEST(Multitone, SearchReportsOnceToTheEndAndStops) {
    SignalBase signal(kRate, 1.0, 16, 32768, 1);
    ReportRecorder whole;
    ASSERT_EQ(GenerateMultitone(signal, MultitoneInput{}, 0, whole), GeneratorStatus::Finished);
    EXPECT_EQ(
        std::adjacent_find(whole.reports.begin(), whole.reports.end(), std::greater_equal<>()),
        whole.reports.end()); // each report above the one before
    EXPECT_EQ(whole.reports.back(), 100);

    ReportRecorder stopped(5);
    EXPECT_EQ(GenerateMultitone(signal, MultitoneInput{}, 0, stopped), GeneratorStatus::Stopped);
    EXPECT_LT(stopped.reports.back(), 50);
}

} // namespace
} // namespace zembrel
