// Playback of the main window: the temporary playback file goes to the sound output once or in
// a loop; Timer1 marks the expected end of a single playback in the status line.

#include "gui/app/TMainform.h"

#include "core/signal/SampleConversion.h"
#include "core/signal/SignalBase.h"

#include <QMessageBox>
#include <QTimer>

#include <exception>

void TMainform::StopPlayback() {
    sound_.Stop();
}

void TMainform::ReportPlaybackFailure(const QString& reason) {
    QMessageBox::warning(this, windowTitle(),
                         QStringLiteral("The sound could not be played:\n%1").arg(reason));
}

void TMainform::PlayTempFile(bool loop) {
    try {
        sound_.Play(TempFileName(), loop);
    } catch (const std::exception& e) {
        ReportPlaybackFailure(QString::fromLocal8Bit(e.what()));
    }
}

void TMainform::BPlayClick() {
    if (soundDevices_ == 0) {
        QMessageBox::information(this, windowTitle(), QStringLiteral("No sound device installed"));
        return;
    }
    // ms, truncated toward zero; below 1 ms no timer runs and the status stays as it is.
    const int interval = zembrel::TruncToInt32(Signal()->Duration * 1000.0);
    SetStatusText(QStringLiteral("Playing sound..."));
    PlayTempFile(false);
    Timer1->stop();
    if (interval > 0) {
        Timer1->start(interval);
    }
}

void TMainform::BPlayLoopClick() {
    if (soundDevices_ == 0) {
        QMessageBox::information(this, windowTitle(), QStringLiteral("No sound device installed"));
        return;
    }
    PlayTempFile(true);
    SetStatusText(QStringLiteral("Playing sound..."));
}

void TMainform::BStopPlayingClick() {
    if (soundDevices_ == 0) {
        return;
    }
    StopPlayback();
    Timer1->stop();
    SetStatusText(QStringLiteral("Playing sound stopped."));
}

void TMainform::Timer1Timer() {
    // Only the status changes: the sound itself ends on its own.
    SetStatusText(QStringLiteral("Playing sound stopped."));
    Timer1->stop();
}
