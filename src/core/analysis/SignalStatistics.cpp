#include "core/analysis/SignalStatistics.h"

#include "core/signal/SignalBase.h"

#include <algorithm>
#include <cmath>

namespace zembrel {

SignalStatistics::SignalStatistics(const SignalBase& signal) : bits_(signal.Bits) {
    const int count = signal.SampleCount;
    if (signal.Channels == 2) {
        Compute(0, signal.Left.data(), count, signal.Bits);
        Compute(1, signal.Right.data(), count, signal.Bits);
    } else {
        Compute(0, signal.Mono.data(), count, signal.Bits);
    }
}

void SignalStatistics::Compute(int channel, const double* x, int count, int bits) {
    // A channel without samples has no figures; all six stay 0.
    if (count <= 0 || x == nullptr) {
        return;
    }
    const bool eightBit = bits == 8;
    const double centre = eightBit ? 128.0 : 0.0;

    // One pass; each sum is still accumulated in index order in its own double, so the
    // figures equal those of separate passes.
    double mx = x[0];
    double mn = x[0];
    double sum = 0.0;
    double sumSquares = 0.0;
    for (int i = 0; i < count; ++i) {
        const double v = x[i];
        if (v > mx) {
            mx = v;
        }
        if (v < mn) {
            mn = v;
        }
        sum += v;
        const double d = v - centre;
        sumSquares += d * d;
    }

    const double mean = sum / count;
    const double rms = std::sqrt(sumSquares / count) + centre;
    double crest;
    double dcOffset;
    if (eightBit) {
        dcOffset = (mean - 128.0) * (1.0 / 128.0) * 100.0;
        const double up = mx - 128.0;
        const double down = std::fabs(mn - 128.0);
        const double peak = up > down ? up : down;
        double divisor = rms - 128.0;
        if (divisor == 0.0) {
            divisor = 1.0;
        }
        crest = peak / divisor;
    } else {
        dcOffset = mean * (1.0 / 32768.0) * 100.0;
        double divisor = rms;
        if (divisor == 0.0) {
            divisor = 1.0;
        }
        const double down = std::fabs(mn);
        const double peak = mx > down ? mx : down;
        crest = peak / divisor;
    }

    minimum_[channel] = mn;
    maximum_[channel] = mx;
    mean_[channel] = mean;
    rms_[channel] = rms;
    dcOffset_[channel] = dcOffset;
    crestFactor_[channel] = crest;
}

double SignalStatistics::PeakDbfs(int channel) const {
    const double centre = bits_ == 8 ? 128.0 : 0.0;
    const double fullScale = bits_ == 8 ? 128.0 : 32768.0;
    const double peak = std::max(std::fabs(maximum_.at(channel) - centre),
                                 std::fabs(minimum_.at(channel) - centre));
    return 20.0 * std::log10(peak / fullScale);
}

double SignalStatistics::RmsDbfs(int channel) const {
    const double centre = bits_ == 8 ? 128.0 : 0.0;
    const double fullScale = bits_ == 8 ? 128.0 : 32768.0;
    return 20.0 * std::log10((rms_.at(channel) - centre) / fullScale);
}

} // namespace zembrel
