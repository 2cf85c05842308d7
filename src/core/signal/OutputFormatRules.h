#pragma once

#include "core/signal/AudioFileWrite.h"

#include <string>
#include <vector>

namespace zembrel {

// The format of a file the command line writes, beyond the parameter dialog's: 8 to 32-bit PCM
// and float, 1 Hz to 768 kHz, any length a signal holds. Bits <= 16 without dither keep the
// dialog's scale (NormValue up to 32768 or 128) and the program's own writer, so those files are
// byte-identical to the desktop program's.
struct OutputFormatInput {
    AudioWriteOptions Write; // container, bits, float, dither
    double SampleRate = 0.0; // Hz, 1 ... 768000
    double Duration = 0.0;   // s, > 0, at most 2^31 - 2 samples
    long NormValue = 0;      // 0: full scale; otherwise 8 and 16 bit only, as the dialog takes it
    int Channels = 1;        // 1 or 2
    // The level is set after synthesis (an RMS or loudness target): the signal is made at the
    // working scale whatever the format, and quantised once, when written.
    bool LevelSetAfterSynthesis = false;
};

inline constexpr double kMaxOutputRate = 768000.0; // Hz

// Generators synthesise signals beyond 16 bit (and dithered ones) at this NormValue: their
// whole-number results then step at 2^-30 of full scale (-180 dB), 64 times finer than a
// 24-bit LSB and far below any dither, while FinishSignal and every entry point stay as they
// are. 32-bit PCM keeps 31 of its 32 bits; float stores x / 2^30.
inline constexpr int kWorkingNormValue = 1 << 30;

// One refused field: which ("rate", "length", "norm", "bits") and why, naming the actual
// limit ("at most 768000 Hz").
struct OutputFormatProblem {
    std::string Field;
    std::string Reason;
};
std::vector<OutputFormatProblem> CheckOutputFormat(const OutputFormatInput& input);

// Whether the program's own 8/16-bit scale and WAV writer serve this output.
bool UsesProgramScale(const OutputFormatInput& input);

// The NormValue a generator synthesises at for this output: the dialog's (default the full
// scale of 8 or 16 bit) on the program's scale, kWorkingNormValue scaled by the norm otherwise.
int SynthesisNormValue(const OutputFormatInput& input);

// The sample value that stands for 0 dBFS in a signal synthesised for this output: 128 or
// 32768 on the program's scale (whatever the norm), kWorkingNormValue otherwise.
double SynthesisFullScale(const OutputFormatInput& input);

// The Bits of the silent signal a generator fills: 8 only on the program's 8-bit scale.
int SynthesisBits(const OutputFormatInput& input);

// A generator's error text with every "fs/2" replaced by the limit it stands for at
// sampleRate: "0 < f <= fs/2" becomes "0 < f <= 22050 Hz" at 44100 Hz.
std::string WithRateLimits(const std::string& text, double sampleRate);

} // namespace zembrel
