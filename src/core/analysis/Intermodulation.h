#pragma once

#include "core/analysis/ReadingStatus.h"

#include <string>
#include <vector>

namespace zembrel {

class TonePowers;

// Intermodulation distortion of a two-tone signal, read from a TonePowers (A(f) is the RMS
// amplitude of the tone at f, the square root of its lobe's power).
//
// SMPTE RP120 / DIN 45403 (IEC 60268-3 modulation distortion): a low tone f1 and a high tone f2
// at 4:1 in amplitude. The products are the sidebands of the high tone, f2 +- k f1; each order
// adds the two sidebands of a pair (as the demodulating analyser sees them), relative to the
// high tone, and the orders add as RMS:
//   d(k) = (A(f2 - k f1) + A(f2 + k f1)) / A(f2),   IMD = sqrt(sum over k = 1 ... 4 of d(k)^2)
//
// CCIF / ITU-R (IEC 60268-3 difference-frequency distortion): twin tones f1 < f2 at 1:1, close
// together. The products are the difference tones, relative to the sum of the two tones:
//   d2 = A(f2 - f1) / (A(f1) + A(f2))
//   d3 = (A(2 f1 - f2) + A(2 f2 - f1)) / (A(f1) + A(f2)),   IMD = sqrt(d2^2 + d3^2)
enum class ImdStandard { Smpte, Din, Ccif };

// The tones each standard uses: SMPTE 60 Hz + 7 kHz at 4:1, DIN 250 Hz + 8 kHz at 4:1, CCIF
// 19 kHz + 20 kHz at 1:1 (amplitude ratio low : high).
struct TwinToneStandard {
    ImdStandard Standard;
    const char* Name; // "smpte", "din", "ccif"
    double Low;       // Hz
    double High;      // Hz
    double Ratio;     // amplitude of the low tone over that of the high one
};
const TwinToneStandard& TwinToneOf(ImdStandard standard);
const std::vector<TwinToneStandard>& TwinToneStandards();

struct ImdProduct {
    double Frequency = 0.0; // Hz
    double LevelDb = 0.0;   // dB relative to the reference (the high tone, or both tones' sum)
};
struct Intermodulation {
    ReadingStatus Status = ReadingStatus::NoTwoTones;
    ImdStandard Standard = ImdStandard::Smpte;
    double Low = 0.0;  // Hz, measured
    double High = 0.0; // Hz, measured
    std::vector<ImdProduct> Products;
    double Percent = 0.0;
    double Db = 0.0; // 20 log10(percent / 100)
};

// Finds which standard's twin tone the signal carries: both tones within 2 % of their nominal
// frequencies (and more than two main lobes apart), together at least half the power of the
// whole spectrum. NoTwoTones otherwise, NoSignal for zeros.
Intermodulation MeasureIntermodulation(const TonePowers& spectrum);

// The reading for a given standard, with the tones searched within 2 % of its frequencies.
Intermodulation MeasureIntermodulation(const TonePowers& spectrum, ImdStandard standard);

} // namespace zembrel
