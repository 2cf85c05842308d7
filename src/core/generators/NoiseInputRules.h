#pragma once

#include "core/generators/FrequencyListFile.h"

#include <optional>
#include <string>

namespace zembrel {

// The inputs of the white and pink noise generators and the checks their dialogs make, one flag
// per input (true: acceptable), so that every field in error can be emptied after one message
// (kNoiseErrorText) and the command line can name every option in error. Edges and steps follow
// CheckNoiseBand; amplitude and offset must be numbers. fs is the signal's sample rate.

// One band of white noise.
struct NoiseBandInput {
    double Start = 0.0;     // Hz, 0 < f <= fs/2
    double Stop = 0.0;      // Hz, 0 < f <= fs/2; may lie below Start
    double Step = 0.0;      // Hz, 0 < step <= fs/2, and the band must be countable
    double Amplitude = 1.0; // V, of every sine of the band
    double Offset = 0.0;    // degrees added to the right channel's drawn phases; mono ignores it
};

// The pink noise generator's input: one band whose sines have the amplitude 1 / sqrt(f).
struct PinkNoiseInput {
    double Start = 0.0;  // Hz
    double Stop = 0.0;   // Hz
    double Step = 0.0;   // Hz
    double Offset = 0.0; // degrees
    double Level = 0.0;  // dB, <= 0
};

struct NoiseCheck {
    bool Start = true;
    bool Stop = true;
    bool Step = true;
    bool Level = true; // white noise: only checked when a level is given (OK, not Add Band)
    bool Amplitude = true;
    bool Offset = true;

    bool Valid() const { return Start && Stop && Step && Level && Amplitude && Offset; }
};

NoiseCheck CheckWhiteNoiseBand(const NoiseBandInput& band, double sampleRate,
                               std::optional<double> level = std::nullopt);
NoiseCheck CheckPinkNoise(const PinkNoiseInput& input, double sampleRate);

// Reads a band list (records {start, stop, step, amplitude}) and refuses it whole when a band
// cannot be walked (a step that is not positive, a band too large to count): ListFileError
// names the file, the record's line and the reason. The values are not held to the dialog's
// ranges.
FrequencyList ReadBandList(const std::string& path);

} // namespace zembrel
