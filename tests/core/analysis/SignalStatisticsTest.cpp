#include "core/analysis/SignalStatistics.h"
#include "core/generators/FinishSignal.h"
#include "core/generators/SineGenerator.h"
#include "core/signal/SignalBase.h"
#include "core/signal/WavFileRead.h"

#include "tests/core/TestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace zembrel {
namespace {

SignalBase Mono(const std::vector<double>& values, int bits = 16, int norm = 32768) {
    SignalBase s(8000.0, values.size() / 8000.0 + 1e-9, bits, norm, 1);
    s.SetMono(values.data());
    return s;
}

struct Figures {
    double min, max, mean, rms, dc, crest;
};

void ExpectFigures(const SignalStatistics& st, int channel, const Figures& f) {
    SCOPED_TRACE("channel " + std::to_string(channel));
    EXPECT_DOUBLE_EQ(st.Minimum(channel), f.min);
    EXPECT_DOUBLE_EQ(st.Maximum(channel), f.max);
    EXPECT_NEAR(st.Mean(channel), f.mean, 1e-9);
    EXPECT_NEAR(st.RMS(channel), f.rms, 1e-9);
    EXPECT_NEAR(st.DCOffset(channel), f.dc, 1e-9);
    EXPECT_NEAR(st.CrestFactor(channel), f.crest, 1e-9);
}

TEST(SignalStatistics, ZeroDecibelSineOf1000Hz) {
    // The level scaler truncates x - 0.5, which leaves the mean half a unit below zero.
    SignalBase s(44100.0, 1.0, 16, 32768, 1);
    SineGenerator(s, 1000.0, 1.0, 0.0);
    FinishSignal(s, 0.0);
    const SignalStatistics st(s);
    EXPECT_EQ(st.Maximum(0), 32767.0);
    EXPECT_EQ(st.Minimum(0), -32768.0);
    EXPECT_NEAR(st.Mean(0), -0.499, 0.0005);
    EXPECT_NEAR(st.DCOffset(0), -0.002, 0.0005);
    EXPECT_NEAR(st.RMS(0), 23170.2, 0.05);
    EXPECT_NEAR(st.CrestFactor(0), 1.414, 0.0005);
}

TEST(SignalStatistics, SixteenBitCases) {
    struct Case {
        const char* name;
        std::vector<double> x;
        Figures f;
    };
    const Case cases[] = {
        {"silence", {0, 0, 0, 0}, {0, 0, 0, 0, 0, 0}},
        {"constant half scale", {16384, 16384, 16384}, {16384, 16384, 16384, 16384, 50.0, 1.0}},
        // The extremes are the true ones, not clamped at 0.
        {"all positive",
         {5, 9, 7, 7},
         {5, 9, 7, std::sqrt(204.0 / 4), 7 / 327.68, 9 / 7.14142842854285}},
        {"all negative",
         {-3, -1, -2},
         {-3, -1, -2, std::sqrt(14.0 / 3), -2 / 327.68, 3 / std::sqrt(14.0 / 3)}},
        // Peak is the larger of max and |min|.
        {"deeper below",
         {100, -400, 0, 0},
         {-400, 100, -75, std::sqrt(170000.0 / 4), -75 / 327.68, 400 / std::sqrt(42500.0)}},
        {"one sample", {-0.7}, {-0.7, -0.7, -0.7, 0.7, -0.7 / 327.68, 1.0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ExpectFigures(SignalStatistics(Mono(c.x)), 0, c.f);
    }
}

TEST(SignalStatistics, EightBitMeasuresFrom128) {
    struct Case {
        const char* name;
        std::vector<double> x;
        Figures f;
    };
    const double rms3 = std::sqrt((28.0 * 28.0 + 0.0 + 28.0 * 28.0) / 3.0);
    const Case cases[] = {
        // 128 throughout: no excursion, the zero divisor becomes 1.
        {"centre", {128, 128}, {128, 128, 128, 128, 0, 0}},
        // Both extremes are true samples: the minimum is not 0 and the crest factor sees an
        // excursion of 28 on both sides.
        {"symmetric", {100, 128, 156}, {100, 156, 128, 128 + rms3, 0, 28 / rms3}},
        // Entirely above the centre: the excursion below is |160 - 128|, not 128.
        {"above centre",
         {160, 192},
         {160, 192, 176, 128 + std::sqrt((32.0 * 32 + 64.0 * 64) / 2), 37.5,
          64 / std::sqrt((32.0 * 32 + 64.0 * 64) / 2)}},
        {"full swing",
         {0, 255},
         {0, 255, 127.5, 128 + std::sqrt((128.0 * 128 + 127.0 * 127) / 2), -0.390625,
          128 / std::sqrt((128.0 * 128 + 127.0 * 127) / 2)}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ExpectFigures(SignalStatistics(Mono(c.x, 8, 128)), 0, c.f);
    }
}

TEST(SignalStatistics, FullScaleDoesNotFollowNormValue) {
    // 0 dB at 16384 does not change the DC offset's full scale of 32768.
    const SignalStatistics st(Mono({16384, 16384}, 16, 16384));
    EXPECT_DOUBLE_EQ(st.DCOffset(0), 50.0);
    const SignalStatistics st8(Mono({192, 192}, 8, 64));
    EXPECT_DOUBLE_EQ(st8.DCOffset(0), 50.0);
}

TEST(SignalStatistics, StereoChannelsAreSeparate) {
    SignalBase s(8000.0, 0.0005, 16, 32768, 2); // 4 frames
    const double left[] = {1, 2, 3, 4};
    const double right[] = {-10, 10, -20, 20};
    s.SetLeft(left);
    s.SetRight(right);
    const SignalStatistics st(s);
    ExpectFigures(st, 0, {1, 4, 2.5, std::sqrt(30.0 / 4), 2.5 / 327.68, 4 / std::sqrt(7.5)});
    ExpectFigures(st, 1, {-20, 20, 0, std::sqrt(1000.0 / 4), 0, 20 / std::sqrt(250.0)});
}

TEST(SignalStatistics, MonoFillsOnlyChannelZero) {
    const SignalStatistics st(Mono({7, 8}));
    EXPECT_EQ(st.Maximum(0), 8.0);
    EXPECT_EQ(st.Maximum(1), 0.0);
    EXPECT_EQ(st.RMS(1), 0.0);
    EXPECT_THROW(st.Mean(2), std::out_of_range);
    EXPECT_THROW(st.CrestFactor(-1), std::out_of_range);
}

TEST(SignalStatistics, ChannelWithoutSamplesReadsZero) {
    SignalBase s(8000.0, 0.0, 16, 32768, 2);
    ASSERT_EQ(s.SampleCount, 0);
    const SignalStatistics st(s);
    for (int c : {0, 1}) {
        EXPECT_EQ(st.Mean(c), 0.0);
        EXPECT_EQ(st.RMS(c), 0.0);
        EXPECT_EQ(st.CrestFactor(c), 0.0);
    }
}

// --- sox as an independent measurement ---

// Rows of "sox FILE -n stats" by name: one value per channel (the "Overall" column of a stereo
// file is dropped).
std::map<std::string, std::vector<double>> SoxStats(const std::string& path, int channels) {
    static const char* const names[] = {"DC offset", "Min level", "Max level", "RMS lev dB",
                                        "Crest factor"};
    std::map<std::string, std::vector<double>> rows;
    std::istringstream in(test::CommandOutput("sox '" + path + "' -n stats 2>&1"));
    for (std::string line; std::getline(in, line);) {
        for (const std::string name : names) {
            if (line.rfind(name, 0) != 0) {
                continue;
            }
            std::istringstream values(line.substr(name.size()));
            std::vector<double> v;
            for (std::string t; values >> t;) {
                v.push_back(std::strtod(t.c_str(), nullptr));
            }
            if (channels == 2 && !v.empty()) {
                v.erase(v.begin());
            }
            rows[name] = v;
        }
    }
    return rows;
}

TEST(SignalStatisticsSoxPeer, AgreesWithSoxStats) {
    if (!test::SoxPresent()) {
        GTEST_SKIP() << "sox is not installed";
    }
    struct Case {
        const char* format;
        const char* effects;
        int channels, bits;
    };
    const Case cases[] = {
        {"-r 44100 -c 1 -b 16 -e signed-integer", "synth 1 sine 1000 vol 0.5 dcshift 0.1", 1, 16},
        {"-r 48000 -c 2 -b 16 -e signed-integer", "synth 0.7 triangle 440 square 77 vol 0.8", 2,
         16},
        {"-r 22050 -c 1 -b 16 -e signed-integer", "synth 0.5 sine 300 vol 0.3 dcshift -0.4", 1, 16},
        {"-r 8000 -c 2 -b 8 -e unsigned-integer", "synth 0.5 triangle 300 square 77 vol 0.7", 2, 8},
        {"-r 11025 -c 1 -b 8 -e unsigned-integer", "synth 0.4 sine 500 vol 0.4 dcshift 0.3", 1, 8},
    };
    test::TempDir dir;
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.format) + " " + c.effects);
        const std::string path = dir.File("stats.wav");
        const std::string make =
            std::string("sox -D -n ") + c.format + " '" + path + "' " + c.effects + " 2>/dev/null";
        ASSERT_EQ(std::system(make.c_str()), 0);
        WavFileRead reader(path);
        const SignalBase s(reader);
        ASSERT_EQ(s.Channels, c.channels);
        ASSERT_EQ(s.Bits, c.bits);
        const auto sox = SoxStats(path, c.channels);
        ASSERT_EQ(sox.at("DC offset").size(), static_cast<std::size_t>(c.channels));
        const SignalStatistics st(s);
        // sox measures in fractions of full scale, from 128 for 8-bit files.
        const double centre = c.bits == 8 ? 128.0 : 0.0;
        const double full = c.bits == 8 ? 128.0 : 32768.0;
        for (int ch = 0; ch < c.channels; ++ch) {
            SCOPED_TRACE("channel " + std::to_string(ch));
            EXPECT_NEAR(st.DCOffset(ch) / 100.0, sox.at("DC offset")[ch], 1.5e-6);
            EXPECT_NEAR((st.Minimum(ch) - centre) / full, sox.at("Min level")[ch], 1.5e-6);
            EXPECT_NEAR((st.Maximum(ch) - centre) / full, sox.at("Max level")[ch], 1.5e-6);
            EXPECT_NEAR(20.0 * std::log10((st.RMS(ch) - centre) / full), sox.at("RMS lev dB")[ch],
                        0.0051);
            EXPECT_NEAR(st.CrestFactor(ch), sox.at("Crest factor")[ch], 0.0051);
        }
    }
}

} // namespace
} // namespace zembrel
