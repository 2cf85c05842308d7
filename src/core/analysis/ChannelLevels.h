#pragma once

#include <cstdint>
#include <string>
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

// The spectrum averaged over the whole channel (Welch): the power of every bin is averaged over
// the blocks of length samples that start every length/2 samples (50 % overlap) and fit in the
// channel, each windowed and normalised as ChannelLevels does; the mean is shown in dB on the
// same scale, so a steady sine reads the level of one block and noise becomes smooth. A channel
// shorter than one block gives ChannelLevels' single (zero-padded) block. The blocks are
// shared among the cores.
struct AveragedLevels {
    std::vector<double> Levels; // dB, bins 0 ... length/2 - 1
    std::int32_t Blocks = 1;    // how many blocks were averaged
};
AveragedLevels AverageChannelLevels(const SignalBase& signal, std::int32_t length, int windowKind,
                                    int channel);

// The bin of the highest level (the first of equal ones); levels must not be empty.
int PeakBin(const std::vector<double>& levels);

// The levels as text, one row per bin: the frequency in Hz, separator, the level in dB, each the
// shortest text that reads back as the same double; with header, a first line naming the
// columns ("frequency_hz,level_db" for ',').
std::string SpectrumRows(double sampleRate, std::int32_t length, const std::vector<double>& levels,
                         char separator, bool header);

// The frequency of bin k in Hz: fs / (2 (length / 2)) k, the bin width formed first.
inline double BinFrequency(double sampleRate, std::int32_t length, int bin) {
    const double binWidth = sampleRate / (2 * (length / 2));
    return binWidth * bin;
}

} // namespace zembrel
