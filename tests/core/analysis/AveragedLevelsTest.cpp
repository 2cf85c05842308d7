// The analyser's average over the whole signal, its peak bin and its rows of text.

#include "core/analysis/ChannelLevels.h"
#include "core/analysis/FFT.h"
#include "core/generators/CalculationProtocol.h"
#include "core/generators/Generate.h"
#include "core/signal/SignalBase.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

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

TEST(AveragedLevels, PeakBinAndRowsOfText) {
    const SignalBase s = FullScaleSine(44100.0, 1.0, 1000.0, 1);
    const std::vector<double> levels = ChannelLevels(s, 32768, FFT::BlackmanHarris, 0);
    EXPECT_EQ(PeakBin(levels), std::lround(1000.0 / BinFrequency(44100.0, 32768, 1)));

    // Every row reads back to the bin's frequency and the very same level.
    std::istringstream rows(SpectrumRows(44100.0, 32768, levels, ',', true));
    std::string line;
    std::getline(rows, line);
    EXPECT_EQ(line, "frequency_hz,level_db");
    for (int k = 0; k < 16384; ++k) {
        ASSERT_TRUE(std::getline(rows, line));
        const auto comma = line.find(',');
        EXPECT_EQ(std::stod(line.substr(0, comma)), BinFrequency(44100.0, 32768, k));
        ASSERT_EQ(std::stod(line.substr(comma + 1)), levels[k]) << k;
    }
    EXPECT_FALSE(std::getline(rows, line));
}

} // namespace
} // namespace zembrel
