#pragma once

#include "core/analysis/ReadingStatus.h"

#include <cstddef>
#include <exception>
#include <memory>
#include <vector>

namespace zembrel {

// Loudness and peak levels after ITU-R BS.1770-4 and EBU R128 (Tech 3341 for the loudness
// meter, Tech 3342 for the loudness range), computed by libebur128: K-weighting, 400 ms
// momentary and 3 s short-term blocks, the absolute (-70 LUFS) and relative (-10 LU) gates of
// integrated loudness, the -20 LU relative gate and 10th ... 95th percentiles of the loudness
// range. The true peak is the core's own (TruePeak.h): the standard's interpolation filter,
// vectorised, which takes a small part of libebur128's time for it. A mono channel counts as
// one front channel (weight 1), a stereo pair as left and right.
//
// The maxima of momentary and short-term loudness are taken every 100 ms (Tech 3341 asks for at
// least 10 updates a second), from the first full block on; the hop is round(fs / 10) frames,
// so the blocks are 4 and 30 hops long.
struct Loudness {
    ReadingStatus Status = ReadingStatus::NoSignal; // of integrated loudness and range
    double IntegratedLufs = 0.0;
    double RangeLu = 0.0;
    ReadingStatus MomentaryStatus = ReadingStatus::NoSignal; // TooShort below 400 ms
    double MomentaryMaxLufs = 0.0;
    ReadingStatus ShortTermStatus = ReadingStatus::NoSignal; // TooShort below 3 s
    double ShortTermMaxLufs = 0.0;
    ReadingStatus PeakStatus = ReadingStatus::NoSignal; // NoSignal for all-zero channels
    double TruePeakDbtp = 0.0;                          // the highest of all channels
    double SamplePeakDbfs = 0.0;                        // likewise, 20 log10 |x| max
};

// The gated readings of Loudness fed in pieces of any length, as a file is read. The peaks are
// measured apart (ChannelPeaks) and handed to Finish. Add and Finish run on one thread.
class LoudnessMeter {
public:
    // channels: 1 or 2. Throws std::invalid_argument for another count or a rate outside 16 Hz
    // ... 2.8 MHz, std::bad_alloc when libebur128 cannot get its memory.
    LoudnessMeter(unsigned channels, double sampleRate);
    ~LoudnessMeter();
    LoudnessMeter(const LoudnessMeter&) = delete;
    LoudnessMeter& operator=(const LoudnessMeter&) = delete;

    // The next frames of every channel: channels[c][0 ... frames - 1].
    void Add(const double* const* channels, std::size_t frames);
    // The readings of all that was added; samplePeak and truePeak are the highest of all channels
    // as factors of full scale. Call once.
    Loudness Finish(double samplePeak, double truePeak);

private:
    struct Meter;
    std::unique_ptr<Meter> meter_;
};

// The sample and true peaks of each channel, measured on threads of the caller's beside the
// meter: Measure(c, ...) for every channel c, then Finish, which rethrows what a Measure threw.
class ChannelPeaks {
public:
    explicit ChannelPeaks(std::size_t channels)
        : truePeaks_(channels, 0.0), samplePeaks_(channels, 0.0), errors_(channels) {}
    void Measure(std::size_t channel, const std::vector<double>& samples, double sampleRate);
    Loudness Finish(LoudnessMeter& meter);

private:
    std::vector<double> truePeaks_;
    std::vector<double> samplePeaks_;
    std::vector<std::exception_ptr> errors_;
};

// channels: one or two channels of equal length, normalised to full scale 1. The true peak of
// each channel is computed on its own thread beside the gated readings. Throws
// std::invalid_argument for another channel count, unequal lengths or a rate libebur128 refuses,
// std::bad_alloc when it cannot get its memory.
Loudness MeasureLoudness(const std::vector<const std::vector<double>*>& channels,
                         double sampleRate);

} // namespace zembrel
