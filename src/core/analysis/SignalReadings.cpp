#include "core/analysis/SignalReadings.h"

#include "core/analysis/TonePowers.h"
#include "core/signal/ParallelFor.h"
#include "core/signal/SignalBase.h"

#include <algorithm>
#include <cmath>
#include <exception>
#include <thread>

namespace zembrel {

ChannelReadings ReadChannel(const std::vector<double>& samples, double sampleRate,
                            const DistortionSettings& settings) {
    ChannelReadings r;
    const TonePowers spectrum(samples.data(), samples.size(), sampleRate);
    r.Tone = FindFundamental(spectrum, settings);
    r.Harmonics = MeasureHarmonics(spectrum, r.Tone, settings);
    r.ThdN = MeasureThdN(spectrum, r.Tone, settings);
    r.Imd = MeasureIntermodulation(spectrum);
    r.Dc = MeasureDc(samples.data(), samples.size());
    r.Crest = MeasureCrestFactor(samples.data(), samples.size());
    r.Weighted = MeasureWeightedLevels(samples.data(), samples.size(), sampleRate);
    const double peak = r.Crest.Peak;
    if (peak > 0.0) {
        r.PeakStatus = ReadingStatus::Ok;
        r.SamplePeakDbfs = 20.0 * std::log10(peak);
    }
    // Nothing reaches the clipping level below it: the run count is spared.
    if (peak >= settings.ClipLevel) {
        r.ClippedSamples = CountClippedSamples(samples.data(), samples.size(), settings.ClipLevel);
    }
    return r;
}

std::vector<ChannelReadings> ReadChannels(const std::vector<std::vector<double>>& channels,
                                          double sampleRate, const DistortionSettings& settings) {
    std::vector<ChannelReadings> readings(channels.size());
    ParallelFor(
        static_cast<int>(channels.size()),
        [&](int begin, int end) {
            for (int c = begin; c < end; ++c) {
                const auto i = static_cast<std::size_t>(c);
                readings[i] = ReadChannel(channels[i], sampleRate, settings);
            }
        },
        1);
    return readings;
}

SignalReadings ReadSignal(const std::vector<std::vector<double>>& channels, double sampleRate,
                          const DistortionSettings& settings) {
    SignalReadings result;
    std::exception_ptr loudnessError;
    {
        std::jthread meter([&] {
            try {
                std::vector<const std::vector<double>*> pointers;
                for (const auto& channel : channels) {
                    pointers.push_back(&channel);
                }
                result.FileLoudness = MeasureLoudness(pointers, sampleRate);
            } catch (...) {
                loudnessError = std::current_exception();
            }
        });
        result.Channels = ReadChannels(channels, sampleRate, settings);
    }
    if (loudnessError) {
        std::rethrow_exception(loudnessError);
    }
    return result;
}

std::vector<std::vector<double>> NormalizedChannels(const SignalBase& signal) {
    const double centre = signal.Bits == 8 ? 128.0 : 0.0;
    const double fullScale = signal.Bits == 8 ? 128.0 : 32768.0;
    std::vector<std::vector<double>> channels;
    for (const SampleArray* array : signal.ChannelArrays()) {
        std::vector<double> samples(static_cast<std::size_t>(signal.SampleCount));
        for (std::int32_t i = 0; i < signal.SampleCount; ++i) {
            samples[static_cast<std::size_t>(i)] = ((*array)[i] - centre) / fullScale;
        }
        channels.push_back(std::move(samples));
    }
    return channels;
}

} // namespace zembrel
