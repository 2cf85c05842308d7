#include "gui/generators/GeneratorDialog.h"

#include "core/generators/CalculationProtocol.h"
#include "core/generators/FinishSignal.h"
#include "core/generators/Generate.h"
#include "core/generators/InputRules.h"
#include "core/generators/StringToDoubleConverter.h"
#include "core/signal/SignalBase.h"
#include "gui/app/FileDialogFolder.h"
#include "gui/app/SignalDocument.h"
#include "gui/app/TMainform.h"
#include "gui/generators/TFDlgErrorMsg.h"
#include "gui/generators/TFProcessState.h"
#include "gui/generators/WorkerThread.h"

#include <QAbstractButton>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

#include <cmath>

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
    connect(worker_.get(), &QThread::finished, this, Guarded(this, [this] { WorkerEnded(); }),
            Qt::QueuedConnection);
    if (noise) {
        processState_->SetNoiseCalcThread(worker_.get());
    } else {
        processState_->SetCalcThread(worker_.get());
    }
    HoldButtons();
    failure_.clear();
    worker_->start();
    if (!worker_->isRunning() && !worker_->isFinished()) {
        // No thread could be made (no memory for its stack): it ends here, as if it had failed.
        startFailed_ = true;
        QMetaObject::invokeMethod(this, Guarded(this, [this] { WorkerEnded(); }),
                                  Qt::QueuedConnection);
    }
}

void GeneratorDialog::WorkerEnded() {
    if (startFailed_) {
        startFailed_ = false;
        failure_ = QStringLiteral("the calculation could not be started");
    } else if (worker_ && !worker_->Failure().isEmpty()) {
        failure_ = worker_->Failure();
    }
    if (!failure_.isEmpty()) {
        Progress = -1; // never taken as a finished result
    }
    DeleteThread();
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

bool GeneratorDialog::RunSynthesis(const std::function<void()>& work) {
    try {
        work();
        return true;
    } catch (const std::exception& e) {
        failure_ = CalculationFailure(e);
    }
    AbortCalculation();
    return false;
}

void GeneratorDialog::AbortCalculation() {
    ReleaseWorker();
    const SignalDocument::Restored restored = mainform_->Document().Restore();
    if (failure_.isEmpty()) {
        if (!restored.Ok) {
            QMessageBox::warning(this, windowTitle(), restored.Failure);
        }
        mainform_->SetStatusText(QStringLiteral("Calculation abortet."));
    } else {
        // Ended by an error instead of Cancel: the same restore, and the reason instead.
        const QString reason = QStringLiteral("Calculation stopped: %1.").arg(failure_);
        mainform_->SetStatusText(reason);
        QMessageBox::warning(this, windowTitle(),
                             reason + QStringLiteral("\n") +
                                 (restored.Ok ? QStringLiteral("The previous signal is restored.")
                                              : restored.Failure));
    }
    Close(false);
}

double GeneratorDialog::ReadNumber(const QLineEdit* edit) {
    return zembrel::StringToDoubleConverter(edit->text().toStdString()).Value();
}

void GeneratorDialog::ShowError(const QString& text,
                                std::initializer_list<std::pair<bool, QString>> unlisted) {
    QString message = text;
    QString named;
    for (const auto& [refused, line] : unlisted) {
        if (refused) {
            named += QStringLiteral("\n") + line;
        }
    }
    if (!named.isEmpty()) {
        message += QStringLiteral("\n") + named;
    }
    ShowErrorMessage(message);
}

QString GeneratorDialog::NumberRange(const QString& caption) {
    const int decades = static_cast<int>(std::lround(std::log10(zembrel::kLargestMagnitude)));
    return QStringLiteral("%1 must be a number from -1e%2 to 1e%2.").arg(caption).arg(decades);
}

QString GeneratorDialog::UpperLimit(const QString& caption) {
    const int decades = static_cast<int>(std::lround(std::log10(zembrel::kLargestMagnitude)));
    return QStringLiteral("%1 must be at most 1e%2.").arg(caption).arg(decades);
}

QString GeneratorDialog::ChooseImportFile() {
    const QString fileName =
        QFileDialog::getOpenFileName(this, QString(), FileDialogFolder(FileKind::List),
                                     QStringLiteral("Windows text file (*.txt)"));
    RememberFileDialogFolder(FileKind::List, fileName);
    return fileName;
}

void GeneratorDialog::SetOkButton(QPushButton* ok) {
    // Return in an edit field presses ok; a button with the focus takes Return itself.
    ok->setDefault(true);
}

zembrel::CalculationObserver& GeneratorDialog::OnGuiThread() {
    class Uninterrupted : public zembrel::CalculationObserver {
    public:
        bool StopRequested() const override { return false; }
        void Report(int) override {}
    };
    static Uninterrupted observer;
    return observer;
}

void GeneratorDialog::Commit(zembrel::GeneratorStatus status) {
    if (status != zembrel::GeneratorStatus::Finished) {
        failure_ = QStringLiteral("the input was refused");
        AbortCalculation();
        return;
    }
    Close(mainform_->Document().CommitFilled({QStringLiteral("Calculation finished."), QString()},
                                             this));
}

void GeneratorDialog::Commit(double level) {
    zembrel::FinishSignal(*signal_, level);
    Commit(zembrel::GeneratorStatus::Finished);
}

void GeneratorDialog::Close(bool taken) {
    closing_ = true;
    if (taken) {
        accept();
    } else {
        QDialog::reject();
    }
}

void GeneratorDialog::RestoreAndClose() {
    const SignalDocument::Restored restored = mainform_->Document().Restore();
    if (!restored.Ok) {
        QMessageBox::warning(this, windowTitle(), restored.Failure);
    }
    Close(false);
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
