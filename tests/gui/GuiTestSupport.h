#pragma once

#include "core/signal/SignalBase.h"

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdint>
#include <functional>
#include <memory>
#include <sys/resource.h>
#include <vector>

class QCPGraph;
class QWidget;

namespace guitest {

// Accepts every QMessageBox that becomes the active modal widget while this object lives and
// keeps its text, so a test can check which messages appeared and how often.
class MessageBoxCatcher {
public:
    MessageBoxCatcher();
    ~MessageBoxCatcher();
    const QStringList& Texts() const { return *texts_; }

private:
    std::shared_ptr<QStringList> texts_;
    std::unique_ptr<QTimer> timer_;
};

// Hands the next modal widget that appears to answer. Returns at once; the answer runs from
// the event loop, typically inside the exec() the test triggers next. A test failure is
// recorded when no modal widget appears within timeoutMs.
void AnswerNextModal(std::function<void(QWidget*)> answer, int timeoutMs = 5000);

// Points TEMP at a fresh folder for the lifetime of the object and restores it afterwards.
class ScopedTempEnv {
public:
    ScopedTempEnv();
    ~ScopedTempEnv();
    QString Path() const { return dir_.path(); }

private:
    QTemporaryDir dir_;
    QByteArray old_;
    bool hadOld_;
};

// While it lives, files of this process can grow to at most bytes (RLIMIT_FSIZE; SIGXFSZ is
// ignored), so writing a larger file fails with EFBIG as on a full disk, while reading works.
class FileSizeLimit {
public:
    explicit FileSizeLimit(unsigned long bytes);
    ~FileSizeLimit();

private:
    rlimit saved_ = {};
    void (*oldHandler_)(int) = nullptr;
};

// A signal holding a sine of freqLeft Hz (and freqRight Hz on the right channel of a stereo
// signal; 0 Hz gives silence) with the given peak amplitude in file units. 8-bit signals are
// centred on 128.
zembrel::SignalBase Tone(double rate, double duration, int channels, int bits, double freqLeft,
                         double freqRight, double amplitude);

void WriteWav(const QString& fileName, const zembrel::SignalBase& signal);
QByteArray ReadBytes(const QString& fileName);
void WriteBytes(const QString& fileName, const QByteArray& bytes);

// Records the monitor of the test sink "zembrel_test" with parec as 16-bit PCM at 44100 Hz.
class SinkRecorder {
public:
    static constexpr int kRate = 44100;

    // Empty when recording is possible here, else why not (no sound server, no test sink...).
    static QString Unavailable();

    explicit SinkRecorder(int channels);
    ~SinkRecorder();

    // Starts parec and returns once samples flow; false (with a test failure) otherwise.
    bool Start();
    // Serves events for ms milliseconds while recording.
    void Record(int ms);
    // Drops everything recorded so far.
    void Discard();
    // Returns everything recorded since the last Discard/Take, interleaved.
    std::vector<std::int16_t> Take();

private:
    int channels_;
    QProcess process_;
    QByteArray pending_;
};

// One channel out of interleaved samples.
std::vector<std::int16_t> Channel(const std::vector<std::int16_t>& interleaved, int channels,
                                  int index);

// What a recording of a tone looks like.
struct ToneStats {
    double length = 0.0;    // s from the first to the last sample above the threshold
    double frequency = 0.0; // Hz, rising zero crossings per second inside that span
    double peak = 0.0;      // largest magnitude
    bool found = false;
};
ToneStats Analyse(const std::vector<std::int16_t>& samples, int rate, double threshold = 1000.0);

// The largest value plotted by a line series.
double LargestValue(const QCPGraph* series);

// Largest magnitude of samples.
int PeakOf(const std::vector<std::int16_t>& samples);

// Serves events until window is hidden (a dialog that closed itself); false when timeoutMs
// passed first.
bool WaitUntilClosed(const QWidget& window, int timeoutMs = 60000);

} // namespace guitest
