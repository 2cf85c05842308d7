#include "core/generators/FrequencySweepGenerator.h"

#include "core/generators/SineGenerator.h"
#include "core/signal/ParallelFor.h"
#include "core/signal/SignalBase.h"

#include <cmath>
#include <numbers>
#include <stdexcept>
#include <string>

namespace zembrel {

namespace {

constexpr double kE = std::numbers::e;
constexpr double kLn10 = std::numbers::ln10;

void CheckCharacteristic(int characteristic) {
    if (characteristic < 0 || characteristic >= kSweepCharacteristicCount) {
        throw std::invalid_argument("unknown sweep characteristic " +
                                    std::to_string(characteristic));
    }
}

} // namespace

double SweepShape(int characteristic, double x) {
    CheckCharacteristic(characteristic);
    switch (characteristic) {
    case SweepLin:
        return x;
    case SweepExp:
        return std::expm1(x) / (kE - 1.0);
    case SweepExp10:
        return std::expm1(x * kLn10) / 9.0;
    case SweepQuad:
        return x * x;
    case SweepCube:
        return x * x * x;
    default:
        return x * x * x * x;
    }
}

namespace {

// The mean shapes, for x > 0.
double MeanLin(double x) {
    return x * 0.5;
}
double MeanExp(double x) {
    // The integral of e^u - 1 over [0, x] is e^x - 1 - x; expm1 keeps its small values exact
    // near the start.
    return (std::expm1(x) - x) / ((kE - 1.0) * x);
}
double MeanExp10(double x) {
    return (std::expm1(x * kLn10) / kLn10 - x) / (9.0 * x);
}
double MeanQuad(double x) {
    return static_cast<double>(x * x * (1.0L / 3.0L));
}
double MeanCube(double x) {
    return x * x * x * 0.25;
}
double MeanBiQuad(double x) {
    return x * x * x * x * 0.2;
}

template <double (*Mean)(double)>
void Sweep(double* first, double* second, int n, double period, double omegaStart, double span) {
    const double count = n;
    ParallelFor(n, [=](int begin, int end) {
        for (int i = begin; i < end; ++i) {
            const double x = i / count;
            const double offset = i == 0 ? 0.0 : span * Mean(x);
            const double y = std::sin((i * period) * (omegaStart + offset));
            first[i] = y;
            if (second != nullptr) {
                second[i] = y;
            }
        }
    });
}

} // namespace

double SweepMeanShape(int characteristic, double x) {
    CheckCharacteristic(characteristic);
    if (x == 0.0) {
        return 0.0;
    }
    switch (characteristic) {
    case SweepLin:
        return MeanLin(x);
    case SweepExp:
        return MeanExp(x);
    case SweepExp10:
        return MeanExp10(x);
    case SweepQuad:
        return MeanQuad(x);
    case SweepCube:
        return MeanCube(x);
    default:
        return MeanBiQuad(x);
    }
}

FrequencySweepGenerator::FrequencySweepGenerator(SignalBase& signal, double startFrequency,
                                                 double stopFrequency, int characteristic) {
    CheckCharacteristic(characteristic);
    const double omegaStart = 2.0 * SineGenerator::Pi * startFrequency;
    const double omegaStop = 2.0 * SineGenerator::Pi * stopFrequency;
    const double span = omegaStop - omegaStart; // rad/s, negative for a falling sweep
    const double period = signal.SamplePeriod;
    const int n = signal.SampleCount;
    // Both channels of a stereo signal get the same value, computed once.
    double* first = signal.Channels == 1 ? signal.Mono.data() : signal.Left.data();
    double* second = signal.Channels == 1 ? nullptr : signal.Right.data();
    constexpr void (*sweeps[kSweepCharacteristicCount])(double*, double*, int, double, double,
                                                        double) = {
        Sweep<MeanLin>,  Sweep<MeanExp>,  Sweep<MeanExp10>,
        Sweep<MeanQuad>, Sweep<MeanCube>, Sweep<MeanBiQuad>,
    };
    sweeps[characteristic](first, second, n, period, omegaStart, span);
}

} // namespace zembrel
