#pragma once

#include <algorithm>
#include <cmath>
#include <numbers>

namespace zembrel::test {

// The amplitude of the spectral line at f Hz in x[0 ... n-1]: 2/n |sum x[i] e^(-j 2 pi f i / fs)|.
// Exact for a sine of a whole number of cycles in the block; other such lines do not leak into
// it.
inline double LineAmplitude(const double* x, int n, double fs, double f) {
    long double re = 0.0L;
    long double im = 0.0L;
    for (int i = 0; i < n; ++i) {
        // The cycles are reduced to one period first, so that long blocks keep the line's
        // phase exact.
        const double arg = 2.0 * std::numbers::pi * std::fmod(i * f, fs) / fs;
        re += x[i] * std::cos(arg);
        im -= x[i] * std::sin(arg);
    }
    return 2.0 * static_cast<double>(std::sqrt(re * re + im * im)) / n;
}

// The frequency (Hz, 0 ... fs/2) of a sine in x[from ... to-1], from the identity
// x[i-1] + x[i+1] = 2 cos(w) x[i] of every sampled sine, fitted by least squares over the
// block. Needs 1 <= from and to < the length of x. A sine above fs/2 reads as its alias.
inline double LocalFrequency(const double* x, int from, int to, double fs) {
    double cross = 0.0;
    double power = 0.0;
    for (int i = from; i < to; ++i) {
        cross += x[i] * (x[i - 1] + x[i + 1]);
        power += x[i] * x[i];
    }
    const double c = std::clamp(cross / (2.0 * power), -1.0, 1.0);
    return std::acos(c) * fs / (2.0 * std::numbers::pi);
}

} // namespace zembrel::test
