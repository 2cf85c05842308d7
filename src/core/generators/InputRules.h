#pragma once

#include <cmath>

namespace zembrel {

// The ranges every generator dialog enforces. A non-finite number (NaN, infinity) is never
// valid input.

// A main frequency (sine, carrier, start, stop): 0 < f <= fs/2, in Hz.
inline bool IsValidFrequency(double frequency, double sampleRate) {
    return std::isfinite(frequency) && frequency > 0.0 && frequency <= sampleRate * 0.5;
}

// A level in dB relative to full scale: at most 0 dB.
inline bool IsValidLevel(double level) {
    return std::isfinite(level) && !(level > 0.0);
}

// A value without a range of its own (amplitude, phase, offset) must still be a number.
inline bool IsValidNumber(double value) {
    return std::isfinite(value);
}

} // namespace zembrel
