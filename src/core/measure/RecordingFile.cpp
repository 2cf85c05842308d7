#include "core/measure/RecordingFile.h"

#include "core/signal/AudioFileRead.h"

namespace zembrel {

RecordingSamples ReadRecordingFile(const std::string& path) {
    AudioFileRead reader(path);
    const AudioFormat& format = reader.Format();
    const auto channels = static_cast<std::size_t>(format.Channels);
    RecordingSamples recording;
    recording.RateHz = format.SampleRate;
    recording.Samples.reserve(static_cast<std::size_t>(format.Frames));
    // Blocks of 64 k frames: a long multichannel file is never held twice whole.
    constexpr std::int64_t kBlock = 65536;
    std::vector<double> block(static_cast<std::size_t>(kBlock) * channels);
    while (const std::int64_t frames = reader.ReadInterleaved(block.data(), kBlock)) {
        for (std::int64_t i = 0; i < frames; ++i) {
            recording.Samples.push_back(block[static_cast<std::size_t>(i) * channels]);
        }
    }
    return recording;
}

} // namespace zembrel
