#pragma once

#include "core/analysis/ReadingStatus.h"

#include <cstddef>
#include <exception>
#include <memory>
#include <thread>
#include <vector>

namespace zembrel {

// Loudness and peak levels after ITU-R BS.1770-4 and EBU R128 (Tech 3341 for the loudness
// meter, Tech 3342 for the loudness range), computed by libebur128: K-weighting, 400 ms
// momentary and 3 s short-term blocks, the absolute (-70 LUFS) and relative (-10 LU) gates of
// integrated loudness, the -20 LU relative gate and 10th ... 95th percentiles of the loudness
// range. The true peak is the core's own (TruePeak.h): the standard's interpolation filter,
// vectorised, which takes a small part of libebur128's time for it. A mono channel counts as
// one front channel (weight 1), a stereo pair as left and right. More channels are taken in the
// order of WAV files: left, right, centre (weight 1), LFE (not counted), left and right surround
// (weight 1.41), further channels not counted; four channels are left, right and the two
// surrounds, five left, right, centre and the two surrounds.
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
constexpr unsigned kMaxLoudnessChannels = 64;

class LoudnessMeter {
public:
    // channels: 1 ... kMaxLoudnessChannels. Throws std::invalid_argument for another count or a
    // rate outside 16 Hz
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

// The sample and true peaks of every channel, one range of channels per core, on a thread of
// its own that the constructor starts: the caller feeds the meter meanwhile. Finish waits for it,
// rethrows what it threw, and finishes the meter with the highest peaks.
class ChannelPeaks {
public:
    ChannelPeaks(const std::vector<const std::vector<double>*>& channels, double sampleRate);
    Loudness Finish(LoudnessMeter& meter);

private:
    std::vector<double> truePeaks_;
    std::vector<double> samplePeaks_;
    std::exception_ptr error_;
    std::jthread worker_;
};

// channels: 1 ... kMaxLoudnessChannels channels of equal length, normalised to full scale 1. The
// channels' true peaks are computed side by side (MeasurePeaks) beside the gated readings.
// Throws std::invalid_argument for another channel count, unequal lengths or a rate the meter
// refuses, std::bad_alloc when it cannot get its memory.
Loudness MeasureLoudness(const std::vector<const std::vector<double>*>& channels,
                         double sampleRate);

} // namespace zembrel
