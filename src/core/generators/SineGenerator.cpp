#include "generators/SineGenerator.h"

#include "signal/ParallelFor.h"
#include "signal/SignalBase.h"

#include <cmath>

namespace zembrel {

namespace {

void AddSine(SignalBase& signal, double frequency, double amplitude, double phiLeft,
             double phiRight) {
    const double omega = 2.0 * SineGenerator::Pi * frequency;
    const double period = signal.SamplePeriod;
    if (signal.Channels == 1) {
        double* mono = signal.Mono.data();
        ParallelFor(signal.SampleCount, [=](int begin, int end) {
            for (int i = begin; i < end; ++i) {
                const double t = i * period;
                mono[i] += amplitude * std::sin(t * omega + phiLeft);
            }
        });
        return;
    }
    double* left = signal.Left.data();
    double* right = signal.Right.data();
    ParallelFor(signal.SampleCount, [=](int begin, int end) {
        for (int i = begin; i < end; ++i) {
            const double t = i * period;
            left[i] += amplitude * std::sin(t * omega + phiLeft);
            right[i] += amplitude * std::sin(t * omega + phiRight);
        }
    });
}

double DegreesToRadians(double degrees) {
    return 2.0 * SineGenerator::Pi * degrees / 360.0;
}

} // namespace

SineGenerator::SineGenerator(SignalBase& signal, double frequency, double amplitude, double phase) {
    const double phi = DegreesToRadians(phase);
    AddSine(signal, frequency, amplitude, phi, phi);
}

SineGenerator::SineGenerator(SignalBase& signal, double frequency, double amplitude, double phase,
                             double offset) {
    const double phi = DegreesToRadians(phase);
    const double phiRight = DegreesToRadians(offset) + phi;
    AddSine(signal, frequency, amplitude, phi, phiRight);
}

} // namespace zembrel
