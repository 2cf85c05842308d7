#pragma once

namespace zembrel {

class SignalBase;

// One pass of the per-sample method: x[i] += amplitude * sin(i * SamplePeriod * omega + phi)
// with phiLeft for Mono and Left, phiRight for Right, the samples split over the cores.
void AddSinePass(SignalBase& signal, double amplitude, double omega, double phiLeft,
                 double phiRight);

// Adds one sine to every sample of a signal: x[i] += amplitude * sin(i * SamplePeriod * w + phi)
// with w = 2 pi f and phi = 2 pi phase / 360. The object holds no data; construction does the
// work.
class SineGenerator {
public:
    static constexpr double Pi = 3.141592653589793;

    // Same phase (degrees) in every channel.
    SineGenerator(SignalBase& signal, double frequency, double amplitude, double phase);

    // In a stereo signal the right channel's phase is the left one's plus offset (degrees);
    // a mono signal ignores the offset.
    SineGenerator(SignalBase& signal, double frequency, double amplitude, double phase,
                  double offset);

    // The pseudo-noise forms: the phase is not given but drawn, one draw of
    // PseudoNoisePhase() per sine, and converted as 2 pi r (1/360).

    // A stereo signal gets the same values in both channels: the right channel is set to the
    // new left value at each index.
    SineGenerator(SignalBase& signal, double frequency, double amplitude);

    // In a stereo signal the right channel's phase is the drawn phase plus offset (degrees); a
    // mono signal ignores the offset. pseudoNoise only selects this form.
    SineGenerator(SignalBase& signal, double frequency, double amplitude, bool pseudoNoise,
                  double offset);

    // The one place where phases are drawn: RandomInt(0, 360) of the process-wide generator,
    // whole degrees 0 ... 359.
    static int PseudoNoisePhase();
};

} // namespace zembrel
