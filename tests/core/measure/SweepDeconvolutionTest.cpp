#include "core/measure/SweepDeconvolution.h"
#include "core/generators/SyncSweep.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <functional>
#include <numbers>
#include <stdexcept>
#include <string>

namespace zembrel {
namespace {

constexpr double kRate = 48000.0;

SyncSweepInput TestSweep(double levelDb = 0.0, double lengthS = 2.0) {
    return {20.0, 20000.0, lengthS, 10.0, 10.0, 0.1, 0.3, levelDb, kRate};
}

// A biquad as a device, and its magnitude in closed form.
struct Biquad {
    double b0, b1, b2, a1, a2; // normalised, a0 = 1

    // Peaking filter and low-pass after the well-known cookbook formulas.
    static Biquad Peaking(double f, double q, double gainDb) {
        const double a = std::pow(10.0, gainDb / 40.0), w = 2 * std::numbers::pi * f / kRate;
        const double alpha = std::sin(w) / (2 * q), a0 = 1 + alpha / a;
        return {(1 + alpha * a) / a0, -2 * std::cos(w) / a0, (1 - alpha * a) / a0,
                -2 * std::cos(w) / a0, (1 - alpha / a) / a0};
    }
    static Biquad LowPass(double f, double q) {
        const double w = 2 * std::numbers::pi * f / kRate, alpha = std::sin(w) / (2 * q);
        const double c = std::cos(w), a0 = 1 + alpha;
        return {(1 - c) / 2 / a0, (1 - c) / a0, (1 - c) / 2 / a0, -2 * c / a0, (1 - alpha) / a0};
    }
    void Apply(std::vector<double>& x) const {
        double x1 = 0, x2 = 0, y1 = 0, y2 = 0;
        for (double& v : x) {
            const double y = b0 * v + b1 * x1 + b2 * x2 - a1 * y1 - a2 * y2;
            x2 = x1, x1 = v, y2 = y1, y1 = y, v = y;
        }
    }
    double MagnitudeDb(double f) const {
        const std::complex<double> z = std::polar(1.0, -2 * std::numbers::pi * f / kRate);
        return 20 * std::log10(std::abs((b0 + b1 * z + b2 * z * z) / (1.0 + a1 * z + a2 * z * z)));
    }
};

struct LinearCase {
    std::string name;
    std::function<void(std::vector<double>&)> device;
    std::function<double(double)> expectedDb;
    std::int64_t latency; // -1: not checked
    bool byReference;     // deconvolve by the sweep's samples as a reference file
};

class LinearSystem : public testing::TestWithParam<LinearCase> {};

TEST_P(LinearSystem, IsRecoveredWithinATenthOfADecibel) {
    const LinearCase& c = GetParam();
    const SyncSweep sweep(TestSweep());
    std::vector<double> recording = sweep.Samples();
    c.device(recording);
    const SweepResponse r =
        c.byReference
            ? SweepDeconvolution::AnalyseReference(recording, kRate, sweep.Samples(), kRate, {})
            : SweepDeconvolution::Analyse(recording, kRate, sweep, {});
    if (c.latency >= 0) {
        EXPECT_EQ(r.LatencySamples, c.latency);
    }
    int checked = 0;
    for (const ResponsePoint& p : r.Response) {
        if (p.FrequencyHz >= 40.0 && p.FrequencyHz <= 10000.0) {
            EXPECT_NEAR(p.MagnitudeDb, c.expectedDb(p.FrequencyHz), 0.1) << p.FrequencyHz << " Hz";
            ++checked;
        }
    }
    EXPECT_GT(checked, 300);
}

void Delay(std::vector<double>& x) {
    x.insert(x.begin(), 1234, 0.0);
}

INSTANTIATE_TEST_SUITE_P(
    Deconvolution, LinearSystem,
    testing::Values(
        LinearCase{"PeakingAndLowPass",
                   [](std::vector<double>& x) {
                       Biquad::Peaking(1000, 1, 6).Apply(x);
                       Biquad::LowPass(2000, std::numbers::sqrt2 / 2).Apply(x);
                   },
                   [](double f) {
                       return Biquad::Peaking(1000, 1, 6).MagnitudeDb(f) +
                              Biquad::LowPass(2000, std::numbers::sqrt2 / 2).MagnitudeDb(f);
                   },
                   -1, false},
        LinearCase{"Delay1234", Delay, [](double) { return 0.0; }, 1234, false},
        LinearCase{"Delay1234ByReference", Delay, [](double) { return 0.0; }, 1234, true}),
    [](const testing::TestParamInfo<LinearCase>& info) { return info.param.name; });

TEST(SweepDeconvolution, IdentityIsFlatWithoutHarmonics) {
    const SyncSweep sweep(TestSweep(-1.0));
    std::vector<double> recording = sweep.Samples();
    for (double& v : recording) {
        v = static_cast<float>(v);
    }
    const SweepResponse r = SweepDeconvolution::Analyse(recording, kRate, sweep, {});
    EXPECT_EQ(r.LatencySamples, 0);
    EXPECT_FALSE(r.Clipped);
    for (const ResponsePoint& p : r.Response) {
        if (p.FrequencyHz >= 40.0 && p.FrequencyHz <= 10000.0) {
            EXPECT_NEAR(p.MagnitudeDb, 0.0, 0.05) << p.FrequencyHz << " Hz";
        }
    }
    for (const DistortionPoint& p : r.Distortion) {
        EXPECT_LT(p.ThdDb, -120.0) << p.FrequencyHz << " Hz";
    }
}

// y = x + a x^2 + b x^3 driven by a sine of amplitude A gives a fundamental A + 3 b A^3 / 4,
// a second harmonic a A^2 / 2 and a third b A^3 / 4. The sweep lasts 5 s: at 2 s the second
// harmonic's low end rings into the third's window by about 1 dB of its -84 dB.
TEST(SweepDeconvolution, MemorylessPolynomialGivesClosedFormHarmonics) {
    const double a = 0.01, b = 0.001, amplitude = 0.5;
    const SyncSweep sweep(TestSweep(20 * std::log10(amplitude), 5.0));
    std::vector<double> recording = sweep.Samples();
    for (double& x : recording) {
        x = x + a * x * x + b * x * x * x;
    }
    const SweepResponse r = SweepDeconvolution::Analyse(recording, kRate, sweep, {});
    const double fundamental = amplitude + 3 * b * std::pow(amplitude, 3) / 4;
    const double h2 = 20 * std::log10(a * amplitude * amplitude / 2 / fundamental);
    const double h3 = 20 * std::log10(b * std::pow(amplitude, 3) / 4 / fundamental);
    int checked = 0;
    for (const DistortionPoint& p : r.Distortion) {
        if (p.FrequencyHz >= 40.0 && p.FrequencyHz <= 5000.0) {
            EXPECT_NEAR(p.HarmonicDb[0], h2, 0.1) << p.FrequencyHz << " Hz";
            EXPECT_NEAR(p.HarmonicDb[1], h3, 0.1) << p.FrequencyHz << " Hz";
            ++checked;
        }
    }
    EXPECT_GT(checked, 300);
    ASSERT_EQ(r.HarmonicPeakOffsets.size(), 4u);
    for (int n = 2; n <= 3; ++n) {
        EXPECT_NEAR(static_cast<double>(r.HarmonicPeakOffsets[n - 2]), -sweep.HarmonicAdvance(n),
                    1.0)
            << "H" << n;
    }
}

TEST(SyncSweep, RoundsLSoThatF1LIsWhole) {
    const SyncSweep sweep({20.0, 20000.0, 10.0, 0, 0, 0.5, 1.0, -6.0, kRate});
    const double cycles = 20.0 * sweep.L();
    EXPECT_NEAR(cycles, std::round(20.0 * 10.0 / std::log(1000.0)), 1e-9);
    EXPECT_NEAR(sweep.LengthS(), sweep.L() * std::log(1000.0), 1e-12);
    EXPECT_EQ(sweep.SweepSamples(), std::llround(sweep.LengthS() * kRate));
    EXPECT_EQ(sweep.PreSamples(), 24000);
    const std::vector<double> x = sweep.Samples();
    EXPECT_EQ(x[24000], 0.0);
    EXPECT_NEAR(*std::max_element(x.begin(), x.end()), std::pow(10.0, -6.0 / 20), 1e-6);
}

struct BadInput {
    std::string name;
    std::function<void()> run;
    std::string message;
};

class RefusedInput : public testing::TestWithParam<BadInput> {};

TEST_P(RefusedInput, IsNamed) {
    try {
        GetParam().run();
        FAIL() << "accepted";
    } catch (const std::invalid_argument& e) {
        EXPECT_NE(std::string(e.what()).find(GetParam().message), std::string::npos) << e.what();
    }
}

void Measure(std::vector<double> recording, double rate) {
    const SyncSweep sweep(TestSweep());
    SweepDeconvolution::Analyse(recording, rate, sweep, {});
}

SyncSweepInput With(double f1, double f2, double length) {
    SyncSweepInput input = TestSweep();
    input.StartHz = f1, input.StopHz = f2, input.LengthS = length;
    return input;
}

INSTANTIATE_TEST_SUITE_P(
    Deconvolution, RefusedInput,
    testing::Values(
        BadInput{"StopBelowStart", [] { SyncSweep(With(1000, 20, 1)); }, "must be above the start"},
        BadInput{"StopAboveNyquist", [] { SyncSweep(With(20, 30000, 1)); }, "(24000 Hz)"},
        BadInput{"TooShort", [] { SyncSweep(With(20, 20000, 0.01)); }, "too short for one octave"},
        BadInput{"OtherRate", [] { Measure(SyncSweep(TestSweep()).Samples(), 44100); },
                 "(44100 Hz) differs from the sweep's (48000 Hz)"},
        BadInput{"ShorterThanSweep", [] { Measure(std::vector<double>(48000, 0.1), kRate); },
                 "is shorter than"},
        BadInput{"Silent", [] { Measure(std::vector<double>(200000, 0.0), kRate); }, "silent"},
        BadInput{"SilentReference",
                 [] {
                     SweepDeconvolution::AnalyseReference(std::vector<double>(1000, 0.1), kRate,
                                                          std::vector<double>(1000), kRate, {});
                 },
                 "reference is silent"}),
    [](const testing::TestParamInfo<BadInput>& info) { return info.param.name; });

} // namespace
} // namespace zembrel
