#include "generators/FinishSignal.h"

#include "signal/SampleConversion.h"
#include "signal/SignalBase.h"

#include <cmath>

namespace zembrel {

FinishSignal::FinishSignal(SignalBase& signal, double level) {
    const auto channels = signal.ChannelArrays();
    for (const auto* channel : channels) {
        for (double x : *channel) {
            const double a = x < 0.0 ? -x : x;
            if (a > Peak) {
                Peak = a;
            }
        }
    }
    const double exponent = 0.05 * level;
    TargetAmplitude = std::pow(10.0, exponent) * signal.NormValue;
    if (Peak == 0.0) {
        Peak = 1e-20;
    }
    // Scaling in place is safe: the caller's thread never sees the signal half done.
    const double offset = signal.Bits == 8 ? 128.0 : 0.0;
    for (auto* channel : channels) {
        for (double& x : *channel) {
            const double v = x / Peak * TargetAmplitude - 0.5;
            x = static_cast<double>(TruncToInt32(v)) + offset;
        }
    }
}

} // namespace zembrel
