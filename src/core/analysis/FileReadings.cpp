#include "core/analysis/FileReadings.h"

#include "core/analysis/Loudness.h"
#include "core/signal/AudioFileRead.h"
#include "core/signal/HugePages.h"
#include "core/signal/WavError.h"

#include <atomic>
#include <cstdint>
#include <exception>
#include <thread>

namespace zembrel {

SignalReadings ReadFile(AudioFileRead& reader, const DistortionSettings& settings,
                        std::vector<std::vector<double>>& channels) {
    const AudioFormat& format = reader.Format();
    const auto count = static_cast<std::size_t>(format.Channels);
    const double rate = format.SampleRate;
    const auto frames = static_cast<std::size_t>(format.Frames);
    LoudnessMeter meter(static_cast<unsigned>(count), rate);

    // Every channel's storage is reserved for the header's frames before anything is read, so it
    // never moves: the meter reads it through these pointers up to the frames published so far.
    channels.assign(count, {});
    std::vector<const double*> starts;
    for (auto& channel : channels) {
        ReserveLarge(channel, frames);
        starts.push_back(channel.data());
    }
    constexpr std::size_t kDone = std::size_t{1} << 63; // with the count: nothing more comes
    std::atomic<std::size_t> published{0};
    std::exception_ptr meterError;
    std::jthread follower([&] {
        try {
            std::vector<const double*> from(count);
            std::size_t fed = 0;
            for (;;) {
                const std::size_t state = published.load(std::memory_order_acquire);
                const std::size_t ready = state & ~kDone;
                if (ready == fed) {
                    if ((state & kDone) != 0) {
                        break;
                    }
                    published.wait(state, std::memory_order_acquire);
                    continue;
                }
                for (std::size_t c = 0; c < count; ++c) {
                    from[c] = starts[c] + fed;
                }
                meter.Add(from.data(), ready - fed);
                fed = ready;
            }
        } catch (...) {
            meterError = std::current_exception();
        }
    });

    std::size_t done = 0;
    const auto publish = [&](std::size_t flags) {
        published.store(done | flags, std::memory_order_release);
        published.notify_one();
    };
    try {
        // Each channel grows block by block into its reserved storage: no page is filled twice.
        constexpr std::size_t kBlock = 65536;
        std::vector<double> block(kBlock * count);
        std::vector<double> one(kBlock);
        for (;;) {
            const auto got = static_cast<std::size_t>(reader.ReadInterleaved(block.data(), kBlock));
            if (got == 0) {
                break;
            }
            if (got > frames - done) {
                throw WavError(reader.FileName(),
                               "the file holds more frames than its header says");
            }
            for (std::size_t c = 0; c < count; ++c) {
                for (std::size_t i = 0; i < got; ++i) {
                    one[i] = block[i * count + c];
                }
                channels[c].insert(channels[c].end(), one.begin(),
                                   one.begin() + static_cast<std::ptrdiff_t>(got));
            }
            done += got;
            publish(0);
        }
    } catch (...) {
        publish(kDone); // the follower ends; its thread is joined as this unwinds
        throw;
    }
    publish(kDone);

    std::vector<const std::vector<double>*> pointers;
    for (const auto& channel : channels) {
        pointers.push_back(&channel);
    }
    ChannelPeaks peaks(pointers, rate);
    SignalReadings result;
    result.Channels = ReadChannels(channels, rate, settings);
    follower.join();
    if (meterError) {
        std::rethrow_exception(meterError);
    }
    result.FileLoudness = peaks.Finish(meter);
    return result;
}

} // namespace zembrel
