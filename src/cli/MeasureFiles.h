#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace cli {

// A recording to deconvolve: the first channel (mono, or left), full scale 1.0.
struct Recording {
    std::vector<double> Samples;
    double RateHz = 0.0;
};

// Every recording, reference and sweep file is read here and nowhere else: 8- and 16-bit PCM by
// the program's WAV reader, other formats by libsndfile. A file that cannot be read throws a
// UsageError naming it.
Recording ReadRecording(const std::string& path);

// The sample formats sync-sweep and measure write.
enum class AudioFormat { Pcm16, Pcm24, Pcm32, Float32 };
AudioFormat ParseAudioFormat(const std::string& option, const std::string& text);

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
                  AudioFormat format);
    // Writes and renames; on failure throws std::runtime_error with the file and reason.
    void Commit();

private:
    std::vector<std::pair<std::string, std::function<void(const std::string&)>>> files_;
    std::vector<std::string> temporaries_;
};

} // namespace cli
