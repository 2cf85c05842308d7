#include "gui/generators/TCalcThread.h"

#include "core/generators/FunctionGenerator.h"

TCalcThread::TCalcThread(bool, double frequency, double phase, double offset,
                         zembrel::SignalBase* signal, int* progress, int waveform,
                         TFProcessState* processState)
    : WorkerThread(progress, processState), frequency_(frequency), phase_(phase), offset_(offset),
      signal_(signal), waveform_(waveform) {}

void TCalcThread::Work() {
    zembrel::RunFunctionGenerator(*signal_, static_cast<zembrel::Waveform>(waveform_), frequency_,
                                  phase_, offset_, *progress_, *this);
}
