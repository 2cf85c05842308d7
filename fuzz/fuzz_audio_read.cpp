// The libsndfile reader on any bytes: it must refuse with WavError or give a format it can
// stand behind (channels, a rate, PCM or float bits) and finite samples, never more frames
// than the file holds.

#include "fuzz/FuzzSupport.h"

#include "core/signal/AudioFileRead.h"
#include "core/signal/SignalBase.h"
#include "core/signal/WavError.h"

#include <cmath>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string& path = fuzzsupport::WriteScratch(data, size, ".wav");
    try {
        zembrel::AudioFileRead reader(path);
        const zembrel::AudioFormat& f = reader.Format();
        const bool bitsOk = f.Float ? (f.Bits == 32 || f.Bits == 64)
                                    : (f.Bits == 8 || f.Bits == 16 || f.Bits == 24 || f.Bits == 32);
        if (f.Channels < 1 || f.SampleRate < 1.0 || f.Frames < 0 || !bitsOk) {
            std::abort();
        }
        // FLAC compresses, so only uncompressed data is held to the file's size.
        if (f.Container != zembrel::AudioContainer::Flac && f.Frames > 0 &&
            zembrel::SampleDataBytes(f) > size) {
            std::abort();
        }
        if (zembrel::DescribeFormat(f).empty()) {
            std::abort();
        }
        // A lying header could claim a huge frame count of tiny frames; keep a run short.
        if (static_cast<double>(f.Frames) * f.Channels > 1 << 24) {
            return 0;
        }
        const auto signals = zembrel::ReadChannelSignals(reader);
        if (signals.size() != static_cast<std::size_t>(f.Channels)) {
            std::abort();
        }
        for (const auto& s : signals) {
            for (double v : s.Mono) {
                // PCM stays within full scale; float is only finite.
                if (!std::isfinite(v) || (!f.Float && std::fabs(v) > 32768.0)) {
                    std::abort();
                }
            }
        }
    } catch (const zembrel::WavError&) {
        // refused with a reason: fine
    }
    return 0;
}
