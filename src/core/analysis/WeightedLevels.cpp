#include "core/analysis/WeightedLevels.h"

#include "core/signal/FftwPlanning.h"

#include <fftw3.h>

#include <cmath>
#include <memory>
#include <mutex>
#include <new>
#include <numbers>
#include <vector>

namespace zembrel {

namespace {

constexpr double kF1 = 20.598997;
constexpr double kF2 = 107.65265;
constexpr double kF3 = 737.86223;
constexpr double kF4 = 12194.217;

double RawC(double f) {
    const double f2 = f * f;
    return kF4 * kF4 * f2 / ((f2 + kF1 * kF1) * (f2 + kF4 * kF4));
}

double RawA(double f) {
    const double f2 = f * f;
    return kF4 * kF4 * f2 * f2 /
           ((f2 + kF1 * kF1) * std::sqrt((f2 + kF2 * kF2) * (f2 + kF3 * kF3)) * (f2 + kF4 * kF4));
}

struct FftwFree {
    void operator()(void* p) const { fftw_free(p); }
};

} // namespace

double WeightingGain(Weighting weighting, double frequency) {
    switch (weighting) {
    case Weighting::A:
        return RawA(frequency) / RawA(1000.0);
    case Weighting::C:
        return RawC(frequency) / RawC(1000.0);
    case Weighting::Z:
        break;
    }
    return frequency > 0.0 ? 1.0 : 0.0;
}

WeightedLevels MeasureWeightedLevels(const double* samples, std::size_t count, double sampleRate) {
    WeightedLevels result;
    if (count < 2) {
        return result;
    }
    // Blocks of kBlock samples every kBlock / 2 under a sine window: its squares of overlapping
    // halves add up to 1, so with half a block of zeros before and after, every sample's energy is
    // counted once (Princen-Bradley), and short transforms that stay in the cache replace one
    // transform of the whole channel. A tone leaks into +-2 bins of fs / kBlock (0.7 Hz at
    // 48 kHz), over which no curve changes measurably.
    constexpr std::size_t kBlock = 65536;
    constexpr std::size_t kHop = kBlock / 2;
    constexpr std::size_t kBins = kBlock / 2 + 1;
    std::vector<double> window(kBlock);
    for (std::size_t i = 0; i < kBlock; ++i) {
        window[i] = std::sin(std::numbers::pi * (static_cast<double>(i) + 0.5) / kBlock);
    }
    const double binWidth = sampleRate / static_cast<double>(kBlock);
    std::vector<double> gainA(kBins);
    std::vector<double> gainC(kBins);
    for (std::size_t k = 0; k < kBins; ++k) {
        const double f = binWidth * static_cast<double>(k);
        gainA[k] = std::pow(WeightingGain(Weighting::A, f), 2);
        gainC[k] = std::pow(WeightingGain(Weighting::C, f), 2);
    }
    std::unique_ptr<double, FftwFree> in(fftw_alloc_real(kBlock));
    std::unique_ptr<fftw_complex, FftwFree> out(fftw_alloc_complex(kBins));
    if (!in || !out) {
        throw std::bad_alloc();
    }
    fftw_plan plan;
    {
        std::lock_guard lock(FftwPlannerLock());
        plan = fftw_plan_dft_r2c_1d(static_cast<int>(kBlock), in.get(), out.get(), FFTW_ESTIMATE);
    }
    double mean = 0.0;
    for (std::size_t i = 0; i < count; ++i) {
        mean += samples[i];
    }
    mean /= static_cast<double>(count);

    // Parseval per block: energy = (|X0|^2 + 2 sum |Xk|^2 + |X_N/2|^2) / N; DC left out.
    double a = 0.0;
    double c = 0.0;
    double z = 0.0;
    const auto total = static_cast<std::ptrdiff_t>(count);
    for (std::ptrdiff_t start = -static_cast<std::ptrdiff_t>(kHop); start < total;
         start += static_cast<std::ptrdiff_t>(kHop)) {
        double* block = in.get();
        if (start >= 0 && start + static_cast<std::ptrdiff_t>(kBlock) <= total) {
            const double* from = samples + start;
            for (std::size_t i = 0; i < kBlock; ++i) {
                block[i] = (from[i] - mean) * window[i];
            }
        } else {
            for (std::size_t i = 0; i < kBlock; ++i) {
                const std::ptrdiff_t at = start + static_cast<std::ptrdiff_t>(i);
                block[i] = at >= 0 && at < total ? (samples[at] - mean) * window[i] : 0.0;
            }
        }
        fftw_execute(plan);
        // Bins 1 ... N/2 - 1 twice (their mirror images), N/2 once.
        const fftw_complex* bins = out.get();
        double blockA = 0.0;
        double blockC = 0.0;
        double blockZ = 0.0;
        for (std::size_t k = 1; k < kBins - 1; ++k) {
            const double power = bins[k][0] * bins[k][0] + bins[k][1] * bins[k][1];
            blockA += power * gainA[k];
            blockC += power * gainC[k];
            blockZ += power;
        }
        const std::size_t last = kBins - 1;
        const double lastPower = bins[last][0] * bins[last][0] + bins[last][1] * bins[last][1];
        a += 2.0 * blockA + lastPower * gainA[last];
        c += 2.0 * blockC + lastPower * gainC[last];
        z += 2.0 * blockZ + lastPower;
    }
    {
        std::lock_guard lock(FftwPlannerLock());
        fftw_destroy_plan(plan);
    }
    if (!(z > 0.0)) {
        return result;
    }
    const double scale = static_cast<double>(kBlock) * static_cast<double>(count);
    result.Status = ReadingStatus::Ok;
    result.ADbfs = 10.0 * std::log10(a / scale);
    result.CDbfs = 10.0 * std::log10(c / scale);
    result.ZDbfs = 10.0 * std::log10(z / scale);
    return result;
}

} // namespace zembrel
