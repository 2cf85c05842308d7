#include "core/analysis/Loudness.h"

#include <ebur128.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <new>
#include <stdexcept>
#include <thread>

namespace zembrel {

namespace {

struct StateFree {
    void operator()(ebur128_state* state) const { ebur128_destroy(&state); }
};
using State = std::unique_ptr<ebur128_state, StateFree>;

State MakeState(unsigned channels, double sampleRate, int mode) {
    ebur128_state* state =
        ebur128_init(channels, static_cast<unsigned long>(std::lround(sampleRate)), mode);
    if (state == nullptr) {
        throw std::bad_alloc();
    }
    return State(state);
}

void Check(int error) {
    if (error == EBUR128_ERROR_NOMEM) {
        throw std::bad_alloc();
    }
    if (error != EBUR128_SUCCESS) {
        throw std::invalid_argument("the loudness meter refused the signal (error " +
                                    std::to_string(error) + ")");
    }
}

// The true peak of one channel, on a meter of its own.
double TruePeak(const std::vector<double>& channel, double sampleRate) {
    State state = MakeState(1, sampleRate, EBUR128_MODE_TRUE_PEAK);
    Check(ebur128_add_frames_double(state.get(), channel.data(), channel.size()));
    double peak = 0.0;
    Check(ebur128_true_peak(state.get(), 0, &peak));
    return peak;
}

} // namespace

Loudness MeasureLoudness(const std::vector<const std::vector<double>*>& channels,
                         double sampleRate) {
    if (channels.empty() || channels.size() > 2 ||
        (channels.size() == 2 && channels[0]->size() != channels[1]->size())) {
        throw std::invalid_argument("loudness is read from one or two channels of equal length");
    }
    if (!(sampleRate >= 16.0) || sampleRate > 2822400.0 || !std::isfinite(sampleRate)) {
        throw std::invalid_argument("the loudness meter takes sample rates of 16 Hz ... 2.8 MHz");
    }
    const auto count = channels[0]->size();
    const auto channelCount = static_cast<unsigned>(channels.size());

    std::vector<double> truePeaks(channels.size(), 0.0);
    std::vector<std::exception_ptr> errors(channels.size());
    std::vector<std::jthread> peakThreads;
    for (std::size_t c = 0; c < channels.size(); ++c) {
        peakThreads.emplace_back([&, c] {
            try {
                truePeaks[c] = TruePeak(*channels[c], sampleRate);
            } catch (...) {
                errors[c] = std::current_exception();
            }
        });
    }

    Loudness result;
    State state = MakeState(channelCount, sampleRate,
                            EBUR128_MODE_I | EBUR128_MODE_LRA | EBUR128_MODE_SAMPLE_PEAK);
    // 100 ms hops, interleaved for the meter.
    const auto hop = static_cast<std::size_t>(std::max(1.0, std::round(sampleRate / 10.0)));
    const auto momentaryFrames = static_cast<std::size_t>(std::ceil(sampleRate * 0.4));
    const auto shortTermFrames = static_cast<std::size_t>(std::ceil(sampleRate * 3.0));
    std::vector<double> interleaved(hop * channelCount);
    double momentaryMax = -HUGE_VAL;
    double shortTermMax = -HUGE_VAL;
    for (std::size_t start = 0; start < count; start += hop) {
        const std::size_t frames = std::min(hop, count - start);
        for (std::size_t i = 0; i < frames; ++i) {
            for (unsigned c = 0; c < channelCount; ++c) {
                interleaved[i * channelCount + c] = (*channels[c])[start + i];
            }
        }
        Check(ebur128_add_frames_double(state.get(), interleaved.data(), frames));
        const std::size_t fed = start + frames;
        double value = 0.0;
        if (fed >= momentaryFrames) {
            Check(ebur128_loudness_momentary(state.get(), &value));
            momentaryMax = std::max(momentaryMax, value);
        }
        if (fed >= shortTermFrames) {
            Check(ebur128_loudness_shortterm(state.get(), &value));
            shortTermMax = std::max(shortTermMax, value);
        }
    }

    double samplePeak = 0.0;
    for (unsigned c = 0; c < channelCount; ++c) {
        double peak = 0.0;
        Check(ebur128_sample_peak(state.get(), c, &peak));
        samplePeak = std::max(samplePeak, peak);
    }
    const bool silent = !(samplePeak > 0.0);

    if (count < momentaryFrames) {
        result.Status = result.MomentaryStatus = result.ShortTermStatus = ReadingStatus::TooShort;
    } else {
        double integrated = 0.0;
        Check(ebur128_loudness_global(state.get(), &integrated));
        if (std::isfinite(integrated)) {
            result.Status = ReadingStatus::Ok;
            result.IntegratedLufs = integrated;
            Check(ebur128_loudness_range(state.get(), &result.RangeLu));
        }
        if (std::isfinite(momentaryMax) && !silent) {
            result.MomentaryStatus = ReadingStatus::Ok;
            result.MomentaryMaxLufs = momentaryMax;
        }
        if (count < shortTermFrames) {
            result.ShortTermStatus = ReadingStatus::TooShort;
        } else if (std::isfinite(shortTermMax) && !silent) {
            result.ShortTermStatus = ReadingStatus::Ok;
            result.ShortTermMaxLufs = shortTermMax;
        }
    }

    peakThreads.clear(); // joins
    for (const std::exception_ptr& error : errors) {
        if (error) {
            std::rethrow_exception(error);
        }
    }
    if (!silent) {
        result.PeakStatus = ReadingStatus::Ok;
        result.SamplePeakDbfs = 20.0 * std::log10(samplePeak);
        result.TruePeakDbtp =
            20.0 * std::log10(*std::max_element(truePeaks.begin(), truePeaks.end()));
    }
    return result;
}

} // namespace zembrel
