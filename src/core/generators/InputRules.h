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

// The largest magnitude of a value without a range of its own (amplitude, phase and offset in
// degrees, modulation index, FM modulation frequency). Far beyond any use, it leaves room for
// the arithmetic behind them to stay finite: sums of up to 2^31 lines and many Add Sine calls,
// degrees turned into radians and multiplied by harmonic numbers, 2 pi f t over 180 s. Above it
// a phase of 1e308 degrees would become infinite radians, and the signal NaN.
inline constexpr double kLargestMagnitude = 1e250;

// A value without a range of its own (amplitude, phase, offset) must still be a number the
// arithmetic can carry: finite and at most kLargestMagnitude in size.
inline bool IsValidNumber(double value) {
    return std::isfinite(value) && std::abs(value) <= kLargestMagnitude;
}

} // namespace zembrel
