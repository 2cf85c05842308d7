#pragma once

#include "core/analysis/Distortion.h"
#include "core/analysis/Intermodulation.h"
#include "core/analysis/Loudness.h"
#include "core/analysis/WeightedLevels.h"

#include <cstddef>
#include <vector>

namespace zembrel {

class SignalBase;

// Every reading of one channel: distortion and noise of its tone, intermodulation when it holds
// a standard's twin tone, DC, crest factor, weighted levels and its sample peak.
struct ChannelReadings {
    Fundamental Tone;
    HarmonicDistortion Harmonics;
    NoiseAndDistortion ThdN;
    Intermodulation Imd; // Status NoTwoTones for anything but a twin tone
    double Dc = 0.0;     // mean, full scale 1
    CrestFactor Crest;
    WeightedLevels Weighted;
    ReadingStatus PeakStatus = ReadingStatus::NoSignal;
    double SamplePeakDbfs = 0.0;
    std::size_t ClippedSamples = 0; // in runs at full scale; more than 0 deserves a warning
};

ChannelReadings ReadChannel(const std::vector<double>& samples, double sampleRate,
                            const DistortionSettings& settings);

struct SignalReadings {
    std::vector<ChannelReadings> Channels; // Mono, or Left and Right
    Loudness FileLoudness;                 // of all channels together
};

// ReadChannel of every channel, side by side: one range of channels per core.
std::vector<ChannelReadings> ReadChannels(const std::vector<std::vector<double>>& channels,
                                          double sampleRate, const DistortionSettings& settings);

// The readings of channels normalised to full scale 1. The loudness meter (and the channels'
// peaks beside it) works beside ReadChannels.
SignalReadings ReadSignal(const std::vector<std::vector<double>>& channels, double sampleRate,
                          const DistortionSettings& settings);

// The channels of a signal in file units as numbers of full scale 1: 16-bit samples over
// 32768, 8-bit ones minus 128 over 128 (as the statistics' dBFS levels).
std::vector<std::vector<double>> NormalizedChannels(const SignalBase& signal);

} // namespace zembrel
