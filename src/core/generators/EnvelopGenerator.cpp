#include "core/generators/EnvelopGenerator.h"

#include "core/generators/SineGenerator.h"
#include "core/signal/ParallelFor.h"
#include "core/signal/SignalBase.h"

#include <cmath>

namespace zembrel {

namespace {

constexpr double Pi = SineGenerator::Pi;

// Degrees to radians with 1/360 held in extended precision, rounded to double once.
double Radians(double degrees) {
    return static_cast<double>(2.0 * Pi * degrees * (1.0L / 360.0L));
}

void Modulate(double* samples, int count, double period, double omega, double phi, double half,
              double rest) {
    ParallelFor(count, [=](int begin, int end) {
        for (int i = begin; i < end; ++i) {
            const double t = i * period;
            const double e = half * std::sin(t * omega - Pi * 0.5 + phi) + rest;
            samples[i] *= e;
        }
    });
}

} // namespace

EnvelopGenerator::EnvelopGenerator(SignalBase& signal, double modulationFrequency,
                                   double modulationIndex, double modulationPhase,
                                   double phaseOffset) {
    const double phi = Radians(modulationPhase);
    const double phiRight = Radians(phaseOffset) + phi;
    const double half = modulationIndex * 0.5; // the envelope's swing about its centre
    const double rest = 1.0 - half;            // the envelope's centre
    const double omega = 2.0 * Pi * modulationFrequency;
    const int n = signal.SampleCount;
    const double period = signal.SamplePeriod;
    if (signal.Channels == 1) {
        Modulate(signal.Mono.data(), n, period, omega, phi, half, rest);
    } else {
        Modulate(signal.Left.data(), n, period, omega, phi, half, rest);
        Modulate(signal.Right.data(), n, period, omega, phiRight, half, rest);
    }
}

} // namespace zembrel
