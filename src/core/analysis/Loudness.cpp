#include "core/analysis/Loudness.h"

#include "core/analysis/TruePeak.h"

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
    std::vector<double> samplePeaks(channels.size(), 0.0);
    std::vector<std::exception_ptr> errors(channels.size());
    std::vector<std::jthread> peakThreads;
    for (std::size_t c = 0; c < channels.size(); ++c) {
        peakThreads.emplace_back([&, c] {
            try {
                truePeaks[c] =
                    TruePeak(channels[c]->data(), channels[c]->size(), sampleRate, &samplePeaks[c]);
            } catch (...) {
                errors[c] = std::current_exception();
            }
        });
    }

    Loudness result;
    State state =
        MakeState(channelCount, sampleRate,
                  EBUR128_MODE_M | EBUR128_MODE_I | EBUR128_MODE_LRA);
    // 100 ms hops, interleaved for the meter. After each hop the meter gives the loudness of that
    // hop alone; its mean square (energy) is kept, and the momentary (4 hops) and short-term
    // (30 hops) loudness are the means of the last 4 and 30 of them, which is what the meter's
    // own 400 ms and 3 s windows sum, for a fraction of the work of asking it every hop.
    const auto hop = static_cast<std::size_t>(std::max(1.0, std::round(sampleRate / 10.0)));
    const auto hopMs = static_cast<unsigned long>(std::lround(1000.0 * hop / sampleRate));
    std::vector<double> interleaved(hop * channelCount);
    std::vector<double> energies;
    energies.reserve(count / hop + 1);
    double momentaryMax = 0.0;
    double shortTermMax = 0.0;
    double momentarySum = 0.0;
    double shortTermSum = 0.0;
    for (std::size_t start = 0; start + hop <= count; start += hop) {
        for (std::size_t i = 0; i < hop; ++i) {
            for (unsigned c = 0; c < channelCount; ++c) {
                interleaved[i * channelCount + c] = (*channels[c])[start + i];
            }
        }
        Check(ebur128_add_frames_double(state.get(), interleaved.data(), hop));
        double loudness = 0.0;
        Check(ebur128_loudness_window(state.get(), hopMs, &loudness));
        // BS.1770: L = -0.691 + 10 log10(energy).
        const double energy =
            std::isfinite(loudness) ? std::pow(10.0, (loudness + 0.691) / 10.0) : 0.0;
        energies.push_back(energy);
        const std::size_t n = energies.size();
        momentarySum += energy - (n > 4 ? energies[n - 5] : 0.0);
        shortTermSum += energy - (n > 30 ? energies[n - 31] : 0.0);
        if (n >= 4) {
            momentaryMax = std::max(momentaryMax, momentarySum / 4.0);
        }
        if (n >= 30) {
            shortTermMax = std::max(shortTermMax, shortTermSum / 30.0);
        }
    }
    const std::size_t fedFrames = energies.size() * hop;
    if (fedFrames < count) {
        // The last part hop: counted in the integrated loudness, not in the maxima.
        const std::size_t rest = count - fedFrames;
        for (std::size_t i = 0; i < rest; ++i) {
            for (unsigned c = 0; c < channelCount; ++c) {
                interleaved[i * channelCount + c] = (*channels[c])[fedFrames + i];
            }
        }
        Check(ebur128_add_frames_double(state.get(), interleaved.data(), rest));
    }
    const auto momentaryFrames = 4 * hop;
    const auto shortTermFrames = 30 * hop;


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
        if (momentaryMax > 0.0) {
            result.MomentaryStatus = ReadingStatus::Ok;
            result.MomentaryMaxLufs = -0.691 + 10.0 * std::log10(momentaryMax);
        }
        if (count < shortTermFrames) {
            result.ShortTermStatus = ReadingStatus::TooShort;
        } else if (shortTermMax > 0.0) {
            result.ShortTermStatus = ReadingStatus::Ok;
            result.ShortTermMaxLufs = -0.691 + 10.0 * std::log10(shortTermMax);
        }
    }

    peakThreads.clear(); // joins
    for (const std::exception_ptr& error : errors) {
        if (error) {
            std::rethrow_exception(error);
        }
    }
    const double samplePeak = *std::max_element(samplePeaks.begin(), samplePeaks.end());
    if (samplePeak > 0.0) {
        result.PeakStatus = ReadingStatus::Ok;
        result.SamplePeakDbfs = 20.0 * std::log10(samplePeak);
        result.TruePeakDbtp =
            20.0 * std::log10(*std::max_element(truePeaks.begin(), truePeaks.end()));
    }
    return result;
}

} // namespace zembrel
