#pragma once

#include <QObject>
#include <QString>

#include <cstdint>
#include <memory>

class QAudioSink;
class PcmSource;

// Plays a PCM WAV file through the default audio output, once or in an endless loop.
//
// Play() reads the file anew each time, so a file rewritten since the last call plays its new
// contents. It checks the file's header at once and reads the samples on a worker thread, so
// even a 180 s file never holds up the caller; the sound starts as soon as they are in memory
// (a few milliseconds for short signals). The file is opened before Play() returns: replacing it
// by rename afterwards does not change what plays. Starting a playback replaces the one that
// runs or is being loaded; Stop() silences both, and a file still being read is read no further.
class SoundOutput : public QObject {
    Q_OBJECT

public:
    explicit SoundOutput(QObject* parent = nullptr);
    ~SoundOutput() override;

    // The number of audio output devices the system offers now; 0 when no sound server runs.
    static int DeviceCount();

    // Starts playing fileName. Throws zembrel::WavError when the file cannot be taken and
    // std::runtime_error when no output accepts its format; the previous playback has then
    // stopped.
    void Play(const QString& fileName, bool loop);

    // Silences any playback at once and drops a load in progress. Harmless when nothing plays.
    void Stop();

    // True from Play() until Stop(), or until a single playback has run out.
    bool IsPlaying() const;
    // True once the samples are loaded and handed to the sound output.
    bool IsSounding() const;

signals:
    // The samples could not be read after the header was accepted, or the sound output failed
    // after it had started; reason names the cause.
    void Failed(const QString& reason);

private:
    struct Load;
    void StartSink(const std::shared_ptr<Load>& load);

    std::uint64_t ticket_ = 0; // identifies the current Play(); older loads are dropped
    bool loading_ = false;
    std::shared_ptr<Load> current_; // the load in progress, which Stop() cuts short
    std::unique_ptr<QAudioSink> sink_;
    std::unique_ptr<PcmSource> source_;
};
