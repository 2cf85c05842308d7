#include "core/analysis/FFT.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <ostream>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

namespace zembrel {
namespace {

constexpr double kPi = 3.141592653589793;

std::vector<double> Levels(const std::vector<double>& samples, int n, int window, int bits = 16,
                           int valid = -1) {
    const FFT fft(n, samples.data(), valid < 0 ? static_cast<int>(samples.size()) : valid, bits,
                  window, FFT::LevelsDb);
    std::vector<double> levels(n / 2);
    fft.CopyLevels(levels.data());
    return levels;
}

int Loudest(const std::vector<double>& levels) {
    return static_cast<int>(std::max_element(levels.begin(), levels.end()) - levels.begin());
}

// amplitude * sin(2 pi bin i / n) + centre, one period every n / bin samples.
std::vector<double> SineAtBin(int count, int n, double bin, double amplitude, double centre = 0.0) {
    std::vector<double> x(count);
    for (int i = 0; i < count; ++i) {
        x[i] = centre + amplitude * std::sin(2.0 * kPi * bin * i / n);
    }
    return x;
}

// --- Levels of known signals ---

struct WindowCase {
    int window;
    const char* name;
    double dB; // level of a full-scale sine centred on bin 64 of 1024
};

void PrintTo(const WindowCase& c, std::ostream* os) {
    *os << c.name;
}

class FFTWindowLevel : public ::testing::TestWithParam<WindowCase> {};

// The windows are normalised by their RMS value, so only the rectangular one reads 0 dB; the
// others read their coherent gain over RMS gain. These figures pin the coefficients (0.538 and
// 0.462 for Hamming), the symmetric N-1 denominator and the N/2 normalisation together.
TEST_P(FFTWindowLevel, FullScaleSineAtBin64) {
    const auto& c = GetParam();
    const auto levels = Levels(SineAtBin(1024, 1024, 64, 32768.0), 1024, c.window);
    EXPECT_EQ(Loudest(levels), 64);
    EXPECT_NEAR(levels[64], c.dB, 0.001) << c.name;
}

INSTANTIATE_TEST_SUITE_P(Windows, FFTWindowLevel,
                         ::testing::Values(WindowCase{FFT::Rectangular, "Rectangular", 0.000},
                                           WindowCase{FFT::Hamming, "Hamming", -1.366},
                                           WindowCase{FFT::Hanning, "Hanning", -1.765},
                                           WindowCase{FFT::Blackman, "Blackman", -2.377},
                                           WindowCase{FFT::BlackmanHarris, "Blackman Harris",
                                                      -3.024}));

TEST(FFTLevels, SilenceReadsMinus220EverywhereInBothBitDepths) {
    for (int window = FFT::Hanning; window <= FFT::Rectangular; ++window) {
        const auto silent16 = Levels(std::vector<double>(2048, 0.0), 2048, window, 16);
        const auto silent8 = Levels(std::vector<double>(2048, 128.0), 2048, window, 8);
        for (int k = 0; k < 1024; ++k) {
            ASSERT_EQ(silent16[k], -220.0) << "window " << window << " bin " << k;
            ASSERT_EQ(silent8[k], -220.0) << "window " << window << " bin " << k;
        }
    }
}

TEST(FFTLevels, RoundingResidueReadsBelowTheZeroSubstitute) {
    // Far from a rectangular-windowed tone only rounding noise is left; it is tiny but not
    // zero, so it is not lifted to -220 dB.
    const auto levels = Levels(SineAtBin(4096, 4096, 100, 32768.0), 4096, FFT::Rectangular);
    EXPECT_LT(*std::min_element(levels.begin(), levels.end()), -220.0);
}

TEST(FFTLevels, DcIsNormalisedLikeEveryOtherBin) {
    // N/2 normalises bin 0 too, so full-scale DC reads 20 log10(2) = +6.02 dB.
    const auto dc16 = Levels(std::vector<double>(1024, 32768.0), 1024, FFT::Rectangular);
    EXPECT_NEAR(dc16[0], 20.0 * std::log10(2.0), 1e-9);
    EXPECT_NEAR(dc16[0], 6.02, 0.005);
    // 8-bit samples are measured from 128 in steps of 1/128: 255 is 127/128 of full scale.
    const auto dc8 = Levels(std::vector<double>(1024, 255.0), 1024, FFT::Rectangular, 8);
    EXPECT_NEAR(dc8[0], 20.0 * std::log10(2.0 * 127.0 / 128.0), 1e-9);
    // 0 is -1 full scale, the same magnitude as +1.
    const auto low8 = Levels(std::vector<double>(1024, 0.0), 1024, FFT::Rectangular, 8);
    EXPECT_NEAR(low8[0], 20.0 * std::log10(2.0), 1e-9);
}

TEST(FFTLevels, EightBitSineCentredOn128) {
    // Amplitude 64 around 128 is half of full scale: -6.02 dB with the rectangular window.
    const auto levels = Levels(SineAtBin(2048, 2048, 300, 64.0, 128.0), 2048, FFT::Rectangular, 8);
    EXPECT_EQ(Loudest(levels), 300);
    EXPECT_NEAR(levels[300], 20.0 * std::log10(0.5), 1e-9);
    EXPECT_LT(levels[0], -200.0); // the 128 offset is removed, no DC remains
}

TEST(FFTLevels, OnlyTheFirstNSamplesAreAnalysed) {
    // A channel longer than N: what follows sample N-1 must not matter.
    auto longer = SineAtBin(1024, 1024, 64, 20000.0);
    const auto reference = Levels(longer, 1024, FFT::BlackmanHarris);
    longer.resize(5000, 30000.0);
    EXPECT_EQ(Levels(longer, 1024, FFT::BlackmanHarris), reference);
}

TEST(FFTLevels, ShortChannelIsZeroPaddedUnderTheFullWindow) {
    // 512 samples of full-scale DC under a 1024-point window: bin 0 collects the first half of
    // the window only. The vector holds exactly the valid samples, so reading past them is
    // caught by the address sanitiser.
    for (int window : {FFT::Rectangular, FFT::Hanning, FFT::Blackman}) {
        const std::vector<double> half(512, 32768.0);
        const FFT fft(1024, half.data(), 512, 16, window, FFT::LevelsDb);
        const auto& w = fft.Window();
        double firstHalf = 0.0, power = 0.0;
        for (int i = 0; i < 1024; ++i) {
            power += w[i] * w[i];
            firstHalf += i < 512 ? w[i] : 0.0;
        }
        power /= 1024;
        const double expected = 20.0 * std::log10(firstHalf / (512.0 * std::sqrt(power)));
        EXPECT_NEAR(fft.Levels()[0], expected, 1e-9) << "window " << window;
    }
    // An empty channel reads as silence.
    const FFT empty(1024, nullptr, 0, 16, FFT::Hanning, FFT::LevelsDb);
    EXPECT_EQ(empty.Levels()[5], -220.0);
}

TEST(FFTLevels, TheNyquistBinIsNotProduced) {
    // A tone at exactly fs/2 (+-1 alternating) has no bin of its own below N/2.
    std::vector<double> x(1024);
    for (int i = 0; i < 1024; ++i) {
        x[i] = i % 2 ? -32768.0 : 32768.0;
    }
    const FFT fft(1024, x.data(), 1024, 16, FFT::Rectangular, FFT::LevelsDb);
    std::vector<double> dest(520, 123.0);
    fft.CopyLevels(dest.data());
    EXPECT_LT(*std::max_element(dest.begin(), dest.begin() + 512), -200.0);
    // Exactly N/2 levels are copied.
    EXPECT_EQ(dest[512], 123.0);
    EXPECT_EQ(fft.Levels()[512], 0.0);
}

// --- Windows ---

TEST(FFTWindow, SymmetricWithTheStatedEndValues) {
    struct Case {
        int kind;
        double end; // w[0] = w[N-1]
    };
    const Case cases[] = {{FFT::Hanning, 0.0},
                          {FFT::Hamming, 0.538 - 0.462},
                          {FFT::Blackman, 0.42 - 0.5 + 0.08},
                          {FFT::BlackmanHarris, 0.35875 - 0.48829 + 0.14128 - 0.01168},
                          {FFT::Rectangular, 1.0}};
    for (const auto& c : cases) {
        for (int n : {2, 16, 1025}) {
            std::vector<double> w(n);
            FFT::MakeWindow(c.kind, n, w.data());
            EXPECT_NEAR(w[0], c.end, 1e-15) << c.kind;
            for (int i = 0; i < n / 2; ++i) {
                ASSERT_NEAR(w[i], w[n - 1 - i], 1e-12) << c.kind << " n " << n << " i " << i;
            }
            if (n % 2 == 1) {
                // At the centre every cosine term is -1, +1, -1: the coefficients add to 1.
                EXPECT_NEAR(w[n / 2], 1.0, 1e-12) << c.kind;
            }
        }
    }
}

// --- The transform step ---

std::vector<std::complex<double>> Transformed(const std::vector<std::complex<double>>& x) {
    const int n = static_cast<int>(x.size());
    std::vector<double> re(n), im(n), outRe(n), outIm(n);
    for (int i = 0; i < n; ++i) {
        re[i] = x[i].real();
        im[i] = x[i].imag();
    }
    FFT::Transform(re.data(), im.data(), outRe.data(), outIm.data(), n);
    std::vector<std::complex<double>> out(n);
    for (int i = 0; i < n; ++i) {
        out[i] = {outRe[i], outIm[i]};
    }
    return out;
}

TEST(FFTTransform, PositiveExponentPutsARisingPhasorIntoTheLastBin) {
    // X[k] = sum x[n] e^(+i 2 pi n k / N): e^(+i 2 pi n / 8) lands in bin 7, not bin 1.
    std::vector<std::complex<double>> x(8);
    for (int n = 0; n < 8; ++n) {
        x[n] = std::polar(1.0, 2.0 * kPi * n / 8.0);
    }
    const auto X = Transformed(x);
    for (int k = 0; k < 8; ++k) {
        EXPECT_NEAR(std::abs(X[k]), k == 7 ? 8.0 : 0.0, 1e-12) << "bin " << k;
    }
}

TEST(FFTTransform, AgreesWithAPlainDftOnRandomInput) {
    std::mt19937 rng(20240611);
    std::uniform_real_distribution<double> u(-1.0, 1.0);
    for (int n = 8; n <= 4096; n *= 2) {
        std::vector<std::complex<double>> x(n);
        for (auto& v : x) {
            v = {u(rng), u(rng)};
        }
        const auto X = Transformed(x);
        // The reference takes its phasors from a table of e^(+i 2 pi r / n), r = n k mod n,
        // formed in long double, so its own error stays at the level of one rounding per term.
        std::vector<std::complex<long double>> phasor(n);
        for (int r = 0; r < n; ++r) {
            const long double angle = 2.0L * 3.14159265358979323846264338327950288L * r / n;
            phasor[r] = {std::cos(angle), std::sin(angle)};
        }
        double errorSquared = 0.0, normSquared = 0.0;
        for (int k = 0; k < n; ++k) {
            std::complex<long double> sum = 0.0L;
            for (int m = 0; m < n; ++m) {
                sum += std::complex<long double>(x[m].real(), x[m].imag()) *
                       phasor[(static_cast<long long>(m) * k) % n];
            }
            const std::complex<double> ref(static_cast<double>(sum.real()),
                                           static_cast<double>(sum.imag()));
            errorSquared += std::norm(X[k] - ref);
            normSquared += std::norm(ref);
        }
        EXPECT_LE(std::sqrt(errorSquared / normSquared), 1e-9) << "N = " << n;
    }
}

// --- Arguments ---

TEST(FFTArguments, RejectsWhatTheAnalysisIsNotDefinedFor) {
    const std::vector<double> x(70000, 0.0);
    const int n = static_cast<int>(x.size());
    auto make = [&](int length, int bits, int window, int output) {
        FFT(length, x.data(), n, bits, window, output);
    };
    for (int length : {0, 1, 3, 1000, 1536, 131072, -1024}) {
        EXPECT_THROW(make(length, 16, FFT::Hanning, FFT::LevelsDb), std::invalid_argument)
            << length;
    }
    for (int bits : {0, 12, 24, 32}) {
        EXPECT_THROW(make(1024, bits, FFT::Hanning, FFT::LevelsDb), std::invalid_argument) << bits;
    }
    EXPECT_THROW(make(1024, 16, -1, FFT::LevelsDb), std::invalid_argument);
    EXPECT_THROW(make(1024, 16, 6, FFT::LevelsDb), std::invalid_argument);
    EXPECT_THROW(make(1024, 16, FFT::Hanning, 1), std::invalid_argument);
    EXPECT_NO_THROW(make(2, 8, FFT::Rectangular, FFT::LevelsDb));
    EXPECT_NO_THROW(make(65536, 16, FFT::BlackmanHarris, FFT::LevelsDb));
}

} // namespace
} // namespace zembrel
