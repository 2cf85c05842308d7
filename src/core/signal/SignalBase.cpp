#include "core/signal/SignalBase.h"

#include "core/signal/WavFileRead.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <stdexcept>
#include <string>

namespace zembrel {

SignalBase::SignalBase()
    : SamplePeriod(1.0 / 44100.0), SampleRate(44100.0), SampleCount(1), SampleCountExact(1.0),
      Channels(1), Duration(0.0), Mono(1, 0.0), NormValue(32768), Bits(16) {}

SignalBase::SignalBase(double sampleRate, double duration, int bits, int normValue, int channels)
    : SampleRate(sampleRate), Channels(channels), Duration(duration), NormValue(normValue),
      Bits(bits) {
    if (channels != 1 && channels != 2) {
        throw std::invalid_argument("channel count must be 1 or 2, not " +
                                    std::to_string(channels));
    }
    if (bits != 8 && bits != 16) {
        throw std::invalid_argument("bits per sample must be 8 or 16, not " + std::to_string(bits));
    }
    SamplePeriod = 1.0 / SampleRate;
    SampleCountExact = ExactSampleCount(SampleRate, Duration);
    if (!std::isfinite(SampleCountExact) || SampleCountExact < 0.0 ||
        SampleCountExact >= static_cast<double>(std::numeric_limits<std::int32_t>::max())) {
        throw std::invalid_argument("sample count out of range for rate " +
                                    std::to_string(sampleRate) + " Hz and duration " +
                                    std::to_string(duration) + " s");
    }
    SampleCount = static_cast<std::int32_t>(SampleCountExact);
    Allocate();
}

SignalBase::SignalBase(WavFileRead& reader) {
    ReadFrom(reader);
}

void SignalBase::ReadFrom(WavFileRead& reader) {
    SamplePeriod = reader.SamplePeriod();
    SampleRate = reader.SampleRate();
    SampleCount = reader.Frames();
    SampleCountExact = static_cast<double>(reader.Frames());
    Channels = reader.Channels();
    Duration = reader.Duration();
    NormValue = reader.Bits() == 8 ? 128 : 32768;
    Bits = reader.Bits();
    Allocate();
    if (Channels == 1) {
        reader.ReadSamples(Mono.data(), nullptr);
    } else {
        reader.ReadSamples(Left.data(), Right.data());
    }
}

void SignalBase::Allocate() {
    // assign() keeps storage that is large enough; the channels not in use give theirs back.
    const auto n = static_cast<std::size_t>(SampleCount);
    if (Channels == 1) {
        Mono.assign(n, 0.0);
        SampleArray().swap(Left);
        SampleArray().swap(Right);
    } else {
        SampleArray().swap(Mono);
        Left.assign(n, 0.0);
        Right.assign(n, 0.0);
    }
}

void SignalBase::SetMono(const double* src) {
    std::copy_n(src, SampleCount, Mono.begin());
}
void SignalBase::SetLeft(const double* src) {
    std::copy_n(src, SampleCount, Left.begin());
}
void SignalBase::SetRight(const double* src) {
    std::copy_n(src, SampleCount, Right.begin());
}

void SignalBase::Clear() {
    for (auto* channel : ChannelArrays()) {
        std::fill(channel->begin(), channel->end(), 0.0);
    }
}

std::vector<SampleArray*> SignalBase::ChannelArrays() {
    if (Channels == 1) {
        return {&Mono};
    }
    return {&Left, &Right};
}

std::vector<const SampleArray*> SignalBase::ChannelArrays() const {
    if (Channels == 1) {
        return {&Mono};
    }
    return {&Left, &Right};
}

} // namespace zembrel
