#include "core/generators/TestTones.h"

#include "core/generators/CalculationProtocol.h"
#include "core/generators/FinishSignal.h"
#include "core/generators/InputRules.h"
#include "core/signal/SignalBase.h"

#include <algorithm>
#include <cmath>
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

    // One period of AnalysisLength samples, then repeated: the phase of every tone at sample m
    // is 2 pi (k m mod L) / L, exact however long the signal.
    std::vector<double> period(static_cast<std::size_t>(length), 0.0);
    int progress = 0;
    RunUnits(static_cast<int>(bins.size()), progress, observer, [&](int i) {
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
