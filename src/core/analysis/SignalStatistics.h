#pragma once

#include <array>

namespace zembrel {

class SignalBase;

// Six figures of every channel of a signal, computed at construction. Channel 0 is Mono or
// Left, channel 1 is Right (left at 0 for a mono signal). Values are in the signal's file
// units: 16-bit figures relative to 0, 8-bit extremes, mean and RMS on the scale centred on
// 128. Full scale for the DC offset is 32768 or 128 whatever the signal's NormValue.
//
// The signal is only read while the constructor runs; no copy of it is kept.
class SignalStatistics {
public:
    explicit SignalStatistics(const SignalBase& signal);

    // channel: 0 or 1; throws std::out_of_range for any other index.
    double Minimum(int channel) const { return minimum_.at(channel); }
    double Maximum(int channel) const { return maximum_.at(channel); }
    double Mean(int channel) const { return mean_.at(channel); }
    // 16 bit: sqrt(mean of x^2). 8 bit: sqrt(mean of (x - 128)^2) + 128.
    double RMS(int channel) const { return rms_.at(channel); }
    // Percent of full scale, signed.
    double DCOffset(int channel) const { return dcOffset_.at(channel); }
    // Largest excursion from the centre divided by the RMS excursion (1.0 stands in for a zero
    // RMS, so a silent channel reads 0).
    double CrestFactor(int channel) const { return crestFactor_.at(channel); }

    // The largest excursion from the centre and the RMS excursion relative to full scale (32768
    // for 16 bit, 128 for 8 bit, whatever NormValue) in dB, as audio tools quote them:
    // 20 log10(excursion / full scale). A channel that never leaves the centre reads -infinity.
    double PeakDbfs(int channel) const;
    double RmsDbfs(int channel) const;

private:
    void Compute(int channel, const double* x, int count, int bits);

    std::array<double, 2> minimum_{};
    std::array<double, 2> maximum_{};
    std::array<double, 2> mean_{};
    std::array<double, 2> rms_{};
    std::array<double, 2> dcOffset_{};
    std::array<double, 2> crestFactor_{};
    int bits_ = 16;
};

} // namespace zembrel
