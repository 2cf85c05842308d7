// The synthesis of the three modulation generators alone, on the largest signal (180 s, 48 kHz,
// stereo): what OK costs before scaling, the playback file and the redraw.
#include "core/generators/EnvelopGenerator.h"
#include "core/generators/FrequencyModulationGenerator.h"
#include "core/generators/FrequencySweepGenerator.h"
#include "core/generators/SineGenerator.h"
#include "core/signal/SignalBase.h"

#include <benchmark/benchmark.h>

namespace {

zembrel::SignalBase& Largest() {
    static zembrel::SignalBase signal(48000.0, 180.0, 16, 32768, 2);
    return signal;
}

void BM_AmplitudeModulation(benchmark::State& state) {
    zembrel::SignalBase& signal = Largest();
    for (auto _ : state) {
        signal.Clear();
        zembrel::SineGenerator(signal, 1000.0, 1.0, 0.0);
        zembrel::EnvelopGenerator(signal, 10.0, 0.8, 0.0, 90.0);
        benchmark::DoNotOptimize(signal.Left.data());
    }
}

void BM_FrequencyModulation(benchmark::State& state) {
    zembrel::SignalBase& signal = Largest();
    for (auto _ : state) {
        zembrel::FrequencyModulationGenerator(signal, 1000.0, 10.0, 5.0);
        benchmark::DoNotOptimize(signal.Left.data());
    }
}

void BM_FrequencySweep(benchmark::State& state) {
    zembrel::SignalBase& signal = Largest();
    const int characteristic = static_cast<int>(state.range(0));
    for (auto _ : state) {
        zembrel::FrequencySweepGenerator(signal, 20.0, 24000.0, characteristic);
        benchmark::DoNotOptimize(signal.Left.data());
    }
}

BENCHMARK(BM_AmplitudeModulation)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_FrequencyModulation)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_FrequencySweep)->DenseRange(0, 5)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

BENCHMARK_MAIN();
