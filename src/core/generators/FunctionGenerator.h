#pragma once

#include "core/generators/SineComb.h"

#include <vector>

namespace zembrel {

class CalculationObserver;
class SignalBase;

// The band-limited waveforms, in the order of the dialog's list.
enum class Waveform { Square = 0, Triangle = 1, Sawtooth = 2 };

struct Harmonic {
    int Number;       // k: the harmonic's frequency is k times the fundamental
    double Amplitude; // a(k) of the Fourier series of a wave between -1 and +1
};

// The most harmonics a series may have: 2^24. A lower fundamental (below 1.43 mHz at 48 kHz)
// would need more than the worker can count or memory can hold (its count passes int32 near
// 1e-5 Hz); the function generator's check refuses it.
inline constexpr double kMaxHarmonics = 16777216.0;

// The number of harmonics up to N = trunc(fs / 2 / f), as a double so that no count overflows.
double HarmonicCount(Waveform waveform, double frequency, double sampleRate);

// The lowest fundamental whose series has at most kMaxHarmonics harmonics, in Hz.
double LowestFundamental(Waveform waveform, double sampleRate);

// LowestFundamental rounded up to `digits` significant digits (1 ... 15): the figure a message
// may give as the limit, so that the value read from it is accepted.
double LowestFundamentalRoundedUp(Waveform waveform, double sampleRate, int digits);

// The index-th harmonic (from 0) in ascending order:
//   square:   odd k, a = 4 / (k pi)
//   triangle: odd k, a = (-1)^((k-1)/2) * 8 / (pi^2 k^2)
//   sawtooth: all k, a = (-1)^(k-1) * 2 / (k pi)
Harmonic HarmonicAt(Waveform waveform, int index);

// All harmonics, in ascending order. The caller keeps 0 < f <= fs/2, so there is at least one,
// and HarmonicCount() <= kMaxHarmonics.
std::vector<Harmonic> FourierHarmonics(Waveform waveform, double frequency, double sampleRate);

// Adds a * sin((i T)(k w) + k phi) to every sample, phi being phiLeft for Mono and Left and
// phiRight for Right (radians).
void AddHarmonic(SignalBase& signal, const Harmonic& harmonic, double omega, double phiLeft,
                 double phiRight);

// The worker's whole job: one unit per harmonic, through RunUnits. Phase and offset are in
// degrees for the fundamental; the offset shifts the right channel against the left. The
// harmonics are made one by one, so a long series holds no table of them.
void RunFunctionGenerator(SignalBase& signal, Waveform waveform, double frequency, double phase,
                          double offset, int& progress, CalculationObserver& observer,
                          SynthesisMethod method = SynthesisMethod::Automatic);

} // namespace zembrel
