#include "core/generators/SyncSweepSignal.h"

#include "core/generators/CalculationProtocol.h"
#include "core/generators/Generate.h"
#include "core/signal/SignalBase.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace {

using zembrel::GeneratorStatus;
using zembrel::SignalBase;

class NeverStopped : public zembrel::CalculationObserver {
public:
    bool StopRequested() const override { return false; }
    void Report(int) override {}
};

zembrel::SyncSweepInput Sweep(double lengthS) {
    zembrel::SyncSweepInput input;
    input.StartHz = 100.0;
    input.StopHz = 4000.0;
    input.LengthS = lengthS;
    input.PreS = 0.1;
    input.PostS = 0.2;
    input.LevelDb = -6.0;
    input.RateHz = 1.0; // the signal's rate is taken
    return input;
}

// The signal keeps its format and takes the sweep's length to the sample; 8-bit silence stays
// at its centre.
TEST(SyncSweepSignal, TakesTheSweepsLengthInTheSignalsFormat) {
    SignalBase signal(8000.0, 1.0, 8, 128, 1);
    NeverStopped observer;
    ASSERT_EQ(zembrel::GenerateSyncSweep(signal, Sweep(2.0), observer), GeneratorStatus::Finished);
    zembrel::SyncSweepInput atRate = Sweep(2.0);
    atRate.RateHz = 8000.0;
    const zembrel::SyncSweep sweep(atRate);
    EXPECT_EQ(signal.SampleCount, sweep.TotalSamples());
    EXPECT_EQ(signal.SampleRate, 8000.0);
    EXPECT_EQ(signal.Bits, 8);
    EXPECT_EQ(signal.Channels, 1);
    EXPECT_EQ(signal.Mono[0], 128.0);
    EXPECT_EQ(signal.Mono[signal.SampleCount - 1], 128.0);
    const double peak = *std::max_element(signal.Mono.begin(), signal.Mono.end()) - 128.0;
    EXPECT_NEAR(peak, 128.0 * std::pow(10.0, -6.0 / 20.0), 1.5);
}

// What cannot be a sweep at the signal's rate, or does not fit a signal, is refused with a text
// and leaves the signal as it was.
TEST(SyncSweepSignal, RefusesWhatASignalCannotHold) {
    struct Case {
        zembrel::SyncSweepInput input;
        const char* text;
    };
    zembrel::SyncSweepInput aboveHalfRate = Sweep(2.0);
    aboveHalfRate.StopHz = 5000.0;
    for (const Case& c : {Case{Sweep(200.0), "a signal holds at most 180 s"},
                          Case{aboveHalfRate, "above half the sample rate"}}) {
        SignalBase signal(8000.0, 1.0, 16, 32768, 2);
        const SignalBase before = signal;
        EXPECT_NE(zembrel::CheckSyncSweepSignal(c.input, 8000.0).find(c.text), std::string::npos)
            << zembrel::CheckSyncSweepSignal(c.input, 8000.0);
        NeverStopped observer;
        EXPECT_EQ(zembrel::GenerateSyncSweep(signal, c.input, observer), GeneratorStatus::Invalid);
        EXPECT_EQ(signal.SampleCount, before.SampleCount);
        EXPECT_EQ(signal.Left, before.Left);
    }
}

} // namespace
