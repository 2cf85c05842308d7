#include "gui/generators/WorkerThread.h"

#include "gui/generators/TFProcessState.h"

#include "core/FailureText.h"

#include <exception>
#include <new>

WorkerThread::WorkerThread(int* progress, TFProcessState* processState)
    : progress_(progress), processState_(processState) {}

QString CalculationFailure(const std::exception& e) {
    if (dynamic_cast<const std::bad_alloc*>(&e) != nullptr) {
        return QStringLiteral("there is %1 for this calculation")
            .arg(QString::fromLatin1(zembrel::FailureText(zembrel::Failure::OutOfMemory)));
    }
    return QString::fromLocal8Bit(e.what());
}

void WorkerThread::run() {
    try {
        Work();
    } catch (const std::exception& e) {
        failure_ = CalculationFailure(e);
    } catch (...) {
        failure_ = QString::fromLatin1(zembrel::FailureText(zembrel::Failure::Unknown));
    }
}

void WorkerThread::Report(int percent) {
    // The dialog's Progress follows the reports, so it reaches 100 exactly when the last unit
    // was started, also where the work counts its units in a variable of its own.
    *progress_ = percent;
    // The progress window lives as long as the worker: the dialog releases both together, after
    // the worker has ended.
    QMetaObject::invokeMethod(processState_.data(), "ShowProgress", Qt::BlockingQueuedConnection,
                              Q_ARG(int, percent));
}
