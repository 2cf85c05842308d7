#include "core/analysis/Intermodulation.h"

#include "core/analysis/TonePowers.h"

#include <cmath>

namespace zembrel {

namespace {

constexpr double kSearch = 0.02; // relative reach around a nominal frequency

double Amplitude(const TonePowers& spectrum, double frequency) {
    return std::sqrt(spectrum.TonePower(frequency));
}

void AddProduct(Intermodulation& result, double frequency, double amplitude, double reference) {
    const double ratio = std::max(amplitude / reference, 1e-150);
    result.Products.push_back({frequency, 20.0 * std::log10(ratio)});
}

} // namespace

const std::vector<TwinToneStandard>& TwinToneStandards() {
    static const std::vector<TwinToneStandard> standards = {
        {ImdStandard::Smpte, "smpte", 60.0, 7000.0, 4.0},
        {ImdStandard::Din, "din", 250.0, 8000.0, 4.0},
        {ImdStandard::Ccif, "ccif", 19000.0, 20000.0, 1.0},
    };
    return standards;
}

const TwinToneStandard& TwinToneOf(ImdStandard standard) {
    return TwinToneStandards()[static_cast<std::size_t>(standard)];
}

Intermodulation MeasureIntermodulation(const TonePowers& spectrum, ImdStandard standard) {
    Intermodulation result;
    result.Standard = standard;
    const TwinToneStandard& tones = TwinToneOf(standard);
    const double whole = spectrum.BandPower(0.0, spectrum.Nyquist());
    if (!(whole > 0.0)) {
        result.Status = ReadingStatus::NoSignal;
        return result;
    }
    if (tones.High * (1.0 + kSearch) > spectrum.Nyquist()) {
        return result;
    }
    const double f1 =
        spectrum.StrongestTone(tones.Low * (1.0 - kSearch), tones.Low * (1.0 + kSearch));
    const double f2 =
        spectrum.StrongestTone(tones.High * (1.0 - kSearch), tones.High * (1.0 + kSearch));
    const double lobes = 2.0 * TonePowers::kLobeBins * spectrum.BinWidth();
    if (f1 <= 0.0 || f2 <= 0.0 || f2 - f1 <= lobes) {
        return result;
    }
    const double a1 = Amplitude(spectrum, f1);
    const double a2 = Amplitude(spectrum, f2);
    // Both tones present (the high one of a 4:1 pair carries 1/17 of the power), together most
    // of the signal.
    if (!(a1 * a1 + a2 * a2 >= 0.5 * whole) || !(a1 * a1 >= 0.01 * whole) ||
        !(a2 * a2 >= 0.01 * whole)) {
        return result;
    }
    result.Status = ReadingStatus::Ok;
    result.Low = f1;
    result.High = f2;
    double sum = 0.0;
    if (standard == ImdStandard::Ccif) {
        const double reference = a1 + a2;
        const double d2 = Amplitude(spectrum, f2 - f1);
        AddProduct(result, f2 - f1, d2, reference);
        const double lower = Amplitude(spectrum, 2.0 * f1 - f2);
        const double upper = Amplitude(spectrum, 2.0 * f2 - f1);
        AddProduct(result, 2.0 * f1 - f2, lower, reference);
        AddProduct(result, 2.0 * f2 - f1, upper, reference);
        sum = (d2 * d2 + (lower + upper) * (lower + upper)) / (reference * reference);
    } else {
        for (int k = 1; k <= 4; ++k) {
            const double below = f2 - k * f1;
            const double above = f2 + k * f1;
            const double lower = Amplitude(spectrum, below);
            const double upper = Amplitude(spectrum, above);
            AddProduct(result, below, lower, a2);
            AddProduct(result, above, upper, a2);
            const double d = (lower + upper) / a2;
            sum += d * d;
        }
    }
    result.Percent = 100.0 * std::sqrt(sum);
    result.Db = 20.0 * std::log10(std::max(std::sqrt(sum), 1e-150));
    return result;
}

Intermodulation MeasureIntermodulation(const TonePowers& spectrum) {
    Intermodulation none;
    for (const TwinToneStandard& tones : TwinToneStandards()) {
        Intermodulation result = MeasureIntermodulation(spectrum, tones.Standard);
        if (result.Status == ReadingStatus::Ok || result.Status == ReadingStatus::NoSignal) {
            return result;
        }
    }
    return none;
}

} // namespace zembrel
