#pragma once

#include "gui/app/SlotGuard.h"

#include <QAbstractButton>
#include <QDialog>
#include <QPushButton>
#include <QString>

#include <functional>
#include <initializer_list>
#include <memory>
#include <utility>
#include <vector>

class QLineEdit;
class TFProcessState;
class TMainform;
class WorkerThread;

namespace zembrel {
class CalculationObserver;
class SignalBase;
enum class GeneratorStatus;
} // namespace zembrel

// What every generator dialog does with the shared signal, written once:
// - it receives the cleared current signal and fills it in place, keeping its format, through
//   the same core entry points as zembrel-cli (Generate*, or the steps they are built from
//   where Add Sine / Add Band must add at once);
// - Commit hands the result to the main window's SignalDocument, which writes the temporary
//   playback file, redraws and reports "Calculation finished."; then the dialog closes;
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
    // Commits the signal, which a Generate* entry point has finished (scaled to its level),
    // and closes with status "Calculation finished.". When the playback file cannot be written
    // the new signal is dropped and the previous one comes back from the file (one message says
    // so), and the dialog closes as on Cancel. A status other than Finished (the entry point
    // refused what the dialog had accepted) ends the dialog as a failed calculation.
    void Commit(zembrel::GeneratorStatus status);
    // Scales a sum built from the steps to level (dB), then commits it as above.
    void Commit(double level);

    // Reads the temporary playback file back into the signal and closes the dialog.
    void RestoreAndClose();

    // The observer of a synthesis that runs on the GUI thread: it is never stopped and its
    // progress is not shown.
    static zembrel::CalculationObserver& OnGuiThread();

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

    // Makes ok the button that Return presses in the edit fields; a button that has the focus
    // takes Return itself.
    static void SetOkButton(QPushButton* ok);

    // connect(button, clicked, this, slot), with an exception of the slot reported on this
    // dialog instead of passing through Qt.
    template <class Dialog> void OnClick(QPushButton* button, void (Dialog::*slot)());

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
    // message give the reason instead. When the file cannot be read back either, one message
    // says what failed and that the signal is now silent.
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
    void Close(bool taken);

    bool closing_ = false;
    bool startFailed_ = false;
    QString failure_; // why the last worker failed; empty when it did not
    std::unique_ptr<TFProcessState> processState_;
    std::unique_ptr<WorkerThread> worker_;
    int holds_ = 0;
    std::vector<QAbstractButton*> disabledButtons_;
};

template <class Dialog> void GeneratorDialog::OnClick(QPushButton* button, void (Dialog::*slot)()) {
    ConnectGuarded(button, &QAbstractButton::clicked, static_cast<Dialog*>(this), slot);
}
