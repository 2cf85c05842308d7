#include "cli/MeasureFiles.h"

#include "cli/Options.h"

#include "core/measure/RecordingFile.h"
#include "core/signal/AudioFileWrite.h"
#include "core/signal/WavError.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <stdexcept>
#include <unistd.h>

namespace cli {

Recording ReadRecording(const std::string& path) {
    try {
        return zembrel::ReadRecordingFile(path);
    } catch (const zembrel::WavError& e) {
        throw UsageError(e.what());
    }
}

zembrel::AudioWriteOptions Float32Wav() {
    zembrel::AudioWriteOptions format;
    format.Bits = 32;
    format.Float = true;
    return format;
}

namespace {

void WriteAudio(const std::string& path, const std::vector<double>& samples, double rateHz,
                const zembrel::AudioWriteOptions& format) {
    try {
        // Full scale 1.0; integer formats clip what lies beyond it rather than wrap.
        zembrel::AudioFileWrite(path, {samples.data()}, static_cast<std::int64_t>(samples.size()),
                                rateHz, 1.0, format);
    } catch (const zembrel::WavError& e) {
        throw std::runtime_error(e.what());
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
                           double rateHz, const zembrel::AudioWriteOptions& format) {
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
