#pragma once

namespace zembrel {

class SignalBase;

// Multiplies every sample of a signal, in place, by the raised-sine envelope of an amplitude
// modulation:
//   e(t) = (m/2) sin(2 pi fm t - pi/2 + phi) + 1 - m/2 = 1 - (m/2)(1 + cos(2 pi fm t + phi)),
// which swings between 1 and 1 - m (below zero for m > 1: the carrier's phase reverses) and
// starts at 1 - m when phi is 0. Applied to a carrier of amplitude 1 this leaves a carrier of
// 1 - m/2 and two sidebands at fc +- fm of m/4 each. The object holds no data; construction does
// the work.
class EnvelopGenerator {
public:
    // modulationFrequency: Hz; modulationIndex: m; modulationPhase: phi in degrees; phaseOffset:
    // degrees added to phi for the right channel of a stereo signal only (a mono signal ignores
    // it).
    EnvelopGenerator(SignalBase& signal, double modulationFrequency, double modulationIndex,
                     double modulationPhase, double phaseOffset);
};

} // namespace zembrel
