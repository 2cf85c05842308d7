#pragma once

#include "core/analysis/ReadingStatus.h"

#include <cstddef>

namespace zembrel {

// Frequency-weighted RMS levels after IEC 61672-1. The weightings are applied in the frequency
// domain: real FFTs of overlapping blocks that together hold every sample's energy once, every
// bin's power multiplied by |W(f)|^2 of the analog curves, the sum taken by Parseval. This follows
// the standard's analog curves exactly up to fs/2, where a bilinear-transformed filter would fall
// short by several dB near 10 kHz at 44.1/48 kHz (frequency warping); a whole-file level needs no
// running output, so nothing is lost by not filtering in time.
//
// The curves (f in Hz), with the standard's pole frequencies f1 = 20.598997, f2 = 107.65265,
// f3 = 737.86223, f4 = 12194.217:
//   C(f) = f4^2 f^2 / ((f^2 + f1^2)(f^2 + f4^2)),  normalised to 1 at 1 kHz
//   A(f) = f4^2 f^4 / ((f^2 + f1^2) sqrt((f^2 + f2^2)(f^2 + f3^2)) (f^2 + f4^2)),  likewise
//   Z(f) = 1 (flat: the channel's RMS without its DC)
// DC is removed before the blocks are windowed, so that it does not leak into the lowest bins.
// Levels are dBFS as the statistics' RMS level: 10 log10 of the mean square with full scale 1,
// so a full-scale 1 kHz sine reads -3.01 dBFS in every weighting.
enum class Weighting { A, C, Z };

// |W(f)| as a factor, 1 at 1 kHz.
double WeightingGain(Weighting weighting, double frequency);

struct WeightedLevels {
    ReadingStatus Status = ReadingStatus::NoSignal;
    double ADbfs = 0.0;
    double CDbfs = 0.0;
    double ZDbfs = 0.0;
};

// samples normalised to full scale 1, sampleRate in Hz. NoSignal for a channel without AC
// content.
WeightedLevels MeasureWeightedLevels(const double* samples, std::size_t count, double sampleRate);

} // namespace zembrel
