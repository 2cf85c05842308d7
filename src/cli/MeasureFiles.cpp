#include "cli/MeasureFiles.h"

#include "cli/Options.h"

#include "core/signal/WavError.h"
#include "core/signal/WavFileRead.h"

#include <sndfile.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <stdexcept>
#include <unistd.h>

namespace cli {

namespace {

// The first channel of any file libsndfile reads (24/32-bit PCM, float, RF64, FLAC...), as
// doubles of full scale 1.0; nothing when it cannot read the file.
std::optional<Recording> ReadWithSndfile(const std::string& path) {
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (file == nullptr) {
        return std::nullopt;
    }
    std::unique_ptr<SNDFILE, decltype(&sf_close)> owner(file, sf_close);
    Recording recording;
    recording.RateHz = info.samplerate;
    std::vector<double> frames(static_cast<std::size_t>(info.frames) *
                               static_cast<std::size_t>(info.channels));
    if (sf_readf_double(file, frames.data(), info.frames) != info.frames) {
        return std::nullopt;
    }
    recording.Samples.resize(static_cast<std::size_t>(info.frames));
    for (std::size_t i = 0; i < recording.Samples.size(); ++i) {
        recording.Samples[i] = frames[i * static_cast<std::size_t>(info.channels)];
    }
    return recording;
}

} // namespace

Recording ReadRecording(const std::string& path) {
    try {
        zembrel::WavFileRead reader(path);
        Recording recording;
        recording.RateHz = reader.SampleRate();
        recording.Samples.resize(static_cast<std::size_t>(reader.Frames()));
        std::vector<double> second(reader.Channels() == 2 ? recording.Samples.size() : 0);
        reader.ReadSamples(recording.Samples.data(), second.data());
        const double centre = reader.Bits() == 8 ? 128.0 : 0.0;
        const double fullScale = reader.Bits() == 8 ? 128.0 : 32768.0;
        for (double& v : recording.Samples) {
            v = (v - centre) / fullScale;
        }
        return recording;
    } catch (const zembrel::WavError& e) {
        // The program's own reader takes 8- and 16-bit PCM; what sync-sweep --bits and
        // measure --keep-recording write besides is read by libsndfile.
        if (std::optional<Recording> recording = ReadWithSndfile(path)) {
            return *std::move(recording);
        }
        throw UsageError(e.what());
    }
}

AudioFormat ParseAudioFormat(const std::string& option, const std::string& text) {
    switch (ParseChoice(option, text, {"16", "24", "32", "float"})) {
    case 0:
        return AudioFormat::Pcm16;
    case 1:
        return AudioFormat::Pcm24;
    case 2:
        return AudioFormat::Pcm32;
    default:
        return AudioFormat::Float32;
    }
}

namespace {

void WriteAudio(const std::string& path, const std::vector<double>& samples, double rateHz,
                AudioFormat format) {
    SF_INFO info{};
    info.samplerate = static_cast<int>(rateHz);
    info.channels = 1;
    const int formats[] = {SF_FORMAT_PCM_16, SF_FORMAT_PCM_24, SF_FORMAT_PCM_32, SF_FORMAT_FLOAT};
    info.format = SF_FORMAT_WAV | formats[static_cast<int>(format)];
    // RIFF holds 4 GB; longer files become RF64.
    if (samples.size() * 4 > 0xFFFF0000ull) {
        info.format = SF_FORMAT_RF64 | formats[static_cast<int>(format)];
    }
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (file == nullptr) {
        throw std::runtime_error(sf_strerror(nullptr));
    }
    // Full scale 1.0 stays full scale in every integer format, clipped rather than wrapped.
    sf_command(file, SFC_SET_CLIPPING, nullptr, SF_TRUE);
    const auto count = static_cast<sf_count_t>(samples.size());
    const sf_count_t written = sf_write_double(file, samples.data(), count);
    const std::string error = written == count ? "" : sf_strerror(file);
    if (sf_close(file) != 0 || written != count) {
        throw std::runtime_error(error.empty() ? "cannot be written" : error);
    }
}

} // namespace

StagedFiles::~StagedFiles() {
    for (const std::string& temporary : temporaries_) {
        std::remove(temporary.c_str());
    }
}

void StagedFiles::Add(const std::string& target,
                      const std::function<void(const std::string&)>& writer) {
    files_.emplace_back(target, writer);
}

void StagedFiles::AddText(const std::string& target, const std::string& text) {
    Add(target, [text](const std::string& path) {
        std::ofstream out(path, std::ios::binary);
        out << text;
        out.close();
        if (!out) {
            throw std::runtime_error("cannot be written");
        }
    });
}

void StagedFiles::AddAudio(const std::string& target, const std::vector<double>& samples,
                           double rateHz, AudioFormat format) {
    Add(target, [&samples, rateHz, format](const std::string& path) {
        WriteAudio(path, samples, rateHz, format);
    });
}

void StagedFiles::Commit() {
    for (const auto& [target, writer] : files_) {
        const std::string temporary = target + ".tmp-" + std::to_string(::getpid()) + "-" +
                                      std::to_string(temporaries_.size());
        temporaries_.push_back(temporary);
        try {
            writer(temporary);
        } catch (const std::runtime_error& e) {
            // Name the target, not the temporary file.
            throw std::runtime_error(target + ": " + e.what());
        }
    }
    for (std::size_t i = 0; i < files_.size(); ++i) {
        std::error_code error;
        std::filesystem::rename(temporaries_[i], files_[i].first, error);
        if (error) {
            throw std::runtime_error(files_[i].first + ": " + error.message());
        }
        temporaries_[i].clear();
    }
    temporaries_.clear();
}

} // namespace cli
