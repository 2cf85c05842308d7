#pragma once

#include <vector>

namespace zembrel {

class SignalBase;

// A sum of equally spaced sines: line m has the frequency First + m * Spacing (Hz), the
// amplitude Amplitudes[m] and the phase PhasesLeft[m] (radians; used for Mono and Left) or
// PhasesRight[m] (radians; Right of a stereo signal). Harmonic series (k f) and noise combs
// (start + k step) are both of this form.
struct SineComb {
    double First = 0.0;
    double Spacing = 1.0; // > 0
    std::vector<double> Amplitudes;
    std::vector<double> PhasesLeft;
    std::vector<double> PhasesRight; // may stay empty for a mono signal

    int Lines() const { return static_cast<int>(Amplitudes.size()); }
};

// Adds the lines to every sample: x[i] += sum_m a_m sin(2 pi f_m i / fs + phi_m), evaluated with
// FFTs in O(N log N) instead of one pass over the signal per line. When fs / Spacing is a whole
// number P the sum repeats every P samples: one inverse FFT of length P, then tiling. Otherwise
// a chirp-z (Bluestein) evaluation runs block by block, so memory stays bounded. Phases are
// reduced in double-double arithmetic, so long signals keep their accuracy.
void AddSineComb(SignalBase& signal, const SineComb& lines);

// The same sum, one sine evaluation per line and sample: the reference for the fast path and
// the cheaper way for a few lines.
void AddSineCombPerSample(SignalBase& signal, const SineComb& lines);

// How a generator evaluates a sum of many sines: Automatic takes the FFT evaluation when it
// pays, PerSample always adds one sine pass per component (the reference).
enum class SynthesisMethod { Automatic, PerSample };

// Whether the FFT evaluation is worth it for this many lines.
inline bool FastSineCombPays(int lines) {
    return lines >= 8;
}

} // namespace zembrel
