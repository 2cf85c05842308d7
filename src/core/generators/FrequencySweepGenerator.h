#pragma once

namespace zembrel {

class SignalBase;

// The frequency characteristics of a sweep, in the order of the dialog's list. Each is a shape
// s(x) over the relative position x = i / N in the signal with s(0) = 0 and s(1) = 1; the
// instantaneous frequency is f1 + s(x) (f2 - f1), so every sweep starts at f1 and arrives at f2
// at the end of the signal, rising, falling or steady.
enum SweepCharacteristic {
    SweepLin = 0,    // s = x
    SweepExp = 1,    // s = (e^x - 1) / (e - 1)
    SweepExp10 = 2,  // s = (10^x - 1) / 9: equal times per decade when f2 = 10 f1
    SweepQuad = 3,   // s = x^2
    SweepCube = 4,   // s = x^3
    SweepBiQuad = 5, // s = x^4
};
inline constexpr int kSweepCharacteristicCount = 6;

// Writes a sine sweeping from f1 to f2 over the whole signal into every channel, replacing the
// old samples. The phase is t (w1 + D(x)) with t = i * SamplePeriod, x = i / SampleCount,
// w1 = 2 pi f1 and D(x) = (w2 - w1) * SweepMeanShape(x); its derivative is w1 + s(x)(w2 - w1).
// With f1, f2 <= fs/2 no part of the sweep passes the Nyquist frequency. The object holds no
// data; construction does the work. Throws std::invalid_argument for an unknown
// characteristic.
class FrequencySweepGenerator {
public:
    // startFrequency, stopFrequency: Hz; characteristic: a SweepCharacteristic (0 ... 5).
    FrequencySweepGenerator(SignalBase& signal, double startFrequency, double stopFrequency,
                            int characteristic);
};

// s(x): the share of the span f2 - f1 reached at position x (0 ... 1).
double SweepShape(int characteristic, double x);

// The mean of s over [0, x] (0 at x = 0): t times this mean, times the span, is the phase the
// sweep has gathered beyond the start frequency's, since the position grows in step with t.
double SweepMeanShape(int characteristic, double x);

} // namespace zembrel
