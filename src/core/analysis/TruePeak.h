#pragma once

#include <cstddef>

namespace zembrel {

// The true peak of one channel after ITU-R BS.1770-4 Annex 2: the channel is oversampled by the
// standard's 48-tap, four-phase interpolation filter and the largest absolute value of the
// oversampled signal is taken, or the sample peak where that is larger. Below 96 kHz all four
// phases are used (4x); from 96 kHz every other phase (2x, the same filter on a half-sample grid);
// from 192 kHz none, as the signal is then already sampled at the rate the standard asks for.
// The channel is taken to be silent before its first and after its last sample, so the filter's
// ring at both ends counts. Full scale is 1; the result is a factor (20 log10 gives dBTP).
//
// The filter runs in single precision on four outputs at a time: its coefficients are multiples
// of 2^-13 and a sum of 12 products keeps about 7 digits, 0.000001 dB on the reading.
// samplePeak, when given, receives the sample peak, max |x|, found on the way.
double TruePeak(const double* samples, std::size_t count, double sampleRate,
                double* samplePeak = nullptr);

} // namespace zembrel
