#include "gui/generators/TCalcThread.h"

#include "core/generators/Generate.h"

TCalcThread::TCalcThread(bool, double frequency, double phase, double offset,
                         zembrel::SignalBase* signal, int* progress, int waveform,
                         TFProcessState* processState, double level)
    : WorkerThread(progress, processState), frequency_(frequency), phase_(phase), offset_(offset),
      signal_(signal), waveform_(waveform), level_(level) {}

void TCalcThread::Work() {
    zembrel::GenerateFunction(
        *signal_, {static_cast<zembrel::Waveform>(waveform_), frequency_, phase_, offset_, level_},
        *this);
}
