#include "generators/GeneratorDialog.h"

#include "app/FileDialogFolder.h"
#include "app/LocalPath.h"
#include "app/TMainform.h"
#include "generators/FinishSignal.h"
#include "generators/StringToDoubleConverter.h"
#include "generators/TFDlgErrorMsg.h"
#include "generators/TFProcessState.h"
#include "generators/WorkerThread.h"
#include "signal/SignalBase.h"
#include "signal/WavError.h"
#include "signal/WavFileRead.h"

#include <QAbstractButton>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

#include <new>

using zembrel::SignalBase;

GeneratorDialog::GeneratorDialog(QWidget* owner, QString tempFileName, TMainform* mainform,
                                 SignalBase* signal)
    : QDialog(owner), ShowErrorMessage(&TFDlgErrorMsg::Show),
      tempFileName_(std::move(tempFileName)), mainform_(mainform), signal_(signal) {}

GeneratorDialog::~GeneratorDialog() {
    if (worker_) {
        // Only when the program ends during a calculation: stop the worker and let it finish
        // its unit, serving its progress reports meanwhile. DeleteThread is not run any more.
        worker_->disconnect(this);
        worker_->RequestStop();
        while (!worker_->wait(10)) {
            QCoreApplication::processEvents();
        }
    }
}

void GeneratorDialog::StartCalculation(const WorkerFactory& makeWorker, bool noise) {
    Progress = 0;
    // Owned by this dialog, so the modality of this dialog does not block its input.
    processState_ = std::make_unique<TFProcessState>(this);
    processState_->show();
    worker_ = makeWorker(processState_.get());
    connect(worker_.get(), &QThread::finished, this, &GeneratorDialog::DeleteThread,
            Qt::QueuedConnection);
    if (noise) {
        processState_->SetNoiseCalcThread(worker_.get());
    } else {
        processState_->SetCalcThread(worker_.get());
    }
    HoldButtons();
    worker_->start();
}

void GeneratorDialog::ReleaseWorker() {
    if (worker_) {
        worker_->wait();
        worker_.reset();
        ReleaseButtons();
    }
    processState_.reset();
}

void GeneratorDialog::HoldButtons() {
    if (holds_++ > 0) {
        return;
    }
    for (QAbstractButton* button : findChildren<QAbstractButton*>()) {
        // Not the buttons of the windows this dialog owns: the progress window's Cancel.
        if (button->window() == this && button->isEnabled()) {
            button->setEnabled(false);
            disabledButtons_.push_back(button);
        }
    }
}

void GeneratorDialog::ReleaseButtons() {
    if (holds_ == 0 || --holds_ > 0) {
        return;
    }
    for (QAbstractButton* button : disabledButtons_) {
        button->setEnabled(true);
    }
    disabledButtons_.clear();
}

void GeneratorDialog::AbortCalculation() {
    ReleaseWorker();
    RestoreSignal();
    mainform_->SetStatusText(QStringLiteral("Calculation abortet."));
    closing_ = true;
    QDialog::reject();
}

double GeneratorDialog::ReadNumber(const QLineEdit* edit) {
    return zembrel::StringToDoubleConverter(edit->text().toStdString()).Value();
}

void GeneratorDialog::ShowError(const QString& text,
                                std::initializer_list<std::pair<bool, QString>> unlisted) {
    QString message = text;
    QString named;
    for (const auto& [refused, caption] : unlisted) {
        if (refused) {
            named += QStringLiteral("\n%1 must be a finite number.").arg(caption);
        }
    }
    if (!named.isEmpty()) {
        message += QStringLiteral("\n") + named;
    }
    ShowErrorMessage(message);
}

QString GeneratorDialog::ChooseImportFile() {
    const QString fileName =
        QFileDialog::getOpenFileName(this, QString(), FileDialogFolder(FileKind::List),
                                     QStringLiteral("Windows text file (*.txt)"));
    RememberFileDialogFolder(FileKind::List, fileName);
    return fileName;
}

void GeneratorDialog::SetOkButton(QPushButton* ok) {
    ok->setDefault(true);
}

void GeneratorDialog::Commit(double level) {
    zembrel::FinishSignal(*signal_, level);
    if (!mainform_->WriteTempFile(*signal_, QStringLiteral("The new signal is discarded; the "
                                                           "previous signal is kept."))) {
        RestoreAndClose();
        return;
    }
    closing_ = true;
    accept();
    mainform_->SetStatusText(QStringLiteral("Calculation finished."));
    mainform_->ShowSignal(signal_);
}

bool GeneratorDialog::RestoreSignal() {
    QString reason;
    try {
        zembrel::WavFileRead reader(LocalPath(tempFileName_));
        SignalBase restored(reader);
        *signal_ = std::move(restored);
        return true;
    } catch (const std::bad_alloc&) {
        reason = QStringLiteral("not enough memory");
    } catch (const std::exception& e) {
        reason = QString::fromLocal8Bit(e.what());
    }
    // The partial sums in the signal must not pass for a signal: silence of the same format
    // takes their place in memory, view and file.
    signal_->Clear();
    mainform_->ShowSignal(signal_);
    QMessageBox::warning(
        this, windowTitle(),
        QStringLiteral("The previous signal could not be restored from the temporary playback "
                       "file:\n%1\nThe signal is now silent.")
            .arg(reason));
    mainform_->WriteTempFile(*signal_);
    return false;
}

void GeneratorDialog::RestoreAndClose() {
    RestoreSignal();
    closing_ = true;
    QDialog::reject();
}

void GeneratorDialog::reject() {
    if (Busy()) {
        return;
    }
    RestoreAndClose();
}

void GeneratorDialog::closeEvent(QCloseEvent* event) {
    if (closing_) {
        QDialog::closeEvent(event);
        return;
    }
    // The close box acts as Cancel, and does nothing while a calculation runs.
    event->ignore();
    reject();
}
