#include "core/generators/SineGenerator.h"

#include "core/signal/ParallelFor.h"
#include "core/signal/SignalBase.h"

#include <cmath>

namespace zembrel {

namespace {

double DegreesToRadians(double degrees) {
    return 2.0 * SineGenerator::Pi * degrees / 360.0;
}

} // namespace

void AddSinePass(SignalBase& signal, double amplitude, double omega, double phiLeft,
                 double phiRight) {
    const double period = signal.SamplePeriod;
    if (signal.Channels == 1) {
        double* mono = signal.Mono.data();
        ParallelFor(signal.SampleCount, [=](int begin, int end) {
            for (int i = begin; i < end; ++i) {
                mono[i] += amplitude * std::sin((i * period) * omega + phiLeft);
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

SineGenerator::SineGenerator(SignalBase& signal, double frequency, double amplitude, double phase) {
    const double phi = DegreesToRadians(phase);
    AddSinePass(signal, amplitude, 2.0 * Pi * frequency, phi, phi);
}

SineGenerator::SineGenerator(SignalBase& signal, double frequency, double amplitude, double phase,
                             double offset) {
    const double phi = DegreesToRadians(phase);
    const double phiRight = DegreesToRadians(offset) + phi;
    AddSinePass(signal, amplitude, 2.0 * Pi * frequency, phi, phiRight);
}

} // namespace zembrel
