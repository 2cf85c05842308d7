#pragma once

#include <string>
#include <vector>

namespace zembrel {

// A recording to deconvolve: one channel, full scale 1.0.
struct RecordingSamples {
    std::vector<double> Samples;
    double RateHz = 0.0;
};

// The first channel (mono, or left) of any file AudioFileRead reads: 8- to 32-bit PCM, float,
// extensible WAV, RF64, FLAC, AIFF. A file that cannot be read throws WavError naming it and
// the reason.
RecordingSamples ReadRecordingFile(const std::string& path);

} // namespace zembrel
