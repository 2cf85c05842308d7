#pragma once

#include "gui/generators/WorkerThread.h"

namespace zembrel {
class SignalBase;
}

// The function generator's worker: sums the Fourier series of the chosen waveform into the
// signal, one harmonic per unit, through GenerateFunction, which scales the finished sum to the
// level.
class TCalcThread : public WorkerThread {
    Q_OBJECT

public:
    // The thread is always created without running; start() runs it.
    TCalcThread(bool createSuspended, double frequency, double phase, double offset,
                zembrel::SignalBase* signal, int* progress, int waveform,
                TFProcessState* processState, double level);

protected:
    void Work() override;

private:
    double frequency_;
    double phase_;
    double offset_;
    zembrel::SignalBase* signal_;
    int waveform_;
    double level_; // dB
};
