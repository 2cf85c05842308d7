#pragma once

#include "core/analysis/ReadingStatus.h"

#include <cstddef>
#include <optional>
#include <vector>

namespace zembrel {

class TonePowers;

// Harmonic distortion and noise of a channel holding one steady tone, read from a TonePowers
// (powers of whole main lobes, so neither leakage nor the tone's position between bins matter).
// Levels are of samples normalised to full scale 1; dBFS here is 10 log10 of the mean square, as
// the statistics' RMS level: a full-scale sine reads -3.01 dBFS.

// The measurement band and notch. AES17 measures THD+N in 22 Hz ... 20 kHz.
struct DistortionSettings {
    std::optional<double> Fundamental; // Hz; found as the strongest tone in the band when empty
    double BandLow = 22.0;             // Hz
    double BandHigh = 20000.0;         // Hz, limited to fs/2
    // Hz, total width of the notch that removes the fundamental for THD+N; never narrower than
    // the window's main lobe (2 TonePowers::kLobeBins + 1 bins), which is the default (0).
    double NotchWidth = 0.0;
    // The largest positive sample of the format read, full scale 1 (ClipLevelOf): clipping is
    // counted at this level.
    double ClipLevel = 32767.0 / 32768.0;
};

// The largest positive sample of B-bit PCM, 1 - 2^-(B-1) (127/128 for 8 bit, 32767/32768 for
// 16 bit), or 1.0 for float.
double ClipLevelOf(int bits, bool isFloat);
// What a user may set: a given fundamental above 0 Hz, a band with 0 <= BandLow < BandHigh and
// BandLow below fs/2, a notch of at least 0 Hz; every number finite.
struct DistortionSettingsCheck {
    bool Fundamental = true;
    bool Band = true;
    bool Notch = true;
    bool Valid() const { return Fundamental && Band && Notch; }
};
DistortionSettingsCheck CheckDistortionSettings(const DistortionSettings& settings,
                                                double sampleRate);

// The fundamental: given, or the strongest tone in the band. NoFundamental when its main lobe
// carries less than 1 % of the band's power (noise) or the channel has no tone where one was
// given; FundamentalAboveBand when the strongest tone of the whole spectrum, or the given one,
// lies above the band; NoSignal for an all-zero channel.
struct Fundamental {
    ReadingStatus Status = ReadingStatus::NoSignal;
    double Frequency = 0.0; // Hz
    double Power = 0.0;     // mean square, full scale 1
};
Fundamental FindFundamental(const TonePowers& spectrum, const DistortionSettings& settings);

// H2 ... H10 below fs/2, each as its lobe's power relative to the fundamental's. THD sums the
// harmonics that lie inside the band, in both conventions of IEC 60268-3:
//   relative to the fundamental  THD_F = sqrt(sum Hn^2) / H1
//   relative to the total RMS    THD_R = sqrt(sum Hn^2) / sqrt(H1^2 + sum Hn^2)
// (Hn the RMS value of harmonic n). THD_R < THD_F; they differ by under 0.5 % of the reading
// below 10 % distortion.
struct HarmonicReading {
    int Number = 0;         // n, 2 ... 10
    double Frequency = 0.0; // Hz, n f1
    double LevelDbc = 0.0;  // dB relative to the fundamental
    double Percent = 0.0;   // 100 Hn / H1
    bool InBand = false;    // counted in THD
};
enum class ThdConvention { RelativeToFundamental, RelativeToTotal };
struct HarmonicDistortion {
    ReadingStatus Status = ReadingStatus::NoSignal;
    std::vector<HarmonicReading> Harmonics;
    double ThdFundamentalPercent = 0.0; // THD_F, %
    double ThdTotalPercent = 0.0;       // THD_R, %

    double Percent(ThdConvention convention) const;
    double Db(ThdConvention convention) const; // 20 log10(percent / 100)
};
HarmonicDistortion MeasureHarmonics(const TonePowers& spectrum, const Fundamental& fundamental,
                                    const DistortionSettings& settings);

// THD+N after AES17: the RMS of everything in the band except the fundamental (removed by the
// notch), relative to the RMS of everything in the band; SINAD is its inverse (signal + noise +
// distortion over noise + distortion). The noise floor is what remains when the harmonics'
// lobes are removed as well.
struct NoiseAndDistortion {
    ReadingStatus Status = ReadingStatus::NoSignal;
    double ThdNDb = 0.0;         // dB, 10 log10(residual / band), < 0
    double ThdNPercent = 0.0;    // %, 100 sqrt(residual / band)
    double SinadDb = 0.0;        // dB, -ThdNDb
    double NoiseFloorDbfs = 0.0; // dBFS of the band's noise without tone and harmonics
    double NotchWidth = 0.0;     // Hz, as used
    double BandLow = 0.0;        // Hz, as used
    double BandHigh = 0.0;       // Hz, as used
};
NoiseAndDistortion MeasureThdN(const TonePowers& spectrum, const Fundamental& fundamental,
                               const DistortionSettings& settings);

// The mean of the channel (full scale 1); 0 for no samples.
double MeasureDc(const double* samples, std::size_t count);

// Crest factor: 20 log10(peak / RMS) of the whole channel, DC included. NoSignal for zeros.
struct CrestFactor {
    ReadingStatus Status = ReadingStatus::NoSignal;
    double Db = 0.0;
    double Peak = 0.0; // max |x|, full scale 1
};
CrestFactor MeasureCrestFactor(const double* samples, std::size_t count);

// Samples at full scale (|x| >= clipLevel, ClipLevelOf the format) in runs of at least three
// of one sign: a sign of clipping (a clean full-scale 16-bit sine below about 40 Hz at 48 kHz
// reaches such runs too).
std::size_t CountClippedSamples(const double* samples, std::size_t count,
                                double clipLevel = 32767.0 / 32768.0);

} // namespace zembrel
