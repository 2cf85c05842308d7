#pragma once

#include "core/measure/RecordingFile.h"

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace zembrel {
struct AudioWriteOptions;
}

namespace cli {

// A recording to deconvolve: the first channel (mono, or left), full scale 1.0.
using Recording = zembrel::RecordingSamples;

// Every recording, reference and sweep file is read here and nowhere else, by the reader of
// every format (WAV of any sample format, RF64, FLAC, AIFF ...). A file that cannot be read
// throws a UsageError naming it.
Recording ReadRecording(const std::string& path);

// 32-bit float WAV: the impulse response and a kept recording.
zembrel::AudioWriteOptions Float32Wav();

// Results that belong together are written all or none: each is first written complete under a
// temporary name beside its target; only when all were written are they renamed into place. On
// failure the temporary files are removed and every target stays as it was.
class StagedFiles {
public:
    ~StagedFiles();
    // writer writes the file at the path it is given; on failure it throws std::runtime_error
    // with the reason.
    void Add(const std::string& target, const std::function<void(const std::string&)>& writer);
    void AddText(const std::string& target, const std::string& text);
    void AddAudio(const std::string& target, const std::vector<double>& samples, double rateHz,
                  const zembrel::AudioWriteOptions& format);
    // Writes and renames; on failure throws std::runtime_error with the file and reason.
    void Commit();

private:
    std::vector<std::pair<std::string, std::function<void(const std::string&)>>> files_;
    std::vector<std::string> temporaries_;
};

} // namespace cli
