#pragma once

#include <QDialog>

class QLabel;
class QProgressBar;
class QPushButton;
class WorkerThread;

// "Calculation in progress...": the small window beside every calculation on a worker thread.
// It is shown without a modal loop, stays on top, shows the percentage as a bar and a number,
// and its Cancel (also Escape) only asks the worker to stop. The close box only hides it; the
// generator dialog that created it releases it when the worker has ended. Its owner is that
// generator dialog: a window owned by a modal dialog is not blocked by it, so Cancel can be
// pressed while the dialog waits modally.
class TFProcessState : public QDialog {
    Q_OBJECT

public:
    explicit TFProcessState(QWidget* owner);

    void SetCalcThread(WorkerThread* thread);
    void SetNoiseCalcThread(WorkerThread* thread);

    // Runs on the GUI thread while the worker waits.
    Q_INVOKABLE void ShowProgress(int percent);

    void Button1Click();

    QProgressBar* ProgressBar1 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QPushButton* Button1 = nullptr;

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    WorkerThread* calcThread_ = nullptr;
    WorkerThread* noiseCalcThread_ = nullptr;
};
