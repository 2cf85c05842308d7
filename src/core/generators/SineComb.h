#pragma once

#include <cstddef>
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
    // Right of a stereo signal is not summed but set to the new Left, as the pseudo-noise sine
    // without offset does.
    bool RightCopiesLeft = false;

    int Lines() const { return static_cast<int>(Amplitudes.size()); }
};

// Adds the lines to every sample: x[i] += sum_m a_m sin(2 pi f_m i / fs + phi_m), evaluated with
// FFTs in O(N log N) instead of one pass over the signal per line. When fs / Spacing is a whole
// number P the sum repeats every P samples: one inverse FFT of length P, then tiling. Otherwise
// a chirp-z (Bluestein) evaluation runs block by block. Lines are taken in batches of at most
// SineCombBatchLines, so the scratch memory stays within SineCombScratchBudget. Phases are
// reduced in double-double arithmetic, so long signals keep their accuracy.
void AddSineComb(SignalBase& signal, const SineComb& lines);

// The scratch memory one evaluation may use beside the signal: 1.25 times the signal's sample
// storage, at least 32 MiB (below that the fixed costs of any run dominate).
std::size_t SineCombScratchBudget(const SignalBase& signal);

// How many lines one evaluation takes at a time within that budget (line table included).
int SineCombBatchLines(const SignalBase& signal);

// Collects the lines of a comb one by one, in order of frequency, and adds them to the signal
// whenever a batch is full, so that a comb of millions of lines never holds more than one batch
// of its table. Lines still pending are added by Flush (not by the destructor: a run that was
// stopped leaves them out).
class SineCombBuilder {
public:
    // expectedLines, when known, lets the first batch's table be taken at its size at once.
    SineCombBuilder(SignalBase& signal, double first, double spacing, bool rightCopiesLeft = false,
                    long long expectedLines = 0);
    void Add(double amplitude, double phaseLeft, double phaseRight);
    void Flush();

private:
    SignalBase& signal_;
    double first_;
    double spacing_;
    long long added_ = 0; // lines handed on so far
    std::size_t batch_;
    SineComb pending_;
};

// The same sum, one sine evaluation per line and sample: the reference for the fast path and
// the cheaper way for a few lines.
void AddSineCombPerSample(SignalBase& signal, const SineComb& lines);

// How a generator evaluates a sum of many sines: Automatic takes the FFT evaluation when it
// pays, PerSample always adds one sine pass per component (the reference).
enum class SynthesisMethod { Automatic, PerSample };

// Whether the FFT evaluation is worth it for this many lines.
inline bool FastSineCombPays(long long lines) {
    return lines >= 8;
}

} // namespace zembrel
