#include "core/generators/NoiseGenerator.h"
#include "core/generators/CalculationProtocol.h"
#include "core/generators/FrequencyListFile.h"
#include "core/generators/RandomNumberGenerator.h"
#include "core/signal/SampleArray.h"
#include "core/signal/SignalBase.h"
#include "tests/core/generators/ReportRecorder.h"

#include "tests/core/TestSupport.h"

#include <fftw3.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <complex>
#include <ctime>
#include <limits>
#include <numeric>
#include <thread>
#include <vector>

namespace zembrel {
namespace {

constexpr double kPi = 3.141592653589793;

using Recorder = test::ReportRecorder;

// The discrete Fourier transform of a channel (FFTW, all bins at once), scaled so that a sine of
// amplitude a at whole bin m (m / duration Hz) gives the magnitude a.
class Spectrum {
public:
    explicit Spectrum(const SampleArray& x) : bins_(x.size() / 2 + 1) {
        std::vector<double> in(x.begin(), x.end());
        const int n = static_cast<int>(x.size());
        fftw_plan plan = fftw_plan_dft_r2c_1d(
            n, in.data(), reinterpret_cast<fftw_complex*>(bins_.data()), FFTW_ESTIMATE);
        fftw_execute(plan);
        fftw_destroy_plan(plan);
        for (auto& bin : bins_) {
            bin *= 2.0 / n;
        }
    }
    std::complex<double> Bin(long m) const { return bins_.at(static_cast<std::size_t>(m)); }
    double Amplitude(long m) const { return std::abs(Bin(m)); }

private:
    std::vector<std::complex<double>> bins_;
};

double Db(double amplitude) {
    return 20.0 * std::log10(amplitude);
}

struct NoiseRun {
    SignalBase signal;
    std::vector<int> reports;
    int progress = -1;
    bool usable = false;
};

NoiseRun Noise(double start, double stop, double step, double amplitude, NoiseMode mode,
               SignalBase signal, double offset = 0.0, int stopAfter = -1,
               SynthesisMethod method = SynthesisMethod::Automatic) {
    NoiseRun run{std::move(signal), {}, -1, false};
    Recorder observer(stopAfter);
    run.usable = RunNoiseBand(run.signal, start, stop, step, amplitude, offset, mode, run.progress,
                              observer, method);
    run.reports = observer.reports;
    return run;
}

// 1 s at 1000 Hz: bins fall on whole hertz.
SignalBase Second(int channels = 1) {
    return SignalBase(1000.0, 1.0, 16, 32768, channels);
}

TEST(NoiseBand, CountsLinesWithoutLosingTheFractionalTail) {
    struct Case {
        double start, stop, step;
        double first;
        int count;
    };
    const Case cases[] = {
        {100, 110, 1, 100, 11},
        {110, 100, 1, 100, 11}, // edges exchanged
        {100, 110.9, 1, 100, 11},
        {0, 10, 3, 0, 4}, // whole steps: as before
        {100, 102, 0.5, 100, 5},
        {500, 500, 1, 500, 1}, // equal edges
        {100, 101, 5, 100, 1},
        {100, 110.9, 0.1, 100, 110}, // step beyond the span
        {100, 100.5, 0.01, 100, 51},
        {0, 10, 0.1, 0, 101}, // 10 / 0.1 counts 100
        {100, 100.3, 0.1, 100, 4},
        {20, 20000, 1, 20, 19981},
        {100.5, 100.2, 1, 100.2, 1},
        {0, 2147483646, 1, 0, 2147483647},
        // a step far below the resolution of the edges: no guard of lines on a band of no width
        {1000, 1000, 1e-13, 1000, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.start << " ... " << c.stop << " / " << c.step);
        const NoiseBand band = PlanNoiseBand(c.start, c.stop, c.step);
        ASSERT_TRUE(band.Usable()) << band.Problem;
        EXPECT_EQ(band.Count, c.count);
        EXPECT_EQ(band.Start, c.first);
        EXPECT_LE(band.Frequency(band.Count - 1), band.Stop + 1e-9);
        EXPECT_GT(band.Frequency(band.Count), band.Stop);
    }
}

TEST(NoiseBand, RefusesBandsThatCannotBeWalked) {
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    struct Case {
        double start, stop, step;
        const char* reason;
    };
    const Case cases[] = {
        {100, 200, 0, "not positive"},
        {100, 200, -1, "not positive"},
        {100, 200, nan, "finite"},
        {nan, 200, 1, "finite"},
        {100, inf, 1, "finite"},
        {-1e308, 1e308, 1, "cannot be counted"},
        {0, 20000, 1e-6, "more than"},
        {0, 2147483647, 1, "more than"},
        {0, 1e300, 1e-300, "cannot be counted"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.start << " ... " << c.stop << " / " << c.step);
        const NoiseBand band = PlanNoiseBand(c.start, c.stop, c.step);
        EXPECT_FALSE(band.Usable());
        EXPECT_EQ(band.Count, 0);
        EXPECT_NE(band.Problem.find(c.reason), std::string::npos) << band.Problem;

        // The worker adds nothing, reports nothing and returns at once.
        const NoiseRun run = Noise(c.start, c.stop, c.step, 1.0, NoiseMode::White, Second());
        EXPECT_FALSE(run.usable);
        EXPECT_EQ(run.progress, 0);
        EXPECT_TRUE(run.reports.empty());
        EXPECT_EQ(run.signal.Mono, Second().Mono);
    }
}

TEST(NoiseWorker, ReportsBeforeEachLineAndPutsTheLinesWhereTheBandSays) {
    struct Case {
        double start, stop, step;
        std::vector<int> reports;
        std::vector<int> lines; // Hz
    };
    const Case cases[] = {
        {100,
         110,
         1,
         {9, 18, 27, 36, 45, 54, 63, 72, 81, 90, 100},
         {100, 101, 102, 103, 104, 105, 106, 107, 108, 109, 110}},
        {110,
         100,
         1,
         {9, 18, 27, 36, 45, 54, 63, 72, 81, 90, 100},
         {100, 101, 102, 103, 104, 105, 106, 107, 108, 109, 110}},
        {100, 110, 3, {25, 50, 75, 100}, {100, 103, 106, 109}},
        {300, 300, 7, {100}, {300}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.start << " ... " << c.stop << " / " << c.step);
        const NoiseRun run = Noise(c.start, c.stop, c.step, 0.25, NoiseMode::White, Second());
        EXPECT_EQ(run.reports, c.reports);
        EXPECT_EQ(run.progress, 100);
        const Spectrum spectrum(run.signal.Mono);
        for (int f = 90; f <= 320; ++f) {
            const bool line = std::find(c.lines.begin(), c.lines.end(), f) != c.lines.end();
            EXPECT_NEAR(spectrum.Amplitude(f), line ? 0.25 : 0.0, 1e-9) << f << " Hz";
        }
    }
}

TEST(NoiseWorker, ExchangedEdgesGiveTheSameBand) {
    RandomNumberGenerator::Seed(4711);
    const NoiseRun up = Noise(100, 110, 1, 1.0, NoiseMode::White, Second(2), 30.0);
    RandomNumberGenerator::Seed(4711);
    const NoiseRun down = Noise(110, 100, 1, 1.0, NoiseMode::White, Second(2), 30.0);
    EXPECT_EQ(up.signal.Left, down.signal.Left);
    EXPECT_EQ(up.signal.Right, down.signal.Right);
}

TEST(NoiseWorker, AFractionalBandKeepsItsLastLine) {
    // 10 s at 1000 Hz: bins every 0.1 Hz. The last line lies at 110.9 Hz.
    const NoiseRun run =
        Noise(100, 110.9, 0.1, 1.0, NoiseMode::White, SignalBase(1000, 10, 16, 32768, 1));
    EXPECT_EQ(run.progress, 100);
    const Spectrum spectrum(run.signal.Mono);
    for (long bin = 1000; bin <= 1109; ++bin) {
        ASSERT_NEAR(spectrum.Amplitude(bin), 1.0, 1e-6) << bin / 10.0 << " Hz";
    }
    EXPECT_NEAR(spectrum.Amplitude(1110), 0.0, 1e-6);
    EXPECT_NEAR(spectrum.Amplitude(999), 0.0, 1e-6);

    const NoiseRun fine =
        Noise(100, 100.5, 0.01, 1.0, NoiseMode::White, SignalBase(1000, 0.01, 16, 32768, 1));
    EXPECT_EQ(fine.reports.size(), 51u);
    EXPECT_EQ(fine.reports.back(), 100);
}

TEST(NoiseWorker, StopTakesEffectBetweenLines) {
    const SignalBase silent = Second();
    RandomNumberGenerator::Seed(99);
    const NoiseRun before = Noise(100, 110, 1, 1.0, NoiseMode::White, silent, 0.0, 0);
    EXPECT_EQ(before.progress, 0);
    EXPECT_TRUE(before.reports.empty());
    EXPECT_EQ(before.signal.Mono, silent.Mono);
    EXPECT_EQ(RandomNumberGenerator::State(), 99u); // no phase drawn

    for (SynthesisMethod method : {SynthesisMethod::Automatic, SynthesisMethod::PerSample}) {
        // A stop during the third line: no fourth is started, progress stays below 100.
        const NoiseRun third = Noise(100, 110, 1, 1.0, NoiseMode::White, silent, 0.0, 3, method);
        EXPECT_EQ(third.reports, (std::vector<int>{9, 18, 27}));
        EXPECT_EQ(third.progress, 27);
        // A stop during the last line still completes the band.
        const NoiseRun last = Noise(100, 110, 1, 1.0, NoiseMode::White, silent, 0.0, 11, method);
        EXPECT_EQ(last.progress, 100);
        EXPECT_NEAR(Spectrum(last.signal.Mono).Amplitude(110), 1.0, 1e-9);
    }
    // Line by line, the third line is completed before the stop takes effect.
    const NoiseRun third =
        Noise(100, 110, 1, 1.0, NoiseMode::White, silent, 0.0, 3, SynthesisMethod::PerSample);
    const Spectrum spectrum(third.signal.Mono);
    EXPECT_NEAR(spectrum.Amplitude(102), 1.0, 1e-9);
    EXPECT_NEAR(spectrum.Amplitude(103), 0.0, 1e-9);
}

TEST(NoiseSpectrum, WhiteBandIsFlatOverItsLinesAndEmptyOutside) {
    const NoiseRun run = Noise(100, 200, 1, 0.5, NoiseMode::White, Second());
    const Spectrum spectrum(run.signal.Mono);
    for (int f = 50; f <= 300; ++f) {
        const double a = spectrum.Amplitude(f);
        if (f >= 100 && f <= 200) {
            ASSERT_NEAR(Db(a), Db(0.5), 0.5) << f << " Hz";
        } else {
            ASSERT_LT(a, 0.5e-6) << f << " Hz"; // below -120 dB of a line
        }
    }
}

TEST(NoiseSpectrum, StereoOffsetMakesTheRightChannelLeadOnEveryLine) {
    for (double offset : {90.0, -45.0}) {
        const NoiseRun run = Noise(100, 200, 1, 1.0, NoiseMode::White, Second(2), offset);
        const Spectrum left(run.signal.Left);
        const Spectrum right(run.signal.Right);
        for (int f = 100; f <= 200; ++f) {
            const double lead = std::arg(right.Bin(f) / left.Bin(f)) * 180.0 / kPi;
            ASSERT_NEAR(lead, offset, 1e-6) << f << " Hz";
        }
    }
    // Mono ignores the offset; it changes nothing but the right channel.
    RandomNumberGenerator::Seed(5);
    const NoiseRun mono = Noise(100, 120, 1, 1.0, NoiseMode::White, Second(), 90.0);
    RandomNumberGenerator::Seed(5);
    const NoiseRun plain = Noise(100, 120, 1, 1.0, NoiseMode::White, Second(), 0.0);
    EXPECT_EQ(mono.signal.Mono, plain.signal.Mono);
}

// 20 Hz ... 20 kHz in steps of 1 Hz over 1 s at 44100 Hz: 19981 lines.
TEST(NoiseSpectrum, PinkFallsThreeDecibelsPerOctaveWithEqualEnergyInEveryOctave) {
    const NoiseRun run =
        Noise(20, 20000, 1, 7.0, NoiseMode::Pink, SignalBase(44100.0, 1.0, 16, 32768, 1));
    ASSERT_EQ(run.progress, 100);
    // A report is made whenever the percentage changes: 0 (first of 19981 lines) ... 100.
    ASSERT_EQ(run.reports.size(), 101u);
    const Spectrum spectrum(run.signal.Mono);
    std::vector<double> power(20001, 0.0);
    for (int f = 20; f <= 20000; ++f) {
        power[f] = std::norm(spectrum.Bin(f));
    }

    // The least-squares slope of the line levels over log2(f): dB per octave.
    double sx = 0, sy = 0, sxx = 0, sxy = 0;
    const int n = 19981;
    for (int f = 20; f <= 20000; ++f) {
        const double x = std::log2(f);
        const double y = 10.0 * std::log10(power[f]);
        sx += x;
        sy += y;
        sxx += x * x;
        sxy += x * y;
    }
    const double slope = (n * sxy - sx * sy) / (n * sxx - sx * sx);
    EXPECT_NEAR(slope, -10.0 * std::log10(2.0), 0.1);
    // The reference: 1 Hz would have amplitude 1 (the amplitude argument plays no part).
    EXPECT_NEAR(std::sqrt(power[100]), 0.1, 1e-9);
    EXPECT_NEAR(std::sqrt(power[10000]), 0.01, 1e-9);

    // The full octaves 20-40, 40-80, ... 5120-10240 Hz.
    std::vector<double> octaves;
    for (int low = 20; 2 * low <= 20000; low *= 2) {
        double sum = 0.0;
        for (int f = low; f < 2 * low; ++f) {
            sum += power[f];
        }
        octaves.push_back(10.0 * std::log10(sum));
    }
    ASSERT_EQ(octaves.size(), 9u);
    const double mean = std::accumulate(octaves.begin(), octaves.end(), 0.0) / octaves.size();
    for (std::size_t i = 0; i < octaves.size(); ++i) {
        EXPECT_NEAR(octaves[i], mean, 0.3) << "octave from " << (20 << i) << " Hz";
    }
    // Outside the band there is nothing.
    EXPECT_LT(spectrum.Amplitude(19), 1e-9);
    EXPECT_LT(spectrum.Amplitude(20001), 1e-9);
}

TEST(NoiseSpectrum, PinkRunsInTheSameSecondAgreeAndInDifferentSecondsDiffer) {
    const auto pink = [](double amplitude) {
        return Noise(20, 2000, 10, amplitude, NoiseMode::Pink, SignalBase(8000, 0.1, 16, 32768, 2),
                     90.0);
    };
    bool compared = false;
    for (int attempt = 0; attempt < 5 && !compared; ++attempt) {
        const std::time_t before = std::time(nullptr);
        RandomNumberGenerator::Seed(1); // whatever came before, each run seeds itself
        const NoiseRun first = pink(1.0);
        const NoiseRun second = pink(3.0); // the amplitude argument has no effect on pink noise
        if (std::time(nullptr) == before) {
            EXPECT_EQ(first.signal.Left, second.signal.Left);
            EXPECT_EQ(first.signal.Right, second.signal.Right);
            compared = true;
        }
    }
    ASSERT_TRUE(compared) << "the clock kept changing";

    const NoiseRun earlier = pink(1.0);
    const std::time_t second = std::time(nullptr);
    while (std::time(nullptr) == second) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    const NoiseRun later = pink(1.0);
    EXPECT_NE(earlier.signal.Left, later.signal.Left);
}

// The memory of a run does not grow with the number of lines: no copy of the signal is made.
TEST(NoiseWorker, AddsEveryLineInPlace) {
    static long long largeBytes = 0;
    static long long largest = 0;
    SignalBase signal(44100.0, 3.0, 16, 32768, 2); // 1 MiB and more per channel
    ASSERT_GE(signal.SampleCount * sizeof(double), detail::kLargeBlock);
    largeBytes = 0;
    largest = 0;
    detail::SetLargeBlockObserver([](long long delta) {
        largeBytes += delta;
        largest = std::max(largest, largeBytes);
    });
    int progress = 0;
    Recorder observer;
    RunNoiseBand(signal, 1000, 1004, 1, 1.0, 0.0, NoiseMode::White, progress, observer);
    detail::SetLargeBlockObserver(nullptr);
    EXPECT_EQ(progress, 100);
    EXPECT_EQ(largest, 0);
}

TEST(BandList, RecordsCarryTheLineWhereTheyStart) {
    test::TempDir dir;
    const std::string path = dir.File("bands.txt");
    test::WriteText(path, "Level -6 dB\n1;100;200;1;0.5\n\n2;1000;\n1100;10;0.2\n");
    const FrequencyList list = ReadFrequencyList(path, kBandListReset);
    ASSERT_EQ(list.Records.size(), 3u);
    EXPECT_EQ(list.Lines, (std::vector<int>{2, 4, 6})); // the last: the reset record at the end
    for (const auto& r : list.Records) {
        EXPECT_TRUE(PlanNoiseBand(r[0], r[1], r[2]).Usable());
    }
    EXPECT_EQ(PlanNoiseBand(list.Records[0][0], list.Records[0][1], list.Records[0][2]).Count, 101);
}

} // namespace
} // namespace zembrel
