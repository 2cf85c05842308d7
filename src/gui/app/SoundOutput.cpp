#include "app/SoundOutput.h"

#include "app/LocalPath.h"

#include "signal/WavFileRead.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QByteArray>
#include <QIODevice>
#include <QMediaDevices>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <vector>

// The PCM bytes of one file, handed to the audio sink on demand. In loop mode reading wraps
// around to the start, so the sink never runs dry.
class PcmSource : public QIODevice {
public:
    PcmSource(QByteArray pcm, bool loop) : pcm_(std::move(pcm)), loop_(loop) {}

    bool isSequential() const override { return true; }

    qint64 bytesAvailable() const override {
        if (loop_ && !pcm_.isEmpty()) {
            return std::numeric_limits<qint32>::max();
        }
        return (pcm_.size() - pos_) + QIODevice::bytesAvailable();
    }

protected:
    qint64 readData(char* data, qint64 maxSize) override {
        qint64 done = 0;
        while (done < maxSize) {
            if (pos_ == pcm_.size()) {
                if (!loop_ || pcm_.isEmpty()) {
                    break;
                }
                pos_ = 0;
            }
            const qint64 n = std::min<qint64>(maxSize - done, pcm_.size() - pos_);
            std::memcpy(data + done, pcm_.constData() + pos_, static_cast<std::size_t>(n));
            pos_ += n;
            done += n;
        }
        return done;
    }

    qint64 writeData(const char*, qint64) override { return -1; }

private:
    QByteArray pcm_;
    bool loop_;
    qint64 pos_ = 0;
};

namespace {

struct Pcm {
    QAudioFormat format;
    QByteArray bytes;
};

// Reads a WAV file into interleaved PCM in the file's own sample format.
Pcm ReadPcm(const QString& fileName) {
    zembrel::WavFileRead reader(LocalPath(fileName));
    const auto frames = static_cast<std::size_t>(reader.Frames());
    const int channels = reader.Channels();
    std::vector<double> first(frames);
    std::vector<double> second(channels == 2 ? frames : 0);
    reader.ReadSamples(first.data(), channels == 2 ? second.data() : nullptr);

    Pcm pcm;
    pcm.format.setSampleRate(static_cast<int>(reader.SampleRate()));
    pcm.format.setChannelCount(channels);
    pcm.format.setSampleFormat(reader.Bits() == 8 ? QAudioFormat::UInt8 : QAudioFormat::Int16);

    const std::size_t samples = frames * static_cast<std::size_t>(channels);
    if (reader.Bits() == 8) {
        pcm.bytes.resize(static_cast<qsizetype>(samples));
        auto* out = reinterpret_cast<std::uint8_t*>(pcm.bytes.data());
        for (std::size_t i = 0; i < frames; ++i) {
            *out++ = static_cast<std::uint8_t>(first[i]);
            if (channels == 2) {
                *out++ = static_cast<std::uint8_t>(second[i]);
            }
        }
    } else {
        pcm.bytes.resize(static_cast<qsizetype>(samples * sizeof(std::int16_t)));
        auto* out = reinterpret_cast<std::int16_t*>(pcm.bytes.data());
        for (std::size_t i = 0; i < frames; ++i) {
            *out++ = static_cast<std::int16_t>(first[i]);
            if (channels == 2) {
                *out++ = static_cast<std::int16_t>(second[i]);
            }
        }
    }
    return pcm;
}

} // namespace

SoundOutput::SoundOutput(QObject* parent) : QObject(parent) {}

SoundOutput::~SoundOutput() {
    Stop();
}

int SoundOutput::DeviceCount() {
    return static_cast<int>(QMediaDevices::audioOutputs().size());
}

void SoundOutput::Play(const QString& fileName, bool loop) {
    Stop();
    Pcm pcm = ReadPcm(fileName);

    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull() || !device.isFormatSupported(pcm.format)) {
        throw std::runtime_error("the sound output does not accept " +
                                 std::to_string(pcm.format.sampleRate()) + " Hz, " +
                                 std::to_string(pcm.format.channelCount()) + " channel(s)");
    }
    source_ = std::make_unique<PcmSource>(std::move(pcm.bytes), loop);
    source_->open(QIODevice::ReadOnly);
    sink_ = std::make_unique<QAudioSink>(device, pcm.format);
    sink_->start(source_.get());
}

void SoundOutput::Stop() {
    if (sink_) {
        sink_->reset();
        sink_->stop();
        sink_.reset();
    }
    source_.reset();
}

bool SoundOutput::IsPlaying() const {
    return sink_ && (sink_->state() == QAudio::ActiveState);
}
