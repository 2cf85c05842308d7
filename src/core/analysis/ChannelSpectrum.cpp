#include "analysis/ChannelSpectrum.h"

#include "analysis/FFT.h"
#include "signal/SignalBase.h"

#include <cmath>
#include <stdexcept>

namespace zembrel {

std::int32_t AnalyserFftLength(int index) {
    return static_cast<std::int32_t>(std::pow(2.0, index + 10));
}

std::vector<double> ChannelLevels(const SignalBase& signal, std::int32_t length, int windowKind,
                                  int channel) {
    const SampleArray* samples = &signal.Mono;
    if (signal.IsStereo()) {
        samples = channel == 0 ? &signal.Left : &signal.Right;
    }
    if (channel < 0 || channel > (signal.IsStereo() ? 1 : 0)) {
        throw std::invalid_argument("the signal has no channel " + std::to_string(channel));
    }
    // The transform reads the channel in place and only its first length samples.
    const FFT fft(length, samples->data(), signal.SampleCount, signal.Bits, windowKind,
                  FFT::LevelsDb);
    std::vector<double> levels(static_cast<std::size_t>(length / 2));
    fft.CopyLevels(levels.data());
    return levels;
}

} // namespace zembrel
