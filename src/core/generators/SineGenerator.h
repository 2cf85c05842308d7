#pragma once

namespace zembrel {

class SignalBase;

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
};

} // namespace zembrel
