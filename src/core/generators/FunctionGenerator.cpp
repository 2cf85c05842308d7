#include "generators/FunctionGenerator.h"

#include "generators/CalculationProtocol.h"
#include "generators/SineComb.h"
#include "generators/SineGenerator.h"
#include "signal/SignalBase.h"

#include <cmath>

namespace zembrel {

std::vector<Harmonic> FourierHarmonics(Waveform waveform, double frequency, double sampleRate) {
    constexpr double pi = SineGenerator::Pi;
    const int n = static_cast<int>(sampleRate * 0.5 / frequency);
    std::vector<Harmonic> harmonics;
    const int step = waveform == Waveform::Sawtooth ? 1 : 2;
    for (int k = 1; k <= n; k += step) {
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
        harmonics.push_back({k, a});
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
    const std::vector<Harmonic> harmonics =
        FourierHarmonics(waveform, frequency, signal.SampleRate);
    const int total = static_cast<int>(harmonics.size());
    if (method == SynthesisMethod::PerSample || !FastSineCombPays(total)) {
        RunUnits(total, progress, observer, [&](int index) {
            AddHarmonic(signal, harmonics[index], omega, phiLeft, phiRight);
        });
        return;
    }
    // Many harmonics: the units collect the lines, with the same reports and stop checks, and
    // the series is evaluated with FFTs a batch at a time; a run that was stopped is not
    // finished.
    const double spacing = waveform == Waveform::Sawtooth ? frequency : 2.0 * frequency;
    SineCombBuilder lines(signal, frequency, spacing, false, total);
    RunUnits(total, progress, observer, [&](int index) {
        const Harmonic& h = harmonics[index];
        lines.Add(h.Amplitude, h.Number * phiLeft, h.Number * phiRight);
    });
    if (progress == 100) {
        lines.Flush();
    }
}

} // namespace zembrel
