#pragma once

#include "core/signal/SampleArray.h"

#include <cstdint>

#include <vector>

namespace zembrel {

class WavFileRead;

// The one in-memory form of a PCM signal. Samples are held in file units: 16-bit signals are
// centred on 0 with 0 dB at +-NormValue, 8-bit signals are centred on 128.
class SignalBase {
public:
    double SamplePeriod;      // s, 1 / SampleRate
    double SampleRate;        // Hz
    std::int32_t SampleCount; // samples per channel, SampleCountExact truncated
    double SampleCountExact;  // Duration / SamplePeriod before truncation
    std::int32_t Channels;    // 1 (Mono) or 2 (Left, Right)
    double Duration;          // s, as requested
    SampleArray Mono;         // SampleCount samples when Channels == 1, else empty
    SampleArray Left;         // SampleCount samples when Channels == 2, else empty
    SampleArray Right;        // SampleCount samples when Channels == 2, else empty
    std::int32_t NormValue;   // amplitude that 0 dB stands for
    std::int32_t Bits;        // 8 or 16

    // A placeholder: 44100 Hz, 0 s, 16 bit, 32768, mono, one zero sample.
    SignalBase();

    // A silent signal. SampleCount = trunc(Duration / (1 / SampleRate)). Throws
    // std::invalid_argument for a channel count other than 1 or 2, bits other than 8 or 16,
    // or a sample count that is not finite, negative or beyond int32.
    SignalBase(double sampleRate, double duration, int bits, int normValue, int channels);

    // Reads the samples of an opened WAV file. Every frame of the file is kept, so
    // SampleCount equals the file's frame count and Duration is frames * SamplePeriod.
    // Throws WavError when the samples cannot be read.
    explicit SignalBase(WavFileRead& reader);

    // Becomes what SignalBase(reader) would be. Arrays that are large enough already are reused,
    // so reading back a file of this signal's own size needs no second copy in memory. Throws
    // WavError when the samples cannot be read; the signal then has the file's format and
    // samples that are not to be used.
    void ReadFrom(WavFileRead& reader);

    SignalBase(const SignalBase&) = default;
    SignalBase(SignalBase&&) noexcept = default;
    SignalBase& operator=(const SignalBase&) = default;
    SignalBase& operator=(SignalBase&&) noexcept = default;

    // Duration / (1 / rate): a division by the stored period, not a multiplication by the rate.
    // For every preset rate and length this gives exactly the integer part of rate * length.
    static double ExactSampleCount(double sampleRate, double duration) {
        return duration / (1.0 / sampleRate);
    }

    bool IsStereo() const { return Channels == 2; }

    // Copy SampleCount values from src into the named channel.
    void SetMono(const double* src);
    void SetLeft(const double* src);
    void SetRight(const double* src);

    // Store one value; the caller keeps 0 <= index < SampleCount.
    void SetMonoSample(double value, int index) { Mono[index] = value; }
    void SetLeftSample(double value, int index) { Left[index] = value; }
    void SetRightSample(double value, int index) { Right[index] = value; }

    // Every sample of the present channels becomes 0.0; the format stays.
    void Clear();

    // The channel arrays that exist: {Mono} or {Left, Right}.
    std::vector<SampleArray*> ChannelArrays();
    std::vector<const SampleArray*> ChannelArrays() const;

private:
    void Allocate();
};

} // namespace zembrel
