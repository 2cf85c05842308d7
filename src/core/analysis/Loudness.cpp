#include "core/analysis/Loudness.h"

#include "core/analysis/TruePeak.h"
#include "core/signal/ParallelFor.h"

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

struct LoudnessMeter::Meter {
    State Ebur;
    unsigned Channels = 0;
    // 100 ms hops, interleaved for the meter. After each hop the meter gives the loudness of that
    // hop alone; its mean square (energy) is kept, and the momentary (4 hops) and short-term
    // (30 hops) loudness are the means of the last 4 and 30 of them, which is what the meter's
    // own 400 ms and 3 s windows sum, for a fraction of the work of asking it every hop.
    std::size_t Hop = 0;
    unsigned long HopMs = 0;
    std::vector<double> Interleaved; // the hop being filled
    std::size_t Filled = 0;          // its frames so far
    std::size_t Frames = 0;          // all frames added
    std::vector<double> Energies;
    double MomentaryMax = 0.0;
    double ShortTermMax = 0.0;
    double MomentarySum = 0.0;
    double ShortTermSum = 0.0;

    void EndHop() {
        Check(ebur128_add_frames_double(Ebur.get(), Interleaved.data(), Hop));
        Filled = 0;
        double loudness = 0.0;
        Check(ebur128_loudness_window(Ebur.get(), HopMs, &loudness));
        // BS.1770: L = -0.691 + 10 log10(energy).
        const double energy =
            std::isfinite(loudness) ? std::pow(10.0, (loudness + 0.691) / 10.0) : 0.0;
        Energies.push_back(energy);
        const std::size_t n = Energies.size();
        MomentarySum += energy - (n > 4 ? Energies[n - 5] : 0.0);
        ShortTermSum += energy - (n > 30 ? Energies[n - 31] : 0.0);
        if (n >= 4) {
            MomentaryMax = std::max(MomentaryMax, MomentarySum / 4.0);
        }
        if (n >= 30) {
            ShortTermMax = std::max(ShortTermMax, ShortTermSum / 30.0);
        }
    }
};

LoudnessMeter::LoudnessMeter(unsigned channels, double sampleRate) {
    if (channels < 1 || channels > kMaxLoudnessChannels) {
        throw std::invalid_argument("loudness is read from 1 ... 64 channels of equal length");
    }
    if (!(sampleRate >= 16.0) || sampleRate > 2822400.0 || !std::isfinite(sampleRate)) {
        throw std::invalid_argument("the loudness meter takes sample rates of 16 Hz ... 2.8 MHz");
    }
    meter_ = std::make_unique<Meter>();
    Meter& m = *meter_;
    m.Ebur = MakeState(channels, sampleRate, EBUR128_MODE_M | EBUR128_MODE_I | EBUR128_MODE_LRA);
    m.Channels = channels;
    // The WAV order, set here rather than left to the library's defaults.
    if (channels > 2) {
        std::vector<int> order = {EBUR128_LEFT,   EBUR128_RIGHT,         EBUR128_CENTER,
                                  EBUR128_UNUSED, EBUR128_LEFT_SURROUND, EBUR128_RIGHT_SURROUND};
        if (channels == 4) {
            order = {EBUR128_LEFT, EBUR128_RIGHT, EBUR128_LEFT_SURROUND, EBUR128_RIGHT_SURROUND};
        } else if (channels == 5) {
            order = {EBUR128_LEFT, EBUR128_RIGHT, EBUR128_CENTER, EBUR128_LEFT_SURROUND,
                     EBUR128_RIGHT_SURROUND};
        }
        for (unsigned c = 0; c < channels; ++c) {
            Check(
                ebur128_set_channel(m.Ebur.get(), c, c < order.size() ? order[c] : EBUR128_UNUSED));
        }
    }
    m.Hop = static_cast<std::size_t>(std::max(1.0, std::round(sampleRate / 10.0)));
    m.HopMs = static_cast<unsigned long>(std::lround(1000.0 * m.Hop / sampleRate));
    m.Interleaved.resize(m.Hop * channels);
}

LoudnessMeter::~LoudnessMeter() = default;

void LoudnessMeter::Add(const double* const* channels, std::size_t frames) {
    Meter& m = *meter_;
    m.Frames += frames;
    std::size_t done = 0;
    while (done < frames) {
        const std::size_t take = std::min(frames - done, m.Hop - m.Filled);
        double* to = m.Interleaved.data() + m.Filled * m.Channels;
        for (unsigned c = 0; c < m.Channels; ++c) {
            const double* from = channels[c] + done;
            for (std::size_t i = 0; i < take; ++i) {
                to[i * m.Channels + c] = from[i];
            }
        }
        m.Filled += take;
        done += take;
        if (m.Filled == m.Hop) {
            m.EndHop();
        }
    }
}

Loudness LoudnessMeter::Finish(double samplePeak, double truePeak) {
    Meter& m = *meter_;
    if (m.Filled > 0) {
        // The last part hop: counted in the integrated loudness, not in the maxima.
        Check(ebur128_add_frames_double(m.Ebur.get(), m.Interleaved.data(), m.Filled));
        m.Filled = 0;
    }
    Loudness result;
    if (m.Frames < 4 * m.Hop) {
        result.Status = result.MomentaryStatus = result.ShortTermStatus = ReadingStatus::TooShort;
    } else {
        double integrated = 0.0;
        Check(ebur128_loudness_global(m.Ebur.get(), &integrated));
        if (std::isfinite(integrated)) {
            result.Status = ReadingStatus::Ok;
            result.IntegratedLufs = integrated;
            Check(ebur128_loudness_range(m.Ebur.get(), &result.RangeLu));
        }
        if (m.MomentaryMax > 0.0) {
            result.MomentaryStatus = ReadingStatus::Ok;
            result.MomentaryMaxLufs = -0.691 + 10.0 * std::log10(m.MomentaryMax);
        }
        if (m.Frames < 30 * m.Hop) {
            result.ShortTermStatus = ReadingStatus::TooShort;
        } else if (m.ShortTermMax > 0.0) {
            result.ShortTermStatus = ReadingStatus::Ok;
            result.ShortTermMaxLufs = -0.691 + 10.0 * std::log10(m.ShortTermMax);
        }
    }
    if (samplePeak > 0.0) {
        result.PeakStatus = ReadingStatus::Ok;
        result.SamplePeakDbfs = 20.0 * std::log10(samplePeak);
        result.TruePeakDbtp = 20.0 * std::log10(truePeak);
    }
    return result;
}

Loudness MeasureLoudness(const std::vector<const std::vector<double>*>& channels,
                         double sampleRate) {
    for (const auto* channel : channels) {
        if (channel->size() != channels[0]->size()) {
            throw std::invalid_argument("loudness is read from 1 ... 64 channels of equal length");
        }
    }
    LoudnessMeter meter(static_cast<unsigned>(channels.size()), sampleRate);
    ChannelPeaks peaks(channels, sampleRate);
    std::vector<const double*> from;
    for (const auto* channel : channels) {
        from.push_back(channel->data());
    }
    meter.Add(from.data(), channels[0]->size());
    return peaks.Finish(meter);
}

ChannelPeaks::ChannelPeaks(const std::vector<const std::vector<double>*>& channels,
                           double sampleRate)
    : truePeaks_(channels.size(), 0.0), samplePeaks_(channels.size(), 0.0) {
    worker_ = std::jthread([this, channels, sampleRate] {
        try {
            ParallelFor(
                static_cast<int>(channels.size()),
                [&](int begin, int end) {
                    for (auto c = static_cast<std::size_t>(begin);
                         c < static_cast<std::size_t>(end); ++c) {
                        truePeaks_[c] = TruePeak(channels[c]->data(), channels[c]->size(),
                                                 sampleRate, &samplePeaks_[c]);
                    }
                },
                1);
        } catch (...) {
            error_ = std::current_exception();
        }
    });
}

Loudness ChannelPeaks::Finish(LoudnessMeter& meter) {
    worker_.join();
    if (error_) {
        std::rethrow_exception(error_);
    }
    return meter.Finish(*std::max_element(samplePeaks_.begin(), samplePeaks_.end()),
                        *std::max_element(truePeaks_.begin(), truePeaks_.end()));
}

} // namespace zembrel
