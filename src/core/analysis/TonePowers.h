#pragma once

#include <cstddef>
#include <vector>

namespace zembrel {

// The one-sided power spectrum that the distortion and intermodulation readings share, made so
// that the power of a steady tone is read without leakage or scalloping:
//   - at most kMaxLength samples of the channel (the first ones), its mean removed;
//   - a 7-term Blackman-Harris window (side lobes below -180 dB, main lobe +-8 bins), so a tone
//     120 dB below another is still read to 0.1 dB;
//   - P[k] = 2 |X[k]|^2 / (N sum w^2): summing P over a tone's whole main lobe gives its mean
//     square A^2 / 2, and summing it over a band gives the band's mean square (Parseval), both
//     in units of full scale squared (full scale = 1).
// A tone's power is the sum over +-kLobeBins around its frequency, wherever it falls between
// bins. Two tones closer than 2 kLobeBins bins cannot be told apart.
class TonePowers {
public:
    static constexpr std::size_t kMaxLength = std::size_t{1} << 20; // 21.8 s at 48 kHz
    static constexpr int kLobeBins = 9;

    // samples: normalised to full scale 1; sampleRate in Hz, > 0.
    TonePowers(const double* samples, std::size_t count, double sampleRate);

    double BinWidth() const { return binWidth_; }        // Hz
    double Nyquist() const { return sampleRate_ * 0.5; } // Hz
    std::size_t Bins() const { return power_.size(); }   // 0 ... N/2
    const std::vector<double>& Power() const { return power_; }

    // Mean square of the tone at frequency (Hz): P summed over its main lobe; 0 outside 0 ... fs/2.
    double TonePower(double frequency) const;
    // Mean square in [low, high] Hz, whole bins whose centre lies inside.
    double BandPower(double low, double high) const;
    // The strongest bin with centre in [low, high] Hz, its frequency refined to the power-weighted
    // centre of its lobe (exact for a lone tone, as the window is symmetric). Negative when the
    // range holds no bin.
    double StrongestTone(double low, double high) const;
    // Bin index of a frequency, rounded.
    long Bin(double frequency) const;

private:
    double sampleRate_;
    double binWidth_;
    std::vector<double> power_;
};

} // namespace zembrel
