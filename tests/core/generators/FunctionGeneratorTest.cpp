#include "core/generators/FunctionGenerator.h"
#include "core/generators/CalculationProtocol.h"
#include "core/signal/SignalBase.h"
#include "tests/core/generators/FastPathCompare.h"
#include "tests/core/generators/ReportRecorder.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <complex>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

namespace zembrel {
namespace {

using Recorder = test::ReportRecorder;

TEST(RunUnits, ReportsIntegerPercentagesBeforeEachUnit) {
    Recorder one;
    int progress = -1;
    int units = 0;
    RunUnits(1, progress, one, [&](int) { ++units; });
    EXPECT_EQ(one.reports, std::vector<int>{100});
    EXPECT_EQ(progress, 100);
    EXPECT_EQ(units, 1);

    Recorder eleven;
    RunUnits(11, progress, eleven, [](int) {});
    EXPECT_EQ(eleven.reports, (std::vector<int>{9, 18, 27, 36, 45, 54, 63, 72, 81, 90, 100}));

    // More units than percent: each value is reported once, when it is first reached.
    Recorder many;
    units = 0;
    RunUnits(19981, progress, many, [&](int) { ++units; });
    EXPECT_EQ(units, 19981);
    ASSERT_EQ(many.reports.size(), 101u);
    for (int p = 0; p <= 100; ++p) {
        EXPECT_EQ(many.reports[p], p);
    }
}

TEST(RunUnits, StopFinishesTheUnitInHandAndLeavesProgressBelow100) {
    Recorder stopper(4); // stop requested during the 4th unit
    int progress = 0;
    std::vector<int> done;
    RunUnits(11, progress, stopper, [&](int index) { done.push_back(index); });
    EXPECT_EQ(done, (std::vector<int>{0, 1, 2, 3}));
    EXPECT_EQ(progress, 36);

    // A stop during the last unit comes after the report of 100: the result counts.
    Recorder late(11);
    RunUnits(11, progress, late, [](int) {});
    EXPECT_EQ(progress, 100);
}

// The hand-over between a worker and a GUI-like thread: reports run on the main thread while
// the worker waits, the stop flag is atomic. Run under ThreadSanitizer by the test command.
TEST(RunUnits, HandOverBetweenThreadsIsRaceFree) {
    for (int cycle = 0; cycle < 200; ++cycle) {
        struct Handoff : CalculationObserver {
            std::mutex m;
            std::condition_variable cv;
            int pending = -1;
            bool done = false;
            std::atomic<bool> stop{false};
            bool StopRequested() const override { return stop.load(); }
            void Report(int percent) override {
                std::unique_lock lock(m);
                pending = percent;
                cv.notify_all();
                cv.wait(lock, [&] { return pending == -1; });
            }
        } gui;
        int progress = 0;
        std::vector<double> work(64, 0.0);
        std::thread worker([&] {
            RunUnits(20, progress, gui, [&](int index) { work[index % 64] += 1.0; });
            std::lock_guard lock(gui.m);
            gui.done = true;
            gui.cv.notify_all();
        });
        int shown = 0;
        std::unique_lock lock(gui.m);
        while (!gui.done) {
            gui.cv.wait(lock, [&] { return gui.pending != -1 || gui.done; });
            if (gui.pending != -1) {
                shown = progress; // read only while the worker waits
                EXPECT_EQ(shown, gui.pending);
                if (cycle % 3 == 0 && shown >= 50) {
                    gui.stop = true;
                }
                gui.pending = -1;
                gui.cv.notify_all();
            }
        }
        lock.unlock();
        worker.join();
        EXPECT_EQ(progress == 100, cycle % 3 != 0) << cycle;
    }
}

TEST(FourierHarmonics, CountsAndSignsFollowTheSeries) {
    const auto square = FourierHarmonics(Waveform::Square, 1000.0, 44100.0);
    ASSERT_EQ(square.size(), 11u);
    EXPECT_EQ(square.front().Number, 1);
    EXPECT_EQ(square.back().Number, 21);
    EXPECT_DOUBLE_EQ(square[1].Amplitude, 4.0 / (3 * M_PI));

    const auto triangle = FourierHarmonics(Waveform::Triangle, 1000.0, 44100.0);
    ASSERT_EQ(triangle.size(), 11u);
    EXPECT_GT(triangle[0].Amplitude, 0.0);
    EXPECT_LT(triangle[1].Amplitude, 0.0);
    EXPECT_DOUBLE_EQ(triangle[1].Amplitude, -8.0 / (M_PI * M_PI * 9));

    const auto saw = FourierHarmonics(Waveform::Sawtooth, 1000.0, 44100.0);
    ASSERT_EQ(saw.size(), 22u);
    EXPECT_DOUBLE_EQ(saw[1].Amplitude, -2.0 / (2 * M_PI));

    for (Waveform w : {Waveform::Square, Waveform::Triangle, Waveform::Sawtooth}) {
        EXPECT_EQ(FourierHarmonics(w, 22050.0, 44100.0).size(), 1u); // f = fs/2: one harmonic
    }
    EXPECT_EQ(FourierHarmonics(Waveform::Square, 10.0, 44100.0).size(), 1103u);
    EXPECT_EQ(FourierHarmonics(Waveform::Sawtooth, 10.0, 44100.0).size(), 2205u);
}

SignalBase Generate(Waveform w, double f, double phase, double offset, int channels,
                    double rate = 44100.0, double duration = 1.0) {
    SignalBase s(rate, duration, 16, 32768, channels);
    Recorder observer;
    int progress = 0;
    RunFunctionGenerator(s, w, f, phase, offset, progress, observer);
    EXPECT_EQ(progress, 100);
    return s;
}

TEST(FunctionGenerator, SquareWithOnlyItsFundamentalIsAPureSine) {
    const SignalBase s = Generate(Waveform::Square, 11025.0, 0.0, 0.0, 1);
    for (int i = 0; i < 100; ++i) {
        EXPECT_NEAR(s.Mono[i], 4.0 / M_PI * std::sin(2 * M_PI * 11025.0 * i / 44100.0), 1e-12);
    }
}

TEST(FunctionGenerator, StereoOffsetOf180NegatesTheSquare) {
    const SignalBase s = Generate(Waveform::Square, 1000.0, 30.0, 180.0, 2, 44100.0, 0.05);
    for (int i = 0; i < s.SampleCount; ++i) {
        ASSERT_NEAR(s.Right[i], -s.Left[i], 1e-9) << i;
    }
}

TEST(FunctionGenerator, PhaseShiftsTheWholeWaveInTime) {
    // A period of 441 Hz is 100 samples at 44100 Hz, so 90 degrees are exactly 25 samples.
    const SignalBase plain = Generate(Waveform::Sawtooth, 441.0, 0.0, 0.0, 1, 44100.0, 0.1);
    const SignalBase shifted = Generate(Waveform::Sawtooth, 441.0, 90.0, 0.0, 1, 44100.0, 0.1);
    for (int i = 0; i + 25 < plain.SampleCount; ++i) {
        ASSERT_NEAR(shifted.Mono[i], plain.Mono[i + 25], 1e-9) << i;
    }
}

// Magnitude of the component at frequency f (Hz) of a 1 s signal, as the amplitude of a sine.
double Amplitude(const SampleArray& x, double f, double rate) {
    std::complex<double> sum = 0.0;
    for (std::size_t i = 0; i < x.size(); ++i) {
        sum += x[i] * std::polar(1.0, -2 * M_PI * f * i / rate);
    }
    return 2.0 * std::abs(sum) / x.size();
}

TEST(FunctionGenerator, SquareHasOnlyOddHarmonicsAtOneOverKAndNoAliases) {
    const SignalBase s = Generate(Waveform::Square, 1000.0, 0.0, 0.0, 1);
    for (int k = 1; k <= 22; ++k) {
        const double a = Amplitude(s.Mono, 1000.0 * k, 44100.0);
        if (k % 2 == 1) {
            EXPECT_NEAR(a, 4.0 / (k * M_PI), 1e-9) << k;
        } else {
            EXPECT_LT(a, 1e-9) << k;
        }
    }
    // Harmonics 23, 25, 27 would fold back to 21.1, 19.1 and 17.1 kHz.
    for (double alias : {21100.0, 19100.0, 17100.0}) {
        EXPECT_LT(Amplitude(s.Mono, alias, 44100.0), 1e-9) << alias;
    }
}

// The FFT evaluation against the per-sample reference, on the generator's own cases.
TEST(FunctionGenerator, FastSeriesMatchesThePerSampleReference) {
    struct Case {
        Waveform waveform;
        double frequency, phase, offset, rate, duration;
        int channels;
    };
    const Case cases[] = {
        {Waveform::Square, 100.0, 0.0, 0.0, 44100.0, 0.5, 1},
        {Waveform::Triangle, 441.0, 33.0, 90.0, 44100.0, 0.3, 2},
        {Waveform::Sawtooth, 1001.0, 10.0, 180.0, 48000.0, 0.7, 2},
        {Waveform::Square, 37.3, 0.0, 45.0, 32075.0, 0.41, 2},
        {Waveform::Sawtooth, 10.0, 270.0, 0.0, 8000.0, 0.25, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.frequency) + " Hz");
        SignalBase fast(c.rate, c.duration, 16, 32768, c.channels);
        SignalBase reference = fast;
        Recorder fastReports, referenceReports;
        int p1 = 0, p2 = 0;
        RunFunctionGenerator(fast, c.waveform, c.frequency, c.phase, c.offset, p1, fastReports);
        RunFunctionGenerator(reference, c.waveform, c.frequency, c.phase, c.offset, p2,
                             referenceReports, SynthesisMethod::PerSample);
        ASSERT_GE(FourierHarmonics(c.waveform, c.frequency, c.rate).size(), 8u);
        EXPECT_EQ(fastReports.reports, referenceReports.reports);
        EXPECT_EQ(p1, 100);
        test::ExpectFastMatchesReference(fast, reference);
    }
}

TEST(FunctionGenerator, CancelledFastSeriesAddsNothing) {
    SignalBase s(44100.0, 0.1, 16, 32768, 1);
    Recorder stopper(3);
    int progress = 0;
    RunFunctionGenerator(s, Waveform::Square, 100.0, 0.0, 0.0, progress, stopper);
    EXPECT_LT(progress, 100);
    for (double v : s.Mono) {
        ASSERT_EQ(v, 0.0);
    }
}

} // namespace
} // namespace zembrel
