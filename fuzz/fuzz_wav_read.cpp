// The WAV reader on any bytes: it must refuse with WavError or load what the file holds, and
// never read outside it or make samples outside the word range.

#include "fuzz/FuzzSupport.h"

#include "core/signal/SignalBase.h"
#include "core/signal/WavError.h"
#include "core/signal/WavFileRead.h"

#include <cstdlib>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string& path = fuzzsupport::WriteScratch(data, size, ".wav");
    try {
        zembrel::WavFileRead reader(path);
        const bool formatOk = (reader.Channels() == 1 || reader.Channels() == 2) &&
                              (reader.Bits() == 8 || reader.Bits() == 16) &&
                              reader.SampleRate() >= 1.0;
        // Never more frames than the file has bytes for.
        const auto dataBytes = static_cast<std::uint64_t>(reader.Frames()) *
                               static_cast<std::uint64_t>(reader.FrameBytes());
        if (!formatOk || reader.Frames() < 0 || dataBytes > size) {
            std::abort();
        }
        zembrel::SignalBase signal(reader);
        const double low = reader.Bits() == 8 ? 0.0 : -32768.0;
        const double high = reader.Bits() == 8 ? 255.0 : 32767.0;
        for (const auto* channel : signal.ChannelArrays()) {
            if (channel->size() != static_cast<std::size_t>(reader.Frames())) {
                std::abort();
            }
            for (double v : *channel) {
                if (!(v >= low && v <= high)) {
                    std::abort();
                }
            }
        }
        // The playback path reads the stored bytes piece by piece: they hold the very samples of
        // the whole read above (interleaved, 8-bit unsigned or 16-bit little-endian).
        zembrel::WavFileRead again(path);
        std::vector<unsigned char> stored(dataBytes);
        const std::int32_t half = again.Frames() / 2;
        again.ReadStoredFrames(stored.data(), 0, half);
        again.ReadStoredFrames(stored.data() + static_cast<std::size_t>(half) * again.FrameBytes(),
                               half, again.Frames() - half);
        const auto channels = signal.ChannelArrays();
        const std::size_t width = static_cast<std::size_t>(reader.Bits() / 8);
        for (std::size_t i = 0; i * width < stored.size(); ++i) {
            const unsigned char* at = stored.data() + i * width;
            const double value =
                width == 1 ? at[0] : static_cast<std::int16_t>(at[0] | (at[1] << 8));
            if ((*channels[i % channels.size()])[i / channels.size()] != value) {
                std::abort();
            }
        }
    } catch (const zembrel::WavError&) {
        // refused with a reason: fine
    }
    return 0;
}
