// The analyser's average over the whole signal, its peak bin and its rows of text.

#include "core/analysis/ChannelLevels.h"
#include "core/analysis/FFT.h"
#include "core/generators/CalculationProtocol.h"
#include "core/generators/Generate.h"
#include "core/signal/SignalBase.h"
#include "tests/core/analysis/LevelRowsCheck.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numeric>
#include <random>

namespace zembrel {
namespace {

struct Silent : CalculationObserver {
    bool StopRequested() const override { return false; }
    void Report(int) override {}
};

SignalBase FullScaleSine(double rate, double seconds, double frequency, int channels) {
    SignalBase s(rate, seconds, 16, 32768, channels);
    Silent observer;
    EXPECT_EQ(GenerateSines(s, {{frequency, 1.0, 0.0, 0.0}}, 0.0, observer),
              GeneratorStatus::Finished);
    return s;
}

TEST(AveragedLevels, ASteadySineReadsTheLevelOfOneBlock) {
    // Bin 100 of 4096 points at 48 kHz: 1171.875 Hz, at the centre of its bin.
    const SignalBase s = FullScaleSine(48000.0, 10.0, 100 * 48000.0 / 4096, 2);
    for (int window = FFT::Hanning; window <= FFT::Rectangular; ++window) {
        const std::vector<double> single = ChannelLevels(s, 4096, window, 1);
        const AveragedLevels averaged = AverageChannelLevels(s, 4096, window, 1);
        EXPECT_EQ(averaged.Blocks, (480000 - 4096) / 2048 + 1);
        EXPECT_EQ(PeakBin(averaged.Levels), 100);
        EXPECT_NEAR(averaged.Levels[100], single[100], 0.01) << "window " << window;
    }
    // Shorter than one block: the single block, zero-padded, exactly.
    const SignalBase shortOne = FullScaleSine(8000.0, 0.5, 1000.0, 1);
    const AveragedLevels padded = AverageChannelLevels(shortOne, 32768, FFT::BlackmanHarris, 0);
    EXPECT_EQ(padded.Blocks, 1);
    EXPECT_EQ(padded.Levels, ChannelLevels(shortOne, 32768, FFT::BlackmanHarris, 0));
}

TEST(AveragedLevels, WhiteNoiseOverThreeMinutesIsFlatOverItsBand) {
    SignalBase s(48000.0, 180.0, 16, 32768, 1);
    Silent observer;
    ASSERT_EQ(GenerateWhiteNoise(s, {{200.0, 20000.0, 1.0, 1.0, 0.0}}, -10.0, 7, observer),
              GeneratorStatus::Finished);
    const AveragedLevels averaged = AverageChannelLevels(s, 4096, FFT::BlackmanHarris, 0);
    EXPECT_EQ(averaged.Blocks, (8640000 - 4096) / 2048 + 1);
    // Bins well inside the band (the window spreads the edges over a few bins).
    const double binWidth = BinFrequency(48000.0, 4096, 1);
    const int first = static_cast<int>(300.0 / binWidth);
    const int last = static_cast<int>(19900.0 / binWidth);
    double sum = 0.0;
    for (int k = first; k <= last; ++k) {
        sum += averaged.Levels[k];
    }
    const double mean = sum / (last - first + 1);
    for (int k = first; k <= last; ++k) {
        ASSERT_NEAR(averaged.Levels[k], mean, 0.5) << k * binWidth << " Hz";
    }
    // One block alone is far from flat.
    const std::vector<double> single = ChannelLevels(s, 4096, FFT::BlackmanHarris, 0);
    double worst = 0.0;
    for (int k = first; k <= last; ++k) {
        worst = std::max(worst, std::abs(single[k] - mean));
    }
    EXPECT_GT(worst, 3.0);
}

TEST(AveragedLevels, GaussianNoiseReadsItsPowerPerBin) {
    // Noise of RMS 0.1 full scale: normalised as for a sine, a bin's mean power is
    // 4 sigma^2 / N. Averaging the levels in dB instead of the power would read 2.5 dB low.
    SignalBase s(48000.0, 10.0, 16, 32768, 1);
    std::mt19937 random(11);
    std::normal_distribution<double> gauss(0.0, 0.1 * 32768.0);
    for (double& v : s.Mono) {
        v = gauss(random);
    }
    for (int window = FFT::Hanning; window <= FFT::Rectangular; ++window) {
        const std::vector<double> levels = AverageChannelLevels(s, 4096, window, 0).Levels;
        const double mean = std::accumulate(levels.begin() + 100, levels.end() - 100, 0.0) /
                            static_cast<double>(levels.size() - 200);
        EXPECT_NEAR(mean, 10 * std::log10(4 * 0.1 * 0.1 / 4096), 0.2) << "window " << window;
    }
}

TEST(AveragedLevels, PeakBinAndRowsOfText) {
    const SignalBase s = FullScaleSine(44100.0, 1.0, 1000.0, 1);
    const std::vector<double> levels = ChannelLevels(s, 32768, FFT::BlackmanHarris, 0);
    EXPECT_EQ(PeakBin(levels), std::lround(1000.0 / BinFrequency(44100.0, 32768, 1)));

    // Every row reads back to the bin's frequency and the very same level.
    ASSERT_EQ(levels.size(), 16384u);
    test::ExpectSpectrumRows(SpectrumRows(44100.0, 32768, levels, ',', true), ',', true, 44100.0,
                             32768, levels);
}

} // namespace
} // namespace zembrel
