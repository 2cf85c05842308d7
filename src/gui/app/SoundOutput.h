#pragma once

#include <QObject>
#include <QString>

#include <memory>

class QAudioSink;
class PcmSource;

// Plays a PCM WAV file through the default audio output, once or in an endless loop.
//
// Play() reads the whole file at the moment it is called (with the project's WAV reader), so a
// file rewritten since the last call plays its new contents. The sound then runs asynchronously;
// Play() and Stop() return at once. Starting a playback replaces the one that runs.
class SoundOutput : public QObject {
    Q_OBJECT

public:
    explicit SoundOutput(QObject* parent = nullptr);
    ~SoundOutput() override;

    // The number of audio output devices the system offers now; 0 when no sound server runs.
    static int DeviceCount();

    // Starts playing fileName. Throws zembrel::WavError when the file cannot be read and
    // std::runtime_error when no output accepts its format; the previous playback has then
    // stopped.
    void Play(const QString& fileName, bool loop);

    // Silences any playback at once. Harmless when nothing plays.
    void Stop();

    bool IsPlaying() const;

private:
    std::unique_ptr<QAudioSink> sink_;
    std::unique_ptr<PcmSource> source_;
};
