#pragma once

#include "core/analysis/Intermodulation.h"
#include "core/generators/Generate.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace zembrel {

class CalculationObserver;
class SignalBase;

// The test tones that measurement standards name, synthesised into a silent signal and scaled
// with FinishSignal, so that the joint peak of all channels is at the level (dB re full scale,
// <= 0). Both channels of a stereo signal carry the same tone.

// The text shown when a test tone's input is refused.
inline constexpr const char* kTestToneErrorText =
    "The level must be at most 0 dB, every tone must lie below half the sample rate, the "
    "multitone needs 1 ... 12 tones per octave between 1 Hz and half the sample rate, and an "
    "analysis length of 1024 ... 1048576 samples.";

// AES17's 997 Hz tone: a sine whose period shares no factor with common sample rates, so that
// the samples step through every code and no distortion product lands on a harmonic of fs.
inline constexpr double kAes17Frequency = 997.0; // Hz
GeneratorStatus GenerateAes17Tone(SignalBase& signal, double level, CalculationObserver& observer);

// A twin tone of one intermodulation standard (TwinToneOf: SMPTE 60 Hz + 7 kHz 4:1, DIN 250 Hz +
// 8 kHz 4:1, CCIF 19 + 20 kHz 1:1), both sines starting at phase 0. Level is the total peak.
struct TwinToneCheck {
    bool Standard = true;
    bool Level = true;
    bool SampleRate = true; // the high tone lies below fs/2
    bool Valid() const { return Standard && Level && SampleRate; }
};
TwinToneCheck CheckTwinTone(ImdStandard standard, double level, double sampleRate);
GeneratorStatus GenerateTwinTone(SignalBase& signal, ImdStandard standard, double level,
                                 CalculationObserver& observer);

// A multitone of equal amplitudes at Low * 2^(i / TonesPerOctave) <= High, each moved to the
// nearest bin centre k fs / AnalysisLength (k >= 1, tones that meet in one bin kept once), so
// that a rectangular-window FFT of any AnalysisLength samples reads every tone in one bin, at its
// exact level, with no leakage. The phases keep the crest factor low:
//   LowCrest   Newman's phases, then moved by a search that lowers the peak of the period
//              (400 steps of a p-norm descent; the tones' levels are untouched)
//   Newman     phi_i = pi i^2 / K (i = 0 ... K-1): a chirp over the tones by their order
//   Schroeder  phi_i = phi_(i-1) - 2 pi (f_i - f_(i-1)) T i / K, T = AnalysisLength / fs: the
//              group delay grows with the tones passed, which for tones at every bin is
//              Schroeder's -pi i (i + 1) / K
//   Random     uniform phases from the seed (a reference for the others)
// Newman's and Schroeder's rules come from tones on every bin of a band, where they give a crest
// factor near that of one sine. Tones spaced by a fraction of an octave are too sparse for a
// closed-form rule: measured for 30 tones a third of an octave apart (20 Hz ... 20 kHz, 48 kHz,
// 65536 points) Newman gives 12.3 dB, Schroeder 12.2 dB, random phases 12.1 ... 13.3 dB, phases
// of 0 17.8 dB, and the search 9.8 dB.
enum class MultitonePhases { LowCrest, Newman, Schroeder, Random };
struct MultitoneInput {
    double Low = 20.0;                   // Hz, >= 1
    double High = 20000.0;               // Hz, Low <= High < fs/2
    double TonesPerOctave = 3.0;         // 1 ... 12
    std::int32_t AnalysisLength = 65536; // samples, 1024 ... 1048576
    MultitonePhases Phases = MultitonePhases::LowCrest;
    double Level = 0.0; // dB re full scale, <= 0
};
struct MultitoneCheck {
    bool Low = true;
    bool High = true;
    bool TonesPerOctave = true;
    bool AnalysisLength = true;
    bool Level = true;
    bool Valid() const { return Low && High && TonesPerOctave && AnalysisLength && Level; }
};
MultitoneCheck CheckMultitone(const MultitoneInput& input, double sampleRate);

// The tones' bins k (frequency k fs / AnalysisLength), ascending, of a checked input.
std::vector<std::int64_t> MultitoneBins(const MultitoneInput& input, double sampleRate);

// crestFactorDb, when given, receives 20 log10(peak / RMS) of the synthesised tone.
GeneratorStatus GenerateMultitone(SignalBase& signal, const MultitoneInput& input,
                                  std::optional<std::uint32_t> seed, CalculationObserver& observer,
                                  double* crestFactorDb = nullptr);

} // namespace zembrel
