#include "tests/gui/GuiTestSupport.h"
#include "tests/gui/UserInput.h"

#include "core/signal/WavFileWrite.h"

#include <gtest/gtest.h>

#include <qcustomplot.h>

#include <QApplication>
#include <QAudioDevice>
#include <QDeadlineTimer>
#include <QFile>
#include <QMediaDevices>
#include <QMessageBox>
#include <QStandardPaths>
#include <QTest>
#include <QWidget>

#include <algorithm>
#include <cmath>
#include <csignal>
#include <cstdlib>
#include <cstring>

namespace guitest {

MessageBoxCatcher::MessageBoxCatcher()
    : texts_(std::make_shared<QStringList>()), timer_(std::make_unique<QTimer>()) {
    timer_->setInterval(10);
    QObject::connect(timer_.get(), &QTimer::timeout, [texts = texts_] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            if (box->isVisible()) {
                texts->append(box->text());
                box->accept();
            }
        }
    });
    timer_->start();
}

MessageBoxCatcher::~MessageBoxCatcher() = default;

void AnswerNextModal(std::function<void(QWidget*)> answer, int timeoutMs) {
    userinput::When(
        [] {
            QWidget* modal = QApplication::activeModalWidget();
            return modal != nullptr && modal->isVisible();
        },
        [answer = std::move(answer)] { answer(QApplication::activeModalWidget()); }, timeoutMs);
}

ScopedTempEnv::ScopedTempEnv() : old_(qgetenv("TEMP")), hadOld_(qEnvironmentVariableIsSet("TEMP")) {
    qputenv("TEMP", QFile::encodeName(dir_.path()));
}

ScopedTempEnv::~ScopedTempEnv() {
    if (hadOld_) {
        qputenv("TEMP", old_);
    } else {
        qunsetenv("TEMP");
    }
}

FileSizeLimit::FileSizeLimit(unsigned long bytes) {
    EXPECT_EQ(getrlimit(RLIMIT_FSIZE, &saved_), 0);
    oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved_;
    small.rlim_cur = bytes;
    EXPECT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
}

FileSizeLimit::~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &saved_);
    std::signal(SIGXFSZ, oldHandler_);
}

zembrel::SignalBase Tone(double rate, double duration, int channels, int bits, double freqLeft,
                         double freqRight, double amplitude) {
    zembrel::SignalBase s(rate, duration, bits, bits == 8 ? 128 : 32768, channels);
    const double centre = bits == 8 ? 128.0 : 0.0;
    for (int i = 0; i < s.SampleCount; ++i) {
        const double t = i * s.SamplePeriod;
        const double left = centre + amplitude * std::sin(2.0 * M_PI * freqLeft * t);
        const double right = centre + amplitude * std::sin(2.0 * M_PI * freqRight * t);
        if (channels == 1) {
            s.Mono[i] = left;
        } else {
            s.Left[i] = left;
            s.Right[i] = right;
        }
    }
    return s;
}

void WriteWav(const QString& fileName, const zembrel::SignalBase& signal) {
    zembrel::WavFileWrite(QFile::encodeName(fileName).toStdString(), ".wav", signal);
}

QByteArray ReadBytes(const QString& fileName) {
    QFile f(fileName);
    if (!f.open(QIODevice::ReadOnly)) {
        return QByteArray();
    }
    return f.readAll();
}

void WriteBytes(const QString& fileName, const QByteArray& bytes) {
    QFile f(fileName);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate)) << fileName.toStdString();
    ASSERT_EQ(f.write(bytes), bytes.size());
}

QString SinkRecorder::Unavailable() {
    if (QMediaDevices::audioOutputs().isEmpty()) {
        return QStringLiteral("no sound server answers (no audio output device)");
    }
    if (QStandardPaths::findExecutable(QStringLiteral("parec")).isEmpty()) {
        return QStringLiteral("parec is not installed");
    }
    if (QMediaDevices::defaultAudioOutput().id() != QByteArrayLiteral("zembrel_test")) {
        return QStringLiteral("the default output is not the test sink zembrel_test");
    }
    return QString();
}

SinkRecorder::SinkRecorder(int channels) : channels_(channels) {}

SinkRecorder::~SinkRecorder() {
    if (process_.state() != QProcess::NotRunning) {
        process_.kill();
        process_.waitForFinished(2000);
    }
}

bool SinkRecorder::Start() {
    process_.start(QStringLiteral("parec"),
                   {QStringLiteral("-d"), QStringLiteral("zembrel_test.monitor"),
                    QStringLiteral("--format=s16le"), QStringLiteral("--rate=%1").arg(kRate),
                    QStringLiteral("--channels=%1").arg(channels_),
                    QStringLiteral("--latency-msec=20"), QStringLiteral("--raw")});
    if (!process_.waitForStarted(5000)) {
        ADD_FAILURE() << "parec did not start";
        return false;
    }
    QDeadlineTimer deadline(5000);
    while (process_.bytesAvailable() == 0 && !deadline.hasExpired()) {
        QTest::qWait(10);
    }
    if (process_.bytesAvailable() == 0) {
        ADD_FAILURE() << "parec delivers no data: "
                      << process_.readAllStandardError().toStdString();
        return false;
    }
    Discard();
    return true;
}

void SinkRecorder::Record(int ms) {
    QDeadlineTimer deadline(ms);
    while (!deadline.hasExpired()) {
        QTest::qWait(5);
        pending_ += process_.readAllStandardOutput();
    }
}

void SinkRecorder::Discard() {
    process_.readAllStandardOutput();
    pending_.clear();
}

std::vector<std::int16_t> SinkRecorder::Take() {
    pending_ += process_.readAllStandardOutput();
    const qsizetype frameBytes = 2 * channels_;
    const qsizetype whole = pending_.size() / frameBytes * frameBytes;
    std::vector<std::int16_t> samples(static_cast<std::size_t>(whole / 2));
    std::memcpy(samples.data(), pending_.constData(), static_cast<std::size_t>(whole));
    pending_.remove(0, whole);
    return samples;
}

std::vector<std::int16_t> Channel(const std::vector<std::int16_t>& interleaved, int channels,
                                  int index) {
    std::vector<std::int16_t> out;
    for (std::size_t i = static_cast<std::size_t>(index); i < interleaved.size(); i += channels) {
        out.push_back(interleaved[i]);
    }
    return out;
}

ToneStats Analyse(const std::vector<std::int16_t>& samples, int rate, double threshold) {
    ToneStats stats;
    std::size_t first = samples.size();
    std::size_t last = 0;
    for (std::size_t i = 0; i < samples.size(); ++i) {
        if (std::abs(samples[i]) > threshold) {
            first = std::min(first, i);
            last = i;
        }
        stats.peak = std::max(stats.peak, std::abs(static_cast<double>(samples[i])));
    }
    if (first >= samples.size()) {
        return stats;
    }
    stats.found = true;
    stats.length = static_cast<double>(last - first + 1) / rate;
    int crossings = 0;
    for (std::size_t i = first + 1; i <= last; ++i) {
        if (samples[i - 1] < 0 && samples[i] >= 0) {
            ++crossings;
        }
    }
    stats.frequency = crossings / stats.length;
    return stats;
}

double LargestValue(const QCPGraph* series) {
    bool found = false;
    const QCPRange range = series->getValueRange(found);
    return found ? range.upper : std::nan("");
}

int PeakOf(const std::vector<std::int16_t>& samples) {
    int peak = 0;
    for (auto v : samples) {
        peak = std::max(peak, std::abs(static_cast<int>(v)));
    }
    return peak;
}

bool WaitUntilClosed(const QWidget& window, int timeoutMs) {
    QDeadlineTimer deadline(timeoutMs);
    while (window.isVisible() && !deadline.hasExpired()) {
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return !window.isVisible();
}

} // namespace guitest
