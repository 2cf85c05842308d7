#include "gui/app/SoundOutput.h"

#include "gui/app/LocalPath.h"

#include "core/signal/SampleArray.h"
#include "core/signal/WavFileRead.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QFutureWatcher>
#include <QIODevice>
#include <QMediaDevices>
#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>
#include <atomic>
#include <bit>
#include <cstdint>
#include <cstring>
#include <limits>
#include <stdexcept>
#include <vector>

// Interleaved PCM bytes. Long signals give tens of megabytes, so the buffer comes from the
// sample allocator, which maps such blocks in few page faults.
using PcmBytes = std::vector<char, zembrel::SampleAllocator<char>>;

// The PCM bytes of one file, handed to the audio sink on demand. In loop mode reading wraps
// around to the start, so the sink never runs dry.
class PcmSource : public QIODevice {
public:
    PcmSource(PcmBytes pcm, bool loop) : pcm_(std::move(pcm)), loop_(loop) {}

    bool isSequential() const override { return true; }

    qint64 bytesAvailable() const override {
        if (loop_ && !pcm_.empty()) {
            return std::numeric_limits<qint32>::max();
        }
        return (Size() - pos_) + QIODevice::bytesAvailable();
    }

protected:
    qint64 readData(char* data, qint64 maxSize) override {
        qint64 done = 0;
        while (done < maxSize) {
            if (pos_ == Size()) {
                if (!loop_ || pcm_.empty()) {
                    break;
                }
                pos_ = 0;
            }
            const qint64 n = std::min<qint64>(maxSize - done, Size() - pos_);
            std::memcpy(data + done, pcm_.data() + pos_, static_cast<std::size_t>(n));
            pos_ += n;
            done += n;
        }
        return done;
    }

    qint64 writeData(const char*, qint64) override { return -1; }

private:
    qint64 Size() const { return static_cast<qint64>(pcm_.size()); }

    PcmBytes pcm_;
    bool loop_;
    qint64 pos_ = 0;
};

// One Play() request: the opened file, then the samples read from it on a worker thread.
struct SoundOutput::Load {
    std::uint64_t ticket = 0;
    std::atomic<bool> dropped{false}; // set by Stop(): the reading ends at the next piece
    bool loop = false;
    std::unique_ptr<zembrel::WavFileRead> reader;
    QAudioDevice device;
    QAudioFormat format;
    PcmBytes bytes;
    std::string error; // empty on success
};

namespace {

QAudioFormat FormatOf(const zembrel::WavFileRead& reader) {
    QAudioFormat format;
    format.setSampleRate(static_cast<int>(reader.SampleRate()));
    format.setChannelCount(reader.Channels());
    format.setSampleFormat(reader.Bits() == 8 ? QAudioFormat::UInt8 : QAudioFormat::Int16);
    return format;
}

// Reads all samples of the file as interleaved PCM in the file's own sample format, one piece
// of about a second at a time; a dropped load stops between two pieces and returns nothing.
PcmBytes ReadPcm(zembrel::WavFileRead& reader, const std::atomic<bool>& dropped) {
    constexpr std::int32_t kPiece = 1 << 16; // frames
    const std::int32_t frames = reader.Frames();
    const auto frameBytes = static_cast<std::size_t>(reader.FrameBytes());
    PcmBytes bytes(static_cast<std::size_t>(frames) * frameBytes);
    auto* out = reinterpret_cast<unsigned char*>(bytes.data());
    for (std::int32_t first = 0; first < frames; first += kPiece) {
        if (dropped.load()) {
            return PcmBytes();
        }
        const std::int32_t count = std::min(kPiece, frames - first);
        reader.ReadStoredFrames(out + static_cast<std::size_t>(first) * frameBytes, first, count);
    }
    if constexpr (std::endian::native == std::endian::big) {
        if (reader.Bits() == 16) {
            for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
                std::swap(bytes[i], bytes[i + 1]);
            }
        }
    }
    return bytes;
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
    auto load = std::make_shared<Load>();
    load->ticket = ticket_;
    load->loop = loop;
    load->reader = std::make_unique<zembrel::WavFileRead>(LocalPath(fileName));
    load->format = FormatOf(*load->reader);
    load->device = QMediaDevices::defaultAudioOutput();
    if (load->device.isNull() || !load->device.isFormatSupported(load->format)) {
        throw std::runtime_error("the sound output does not accept " +
                                 std::to_string(load->format.sampleRate()) + " Hz with " +
                                 std::to_string(load->format.channelCount()) + " channel(s)");
    }

    loading_ = true;
    current_ = load;
    auto* watcher = new QFutureWatcher<void>(this);
    connect(watcher, &QFutureWatcher<void>::finished, this, [this, watcher, load] {
        watcher->deleteLater();
        StartSink(load);
    });
    // The worker touches only the Load it shares with the watcher's handler.
    watcher->setFuture(QtConcurrent::run([load] {
        try {
            load->bytes = ReadPcm(*load->reader, load->dropped);
        } catch (const std::exception& e) {
            load->error = e.what();
        }
        load->reader.reset();
    }));
}

void SoundOutput::StartSink(const std::shared_ptr<Load>& load) {
    if (load->ticket != ticket_) {
        return; // stopped or replaced meanwhile
    }
    loading_ = false;
    current_.reset();
    if (!load->error.empty()) {
        emit Failed(QString::fromLocal8Bit(load->error.c_str()));
        return;
    }
    source_ = std::make_unique<PcmSource>(std::move(load->bytes), load->loop);
    source_->open(QIODevice::ReadOnly);
    sink_ = std::make_unique<QAudioSink>(load->device, load->format);
    // A sound output that fails while it plays (the device is gone, the sound server ends) is
    // reported; running out of samples at the end of a single playback is no failure.
    connect(sink_.get(), &QAudioSink::stateChanged, this, [this](QAudio::State state) {
        if (state != QAudio::StoppedState || !sink_) {
            return;
        }
        switch (sink_->error()) {
        case QAudio::IOError:
            emit Failed(QStringLiteral("the sound output failed while playing"));
            break;
        case QAudio::FatalError:
            emit Failed(QStringLiteral("the sound output stopped with an error"));
            break;
        default:
            break;
        }
    });
    sink_->start(source_.get());
    if (sink_->error() == QAudio::OpenError) {
        emit Failed(QStringLiteral("the sound output could not be opened"));
    }
}

void SoundOutput::Stop() {
    ++ticket_;
    loading_ = false;
    if (current_) {
        current_->dropped.store(true);
        current_.reset();
    }
    if (sink_) {
        sink_->disconnect(this);
        sink_->reset();
        sink_->stop();
        sink_.reset();
    }
    source_.reset();
}

bool SoundOutput::IsPlaying() const {
    return loading_ || (sink_ && sink_->state() != QAudio::StoppedState &&
                        !(sink_->state() == QAudio::IdleState && source_->atEnd()));
}

bool SoundOutput::IsSounding() const {
    return sink_ != nullptr;
}
