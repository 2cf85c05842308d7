// The function generator's per-sample method: one pass over the signal per harmonic. A 10 Hz
// wave over 10 s at 44100 Hz in stereo needs 1103 harmonics (square) or 2205 (sawtooth).
#include "bench/BenchSupport.h"
#include "core/generators/CalculationProtocol.h"
#include "core/generators/FunctionGenerator.h"
#include "core/signal/SignalBase.h"

#include <benchmark/benchmark.h>

namespace {

using bench::Silent;

void BM_FunctionGenerator(benchmark::State& state) {
    const auto waveform = static_cast<zembrel::Waveform>(state.range(0));
    zembrel::SignalBase signal(44100.0, 10.0, 16, 32768, 2);
    Silent observer;
    int progress = 0;
    for (auto _ : state) {
        signal.Clear();
        zembrel::RunFunctionGenerator(signal, waveform, 10.0, 0.0, 0.0, progress, observer);
        benchmark::DoNotOptimize(signal.Left.data());
    }
    state.counters["harmonics"] =
        static_cast<double>(zembrel::FourierHarmonics(waveform, 10.0, 44100.0).size());
}

BENCHMARK(BM_FunctionGenerator)
    ->Arg(static_cast<int>(zembrel::Waveform::Square))
    ->Arg(static_cast<int>(zembrel::Waveform::Sawtooth))
    ->Unit(benchmark::kSecond)
    ->Iterations(1);

} // namespace

BENCHMARK_MAIN();
