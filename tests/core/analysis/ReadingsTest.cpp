// Distortion, noise, intermodulation and weighted levels against their closed forms.
#include "core/analysis/ReadingRows.h"
#include "core/analysis/SignalReadings.h"
#include "core/analysis/TonePowers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>
#include <string>
#include <vector>

namespace zembrel {
namespace {

constexpr double kRate = 48000.0;

struct Partial {
    double Frequency; // Hz
    double Amplitude; // peak, full scale 1
};

std::vector<double> Tones(const std::vector<Partial>& partials, double seconds) {
    std::vector<double> x(static_cast<std::size_t>(seconds * kRate), 0.0);
    for (const Partial& p : partials) {
        const double w = 2.0 * std::numbers::pi * p.Frequency / kRate;
        for (std::size_t i = 0; i < x.size(); ++i) {
            x[i] += p.Amplitude * std::sin(w * static_cast<double>(i));
        }
    }
    return x;
}

double Db(double ratio) {
    return 20.0 * std::log10(ratio);
}

ChannelReadings Read(const std::vector<double>& x, const DistortionSettings& settings = {}) {
    return ReadChannel(x, kRate, settings);
}

TEST(Harmonics, EachHarmonicAndThdMatchTheirLevels) {
    // 997 Hz with H2 at -60, H3 at -100 and H5 at -120 dBc, stored as float.
    const double a = 0.5;
    std::vector<double> x = Tones(
        {{997.0, a}, {2 * 997.0, a * 1e-3}, {3 * 997.0, a * 1e-5}, {5 * 997.0, a * 1e-6}}, 3.0);
    for (double& v : x) {
        v = static_cast<float>(v);
    }
    const ChannelReadings r = Read(x);
    ASSERT_EQ(r.Tone.Status, ReadingStatus::Ok);
    EXPECT_NEAR(r.Tone.Frequency, 997.0, 1e-3);
    const double expected[] = {-60.0, -100.0, 0.0, -120.0}; // H2, H3, (H4 absent), H5
    for (int n : {2, 3, 5}) {
        EXPECT_NEAR(r.Harmonics.Harmonics[n - 2].LevelDbc, expected[n - 2], 0.1) << "H" << n;
    }
    EXPECT_LT(r.Harmonics.Harmonics[2].LevelDbc, -140.0); // H4
    const double sum = 1e-6 + 1e-10 + 1e-12;
    EXPECT_NEAR(r.Harmonics.Db(ThdConvention::RelativeToFundamental), 10.0 * std::log10(sum), 0.1);
    EXPECT_NEAR(r.Harmonics.Db(ThdConvention::RelativeToTotal),
                10.0 * std::log10(sum / (1.0 + sum)), 0.1);
    EXPECT_LT(r.Harmonics.ThdTotalPercent, r.Harmonics.ThdFundamentalPercent);
}

TEST(ThdN, DitheredSixteenBitSineReadsItsQuantisationNoise) {
    // Rounding after TPDF dither of +-1 LSB leaves white noise of LSB^2 / 12 + LSB^2 / 6.
    const double amplitude = std::pow(10.0, -1.0 / 20.0);
    std::vector<double> x = Tones({{997.0, amplitude}}, 4.0);
    std::mt19937 random(7);
    std::uniform_real_distribution<double> uniform(0.0, 1.0);
    for (double& v : x) {
        v = std::round(v * 32768.0 + uniform(random) + uniform(random) - 1.0) / 32768.0;
    }
    const ChannelReadings r = Read(x);
    ASSERT_EQ(r.ThdN.Status, ReadingStatus::Ok);
    const double lsb = 1.0 / 32768.0;
    const double noise = lsb * lsb / 4.0 * (20000.0 - 22.0 - r.ThdN.NotchWidth) / (kRate / 2);
    const double signal = amplitude * amplitude / 2.0;
    EXPECT_NEAR(r.ThdN.ThdNDb, 10.0 * std::log10(noise / (signal + noise)), 0.5);
    EXPECT_NEAR(r.ThdN.SinadDb, -r.ThdN.ThdNDb, 1e-12);
    EXPECT_NEAR(r.ThdN.NoiseFloorDbfs, 10.0 * std::log10(noise), 0.5);
}

// y = x + a x^2 of a twin tone: the cross term 2 a A1 A2 sin(w1 t) sin(w2 t) puts a A1 A2 at
// f2 - f1 and at f2 + f1, nothing else near the tones.
struct ImdCase {
    std::string Name;
    ImdStandard Standard;
    double Low, High; // amplitudes
    double A;         // second-order coefficient
    double Percent;   // closed form
    double FirstDb;   // level of the first product
};

class Imd : public ::testing::TestWithParam<ImdCase> {};

TEST_P(Imd, SecondOrderProductsHaveTheirClosedFormLevel) {
    const ImdCase& c = GetParam();
    const TwinToneStandard& tones = TwinToneOf(c.Standard);
    std::vector<double> x = Tones({{tones.Low, c.Low}, {tones.High, c.High}}, 2.0);
    for (double& v : x) {
        v += c.A * v * v;
    }
    const ChannelReadings r = Read(x);
    ASSERT_EQ(r.Imd.Status, ReadingStatus::Ok);
    EXPECT_EQ(r.Imd.Standard, c.Standard);
    EXPECT_NEAR(r.Imd.Products[0].LevelDb, c.FirstDb, 0.1);
    EXPECT_NEAR(Db(r.Imd.Percent), Db(c.Percent), 0.1);
}

INSTANTIATE_TEST_SUITE_P(
    Standards, Imd,
    ::testing::Values(
        // SMPTE: sidebands a A1 A2 relative to A2; d(1) = 2 a A1.
        ImdCase{"Smpte", ImdStandard::Smpte, 0.4, 0.1, 0.01, 100 * 2 * 0.01 * 0.4, Db(0.01 * 0.4)},
        ImdCase{"Din", ImdStandard::Din, 0.4, 0.1, 0.03, 100 * 2 * 0.03 * 0.4, Db(0.03 * 0.4)},
        // CCIF: the difference tone a A1 A2 relative to A1 + A2.
        ImdCase{"Ccif", ImdStandard::Ccif, 0.25, 0.25, 0.01, 100 * 0.01 * 0.0625 / 0.5,
                Db(0.01 * 0.0625 / 0.5)}),
    [](const auto& info) { return info.param.Name; });

// IEC 61672-1 table values (rounded to 0.1 dB there), read as sines' weighted over flat levels.
struct WeightingCase {
    std::string Name;
    Weighting Curve;
    double Frequency;
    double Db;
};

class WeightingLevels : public ::testing::TestWithParam<WeightingCase> {};

TEST_P(WeightingLevels, SineReadsTheCurveOfTheStandard) {
    const WeightingCase& c = GetParam();
    const WeightedLevels w = Read(Tones({{c.Frequency, 0.5}}, 1.0)).Weighted;
    ASSERT_EQ(w.Status, ReadingStatus::Ok);
    EXPECT_NEAR(w.ZDbfs, Db(0.5 / std::sqrt(2.0)), 1e-3);
    EXPECT_NEAR((c.Curve == Weighting::A ? w.ADbfs : w.CDbfs) - w.ZDbfs, c.Db, 0.1);
}

INSTANTIATE_TEST_SUITE_P(Iec61672, WeightingLevels,
                         ::testing::Values(WeightingCase{"A100Hz", Weighting::A, 100, -19.1},
                                           WeightingCase{"A1kHz", Weighting::A, 1000, 0.0},
                                           WeightingCase{"A2kHz", Weighting::A, 2000, 1.2},
                                           WeightingCase{"A10kHz", Weighting::A, 10000, -2.5},
                                           WeightingCase{"C100Hz", Weighting::C, 100, -0.3},
                                           WeightingCase{"C10kHz", Weighting::C, 10000, -4.4}),
                         [](const auto& info) { return info.param.Name; });

TEST(BadInput, EachReadingSaysWhyItHasNoValue) {
    const std::vector<double> silence(48000, 0.0);
    const ChannelReadings quiet = Read(silence);
    EXPECT_EQ(quiet.Tone.Status, ReadingStatus::NoSignal);
    EXPECT_EQ(quiet.ThdN.Status, ReadingStatus::NoSignal);
    EXPECT_EQ(quiet.Crest.Status, ReadingStatus::NoSignal);
    EXPECT_EQ(quiet.Weighted.Status, ReadingStatus::NoSignal);
    EXPECT_EQ(quiet.PeakStatus, ReadingStatus::NoSignal);

    std::vector<double> noise(48000);
    std::mt19937 random(3);
    std::normal_distribution<double> gauss(0.0, 0.1);
    for (double& v : noise) {
        v = gauss(random);
    }
    EXPECT_EQ(Read(noise).Tone.Status, ReadingStatus::NoFundamental);

    const std::vector<double> high = Tones({{21000.0, 0.5}}, 1.0);
    EXPECT_EQ(Read(high).Tone.Status, ReadingStatus::FundamentalAboveBand);
    DistortionSettings given;
    given.Fundamental = 21000.0;
    EXPECT_EQ(Read(Tones({{1000.0, 0.5}}, 1.0), given).Harmonics.Status,
              ReadingStatus::FundamentalAboveBand);
    given.Fundamental = 3000.0; // nothing there
    EXPECT_EQ(Read(Tones({{1000.0, 0.5}}, 1.0), given).Tone.Status, ReadingStatus::NoFundamental);

    std::vector<double> clipped = Tones({{100.0, 2.0}}, 0.1);
    EXPECT_EQ(Read(Tones({{100.0, 0.99}}, 0.1)).ClippedSamples, 0u);
    for (double& v : clipped) {
        v = std::clamp(v, -1.0, 1.0);
    }
    EXPECT_GT(Read(clipped).ClippedSamples, 100u);
    // 8-bit PCM clips at 127/128 on the positive side: those runs count at the 8-bit level only.
    for (double& v : clipped) {
        v = std::min(v, 127.0 / 128.0);
    }
    DistortionSettings eightBit;
    eightBit.ClipLevel = ClipLevelOf(8, false);
    EXPECT_GT(Read(clipped, eightBit).ClippedSamples, Read(clipped).ClippedSamples + 100u);
    EXPECT_EQ(Read(Tones({{997.0, 0.5}}, 1.0)).Imd.Status, ReadingStatus::NoTwoTones);
}

// The CSV of the readings: numbers that read back exactly, the reason in words where a reading
// has no value (never "-inf" or "nan"), and notes with commas quoted.
TEST(ReadingsCsv, ValuesReadBackAndMissingOnesSayWhy) {
    const ChannelReadings tone = Read(Tones({{997.0, 0.5}, {2991.0, 0.005}}, 1.0));
    const ChannelReadings silence = Read(std::vector<double>(48000, 0.0));
    const std::string csv =
        ReadingsCsv({tone, silence}, {"left", "right"}, ThdConvention::RelativeToFundamental);
    EXPECT_EQ(csv.find("inf"), std::string::npos);
    EXPECT_EQ(csv.find("nan"), std::string::npos);
    EXPECT_EQ(csv.rfind("channel,reading,frequency_hz,value,unit,note\n", 0), 0u);

    const auto row = [&csv](const std::string& start) {
        const std::size_t at = csv.find("\n" + start);
        return at == std::string::npos ? std::string()
                                       : csv.substr(at + 1, csv.find('\n', at + 1) - at - 1);
    };
    const std::string thdDb = row("left,THD,,");
    ASSERT_FALSE(thdDb.empty());
    EXPECT_NEAR(std::stod(thdDb.substr(std::string("left,THD,,").size())), 1.0, 0.01); // % first
    EXPECT_NE(row("left,THD+N,,").find(",dB,\"22 ... 20000 Hz, notch "), std::string::npos)
        << row("left,THD+N,,");
    EXPECT_EQ(row("right,THD,,"), "right,THD,,,%,no signal");
    EXPECT_EQ(row("right,crest factor,,"), "right,crest factor,,,dB,no signal");
    EXPECT_EQ(row("right,DC,,"), "right,DC,,0,% of full scale,");
}

} // namespace
} // namespace zembrel
