// The readings of a channel in-process: THD and THD+N of 10 s at 48 kHz (one windowed spectrum
// of the whole tone), the weighted levels of the same, the loudness meter on 180 s of stereo
// (its true peaks on threads beside it), and the true peak of one 180 s channel.
#include "core/analysis/Distortion.h"
#include "core/analysis/Loudness.h"
#include "core/analysis/TonePowers.h"
#include "core/analysis/TruePeak.h"
#include "core/analysis/WeightedLevels.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <numbers>
#include <vector>

namespace {

constexpr double kRate = 48000.0;

std::vector<double> Tone(double seconds) {
    std::vector<double> x(static_cast<std::size_t>(seconds * kRate));
    for (std::size_t i = 0; i < x.size(); ++i) {
        const double t = static_cast<double>(i) / kRate;
        x[i] = 0.5 * std::sin(2 * std::numbers::pi * 997.0 * t) +
               5e-4 * std::sin(2 * std::numbers::pi * 2991.0 * t);
    }
    return x;
}

void ThdAndThdN(benchmark::State& state) {
    const std::vector<double> x = Tone(10.0);
    const zembrel::DistortionSettings settings;
    for (auto _ : state) {
        const zembrel::TonePowers spectrum(x.data(), x.size(), kRate);
        const auto fundamental = zembrel::FindFundamental(spectrum, settings);
        benchmark::DoNotOptimize(zembrel::MeasureHarmonics(spectrum, fundamental, settings));
        benchmark::DoNotOptimize(zembrel::MeasureThdN(spectrum, fundamental, settings));
    }
}
BENCHMARK(ThdAndThdN)->Unit(benchmark::kMillisecond);

void WeightedLevels10s(benchmark::State& state) {
    const std::vector<double> x = Tone(10.0);
    for (auto _ : state) {
        benchmark::DoNotOptimize(zembrel::MeasureWeightedLevels(x.data(), x.size(), kRate));
    }
}
BENCHMARK(WeightedLevels10s)->Unit(benchmark::kMillisecond);

void Loudness180sStereo(benchmark::State& state) {
    const std::vector<double> left = Tone(180.0);
    const std::vector<double> right = left;
    for (auto _ : state) {
        benchmark::DoNotOptimize(zembrel::MeasureLoudness({&left, &right}, kRate));
    }
}
BENCHMARK(Loudness180sStereo)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);

void TruePeak180s(benchmark::State& state) {
    const std::vector<double> x = Tone(180.0);
    for (auto _ : state) {
        benchmark::DoNotOptimize(zembrel::TruePeak(x.data(), x.size(), kRate));
    }
}
BENCHMARK(TruePeak180s)->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace

BENCHMARK_MAIN();
