#pragma once

#include "gui/generators/WorkerThread.h"

#include <optional>

namespace zembrel {
class SignalBase;
}

// The noise generators' worker: adds one band of sines with pseudo-random phases to the signal,
// one line per unit, with constant amplitude (mode 0, white) or amplitude 1/sqrt(f) and fresh
// seeding from the clock (mode 1, pink). A worker runs once; a new band needs a new worker.
// With a level the band is the last of the signal: it runs through GenerateWhiteNoise or
// GeneratePinkNoise, which scale the sum to the level once the band is complete; without one it
// is a step of that sum (Add Band, a band of an imported list).
class TNoiseCalcThread : public WorkerThread {
    Q_OBJECT

public:
    // The thread is always created without running; start() runs it. Frequencies and step in
    // Hz, offset in degrees (right channel against left; ignored for mono), mode 0 or 1.
    TNoiseCalcThread(bool createSuspended, double startFrequency, double stopFrequency,
                     double stepSize, double amplitude, double phaseOffsetDeg,
                     zembrel::SignalBase* signal, int* progress, int mode,
                     TFProcessState* processState, std::optional<double> level = std::nullopt);

    double StartFrequency;
    double StopFrequency;
    double StepSize;
    double Amplitude;
    double PhaseOffsetDeg;
    int Mode;
    std::optional<double> Level; // dB

protected:
    void Work() override;

private:
    zembrel::SignalBase* signal_;
};
