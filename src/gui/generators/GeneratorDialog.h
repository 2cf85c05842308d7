#pragma once

#include <QDialog>
#include <QString>

#include <functional>
#include <initializer_list>
#include <memory>
#include <utility>
#include <vector>

class QAbstractButton;
class QLineEdit;
class QPushButton;
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
    // status "Calculation finished.". When the file cannot be written the new signal is
    // dropped: after a message the previous one comes back from the file, so memory, view and
    // file still agree, and the dialog closes as on Cancel.
    void Commit(double level);

    // Reads the temporary playback file back into the signal and closes the dialog.
    void RestoreAndClose();

    // Restores the signal from the temporary playback file without closing. When the file
    // cannot be read the signal becomes silent in its format, is shown so and written to the
    // file, and the user is told; the result is then false.
    bool RestoreSignal();

    // Shows the dialog's fixed error text. A refusal that the text does not speak of (a phase
    // that is not a usable number, say) gets a line below it: unlisted pairs whether it happened
    // with that line.
    void ShowError(const QString& text,
                   std::initializer_list<std::pair<bool, QString>> unlisted = {});

    // The line for a field without a range of its own that was refused: "<caption> must be a
    // number from -1e250 to 1e250."
    static QString NumberRange(const QString& caption);
    // The same for a field whose rule is "> 0", whose other end the fixed text gives: "<caption>
    // must be at most 1e250."
    static QString UpperLimit(const QString& caption);

    // The import list chosen in an open dialog for "Windows text file (*.txt)", which starts in
    // the folder of the last list; empty when the user cancels.
    QString ChooseImportFile();

    // Makes ok the button that Return presses, wherever the focus is in the dialog.
    static void SetOkButton(QPushButton* ok);

    using WorkerFactory = std::function<std::unique_ptr<WorkerThread>(TFProcessState*)>;

    // Shows the progress window, builds the worker for it, registers it there (as a noise
    // worker when noise is true) and starts it. DeleteThread follows when it has ended.
    void StartCalculation(const WorkerFactory& makeWorker, bool noise);

    // The termination handler: runs on the GUI thread after the worker's work has returned.
    // A worker that failed (an exception, or no thread could be started) arrives here with
    // Progress -1, so it ends as cancelled; AbortCalculation then gives the reason.
    virtual void DeleteThread() {}

    // Waits until the worker's thread has ended, then releases it and the progress window and
    // enables the dialog again.
    void ReleaseWorker();

    // The end of a cancelled calculation: the previous signal back from the temporary playback
    // file, "Calculation abortet." and the dialog closed. After a failed worker the status and a
    // message give the reason instead.
    void AbortCalculation();

    // Runs a synthesis step on the GUI thread (an Import). When an exception ends it (memory ran
    // out, say) the calculation ends as a failed worker does: the previous signal back, the
    // reason in the status line and a message, the dialog closed; the result is then false.
    bool RunSynthesis(const std::function<void()>& work);

    // From HoldButtons to the matching ReleaseButtons every button of the dialog is disabled and
    // Cancel, Escape and the close box are ignored; holds nest, so a work of several
    // calculations (an import of many bands) keeps the dialog still between them.
    void HoldButtons();
    void ReleaseButtons();
    bool Busy() const { return holds_ > 0; }

    // Holds the buttons for its lifetime.
    class ButtonHold {
    public:
        explicit ButtonHold(GeneratorDialog& dialog) : dialog_(dialog) { dialog_.HoldButtons(); }
        ~ButtonHold() { dialog_.ReleaseButtons(); }
        ButtonHold(const ButtonHold&) = delete;
        ButtonHold& operator=(const ButtonHold&) = delete;

    private:
        GeneratorDialog& dialog_;
    };

    void reject() override;
    void closeEvent(QCloseEvent* event) override;

    QString tempFileName_;
    TMainform* mainform_;
    zembrel::SignalBase* signal_;

private:
    void WorkerEnded();

    bool closing_ = false;
    bool startFailed_ = false;
    QString failure_; // why the last worker failed; empty when it did not
    std::unique_ptr<TFProcessState> processState_;
    std::unique_ptr<WorkerThread> worker_;
    int holds_ = 0;
    std::vector<QAbstractButton*> disabledButtons_;
};
