#include "core/generators/FrequencyModulationGenerator.h"

#include "core/generators/SineGenerator.h"
#include "core/signal/ParallelFor.h"
#include "core/signal/SignalBase.h"

#include <cmath>

namespace zembrel {

FrequencyModulationGenerator::FrequencyModulationGenerator(SignalBase& signal,
                                                           double carrierFrequency,
                                                           double modulationFrequency,
                                                           double modulationIndex) {
    const double omegaCarrier = 2.0 * SineGenerator::Pi * carrierFrequency;
    const double omegaModulation = 2.0 * SineGenerator::Pi * modulationFrequency;
    const double period = signal.SamplePeriod;
    const int n = signal.SampleCount;
    // Both channels of a stereo signal get the same value, computed once.
    double* first = signal.Channels == 1 ? signal.Mono.data() : signal.Left.data();
    double* second = signal.Channels == 1 ? nullptr : signal.Right.data();
    ParallelFor(n, [=](int begin, int end) {
        for (int i = begin; i < end; ++i) {
            const double t = i * period;
            const double s = std::sin(t * omegaModulation);
            const double y = std::sin(s * modulationIndex + t * omegaCarrier);
            first[i] = y;
            if (second != nullptr) {
                second[i] = y;
            }
        }
    });
}

} // namespace zembrel
