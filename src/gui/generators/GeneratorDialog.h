#pragma once

#include <QDialog>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

class QAbstractButton;
class QLineEdit;
class TFProcessState;
class TMainform;
class WorkerThread;

namespace zembrel {
class SignalBase;
}

// What every generator dialog does with the shared signal, written once:
// - it receives the cleared current signal and fills it in place, keeping its format;
// - Commit scales the result to the level, writes the temporary playback file, closes the
//   dialog, reports "Calculation finished." and redraws the main window;
// - Cancel, Escape and the close box restore the signal from the temporary playback file, so
//   memory, view and file always agree;
// - a calculation on a worker thread shows the progress window; while it runs the dialog's
//   buttons are disabled and closing is refused, and its thread has ended before the dialog
//   goes away. DeleteThread runs on the GUI thread once the worker's work has returned.
class GeneratorDialog : public QDialog {
    Q_OBJECT

public:
    GeneratorDialog(QWidget* owner, QString tempFileName, TMainform* mainform,
                    zembrel::SignalBase* signal);
    ~GeneratorDialog() override;

    // The worker's percentage: written by the worker, read here only while the worker waits in
    // a progress report or after it has ended.
    int Progress = 0;

    bool CalculationRunning() const { return worker_ != nullptr; }
    TFProcessState* ProcessState() const { return processState_.get(); }

    // Reads an edit field the way generator dialogs do (comma or point as decimal separator,
    // text without a number reads as 0).
    static double ReadNumber(const QLineEdit* edit);

    // Replaceable error window, so tests can answer it without a modal loop.
    std::function<void(const QString&)> ShowErrorMessage;

protected:
    // Scales the signal to level (dB), writes the temporary playback file and closes with
    // status "Calculation finished.". A failed write is reported; the new signal is kept.
    void Commit(double level);

    // Reads the temporary playback file back into the signal and closes the dialog.
    void RestoreAndClose();

    // Restores the signal from the temporary playback file without closing; false (after a
    // message) when the file cannot be read, in which case the signal keeps its format and is
    // silent.
    bool RestoreSignal();

    void ShowError(const QString& text);

    using WorkerFactory = std::function<std::unique_ptr<WorkerThread>(TFProcessState*)>;

    // Shows the progress window, builds the worker for it, registers it there (as a noise
    // worker when noise is true) and starts it. DeleteThread follows when it has ended.
    void StartCalculation(const WorkerFactory& makeWorker, bool noise);

    // The termination handler: runs on the GUI thread after the worker's work has returned.
    virtual void DeleteThread() {}

    // Waits until the worker's thread has ended, then releases it and the progress window and
    // enables the dialog again.
    void ReleaseWorker();

    // The end of a cancelled calculation: the previous signal back from the temporary playback
    // file, "Calculation abortet." and the dialog closed.
    void AbortCalculation();

    // True while a calculation runs; Cancel and the close box are then ignored.
    bool busy_ = false;

    void reject() override;
    void closeEvent(QCloseEvent* event) override;

    QString tempFileName_;
    TMainform* mainform_;
    zembrel::SignalBase* signal_;

private:
    bool closing_ = false;
    std::unique_ptr<TFProcessState> processState_;
    std::unique_ptr<WorkerThread> worker_;
    std::vector<QAbstractButton*> disabledButtons_;
};
