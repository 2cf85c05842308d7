#include "core/analysis/Distortion.h"

#include "core/analysis/TonePowers.h"

#include <algorithm>
#include <cmath>

namespace zembrel {

DistortionSettingsCheck CheckDistortionSettings(const DistortionSettings& settings,
                                                double sampleRate) {
    DistortionSettingsCheck check;
    check.Fundamental = !settings.Fundamental ||
                        (std::isfinite(*settings.Fundamental) && *settings.Fundamental > 0.0);
    check.Band = std::isfinite(settings.BandLow) && std::isfinite(settings.BandHigh) &&
                 settings.BandLow >= 0.0 && settings.BandHigh > settings.BandLow &&
                 settings.BandLow < sampleRate * 0.5;
    check.Notch = std::isfinite(settings.NotchWidth) && settings.NotchWidth >= 0.0;
    return check;
}

namespace {

// A tone must carry this share of the band's power to count as the fundamental (-20 dB).
constexpr double kToneShare = 0.01;

double BandHigh(const TonePowers& spectrum, const DistortionSettings& settings) {
    return std::min(settings.BandHigh, spectrum.Nyquist());
}

double Db(double powerRatio) {
    return 10.0 * std::log10(powerRatio);
}

} // namespace

Fundamental FindFundamental(const TonePowers& spectrum, const DistortionSettings& settings) {
    Fundamental result;
    const double high = BandHigh(spectrum, settings);
    const double whole = spectrum.BandPower(0.0, spectrum.Nyquist());
    if (!(whole > 0.0)) {
        return result; // NoSignal
    }
    double frequency = 0.0;
    if (settings.Fundamental) {
        frequency = *settings.Fundamental;
        if (frequency > high) {
            result.Status = ReadingStatus::FundamentalAboveBand;
            result.Frequency = frequency;
            return result;
        }
        // The tone near the given frequency, within one main lobe.
        const double reach = TonePowers::kLobeBins * spectrum.BinWidth();
        frequency = spectrum.StrongestTone(frequency - reach, frequency + reach);
    } else {
        const double strongest = spectrum.StrongestTone(settings.BandLow, spectrum.Nyquist());
        if (strongest > high && spectrum.TonePower(strongest) >
                                    kToneShare * spectrum.BandPower(settings.BandLow, high)) {
            result.Status = ReadingStatus::FundamentalAboveBand;
            result.Frequency = strongest;
            return result;
        }
        frequency = spectrum.StrongestTone(settings.BandLow, high);
    }
    const double band = spectrum.BandPower(settings.BandLow, high);
    const double power = frequency > 0.0 ? spectrum.TonePower(frequency) : 0.0;
    if (!(band > 0.0) || !(power > kToneShare * band)) {
        result.Status = ReadingStatus::NoFundamental;
        return result;
    }
    result.Status = ReadingStatus::Ok;
    result.Frequency = frequency;
    result.Power = power;
    return result;
}

double HarmonicDistortion::Percent(ThdConvention convention) const {
    return convention == ThdConvention::RelativeToFundamental ? ThdFundamentalPercent
                                                              : ThdTotalPercent;
}

double HarmonicDistortion::Db(ThdConvention convention) const {
    return 20.0 * std::log10(Percent(convention) / 100.0);
}

HarmonicDistortion MeasureHarmonics(const TonePowers& spectrum, const Fundamental& fundamental,
                                    const DistortionSettings& settings) {
    HarmonicDistortion result;
    result.Status = fundamental.Status;
    if (fundamental.Status != ReadingStatus::Ok) {
        return result;
    }
    const double high = BandHigh(spectrum, settings);
    const double lobe = TonePowers::kLobeBins * spectrum.BinWidth();
    double sum = 0.0;
    for (int n = 2; n <= 10; ++n) {
        const double f = n * fundamental.Frequency;
        if (f + lobe > spectrum.Nyquist()) {
            break;
        }
        const double ratio = spectrum.TonePower(f) / fundamental.Power;
        HarmonicReading h;
        h.Number = n;
        h.Frequency = f;
        // An exactly empty lobe reads as the smallest ratio a double holds, not -inf.
        h.LevelDbc = Db(std::max(ratio, 1e-300));
        h.Percent = 100.0 * std::sqrt(ratio);
        h.InBand = f >= settings.BandLow && f <= high;
        if (h.InBand) {
            sum += ratio;
        }
        result.Harmonics.push_back(h);
    }
    result.ThdFundamentalPercent = 100.0 * std::sqrt(sum);
    result.ThdTotalPercent = 100.0 * std::sqrt(sum / (1.0 + sum));
    if (!(sum > 0.0)) {
        result.ThdFundamentalPercent = result.ThdTotalPercent = 1e-150; // below any reading
    }
    return result;
}

NoiseAndDistortion MeasureThdN(const TonePowers& spectrum, const Fundamental& fundamental,
                               const DistortionSettings& settings) {
    NoiseAndDistortion result;
    result.Status = fundamental.Status;
    result.BandLow = settings.BandLow;
    result.BandHigh = BandHigh(spectrum, settings);
    const double lobeWidth = (2 * TonePowers::kLobeBins + 1) * spectrum.BinWidth();
    result.NotchWidth = std::max(settings.NotchWidth, lobeWidth);
    if (fundamental.Status != ReadingStatus::Ok) {
        return result;
    }
    const double band = spectrum.BandPower(result.BandLow, result.BandHigh);
    const double half = result.NotchWidth * 0.5;
    const double notched =
        spectrum.BandPower(std::max(result.BandLow, fundamental.Frequency - half),
                           std::min(result.BandHigh, fundamental.Frequency + half));
    const double residual = std::max(band - notched, band * 1e-30);
    result.ThdNDb = Db(residual / band);
    result.ThdNPercent = 100.0 * std::sqrt(residual / band);
    result.SinadDb = -result.ThdNDb;
    double noise = residual;
    for (int n = 2; n <= 10; ++n) {
        const double f = n * fundamental.Frequency;
        if (f >= result.BandLow && f <= result.BandHigh) {
            noise -= spectrum.TonePower(f);
        }
    }
    result.NoiseFloorDbfs = Db(std::max(noise, band * 1e-30));
    return result;
}

double MeasureDc(const double* samples, std::size_t count) {
    if (count == 0) {
        return 0.0;
    }
    // Four partial sums, which the compiler can keep in one vector register.
    double sums[4] = {0.0, 0.0, 0.0, 0.0};
    std::size_t i = 0;
    for (; i + 4 <= count; i += 4) {
        for (std::size_t lane = 0; lane < 4; ++lane) {
            sums[lane] += samples[i + lane];
        }
    }
    for (; i < count; ++i) {
        sums[0] += samples[i];
    }
    return ((sums[0] + sums[1]) + (sums[2] + sums[3])) / static_cast<double>(count);
}

CrestFactor MeasureCrestFactor(const double* samples, std::size_t count) {
    CrestFactor result;
    // Four lanes of peaks and sums, as in MeasureDc.
    double peaks[4] = {0.0, 0.0, 0.0, 0.0};
    double squares[4] = {0.0, 0.0, 0.0, 0.0};
    std::size_t i = 0;
    for (; i + 4 <= count; i += 4) {
        for (std::size_t lane = 0; lane < 4; ++lane) {
            const double x = samples[i + lane];
            peaks[lane] = std::max(peaks[lane], std::fabs(x));
            squares[lane] += x * x;
        }
    }
    for (; i < count; ++i) {
        peaks[0] = std::max(peaks[0], std::fabs(samples[i]));
        squares[0] += samples[i] * samples[i];
    }
    const double peak = std::max(std::max(peaks[0], peaks[1]), std::max(peaks[2], peaks[3]));
    const double square = (squares[0] + squares[1]) + (squares[2] + squares[3]);
    result.Peak = peak;
    if (peak > 0.0) {
        result.Status = ReadingStatus::Ok;
        result.Db = 20.0 * std::log10(peak / std::sqrt(square / static_cast<double>(count)));
    }
    return result;
}

double ClipLevelOf(int bits, bool isFloat) {
    return isFloat || bits < 2 || bits > 64 ? 1.0 : 1.0 - std::ldexp(1.0, -(bits - 1));
}

std::size_t CountClippedSamples(const double* samples, std::size_t count, double clipLevel) {
    std::size_t clipped = 0;
    std::size_t run = 0;
    for (std::size_t i = 0; i <= count; ++i) {
        if (i < count && std::fabs(samples[i]) >= clipLevel &&
            (run == 0 || std::signbit(samples[i]) == std::signbit(samples[i - 1]))) {
            ++run;
            continue;
        }
        if (run >= 3) {
            clipped += run;
        }
        run = i < count && std::fabs(samples[i]) >= clipLevel ? 1 : 0;
    }
    return clipped;
}

} // namespace zembrel
