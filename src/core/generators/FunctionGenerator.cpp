#include "core/generators/FunctionGenerator.h"

#include "core/generators/CalculationProtocol.h"
#include "core/generators/SineComb.h"
#include "core/generators/SineGenerator.h"
#include "core/signal/SignalBase.h"

#include <cmath>

namespace zembrel {

double HarmonicCount(Waveform waveform, double frequency, double sampleRate) {
    const double n = std::trunc(sampleRate * 0.5 / frequency);
    return waveform == Waveform::Sawtooth ? n : std::floor((n + 1.0) / 2.0);
}

double LowestFundamental(Waveform waveform, double sampleRate) {
    // Sawtooth: every k up to N counts; square and triangle: the odd ones, so N may be twice.
    const double n = waveform == Waveform::Sawtooth ? kMaxHarmonics : 2.0 * kMaxHarmonics;
    return sampleRate * 0.5 / n;
}

double LowestFundamentalRoundedUp(Waveform waveform, double sampleRate, int digits) {
    const double lowest = LowestFundamental(waveform, sampleRate);
    const double unit = std::pow(10.0, std::floor(std::log10(lowest)) - (digits - 1));
    double shown = std::ceil(lowest / unit) * unit;
    if (shown < lowest) { // the product rounded below
        shown += unit;
    }
    return shown;
}

Harmonic HarmonicAt(Waveform waveform, int index) {
    constexpr double pi = SineGenerator::Pi;
    const int k = waveform == Waveform::Sawtooth ? index + 1 : 2 * index + 1;
    double a = 0.0;
    switch (waveform) {
    case Waveform::Square:
        a = 4.0 / (k * pi);
        break;
    case Waveform::Triangle:
        a = std::pow(-1.0, (k - 1) / 2) * 8.0 / (pi * pi * k * k);
        break;
    case Waveform::Sawtooth:
        a = std::pow(-1.0, k - 1) * 2.0 / (k * pi);
        break;
    }
    return {k, a};
}

std::vector<Harmonic> FourierHarmonics(Waveform waveform, double frequency, double sampleRate) {
    const int count = static_cast<int>(HarmonicCount(waveform, frequency, sampleRate));
    std::vector<Harmonic> harmonics;
    harmonics.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        harmonics.push_back(HarmonicAt(waveform, i));
    }
    return harmonics;
}

void AddHarmonic(SignalBase& signal, const Harmonic& harmonic, double omega, double phiLeft,
                 double phiRight) {
    const double kOmega = harmonic.Number * omega;
    const double kPhiLeft = harmonic.Number * phiLeft;
    const double kPhiRight = harmonic.Number * phiRight;
    AddSinePass(signal, harmonic.Amplitude, kOmega, kPhiLeft, kPhiRight);
}

void RunFunctionGenerator(SignalBase& signal, Waveform waveform, double frequency, double phase,
                          double offset, int& progress, CalculationObserver& observer,
                          SynthesisMethod method) {
    constexpr double pi = SineGenerator::Pi;
    const double omega = 2.0 * pi * frequency;
    const double phiLeft = 2.0 * pi * phase / 360.0;
    const double phiRight = 2.0 * pi * offset / 360.0 + phiLeft;
    const int total = static_cast<int>(HarmonicCount(waveform, frequency, signal.SampleRate));
    if (method == SynthesisMethod::PerSample || !FastSineCombPays(total)) {
        RunUnits(total, progress, observer, [&](int index) {
            AddHarmonic(signal, HarmonicAt(waveform, index), omega, phiLeft, phiRight);
        });
        return;
    }
    // Many harmonics: the units collect the lines, with the same reports and stop checks, and
    // the series is evaluated with FFTs a batch at a time; a run that was stopped is not
    // finished.
    const double spacing = waveform == Waveform::Sawtooth ? frequency : 2.0 * frequency;
    SineCombBuilder lines(signal, frequency, spacing, false, total);
    RunUnits(total, progress, observer, [&](int index) {
        const Harmonic h = HarmonicAt(waveform, index);
        lines.Add(h.Amplitude, h.Number * phiLeft, h.Number * phiRight);
    });
    if (progress == 100) {
        lines.Flush();
    }
}

} // namespace zembrel
