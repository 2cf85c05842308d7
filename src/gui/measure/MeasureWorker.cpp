#include "gui/measure/MeasureWorker.h"

MeasureWorker::MeasureWorker(Job job, TFProcessState* processState)
    : WorkerThread(&progressValue_, processState), job_(std::move(job)) {}

void MeasureWorker::Work() {
    job_(*this);
}
