#include "core/analysis/WeightedLevels.h"

#include "core/signal/FftwPlanning.h"

#include <fftw3.h>

#include <cmath>
#include <memory>
#include <mutex>
#include <new>

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
    const std::size_t bins = count / 2 + 1;
    std::unique_ptr<double, FftwFree> in(fftw_alloc_real(count));
    std::unique_ptr<fftw_complex, FftwFree> out(fftw_alloc_complex(bins));
    if (!in || !out) {
        throw std::bad_alloc();
    }
    fftw_plan plan;
    {
        std::lock_guard lock(FftwPlannerLock());
        plan = fftw_plan_dft_r2c_1d(static_cast<int>(count), in.get(), out.get(), FFTW_ESTIMATE);
    }
    std::copy(samples, samples + count, in.get());
    fftw_execute(plan);
    {
        std::lock_guard lock(FftwPlannerLock());
        fftw_destroy_plan(plan);
    }
    // Parseval: mean square = (|X0|^2 + 2 sum |Xk|^2 (+ |X_N/2|^2)) / N^2; DC left out.
    const double binWidth = sampleRate / static_cast<double>(count);
    double a = 0.0;
    double c = 0.0;
    double z = 0.0;
    for (std::size_t k = 1; k < bins; ++k) {
        const double re = out.get()[k][0];
        const double im = out.get()[k][1];
        const double mirror = (count % 2 == 0 && k == bins - 1) ? 1.0 : 2.0;
        const double power = mirror * (re * re + im * im);
        const double f = binWidth * static_cast<double>(k);
        const double ga = WeightingGain(Weighting::A, f);
        const double gc = WeightingGain(Weighting::C, f);
        a += power * ga * ga;
        c += power * gc * gc;
        z += power;
    }
    if (!(z > 0.0)) {
        return result;
    }
    const double n2 = static_cast<double>(count) * static_cast<double>(count);
    result.Status = ReadingStatus::Ok;
    result.ADbfs = 10.0 * std::log10(a / n2);
    result.CDbfs = 10.0 * std::log10(c / n2);
    result.ZDbfs = 10.0 * std::log10(z / n2);
    return result;
}

} // namespace zembrel
