#include "cli/Output.h"

#include "core/signal/AudioFileWrite.h"
#include "core/signal/OutputFormatRules.h"
#include "core/signal/SignalBase.h"
#include "core/signal/WavError.h"
#include "core/signal/WavFileWrite.h"

#include <cstdio>
#include <vector>

namespace cli {

bool WriteSignal(const std::string& target, const zembrel::SignalBase& signal,
                 const zembrel::OutputFormatInput& format, const std::string& prefix) {
    const bool toStream = target == "-";
    try {
        if (zembrel::UsesProgramScale(format) &&
            format.Write.Container == zembrel::AudioContainer::Wav) {
            if (toStream) {
                zembrel::WriteWavStream(stdout, "standard output", signal);
            } else {
                zembrel::WavFileWrite(target, ".wav", signal);
            }
            return true;
        }
        std::vector<const double*> channels;
        for (const zembrel::SampleArray* channel : signal.ChannelArrays()) {
            channels.push_back(channel->data());
        }
        const double fullScale = zembrel::SynthesisFullScale(format);
        const std::int64_t clipped =
            toStream
                ? zembrel::WriteAudioStream(stdout, "standard output", channels, signal.SampleCount,
                                            signal.SampleRate, fullScale, format.Write)
                : zembrel::AudioFileWrite(target, channels, signal.SampleCount, signal.SampleRate,
                                          fullScale, format.Write)
                      .Clipped();
        if (clipped > 0) {
            std::fprintf(stderr, "%s: %lld sample%s clipped to the %d-bit range\n", prefix.c_str(),
                         static_cast<long long>(clipped), clipped == 1 ? "" : "s",
                         format.Write.Bits);
        }
    } catch (const zembrel::WavError& e) {
        std::fprintf(stderr, "%s: cannot write %s\n", prefix.c_str(), e.what());
        return false;
    }
    return true;
}

} // namespace cli
