// The analysis figures of the largest signal (180 s, 48 kHz, stereo, 16 bit): one 65536-point
// level spectrum of a channel, and the statistics of both channels.
#include "bench/BenchSupport.h"
#include "core/analysis/FFT.h"
#include "core/analysis/SignalStatistics.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace {

void BM_Spectrum(benchmark::State& state) {
    const auto& s = bench::LargestToneSignal();
    const int n = static_cast<int>(state.range(0));
    std::vector<double> levels(n / 2);
    for (auto _ : state) {
        const zembrel::FFT fft(n, s.Left.data(), s.SampleCount, s.Bits,
                               zembrel::FFT::BlackmanHarris, zembrel::FFT::LevelsDb);
        fft.CopyLevels(levels.data());
        benchmark::DoNotOptimize(levels.data());
    }
}
BENCHMARK(BM_Spectrum)->Arg(1024)->Arg(32768)->Arg(65536)->Unit(benchmark::kMillisecond);

void BM_StatisticsBothChannels(benchmark::State& state) {
    const auto& s = bench::LargestToneSignal();
    for (auto _ : state) {
        const zembrel::SignalStatistics statistics(s);
        benchmark::DoNotOptimize(statistics.RMS(1));
    }
}
BENCHMARK(BM_StatisticsBothChannels)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
