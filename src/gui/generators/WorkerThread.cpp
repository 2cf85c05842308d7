#include "generators/WorkerThread.h"

#include "generators/TFProcessState.h"

WorkerThread::WorkerThread(int* progress, TFProcessState* processState)
    : progress_(progress), processState_(processState) {}

void WorkerThread::Report(int percent) {
    // The progress window lives as long as the worker: the dialog releases both together, after
    // the worker has ended.
    QMetaObject::invokeMethod(processState_.data(), "ShowProgress", Qt::BlockingQueuedConnection,
                              Q_ARG(int, percent));
}
