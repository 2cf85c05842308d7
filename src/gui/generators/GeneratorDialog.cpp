#include "generators/GeneratorDialog.h"

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
#include <QLineEdit>
#include <QMessageBox>

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
    processState_ = std::make_unique<TFProcessState>(nullptr);
    processState_->show();
    worker_ = makeWorker(processState_.get());
    connect(worker_.get(), &QThread::finished, this, &GeneratorDialog::DeleteThread,
            Qt::QueuedConnection);
    if (noise) {
        processState_->SetNoiseCalcThread(worker_.get());
    } else {
        processState_->SetCalcThread(worker_.get());
    }
    busy_ = true;
    for (QAbstractButton* button : findChildren<QAbstractButton*>()) {
        if (button->isEnabled()) {
            button->setEnabled(false);
            disabledButtons_.push_back(button);
        }
    }
    worker_->start();
}

void GeneratorDialog::ReleaseWorker() {
    if (worker_) {
        worker_->wait();
        worker_.reset();
    }
    processState_.reset();
    for (QAbstractButton* button : disabledButtons_) {
        button->setEnabled(true);
    }
    disabledButtons_.clear();
    busy_ = false;
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

void GeneratorDialog::ShowError(const QString& text) {
    ShowErrorMessage(text);
}

void GeneratorDialog::Commit(double level) {
    zembrel::FinishSignal(*signal_, level);
    mainform_->WriteTempFile(*signal_); // reports a failure itself
    closing_ = true;
    accept();
    mainform_->SetStatusText(QStringLiteral("Calculation finished."));
    mainform_->ShowSignal(signal_);
}

bool GeneratorDialog::RestoreSignal() {
    try {
        zembrel::WavFileRead reader(LocalPath(tempFileName_));
        SignalBase restored(reader);
        *signal_ = std::move(restored);
        return true;
    } catch (const std::exception& e) {
        QMessageBox::warning(
            this, windowTitle(),
            QStringLiteral("The previous signal could not be restored from the temporary "
                           "playback file:\n%1")
                .arg(QString::fromLocal8Bit(e.what())));
    }
    return false;
}

void GeneratorDialog::RestoreAndClose() {
    RestoreSignal();
    closing_ = true;
    QDialog::reject();
}

void GeneratorDialog::reject() {
    if (busy_) {
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
