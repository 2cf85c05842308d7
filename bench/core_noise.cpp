// The noise generators: the per-sample method (one pass over the signal per line of the band,
// the baseline) beside the automatic choice (FFT evaluation for many lines). Pink noise
// 20 ... 20000 Hz in steps of 1 Hz is 19981 lines; a white band of 100 ... 200 Hz in steps of
// 0.01 Hz is 10001 lines. peak_extra_MiB is the largest amount of large-block sample memory
// allocated during a run beyond the signal itself.
#include "bench/BenchSupport.h"
#include "core/generators/CalculationProtocol.h"
#include "core/generators/NoiseGenerator.h"
#include "core/signal/SampleArray.h"
#include "core/signal/SignalBase.h"

#include <benchmark/benchmark.h>

#include <algorithm>

namespace {

using bench::Silent;

long long g_bytes = 0;
long long g_peak = 0;

void Track(long long delta) {
    g_bytes += delta;
    g_peak = std::max(g_peak, g_bytes);
}

void RunBand(benchmark::State& state, double start, double stop, double step,
             zembrel::NoiseMode mode, double duration, int channels) {
    const auto method = state.range(0) == 0 ? zembrel::SynthesisMethod::PerSample
                                            : zembrel::SynthesisMethod::Automatic;
    zembrel::SignalBase signal(44100.0, duration, 16, 32768, channels);
    Silent observer;
    int progress = 0;
    g_bytes = g_peak = 0;
    zembrel::detail::SetLargeBlockObserver(&Track);
    for (auto _ : state) {
        signal.Clear();
        zembrel::RunNoiseBand(signal, start, stop, step, 1.0, 0.0, mode, progress, observer,
                              method);
        benchmark::DoNotOptimize(signal.ChannelArrays().front()->data());
    }
    zembrel::detail::SetLargeBlockObserver(nullptr);
    state.counters["lines"] = zembrel::PlanNoiseBand(start, stop, step).Count;
    state.counters["peak_extra_MiB"] = static_cast<double>(g_peak) / (1 << 20);
}

void BM_PinkNoise_1s_Mono(benchmark::State& state) {
    RunBand(state, 20.0, 20000.0, 1.0, zembrel::NoiseMode::Pink, 1.0, 1);
}

void BM_WhiteBand_1s_Mono(benchmark::State& state) {
    RunBand(state, 100.0, 200.0, 0.01, zembrel::NoiseMode::White, 1.0, 1);
}

void BM_PinkNoise_10s_Stereo(benchmark::State& state) {
    RunBand(state, 20.0, 20000.0, 1.0, zembrel::NoiseMode::Pink, 10.0, 2);
}

// Argument 0: per sample; 1: automatic.
BENCHMARK(BM_PinkNoise_1s_Mono)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_WhiteBand_1s_Mono)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_PinkNoise_10s_Stereo)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

BENCHMARK_MAIN();
