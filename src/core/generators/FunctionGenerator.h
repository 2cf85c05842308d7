#pragma once

#include "generators/SineComb.h"

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

// The harmonics up to N = trunc(fs / 2 / f), in ascending order:
//   square:   odd k, a = 4 / (k pi)
//   triangle: odd k, a = (-1)^((k-1)/2) * 8 / (pi^2 k^2)
//   sawtooth: all k, a = (-1)^(k-1) * 2 / (k pi)
// The caller keeps 0 < f <= fs/2, so there is at least one harmonic.
std::vector<Harmonic> FourierHarmonics(Waveform waveform, double frequency, double sampleRate);

// Adds a * sin((i T)(k w) + k phi) to every sample, phi being phiLeft for Mono and Left and
// phiRight for Right (radians).
void AddHarmonic(SignalBase& signal, const Harmonic& harmonic, double omega, double phiLeft,
                 double phiRight);

// The worker's whole job: one unit per harmonic, through RunUnits. Phase and offset are in
// degrees for the fundamental; the offset shifts the right channel against the left.
void RunFunctionGenerator(SignalBase& signal, Waveform waveform, double frequency, double phase,
                          double offset, int& progress, CalculationObserver& observer,
                          SynthesisMethod method = SynthesisMethod::Automatic);

} // namespace zembrel
