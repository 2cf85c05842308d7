#pragma once

namespace zembrel {

// The fixed texts a generator shows when its input fails a check: every line of the allowed
// ranges, whichever field was wrong. The blanks align the conditions in the error window and
// are part of the text. The desktop program shows them in its error window, the command-line
// program on standard error.

// Sine, sine with pn-phase and function generator.
inline constexpr const char* kSineErrorText =
    "Error on input parameter.\n\nFollowing settings are possible:\n\nFrequency:         0 < f "
    "<= fs/2\nLevel:                 P <= 0";

inline constexpr const char* kAmplitudeModulationErrorText =
    "Error on input parameter.\n\nFollowing settings are possible:\n\nCarrier Frequency:    0 < fc "
    "<= fs/2\nMod Frequency:       fm + fc <= fs/2\n                                 fc - fm >= "
    "0\nMod Index:               m > 0\nLevel:                       P <= 0";

inline constexpr const char* kFrequencyModulationErrorText =
    "Error on input parameter.\n\nFollowing settings are possible:\n\nCarrier Frequency:    0 < fc "
    "<= fs/2\nMod Frequency:       fm > 0\nMod Index:               m > 0\nLevel:              "
    "         P <= 0";

inline constexpr const char* kFrequencySweepErrorText =
    "Error on input parameter.\n\nFollowing settings are possible:\n\nStart Frequency:       0 < "
    "fstart <= fs/2\nStop Frequency:       0 < fstop <= fs/2\nLevel:                       P <= "
    "0";

// White and pink noise.
inline constexpr const char* kNoiseErrorText =
    "Error on input parameter.\n\nFollowing settings are possible:\n\nStart Frequency:       0 < "
    "fstart <= fs/2\nStop Frequency:       0 < fstop <= fs/2\nStep Size:                 0 < "
    "stepsize <= fs/2\nLevel:                        P <= 0";

} // namespace zembrel
