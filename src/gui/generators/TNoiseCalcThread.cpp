#include "gui/generators/TNoiseCalcThread.h"

#include "core/generators/Generate.h"
#include "core/generators/NoiseGenerator.h"

TNoiseCalcThread::TNoiseCalcThread(bool, double startFrequency, double stopFrequency,
                                   double stepSize, double amplitude, double phaseOffsetDeg,
                                   zembrel::SignalBase* signal, int* progress, int mode,
                                   TFProcessState* processState, std::optional<double> level)
    : WorkerThread(progress, processState), StartFrequency(startFrequency),
      StopFrequency(stopFrequency), StepSize(stepSize), Amplitude(amplitude),
      PhaseOffsetDeg(phaseOffsetDeg), Mode(mode), Level(level), signal_(signal) {}

void TNoiseCalcThread::Work() {
    // A band the dialog could not rule out (only possible through a list file, which is checked
    // before its first band) adds nothing and leaves Progress at 0, so it ends as cancelled.
    if (!Level) {
        zembrel::RunNoiseBand(
            *signal_, StartFrequency, StopFrequency, StepSize, Amplitude, PhaseOffsetDeg,
            Mode == 1 ? zembrel::NoiseMode::Pink : zembrel::NoiseMode::White, *progress_, *this);
        return;
    }
    // The phases continue from the program's phase generator (pink starts it anew).
    if (Mode == 1) {
        zembrel::GeneratePinkNoise(
            *signal_, {StartFrequency, StopFrequency, StepSize, PhaseOffsetDeg, *Level},
            std::nullopt, *this);
    } else {
        zembrel::GenerateWhiteNoise(
            *signal_, {{StartFrequency, StopFrequency, StepSize, Amplitude, PhaseOffsetDeg}},
            *Level, std::nullopt, *this);
    }
}
