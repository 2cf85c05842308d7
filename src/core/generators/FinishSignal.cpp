#include "core/generators/FinishSignal.h"

#include "core/signal/ParallelFor.h"
#include "core/signal/SampleKernels.h"
#include "core/signal/SignalBase.h"

#include <algorithm>
#include <cmath>
#include <mutex>

namespace zembrel {

FinishSignal::FinishSignal(SignalBase& signal, double level) {
    const auto channels = signal.ChannelArrays();
    // The largest magnitude does not depend on the order of the comparisons, so the ranges of
    // the cores are searched apart and their results compared at the end.
    std::mutex merge;
    for (const auto* channel : channels) {
        const double* x = channel->data();
        ParallelFor(static_cast<int>(channel->size()), [&, x](int begin, int end) {
            const double peak =
                LargestMagnitude(x + begin, static_cast<std::size_t>(end - begin), 0.0);
            std::lock_guard lock(merge);
            Peak = std::max(Peak, peak);
        });
    }
    const double exponent = 0.05 * level;
    TargetAmplitude = std::pow(10.0, exponent) * signal.NormValue;
    if (Peak == 0.0) {
        Peak = 1e-20;
    }
    // Scaling in place is safe: the caller's thread never sees the signal half done.
    const double offset = signal.Bits == 8 ? 128.0 : 0.0;
    const double peak = Peak;
    const double target = TargetAmplitude;
    for (auto* channel : channels) {
        double* x = channel->data();
        // x / Peak * TargetAmplitude - 0.5, truncated toward zero.
        ParallelFor(static_cast<int>(channel->size()), [=](int begin, int end) {
            ScaleToWholeNumbers(x + begin, static_cast<std::size_t>(end - begin), peak, target,
                                offset);
        });
    }
}

} // namespace zembrel
