#pragma once

#include "core/generators/CalculationProtocol.h"

#include <QPointer>
#include <QThread>

#include <atomic>
#include <exception>

class TFProcessState;

// Why a calculation ended with e, for the status line and the message: running out of memory
// in plain words, anything else as it says.
QString CalculationFailure(const std::exception& e);

// The Qt side of a worker: a thread created without running (start() runs it), a stop flag
// that the GUI thread sets and the worker reads, and progress reports that run ShowProgress on
// the GUI thread while the worker waits. Subclasses run their calculation in run() through
// zembrel::RunUnits with this object as the observer. QThread::finished, connected by the
// generator dialog, delivers the termination on the GUI thread. An exception that escapes the
// work (running out of memory above all) ends it early and is kept as Failure(), so the
// dialog can end the calculation like a Cancel and say why; it never ends the program.
class WorkerThread : public QThread, public zembrel::CalculationObserver {
    Q_OBJECT

public:
    WorkerThread(int* progress, TFProcessState* processState);

    // Asks the worker to stop before its next unit; may be called any number of times.
    void RequestStop() { stop_.store(true); }

    bool StopRequested() const override { return stop_.load(); }
    void Report(int percent) override;

    // Why the work ended with an exception; empty when it did not. Read after the thread ended.
    const QString& Failure() const { return failure_; }

protected:
    // The calculation, run on the worker thread.
    virtual void Work() = 0;

    int* progress_; // the dialog's Progress; written here, read by the dialog as the protocol says

private:
    void run() final;

    QString failure_;
    QPointer<TFProcessState> processState_;
    std::atomic<bool> stop_{false};
};
