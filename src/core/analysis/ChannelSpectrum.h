#pragma once

#include <cstdint>
#include <vector>

namespace zembrel {

class SignalBase;

// The spectrum analyser's measurement of one channel: an FFT (FFT.h) of the first length samples
// of the channel, levels in dB for the bins 0 ... length/2 - 1, bin k at BinFrequency(k).

// The FFT length the analyser offers at list index 0 ... 6: 2^(index + 10), 1024 ... 65536.
std::int32_t AnalyserFftLength(int index);

// channel 0 is Mono or Left, 1 is Right of a stereo signal (a mono signal has Mono only).
// windowKind is an FFT::WindowKind. Throws std::invalid_argument for a channel the signal does
// not have, and as FFT does for a length or window it does not take.
std::vector<double> ChannelLevels(const SignalBase& signal, std::int32_t length, int windowKind,
                                  int channel);

// The frequency of bin k in Hz: fs / (2 (length / 2)) k, the bin width formed first.
inline double BinFrequency(double sampleRate, std::int32_t length, int bin) {
    const double binWidth = sampleRate / (2 * (length / 2));
    return binWidth * bin;
}

} // namespace zembrel
