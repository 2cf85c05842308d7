// The pseudo-noise constructors of SineGenerator: sines whose phase is drawn from the
// process-wide phase generator.
#include "core/generators/RandomNumberGenerator.h"
#include "core/generators/SineGenerator.h"
#include "core/signal/ParallelFor.h"
#include "core/signal/SignalBase.h"

#include <cmath>

namespace zembrel {

namespace {

// r degrees as 2 pi r (1/360), multiplied in this order.
double PhaseRadians(double degrees) {
    return 2.0 * SineGenerator::Pi * degrees * (1.0 / 360.0);
}

} // namespace

int SineGenerator::PseudoNoisePhase() {
    RandomNumberGenerator generator; // seeds the process on first use
    return generator.RandomInt(0, 360);
}

SineGenerator::SineGenerator(SignalBase& signal, double frequency, double amplitude) {
    const double phi = PhaseRadians(PseudoNoisePhase());
    const double omega = 2.0 * Pi * frequency;
    const double period = signal.SamplePeriod;
    double* first = signal.Channels == 1 ? signal.Mono.data() : signal.Left.data();
    double* right = signal.Channels == 1 ? nullptr : signal.Right.data();
    ParallelFor(signal.SampleCount, [=](int begin, int end) {
        for (int i = begin; i < end; ++i) {
            first[i] += amplitude * std::sin(i * period * omega + phi);
            if (right) {
                right[i] = first[i];
            }
        }
    });
}

SineGenerator::SineGenerator(SignalBase& signal, double frequency, double amplitude, bool,
                             double offset) {
    const double phiLeft = PhaseRadians(PseudoNoisePhase());
    const double phiRight = PhaseRadians(offset) + phiLeft;
    AddSinePass(signal, amplitude, 2.0 * Pi * frequency, phiLeft, phiRight);
}

} // namespace zembrel
