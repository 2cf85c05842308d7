#include "core/analysis/ChannelLevels.h"

#include "core/analysis/FFT.h"
#include "core/signal/FftwPlanning.h"
#include "core/signal/ParallelFor.h"
#include "core/signal/SignalBase.h"

#include <fftw3.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <memory>
#include <mutex>
#include <stdexcept>

namespace zembrel {

std::int32_t AnalyserFftLength(int index) {
    return static_cast<std::int32_t>(std::pow(2.0, index + 10));
}

namespace {

const SampleArray& Channel(const SignalBase& signal, int channel) {
    if (channel < 0 || channel > (signal.IsStereo() ? 1 : 0)) {
        throw std::invalid_argument("the signal has no channel " + std::to_string(channel));
    }
    if (!signal.IsStereo()) {
        return signal.Mono;
    }
    return channel == 0 ? signal.Left : signal.Right;
}

struct FftwFree {
    void operator()(void* p) const { fftw_free(p); }
};
template <typename T> std::unique_ptr<T[], FftwFree> FftwArray(std::size_t n) {
    auto* p = static_cast<T*>(fftw_malloc(sizeof(T) * n));
    if (p == nullptr) {
        throw std::bad_alloc();
    }
    return std::unique_ptr<T[], FftwFree>(p);
}

// A real-to-complex plan of one block length, run with the new-array interface by every core.
class RealPlan {
public:
    RealPlan(int n, double* in, fftw_complex* out) {
        std::lock_guard guard(FftwPlannerLock());
        plan_ = fftw_plan_dft_r2c_1d(n, in, out, FFTW_ESTIMATE);
    }
    ~RealPlan() {
        std::lock_guard guard(FftwPlannerLock());
        fftw_destroy_plan(plan_);
    }
    RealPlan(const RealPlan&) = delete;
    RealPlan& operator=(const RealPlan&) = delete;
    void Run(double* in, fftw_complex* out) const { fftw_execute_dft_r2c(plan_, in, out); }

private:
    fftw_plan plan_;
};

} // namespace

std::vector<double> ChannelLevels(const SignalBase& signal, std::int32_t length, int windowKind,
                                  int channel) {
    const SampleArray* samples = &Channel(signal, channel);
    // The transform reads the channel in place and only its first length samples.
    const FFT fft(length, samples->data(), signal.SampleCount, signal.Bits, windowKind,
                  FFT::LevelsDb);
    std::vector<double> levels(static_cast<std::size_t>(length / 2));
    fft.CopyLevels(levels.data());
    return levels;
}

AveragedLevels AverageChannelLevels(const SignalBase& signal, std::int32_t length, int windowKind,
                                    int channel) {
    const SampleArray& x = Channel(signal, channel);
    const std::int32_t count = signal.SampleCount;
    if (count < length) {
        return {ChannelLevels(signal, length, windowKind, channel), 1};
    }
    // ChannelLevels checks length and window; a block of the channel's start is the same block.
    const FFT check(length, x.data(), std::min(count, length), signal.Bits, windowKind,
                    FFT::LevelsDb);
    const std::vector<double>& window = check.Window();
    const std::int32_t half = length / 2;
    const std::int32_t hop = half;
    const int blocks = static_cast<int>((count - length) / hop + 1);

    // The scaling of the FFT class: full scale 32768 or 128 about the centre of the format.
    const double centre = signal.Bits == 8 ? 128.0 : 0.0;
    const double scale = signal.Bits == 8 ? 1.0 / 128.0 : 1.0 / 32768.0;
    std::vector<double> weights(window.begin(), window.begin() + length);
    for (double& w : weights) {
        w *= scale;
    }

    auto planIn = FftwArray<double>(static_cast<std::size_t>(length));
    auto planOut = FftwArray<fftw_complex>(static_cast<std::size_t>(half) + 1);
    const RealPlan plan(length, planIn.get(), planOut.get());

    std::vector<double> power(static_cast<std::size_t>(half), 0.0);
    std::mutex merge;
    ParallelFor(
        blocks,
        [&](int first, int end) {
            auto in = FftwArray<double>(static_cast<std::size_t>(length));
            auto out = FftwArray<fftw_complex>(static_cast<std::size_t>(half) + 1);
            std::vector<double> sum(static_cast<std::size_t>(half), 0.0);
            for (int b = first; b < end; ++b) {
                const double* block = x.data() + static_cast<std::size_t>(b) * hop;
                for (std::int32_t i = 0; i < length; ++i) {
                    in[i] = (block[i] - centre) * weights[i];
                }
                plan.Run(in.get(), out.get());
                for (std::int32_t k = 0; k < half; ++k) {
                    sum[k] += out[k][0] * out[k][0] + out[k][1] * out[k][1];
                }
            }
            std::lock_guard lock(merge);
            for (std::int32_t k = 0; k < half; ++k) {
                power[k] += sum[k];
            }
        },
        1);

    // The normalisation of FFT::ComputeLevels: H^2 times the window's mean square.
    double meanSquare = 0.0;
    for (double w : window) {
        meanSquare += w * w;
    }
    meanSquare /= length;
    if (meanSquare == 0.0) {
        meanSquare = 1e-12;
    }
    const double divisor = static_cast<double>(half) * half * meanSquare * blocks;
    constexpr double floor = FFT::ZeroMagnitude * FFT::ZeroMagnitude;
    AveragedLevels result;
    result.Blocks = blocks;
    result.Levels.resize(static_cast<std::size_t>(half));
    for (std::int32_t k = 0; k < half; ++k) {
        const double p = power[k] / divisor;
        result.Levels[k] = 10.0 * std::log10(p > 0.0 ? p : floor);
    }
    return result;
}

int PeakBin(const std::vector<double>& levels) {
    return static_cast<int>(std::max_element(levels.begin(), levels.end()) - levels.begin());
}

std::string SpectrumRows(double sampleRate, std::int32_t length, const std::vector<double>& levels,
                         char separator, bool header) {
    const auto exact = [](std::string& text, double value) {
        char buffer[32];
        const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
        text.append(buffer, result.ptr);
    };
    std::string text;
    if (header) {
        text = std::string("frequency_hz") + separator + "level_db\n";
    }
    for (int k = 0; k < static_cast<int>(levels.size()); ++k) {
        exact(text, BinFrequency(sampleRate, length, k));
        text += separator;
        exact(text, levels[k]);
        text += '\n';
    }
    return text;
}

} // namespace zembrel
