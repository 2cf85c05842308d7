// The FFT evaluation of sums of equally spaced sines against the per-sample reference, on the
// cases the function and noise generators produce. Synthesis only (no scaling, no file).
#include "core/generators/SineComb.h"
#include "core/signal/SignalBase.h"

#include <benchmark/benchmark.h>

#include <random>

namespace {

using zembrel::SignalBase;
using zembrel::SineComb;

SineComb Lines(double first, double spacing, int count) {
    std::mt19937 rng(1);
    std::uniform_real_distribution<double> phase(0.0, 6.283185307179586);
    SineComb lines;
    lines.First = first;
    lines.Spacing = spacing;
    for (int m = 0; m < count; ++m) {
        lines.Amplitudes.push_back(1.0 / std::sqrt(first + m * spacing));
        lines.PhasesLeft.push_back(phase(rng));
        lines.PhasesRight.push_back(phase(rng));
    }
    return lines;
}

void Run(benchmark::State& state, bool fast, double rate, double duration, int channels,
         double first, double spacing, int count) {
    SignalBase s(rate, duration, 16, 32768, channels);
    const SineComb lines = Lines(first, spacing, count);
    for (auto _ : state) {
        s.Clear();
        if (fast) {
            zembrel::AddSineComb(s, lines);
        } else {
            zembrel::AddSineCombPerSample(s, lines);
        }
        benchmark::DoNotOptimize(s.ChannelArrays()[0]->data());
    }
    state.counters["lines"] = count;
}

// Pink noise 20 Hz .. 20 kHz in 1 Hz steps, 10 s, 44.1 kHz stereo (reference: 0.1 s).
BENCHMARK_CAPTURE(Run, pink_10s, true, 44100.0, 10.0, 2, 20.0, 1.0, 19981)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Run, pink_reference_0_1s, false, 44100.0, 0.1, 2, 20.0, 1.0, 19981)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);
// Square 10 Hz (odd harmonics, spacing 20 Hz), 60 s, 48 kHz stereo.
BENCHMARK_CAPTURE(Run, square10_60s, true, 48000.0, 60.0, 2, 10.0, 20.0, 1200)
    ->Unit(benchmark::kMillisecond);
// Sawtooth 1001 Hz, 180 s, 48 kHz stereo: spacing does not divide the rate.
BENCHMARK_CAPTURE(Run, saw1001_180s, true, 48000.0, 180.0, 2, 1001.0, 1001.0, 23)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Run, saw1001_reference_180s, false, 48000.0, 180.0, 2, 1001.0, 1001.0, 23)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);
// White band 100 .. 200 Hz in 0.001 Hz steps, 1 s, 44.1 kHz mono.
BENCHMARK_CAPTURE(Run, band_100001_lines, true, 44100.0, 1.0, 1, 100.0, 0.001, 100001)
    ->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
