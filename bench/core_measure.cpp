// The measurement's two heavy steps in-process: making a 10 s sweep at 192 kHz, and
// deconvolving a 10 s, 48 kHz mono recording to latency, impulse response, response and H2..H5.
#include "core/generators/SyncSweep.h"
#include "core/measure/SweepDeconvolution.h"

#include <benchmark/benchmark.h>

#include <cmath>

namespace {

void BM_SyncSweep10s192k(benchmark::State& state) {
    const zembrel::SyncSweep sweep({20.0, 20000.0, 10.0, 10.0, 10.0, 0.0, 0.0, -3.0, 192000.0});
    std::vector<double> out(static_cast<std::size_t>(sweep.TotalSamples()));
    for (auto _ : state) {
        sweep.Fill(out.data());
        benchmark::DoNotOptimize(out.data());
    }
    state.counters["samples"] = static_cast<double>(out.size());
}
BENCHMARK(BM_SyncSweep10s192k)->Unit(benchmark::kMillisecond)->MinTime(1.0);

// A recording of a device with a little second- and third-order distortion and 300 samples of
// latency, so that every harmonic window holds something.
void BM_Deconvolve10s48k(benchmark::State& state) {
    const zembrel::SyncSweep sweep({20.0, 20000.0, 10.0, 10.0, 10.0, 0.2, 0.3, -6.0, 48000.0});
    std::vector<double> recording(300, 0.0);
    for (double x : sweep.Samples()) {
        recording.push_back(x + 0.01 * x * x + 0.001 * x * x * x);
    }
    for (auto _ : state) {
        const zembrel::SweepResponse r =
            zembrel::SweepDeconvolution::Analyse(recording, 48000.0, sweep, {});
        benchmark::DoNotOptimize(r.Distortion.data());
    }
}
BENCHMARK(BM_Deconvolve10s48k)->Unit(benchmark::kMillisecond)->MinTime(2.0);

} // namespace

BENCHMARK_MAIN();
