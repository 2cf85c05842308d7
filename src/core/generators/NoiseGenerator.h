#pragma once

#include "core/generators/SineComb.h"
#include <cstdint>

#include <string>

namespace zembrel {

class CalculationObserver;
class SignalBase;

// How the sines of a noise band are weighted.
enum class NoiseMode {
    // Every sine has the given amplitude: a flat (white) spectrum over the band.
    White = 0,
    // Every sine at f Hz has the amplitude 1 / sqrt(f) (1 Hz -> 1.0, 100 Hz -> 0.1), so that the
    // power density falls as 1/f: -3.01 dB per octave, equal energy in every octave. The
    // process-wide phase generator is seeded with the time in whole seconds at the start.
    Pink = 1,
};

// A band of equally spaced sines, walked upwards from Start. Count is
// floor((Stop - Start) / Step) + 1 with a guard of a few ulps, so that a fractional band keeps
// its last line (100 ... 110.9 Hz in steps of 0.1 Hz ends at 110.9; 10 / 0.1 counts 100).
struct NoiseBand {
    double Start = 0.0; // Hz, the lower edge
    double Stop = 0.0;  // Hz, the upper edge
    double Step = 0.0;  // Hz, > 0
    std::int32_t Count = 0;
    std::string Problem; // why the band cannot be computed; empty when it can (Count >= 1)

    bool Usable() const { return Problem.empty(); }
    double Frequency(std::int32_t k) const { return Start + k * Step; }
};

// Orders the edges and counts the lines. A step that is not positive, a span or a count that is
// not finite, or a count beyond int32 leaves Count at 0 and names the problem.
NoiseBand PlanNoiseBand(double start, double stop, double step);

// Which fields of a noise band a dialog must refuse: an edge outside 0 < f <= fs/2, or a step
// outside that range or one that gives no countable band (a step of 1e-6 Hz over 20 kHz would
// need more than 2^31 lines).
struct NoiseBandChecks {
    bool BadStart;
    bool BadStop;
    bool BadStep;
};
NoiseBandChecks CheckNoiseBand(double start, double stop, double step, double sampleRate);

// The amplitude of the line at frequency (Hz) in mode; amplitude is used by White only.
double NoiseAmplitude(NoiseMode mode, double amplitude, double frequency);

// The noise worker's whole job: adds one band of sines with pseudo-random phases to signal,
// one unit per line through RunUnits (one progress report and one stop check per line). The
// right channel's phase is the left one's plus offset (degrees); a mono signal ignores it.
// Phases are drawn one per line, in ascending order of frequency. Memory stays constant: each
// line is added in place. A band that PlanNoiseBand refuses adds nothing and leaves progress
// at 0; the function then returns false.
//
// Many lines are evaluated with FFTs (SineCombBuilder), a batch of lines at a time; the phases
// are the same draws in the same order, so the signal does not depend on the method beyond
// rounding. PerSample forces one sine pass per line (the reference).
bool RunNoiseBand(SignalBase& signal, double start, double stop, double step, double amplitude,
                  double offset, NoiseMode mode, int& progress, CalculationObserver& observer,
                  SynthesisMethod method = SynthesisMethod::Automatic);

// The seed a pink noise run starts from: the calendar time in whole seconds since 1970, taken as
// it is.
std::uint32_t PinkNoiseClockSeed();

// RunNoiseBand in mode Pink, starting the phase generator from seed instead of the clock, so
// that a run can be repeated.
bool RunPinkNoiseBand(SignalBase& signal, double start, double stop, double step, double offset,
                      std::uint32_t seed, int& progress, CalculationObserver& observer);

} // namespace zembrel
