#include "core/signal/AudioFileRead.h"

#include "core/signal/SignalBase.h"
#include "core/signal/WavError.h"

#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <stdexcept>

namespace zembrel {

namespace {

SNDFILE* Handle(void* file) {
    return static_cast<SNDFILE*>(file);
}

AudioContainer ContainerOf(int format) {
    switch (format & SF_FORMAT_TYPEMASK) {
    case SF_FORMAT_WAV:
        return AudioContainer::Wav;
    case SF_FORMAT_WAVEX:
        return AudioContainer::WavExtensible;
    case SF_FORMAT_RF64:
        return AudioContainer::Rf64;
    case SF_FORMAT_FLAC:
        return AudioContainer::Flac;
    case SF_FORMAT_AIFF:
        return AudioContainer::Aiff;
    default:
        return AudioContainer::Other;
    }
}

// Bits and float of an encoding; false for one that is neither PCM nor IEEE float.
bool EncodingOf(int format, int& bits, bool& isFloat) {
    isFloat = false;
    switch (format & SF_FORMAT_SUBMASK) {
    case SF_FORMAT_PCM_S8:
    case SF_FORMAT_PCM_U8:
        bits = 8;
        return true;
    case SF_FORMAT_PCM_16:
        bits = 16;
        return true;
    case SF_FORMAT_PCM_24:
        bits = 24;
        return true;
    case SF_FORMAT_PCM_32:
        bits = 32;
        return true;
    case SF_FORMAT_FLOAT:
        bits = 32;
        isFloat = true;
        return true;
    case SF_FORMAT_DOUBLE:
        bits = 64;
        isFloat = true;
        return true;
    default:
        return false;
    }
}

} // namespace

AudioFileRead::AudioFileRead(const std::string& fileName) : fileName_(fileName) {
    SF_INFO info{};
    SNDFILE* file = sf_open(fileName.c_str(), SFM_READ, &info);
    if (file == nullptr) {
        throw WavError(fileName, std::string("not a readable audio file: ") + sf_strerror(nullptr));
    }
    file_ = file;
    try {
        if (info.channels < 1) {
            throw WavError(fileName, "the file has no channels");
        }
        if (info.samplerate < 1) {
            throw WavError(fileName, "the sample rate is 0 Hz");
        }
        if (info.frames < 0) {
            throw WavError(fileName, "the length of the data is unknown");
        }
        if (!EncodingOf(info.format, format_.Bits, format_.Float)) {
            throw WavError(fileName, "the samples are neither PCM nor IEEE float");
        }
        format_.Container = ContainerOf(info.format);
        format_.SampleRate = info.samplerate;
        format_.Channels = info.channels;
        format_.Frames = info.frames;

        // libsndfile logs a data chunk larger than the file as "data : N (should be M)" and
        // goes on with what is there.
        char log[8192] = {};
        sf_command(file, SFC_GET_LOG_INFO, log, sizeof log);
        if (std::string(log).find("(should be") != std::string::npos) {
            warning_ = "the header claims more data than the file holds; read the " +
                       std::to_string(info.frames) + " whole frames that are there";
        }
        // Float files are read as they are: values beyond full scale stay beyond it.
        sf_command(file, SFC_SET_NORM_DOUBLE, nullptr, SF_TRUE);
    } catch (...) {
        sf_close(file);
        file_ = nullptr;
        throw;
    }
}

AudioFileRead::~AudioFileRead() {
    if (file_ != nullptr) {
        sf_close(Handle(file_));
    }
}

std::int64_t AudioFileRead::ReadInterleaved(double* out, std::int64_t frames) {
    const sf_count_t got = sf_readf_double(Handle(file_), out, frames);
    if (got < 0 || sf_error(Handle(file_)) != SF_ERR_NO_ERROR) {
        throw WavError(fileName_, std::string("read failed: ") + sf_strerror(Handle(file_)));
    }
    const std::int64_t values = got * format_.Channels;
    for (std::int64_t i = 0; i < values; ++i) {
        // Beyond 1e250 times full scale a float sample overflows the analyses' scaling to
        // infinity, so it is refused like a sample that is no number at all.
        if (!(std::fabs(out[i]) <= 1e250)) {
            throw WavError(fileName_,
                           "sample " + std::to_string(position_ + i / format_.Channels) +
                               " of channel " + std::to_string(i % format_.Channels + 1) +
                               (std::isfinite(out[i]) ? " is beyond 1e250 times full scale"
                                                      : " is not a finite number"));
        }
    }
    position_ += got;
    return got;
}

std::string DescribeAudioFile(const std::string& path) {
    try {
        const AudioFileRead reader(path);
        return DescribeFormat(reader.Format());
    } catch (const WavError&) {
        return {};
    }
}

std::vector<SignalBase> ReadChannelSignals(AudioFileRead& reader) {
    const AudioFormat& format = reader.Format();
    if (format.Frames >= std::numeric_limits<std::int32_t>::max()) {
        throw WavError(reader.FileName(), "more than 2147483646 frames are more than a signal "
                                          "holds");
    }
    const double rate = format.SampleRate;
    std::vector<SignalBase> signals;
    signals.reserve(static_cast<std::size_t>(format.Channels));
    for (int c = 0; c < format.Channels; ++c) {
        // Frames / rate may not give back Frames exactly; the count is set afterwards.
        SignalBase s(rate, 0.0, 16, 32768, 1);
        s.SampleCount = static_cast<std::int32_t>(format.Frames);
        s.SampleCountExact = static_cast<double>(format.Frames);
        s.Duration = static_cast<double>(format.Frames) / rate;
        s.Mono.assign(static_cast<std::size_t>(format.Frames), 0.0);
        signals.push_back(std::move(s));
    }
    constexpr std::int64_t kChunk = 1 << 16;
    const int channels = format.Channels;
    std::vector<double> buffer(static_cast<std::size_t>(kChunk * channels));
    std::int64_t done = 0;
    while (done < format.Frames) {
        const std::int64_t got =
            reader.ReadInterleaved(buffer.data(), std::min(kChunk, format.Frames - done));
        if (got == 0) {
            break;
        }
        for (int c = 0; c < channels; ++c) {
            double* dest = signals[static_cast<std::size_t>(c)].Mono.data() + done;
            const double* src = buffer.data() + c;
            for (std::int64_t i = 0; i < got; ++i) {
                dest[i] = src[i * channels] * 32768.0;
            }
        }
        done += got;
    }
    if (done < format.Frames) {
        throw WavError(reader.FileName(), "the data ends after " + std::to_string(done) + " of " +
                                              std::to_string(format.Frames) + " frames");
    }
    return signals;
}

} // namespace zembrel
