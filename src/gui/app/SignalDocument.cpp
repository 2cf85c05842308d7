#include "gui/app/SignalDocument.h"

#include "core/FailureText.h"
#include "core/signal/SignalBase.h"
#include "core/signal/WavError.h"
#include "core/signal/WavFileRead.h"
#include "core/signal/WavFileWrite.h"
#include "gui/app/LocalPath.h"

#include <QMessageBox>

#include <new>

using zembrel::SignalBase;

namespace {

const QString kCaption = QStringLiteral("Zembrel V" ZEMBREL_VERSION);

QString NotWritten(const QString& reason) {
    return QStringLiteral("The temporary playback file could not be written:\n%1").arg(reason);
}

} // namespace

SignalDocument::SignalDocument(QString tempFileName, QObject* parent)
    : QObject(parent), tempFileName_(std::move(tempFileName)) {}

SignalDocument::~SignalDocument() = default;

QString SignalDocument::Write(const SignalBase& signal) const {
    try {
        zembrel::WavFileWrite(LocalPath(tempFileName_), ".wav", signal);
        return QString();
    } catch (const zembrel::WavError& e) {
        return QString::fromStdString(e.Reason());
    } catch (const std::bad_alloc&) {
        return QString::fromLatin1(zembrel::FailureText(zembrel::Failure::OutOfMemory));
    }
}

void SignalDocument::Announce(const Notice& notice) {
    emit Changed(signal_.get());
    if (!notice.Status.isNull()) {
        emit StatusSet(notice.Status);
    }
    if (!notice.Caption.isNull()) {
        emit CaptionSet(notice.Caption);
    }
}

bool SignalDocument::Commit(SignalBase&& fresh, const Notice& notice, QWidget* parent,
                            const QString& kept) {
    const QString reason = Write(fresh);
    if (!reason.isEmpty()) {
        QString text = NotWritten(reason);
        if (!kept.isEmpty()) {
            text += QStringLiteral("\n") + kept;
        }
        QMessageBox::warning(parent, kCaption, text);
        return false;
    }
    if (signal_) {
        *signal_ = std::move(fresh);
    } else {
        signal_ = std::make_unique<SignalBase>(std::move(fresh));
    }
    Announce(notice);
    return true;
}

bool SignalDocument::CommitFilled(const Notice& notice, QWidget* parent) {
    const QString reason = Write(*signal_);
    if (reason.isEmpty()) {
        Announce(notice);
        return true;
    }
    const Restored restored = Restore();
    QString text = NotWritten(reason) + QStringLiteral("\n");
    text += restored.Ok
                ? QStringLiteral("The new signal is discarded; the previous signal is kept.")
                : QStringLiteral("The new signal is discarded.\n") + restored.Failure;
    QMessageBox::warning(parent, kCaption, text);
    return false;
}

void SignalDocument::ClearForGenerator() {
    signal_->Clear();
}

SignalDocument::Restored SignalDocument::Restore() {
    QString reason;
    try {
        zembrel::WavFileRead reader(LocalPath(tempFileName_));
        signal_->ReadFrom(reader);
        return {};
    } catch (const std::bad_alloc&) {
        reason = QString::fromLatin1(zembrel::FailureText(zembrel::Failure::OutOfMemory));
    } catch (const std::exception& e) {
        reason = QString::fromLocal8Bit(e.what());
    }
    // What is left in the signal (partial sums) must not pass for a signal: silence of the same
    // format takes its place in memory, view and file.
    signal_->Clear();
    emit Changed(signal_.get());
    Restored result{false, QStringLiteral("The previous signal could not be restored from the "
                                          "temporary playback file:\n%1\nThe signal is now silent.")
                               .arg(reason)};
    const QString notWritten = Write(*signal_);
    if (!notWritten.isEmpty()) {
        result.Failure += QStringLiteral("\n") + NotWritten(notWritten);
    }
    return result;
}
