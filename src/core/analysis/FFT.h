#pragma once

#include <cstdint>
#include <vector>

namespace zembrel {

// The level spectrum of one block of one channel. Construction does the whole analysis of the
// first N samples (zero-padded when the channel is shorter): window, scale to -1 ... +1, a
// radix-2 transform, and levels in dB relative to a full-scale sine, normalised by the window's
// RMS value. Only bins 0 ... N/2-1 are produced; the Nyquist bin is not.
class FFT {
public:
    // Window kinds, in the order of the analyser's window list.
    // FlatTop (not in the analyser's list) reads a sine's level within 0.02 dB wherever it falls
    // between bins.
    enum WindowKind {
        Hanning = 0,
        Hamming = 1,
        Blackman = 2,
        BlackmanHarris = 3,
        Rectangular = 4,
        FlatTop = 5
    };
    // Output kinds; levels in dB are the only one.
    enum OutputKind { LevelsDb = 0 };

    static constexpr double Pi = 3.141592653589793;
    // The level of a bin whose magnitude is exactly zero: 20 log10(1e-11) dB.
    static constexpr double ZeroMagnitude = 1e-11;

    // length: a power of two, 2 ... 65536 (the analyser uses 1024 ... 65536). samples: the channel
    // in the file units of SignalBase (centred on 0 for 16 bit, on 128 for 8 bit), not owned and
    // read only during construction; validSamples entries of it exist. bits: 8 or 16.
    // Throws std::invalid_argument for any other length, bit depth, window or output kind.
    FFT(std::int32_t length, const double* samples, std::int32_t validSamples, std::int32_t bits,
        int windowKind, int outputKind);

    FFT(const FFT&) = delete;
    FFT& operator=(const FFT&) = delete;

    // Copies the N/2 levels (dB) to dest, which holds at least N/2 doubles.
    void CopyLevels(double* dest) const;

    std::int32_t Length() const { return length_; }
    // The whole level array; entries N/2 ... N-1 stay 0.
    const std::vector<double>& Levels() const { return levels_; }
    const std::vector<double>& Window() const { return window_; }

    // The coefficients of a symmetric window of n >= 2 points (w[0] == w[n-1]).
    static void MakeWindow(int windowKind, std::int32_t n, double* w);

    // The transform on its own: X[k] = sum x[m] e^(+i 2 pi m k / n) for a power of two n >= 2
    // (no upper limit here).
    // The input is copied to the output in bit-reversed order and transformed there in place.
    static void Transform(const double* inRe, const double* inIm, double* outRe, double* outIm,
                          std::int32_t n);

private:
    void WindowAndScale();
    void ComputeLevels();

    std::int32_t length_;
    const double* samples_;
    std::vector<double> window_;
    std::vector<double> inRe_;
    std::vector<double> inIm_;
    std::vector<double> outRe_;
    std::vector<double> outIm_;
    std::vector<double> levels_;
    std::int32_t bits_;
    std::int32_t validSamples_;
};

} // namespace zembrel
