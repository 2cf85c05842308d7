#include "core/generators/SyncSweepSignal.h"

#include "core/generators/CalculationProtocol.h"
#include "core/generators/FinishSignal.h"
#include "core/generators/Generate.h"
#include "core/signal/SignalBase.h"
#include "core/signal/SignalFormatRules.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <stdexcept>

namespace zembrel {

namespace {

SyncSweepInput AtRate(SyncSweepInput input, double rateHz) {
    input.RateHz = rateHz;
    return input;
}

// The duration whose sample count, as SignalBase counts it, is exactly samples.
double DurationOf(std::int64_t samples, double rateHz) {
    double duration = static_cast<double>(samples) / rateHz;
    while (std::trunc(SignalBase::ExactSampleCount(rateHz, duration)) <
           static_cast<double>(samples)) {
        duration = std::nextafter(duration, std::numeric_limits<double>::infinity());
    }
    return duration;
}

} // namespace

std::string CheckSyncSweepSignal(const SyncSweepInput& input, double rateHz) {
    try {
        const SyncSweep sweep(AtRate(input, rateHz));
        SignalFormatInput format;
        format.SampleRate = rateHz;
        format.Duration = DurationOf(sweep.TotalSamples(), rateHz);
        format.NormValue = 1;
        if (CheckSignalFormat(format).Duration) {
            char text[160];
            std::snprintf(text, sizeof text,
                          "The sweep with its silence lasts %.6g s; a signal holds at most "
                          "180 s.",
                          format.Duration);
            return text;
        }
    } catch (const std::invalid_argument& e) {
        return e.what();
    }
    return std::string();
}

GeneratorStatus GenerateSyncSweep(SignalBase& signal, const SyncSweepInput& input,
                                  CalculationObserver& observer) {
    if (!CheckSyncSweepSignal(input, signal.SampleRate).empty()) {
        return GeneratorStatus::Invalid;
    }
    if (observer.StopRequested()) {
        return GeneratorStatus::Stopped;
    }
    const SyncSweep sweep(AtRate(input, signal.SampleRate));
    const std::vector<double> samples = sweep.Samples();
    signal = SignalBase(signal.SampleRate, DurationOf(sweep.TotalSamples(), signal.SampleRate),
                        signal.Bits, signal.NormValue, signal.Channels);
    for (SampleArray* channel : signal.ChannelArrays()) {
        std::copy(samples.begin(), samples.begin() + signal.SampleCount, channel->begin());
    }
    FinishSignal(signal, input.LevelDb);
    return GeneratorStatus::Finished;
}

} // namespace zembrel
