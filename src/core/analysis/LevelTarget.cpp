#include "core/analysis/LevelTarget.h"

#include "core/analysis/Loudness.h"
#include "core/signal/SampleArray.h"
#include "core/signal/SignalBase.h"

#include <cmath>
#include <stdexcept>
#include <vector>

namespace zembrel {

namespace {

double RmsDb(const SignalBase& signal, double fullScale) {
    double sum = 0.0;
    std::size_t count = 0;
    for (const SampleArray* channel : signal.ChannelArrays()) {
        for (std::size_t i = 0; i < channel->size(); ++i) {
            const double x = (*channel)[i] / fullScale;
            sum += x * x;
        }
        count += channel->size();
    }
    if (count == 0 || !(sum > 0.0)) {
        throw std::invalid_argument("the signal is silent, so no gain gives it that level");
    }
    return 10.0 * std::log10(sum / static_cast<double>(count));
}

double LoudnessLufs(const SignalBase& signal, double fullScale) {
    std::vector<std::vector<double>> copies;
    for (const SampleArray* channel : signal.ChannelArrays()) {
        copies.emplace_back(channel->size());
        for (std::size_t i = 0; i < channel->size(); ++i) {
            copies.back()[i] = (*channel)[i] / fullScale;
        }
    }
    std::vector<const std::vector<double>*> channels;
    for (const auto& copy : copies) {
        channels.push_back(&copy);
    }
    const Loudness loudness = MeasureLoudness(channels, signal.SampleRate);
    switch (loudness.Status) {
    case ReadingStatus::Ok:
        return loudness.IntegratedLufs;
    case ReadingStatus::TooShort:
        throw std::invalid_argument("a loudness needs at least 400 ms of signal");
    default:
        throw std::invalid_argument(
            "the signal is silent or below the -70 LUFS gate, so it has no loudness to scale");
    }
}

} // namespace

double ScaleToLevel(SignalBase& signal, double fullScale, LevelMeasure measure, double target) {
    if (!std::isfinite(target)) {
        throw std::invalid_argument("the level must be a finite number");
    }
    const double now =
        measure == LevelMeasure::Rms ? RmsDb(signal, fullScale) : LoudnessLufs(signal, fullScale);
    const double gainDb = target - now;
    const double gain = std::pow(10.0, gainDb / 20.0);
    for (SampleArray* channel : signal.ChannelArrays()) {
        for (double& x : *channel) {
            x *= gain;
        }
    }
    return gainDb;
}

} // namespace zembrel
