#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zembrel {

// The parameters of a synchronized exponential sweep as a user gives them.
struct SyncSweepInput {
    double StartHz = 20.0;   // f1, Hz, 0 < f1 < f2
    double StopHz = 20000.0; // f2, Hz, f2 <= rate / 2
    double LengthS = 10.0;   // s, requested; the real length follows from the rounding of L
    double FadeInMs = 0.0;   // ms, half-Hann rise at the start of the sweep, 0 = none
    double FadeOutMs = 0.0;  // ms, half-Hann fall at the end of the sweep, 0 = none
    double PreS = 0.0;       // s of silence before the sweep
    double PostS = 0.0;      // s of silence after the sweep
    double LevelDb = 0.0;    // dBFS of the sweep's peak, <= 0
    double RateHz = 48000.0; // Hz
};

// The synchronized exponential swept sine
//     x(t) = sin(2 pi f1 L e^(t/L)),   L = round(f1 T / ln(f2/f1)) / f1,
// where rounding makes f1 L a whole number: then x(0) = 0 and the n-th harmonic of the sweep,
// sin(n 2 pi f1 L e^(t/L)), is the sweep itself advanced by L ln n, in phase with it. A
// deconvolution therefore finds the n-th harmonic's impulse response exactly L ln n before
// the linear one. (Novak, Lotton, Simon, J. Audio Eng. Soc. 63(10), 2015.) The sweep lasts
// L ln(f2/f1), which differs from the requested T by the rounding.
//
// The constructor checks the input and throws std::invalid_argument with a text for the user
// when it cannot be a sweep: a number that is not finite, f1 <= 0, f2 <= f1, f2 above half the
// rate, a length too short for f1 L to reach 1, fades longer than the sweep, negative silence,
// a level above 0 dBFS.
class SyncSweep {
public:
    explicit SyncSweep(const SyncSweepInput& input);

    const SyncSweepInput& Input() const { return input_; }
    double L() const { return l_; }                      // s
    double LengthS() const { return l_ * logRatio_; }    // s, the real length
    std::int64_t PreSamples() const { return pre_; }     // samples of leading silence
    std::int64_t SweepSamples() const { return sweep_; } // samples of the sweep itself
    std::int64_t PostSamples() const { return post_; }   // samples of trailing silence
    std::int64_t TotalSamples() const { return pre_ + sweep_ + post_; }
    double Amplitude() const; // peak, full scale 1

    // Samples where the n-th harmonic's impulse response lies before the linear one: L ln n
    // times the rate (not a whole number).
    double HarmonicAdvance(int n) const;

    // The whole signal, silence included, full scale 1.0.
    std::vector<double> Samples() const;
    // The same into out, which holds TotalSamples() values.
    void Fill(double* out) const;

private:
    SyncSweepInput input_;
    double l_ = 0.0;
    double logRatio_ = 0.0;
    std::int64_t pre_ = 0;
    std::int64_t sweep_ = 0;
    std::int64_t post_ = 0;
};

// "20000 Hz" and similar, shortest form, for messages.
std::string HzText(double hz);

} // namespace zembrel
