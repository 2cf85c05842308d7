#include "core/generators/TestTones.h"

#include "core/generators/CalculationProtocol.h"
#include "core/generators/FinishSignal.h"
#include "core/generators/InputRules.h"
#include "core/signal/FftwPlanning.h"
#include "core/signal/SignalBase.h"

#include <fftw3.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <memory>
#include <numbers>
#include <random>

namespace zembrel {

namespace {

// Writes the same samples into every channel of the signal.
void SetAllChannels(SignalBase& signal, const std::vector<double>& samples) {
    for (SampleArray* array : signal.ChannelArrays()) {
        std::copy(samples.begin(), samples.end(), array->begin());
    }
}

struct FftwFree {
    void operator()(void* p) const { fftw_free(p); }
};

// Lowers the crest factor of a sum of unit cosines at the given bins of a period of `length`
// samples by moving their phases only, so every tone keeps its level. The peak is approached
// through the p-norm of the period's samples, sum of x^p, whose gradient over the phases one
// forward transform gives: d/dphi_i sum x^p = -p Im(e^(j phi_i) conj(X^(p-1)[k_i])), X^(p-1)
// the transform of the samples raised to p - 1. The phases follow that gradient with Adam's
// step (0.05 rad, moments 0.9 and 0.999); p starts at 4 and doubles every 50 steps up to 512,
// where the norm is close to the peak itself. The phases with the lowest peak seen are kept.
// One step is one unit of the calculation protocol; a stop leaves progress below 100.
std::vector<double> LowCrestPhases(const std::vector<std::int64_t>& bins, std::int64_t length,
                                   std::vector<double> phases, CalculationObserver& observer,
                                   int& progress) {
    constexpr int kSteps = 400;
    constexpr int kStepsPerPower = 50;
    const auto n = static_cast<std::size_t>(length);
    std::unique_ptr<double, FftwFree> samples(fftw_alloc_real(n));
    std::unique_ptr<fftw_complex, FftwFree> spectrum(fftw_alloc_complex(n / 2 + 1));
    fftw_plan synthesis = nullptr;
    fftw_plan analysis = nullptr;
    {
        const std::lock_guard lock(FftwPlannerLock());
        synthesis = fftw_plan_dft_c2r_1d(static_cast<int>(length), spectrum.get(), samples.get(),
                                         FFTW_ESTIMATE);
        analysis = fftw_plan_dft_r2c_1d(static_cast<int>(length), samples.get(), spectrum.get(),
                                        FFTW_ESTIMATE);
    }
    std::vector<double> best = phases;
    double bestPeak = HUGE_VAL;
    std::vector<double> mean(phases.size(), 0.0);
    std::vector<double> meanSquare(phases.size(), 0.0);
    double* x = samples.get();
    fftw_complex* transform = spectrum.get();
    RunUnits(kSteps, progress, observer, [&](int step) {
        // The period's samples: X[k] = e^(j phi) / 2 makes a unit cosine.
        std::fill_n(&transform[0][0], 2 * (n / 2 + 1), 0.0);
        for (std::size_t i = 0; i < bins.size(); ++i) {
            transform[bins[i]][0] = 0.5 * std::cos(phases[i]);
            transform[bins[i]][1] = 0.5 * std::sin(phases[i]);
        }
        fftw_execute(synthesis);
        double peak = 0.0;
        for (std::size_t m = 0; m < n; ++m) {
            peak = std::max(peak, std::fabs(x[m]));
        }
        if (peak < bestPeak) {
            bestPeak = peak;
            best = phases;
        }
        // (x / peak)^(p - 1) with p = 2^e: the product of (x / peak)^(2^j), j < e. Samples whose
        // power would fall below 1e-300 count as 0, which keeps the sums free of subnormals.
        const int exponent = 2 + std::min(step / kStepsPerPower, 7);
        const double p = std::exp2(exponent);
        const double floor = std::pow(10.0, -300.0 / (p - 1.0));
        for (std::size_t m = 0; m < n; ++m) {
            const double v = x[m] / peak;
            if (std::fabs(v) < floor) {
                x[m] = 0.0;
                continue;
            }
            double power = v;
            double square = v;
            for (int j = 1; j < exponent; ++j) {
                square *= square;
                power *= square;
            }
            x[m] = power;
        }
        fftw_execute(analysis);
        for (std::size_t i = 0; i < bins.size(); ++i) {
            const std::complex<double> e(std::cos(phases[i]), std::sin(phases[i]));
            const std::complex<double> sum(transform[bins[i]][0], -transform[bins[i]][1]);
            const double gradient = -(e * sum).imag();
            mean[i] = 0.9 * mean[i] + 0.1 * gradient;
            meanSquare[i] = 0.999 * meanSquare[i] + 0.001 * gradient * gradient;
            if (meanSquare[i] > 0.0) {
                phases[i] -= 0.05 * mean[i] / std::sqrt(meanSquare[i]);
            }
        }
    });
    {
        const std::lock_guard lock(FftwPlannerLock());
        fftw_destroy_plan(synthesis);
        fftw_destroy_plan(analysis);
    }
    return best;
}

} // namespace

GeneratorStatus GenerateAes17Tone(SignalBase& signal, double level, CalculationObserver& observer) {
    return GenerateSines(signal, {SineInput{kAes17Frequency, 1.0, 0.0, 0.0}}, level, observer);
}

TwinToneCheck CheckTwinTone(ImdStandard standard, double level, double sampleRate) {
    TwinToneCheck check;
    const auto index = static_cast<std::size_t>(standard);
    check.Standard = index < TwinToneStandards().size();
    check.Level = IsValidLevel(level);
    check.SampleRate =
        check.Standard && std::isfinite(sampleRate) && TwinToneOf(standard).High < sampleRate * 0.5;
    return check;
}

GeneratorStatus GenerateTwinTone(SignalBase& signal, ImdStandard standard, double level,
                                 CalculationObserver& observer) {
    if (!CheckTwinTone(standard, level, signal.SampleRate).Valid()) {
        return GeneratorStatus::Invalid;
    }
    if (observer.StopRequested()) {
        return GeneratorStatus::Stopped;
    }
    const TwinToneStandard& tones = TwinToneOf(standard);
    const double w1 = 2.0 * std::numbers::pi * tones.Low / signal.SampleRate;
    const double w2 = 2.0 * std::numbers::pi * tones.High / signal.SampleRate;
    std::vector<double> samples(static_cast<std::size_t>(signal.SampleCount));
    for (std::size_t i = 0; i < samples.size(); ++i) {
        const double n = static_cast<double>(i);
        samples[i] = tones.Ratio * std::sin(w1 * n) + std::sin(w2 * n);
    }
    SetAllChannels(signal, samples);
    FinishSignal(signal, level);
    return GeneratorStatus::Finished;
}

MultitoneCheck CheckMultitone(const MultitoneInput& input, double sampleRate) {
    MultitoneCheck check;
    const double nyquist = sampleRate * 0.5;
    check.Low = std::isfinite(input.Low) && input.Low >= 1.0 && input.Low < nyquist;
    check.High = std::isfinite(input.High) && input.High >= input.Low && input.High < nyquist;
    check.TonesPerOctave = std::isfinite(input.TonesPerOctave) && input.TonesPerOctave >= 1.0 &&
                           input.TonesPerOctave <= 12.0;
    check.AnalysisLength = input.AnalysisLength >= 1024 && input.AnalysisLength <= (1 << 20);
    check.Level = IsValidLevel(input.Level);
    return check;
}

std::vector<std::int64_t> MultitoneBins(const MultitoneInput& input, double sampleRate) {
    const double binWidth = sampleRate / input.AnalysisLength;
    const std::int64_t lastBin = (input.AnalysisLength - 1) / 2; // below fs/2
    std::vector<std::int64_t> bins;
    for (int i = 0;; ++i) {
        const double f = input.Low * std::exp2(i / input.TonesPerOctave);
        if (f > input.High * (1.0 + 1e-12)) {
            break;
        }
        const std::int64_t k = std::clamp<std::int64_t>(std::llround(f / binWidth), 1, lastBin);
        if (bins.empty() || bins.back() != k) {
            bins.push_back(k);
        }
    }
    return bins;
}

GeneratorStatus GenerateMultitone(SignalBase& signal, const MultitoneInput& input,
                                  std::optional<std::uint32_t> seed, CalculationObserver& observer,
                                  double* crestFactorDb) {
    if (!CheckMultitone(input, signal.SampleRate).Valid()) {
        return GeneratorStatus::Invalid;
    }
    const std::vector<std::int64_t> bins = MultitoneBins(input, signal.SampleRate);
    const auto tones = static_cast<double>(bins.size());
    const std::int64_t length = input.AnalysisLength;
    std::vector<double> phases(bins.size(), 0.0);
    std::mt19937 random(seed.value_or(0));
    std::uniform_real_distribution<double> uniform(0.0, 2.0 * std::numbers::pi);
    for (std::size_t i = 0; i < bins.size(); ++i) {
        const double index = static_cast<double>(i);
        switch (input.Phases) {
        case MultitonePhases::LowCrest:
        case MultitonePhases::Newman:
            phases[i] = std::numbers::pi * index * index / tones;
            break;
        case MultitonePhases::Schroeder:
            // (f_i - f_(i-1)) T = difference of bins.
            phases[i] = i == 0 ? 0.0
                               : phases[i - 1] - 2.0 * std::numbers::pi *
                                                     static_cast<double>(bins[i] - bins[i - 1]) *
                                                     index / tones;
            break;
        case MultitonePhases::Random:
            phases[i] = uniform(random);
            break;
        }
    }

    // The low-crest phases are found first, then the tones are summed: two parts of the progress.
    const bool optimise = input.Phases == MultitonePhases::LowCrest;
    PartProgress whole(observer, optimise ? 2 : 1);
    int progress = 0;
    if (optimise) {
        phases = LowCrestPhases(bins, length, std::move(phases), whole, progress);
        if (progress != 100) {
            return GeneratorStatus::Stopped;
        }
        whole.StartPart(1);
    }

    // One period of AnalysisLength samples, then repeated: the phase of every tone at sample m
    // is 2 pi (k m mod L) / L, exact however long the signal.
    std::vector<double> period(static_cast<std::size_t>(length), 0.0);
    RunUnits(static_cast<int>(bins.size()), progress, whole, [&](int i) {
        const std::int64_t k = bins[static_cast<std::size_t>(i)];
        const double phase = phases[static_cast<std::size_t>(i)];
        const double step = 2.0 * std::numbers::pi / static_cast<double>(length);
        for (std::int64_t m = 0; m < length; ++m) {
            period[static_cast<std::size_t>(m)] +=
                std::cos(step * static_cast<double>(k * m % length) + phase);
        }
    });
    if (progress != 100) {
        return GeneratorStatus::Stopped;
    }
    std::vector<double> samples(static_cast<std::size_t>(signal.SampleCount));
    double peak = 0.0;
    double square = 0.0;
    for (std::size_t i = 0; i < samples.size(); ++i) {
        samples[i] = period[i % period.size()];
        peak = std::max(peak, std::fabs(samples[i]));
        square += samples[i] * samples[i];
    }
    if (crestFactorDb != nullptr) {
        *crestFactorDb = samples.empty() || !(square > 0.0)
                             ? 0.0
                             : 20.0 * std::log10(peak / std::sqrt(square / samples.size()));
    }
    SetAllChannels(signal, samples);
    FinishSignal(signal, input.Level);
    return GeneratorStatus::Finished;
}

} // namespace zembrel
