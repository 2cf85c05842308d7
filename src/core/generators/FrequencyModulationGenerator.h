#pragma once

namespace zembrel {

class SignalBase;

// Writes a sinusoidally frequency-modulated sine into every channel of a signal, replacing the
// old samples: x[i] = sin(m sin(wm t) + wc t) with t = i * SamplePeriod, wc = 2 pi fc and
// wm = 2 pi fm. m is the peak phase deviation in radians; the lines of the spectrum lie at
// fc +- k fm with the amplitudes |J_k(m)|. Nothing keeps the sidebands below fs/2. The object
// holds no data; construction does the work.
class FrequencyModulationGenerator {
public:
    // carrierFrequency, modulationFrequency: Hz; modulationIndex: radians.
    FrequencyModulationGenerator(SignalBase& signal, double carrierFrequency,
                                 double modulationFrequency, double modulationIndex);
};

} // namespace zembrel
