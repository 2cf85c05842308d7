#include "core/generators/NoiseGenerator.h"

#include "core/generators/CalculationProtocol.h"
#include "core/generators/InputRules.h"
#include "core/generators/RandomNumberGenerator.h"
#include "core/generators/SineComb.h"
#include "core/generators/SineGenerator.h"

#include <algorithm>
#include <cmath>
#include <ctime>
#include <limits>
#include <sstream>
#include <utility>

namespace zembrel {

namespace {

std::string Hz(double value) {
    std::ostringstream out;
    out.precision(10);
    out << value << " Hz";
    return out.str();
}

} // namespace

NoiseBand PlanNoiseBand(double start, double stop, double step) {
    NoiseBand band;
    if (!std::isfinite(start) || !std::isfinite(stop) || !std::isfinite(step)) {
        band.Problem = "the band's edges and step must be finite numbers";
        return band;
    }
    if (!(step > 0.0)) {
        band.Problem = "the step " + Hz(step) + " is not positive";
        return band;
    }
    if (stop < start) {
        std::swap(start, stop);
    }
    band.Start = start;
    band.Stop = stop;
    band.Step = step;
    const double span = stop - start;
    const double lines = span / step;
    if (!std::isfinite(span) || !std::isfinite(lines)) {
        band.Problem = "the band from " + Hz(start) + " to " + Hz(stop) + " in steps of " +
                       Hz(step) + " cannot be counted";
        return band;
    }
    // The edges and the step carry rounding errors of about one ulp of the larger edge; without
    // a guard, 100 ... 100.3 Hz in steps of 0.1 Hz would count 2.9999999999999716 steps.
    constexpr double eps = std::numeric_limits<double>::epsilon();
    // The guard never reaches half a line: where it would (a step below a few ulps of the
    // edges, 1000 ... 1000 Hz in steps of 1e-13 Hz) the count is rounded to the nearest, so a
    // band of no width is one line and not nine.
    const double guard =
        std::min(4.0 * eps * (std::max(std::abs(start), std::abs(stop)) / step + lines), 0.49);
    const double count = std::floor(lines + guard) + 1.0;
    if (!(count <= static_cast<double>(std::numeric_limits<std::int32_t>::max()))) {
        std::ostringstream reason;
        reason.precision(10);
        reason << "the band from " << Hz(start) << " to " << Hz(stop) << " in steps of " << Hz(step)
               << " would need " << count << " sines, more than "
               << std::numeric_limits<std::int32_t>::max();
        band.Problem = reason.str();
        return band;
    }
    band.Count = static_cast<std::int32_t>(count);
    return band;
}

NoiseBandChecks CheckNoiseBand(double start, double stop, double step, double sampleRate) {
    NoiseBandChecks checks;
    checks.BadStart = !IsValidFrequency(start, sampleRate);
    checks.BadStop = !IsValidFrequency(stop, sampleRate);
    checks.BadStep =
        !IsValidFrequency(step, sampleRate) ||
        (!checks.BadStart && !checks.BadStop && !PlanNoiseBand(start, stop, step).Usable());
    return checks;
}

double NoiseAmplitude(NoiseMode mode, double amplitude, double frequency) {
    return mode == NoiseMode::Pink ? 1.0 / std::sqrt(frequency) : amplitude;
}

namespace {

// One band from the phase generator's present state.
bool RunBand(SignalBase& signal, double start, double stop, double step, double amplitude,
             double offset, NoiseMode mode, int& progress, CalculationObserver& observer,
             SynthesisMethod method) {
    const NoiseBand band = PlanNoiseBand(start, stop, step);
    if (method == SynthesisMethod::PerSample || !FastSineCombPays(band.Count)) {
        RunUnits(band.Count, progress, observer, [&](int k) {
            const double f = band.Frequency(k);
            SineGenerator(signal, f, NoiseAmplitude(mode, amplitude, f), true, offset);
        });
        return band.Usable();
    }
    // Many lines: the units draw the phases in the same order and collect the lines, with the
    // same reports and stop checks; the band is evaluated with FFTs a batch at a time.
    SineCombBuilder lines(signal, band.Start, band.Step, false, band.Count);
    const double phiOffset = 2.0 * SineGenerator::Pi * offset * (1.0 / 360.0);
    RunUnits(band.Count, progress, observer, [&](int k) {
        const double phi =
            2.0 * SineGenerator::Pi * SineGenerator::PseudoNoisePhase() * (1.0 / 360.0);
        lines.Add(NoiseAmplitude(mode, amplitude, band.Frequency(k)), phi, phiOffset + phi);
    });
    if (progress == 100) {
        lines.Flush();
    }
    return band.Usable();
}

} // namespace

std::uint32_t PinkNoiseClockSeed() {
    return static_cast<std::uint32_t>(std::time(nullptr));
}

bool RunNoiseBand(SignalBase& signal, double start, double stop, double step, double amplitude,
                  double offset, NoiseMode mode, int& progress, CalculationObserver& observer,
                  SynthesisMethod method) {
    if (mode == NoiseMode::Pink) {
        // Runs started within the same second draw the same phases.
        RandomNumberGenerator::Seed(PinkNoiseClockSeed());
    }
    return RunBand(signal, start, stop, step, amplitude, offset, mode, progress, observer, method);
}

bool RunPinkNoiseBand(SignalBase& signal, double start, double stop, double step, double offset,
                      std::uint32_t seed, int& progress, CalculationObserver& observer) {
    RandomNumberGenerator::Seed(seed);
    return RunBand(signal, start, stop, step, 1.0, offset, NoiseMode::Pink, progress, observer,
                   SynthesisMethod::Automatic);
}

} // namespace zembrel
