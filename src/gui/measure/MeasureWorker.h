#pragma once

#include "gui/generators/WorkerThread.h"

#include <functional>

// A measurement's long work off the GUI thread: reading and deconvolving a recording, or playing
// and recording a sweep. The job runs on the worker thread with this object for its stop flag
// and its progress reports (percent, 0 ... 100, shown in the progress window while the job
// waits); it writes its results where its owner reads them only after the thread has ended. An
// exception that ends the job becomes Failure(): a measurement's refusals (another rate, a
// silent recording) arrive there with their text for the user.
class MeasureWorker : public WorkerThread {
    Q_OBJECT

public:
    using Job = std::function<void(MeasureWorker&)>;

    MeasureWorker(Job job, TFProcessState* processState);

    int Progress() const { return progressValue_; }

protected:
    void Work() override;

private:
    Job job_;
    int progressValue_ = 0;
};
