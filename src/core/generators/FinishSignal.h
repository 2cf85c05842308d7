#pragma once

namespace zembrel {

class SignalBase;

// Brings a synthesised signal to the requested level and into file units, in place: the joint
// peak of all channels is mapped to NormValue * 10^(level/20), each sample becomes
// trunc(x / Peak * TargetAmplitude - 0.5), plus 128 for 8-bit signals. One factor serves both
// channels of a stereo signal. A silent signal stays silent (0, or 128 for 8 bit).
class FinishSignal {
public:
    FinishSignal(SignalBase& signal, double level); // level in dB relative to full scale

    double Peak = 0.0;            // largest absolute sample over all channels before scaling
    double TargetAmplitude = 0.0; // what Peak is mapped to
};

} // namespace zembrel
