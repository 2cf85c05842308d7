// Speed and peak memory of the whole-signal operations on the largest signal the program allows:
// 180 s, 48 kHz, stereo, 16 bit (34,560,044 bytes as a file, 2 x 69,120,000 bytes in memory).
// Memory is counted by replacing the global allocator and observing the large sample blocks:
// "extra_copies" is the peak of heap bytes allocated during one operation beyond what existed
// before it, in units of the signal's size.
#include "core/generators/FinishSignal.h"
#include "core/generators/SineGenerator.h"
#include "core/signal/SignalBase.h"
#include "core/signal/WavFileRead.h"
#include "core/signal/WavFileWrite.h"

#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <new>

namespace {

std::atomic<std::size_t> gCurrent{0};
std::atomic<std::size_t> gPeak{0};

struct Header {
    std::size_t size;
    std::size_t pad;
};

void Track(long long delta) {
    const std::size_t now = gCurrent += static_cast<std::size_t>(delta);
    std::size_t peak = gPeak.load();
    while (now > peak && !gPeak.compare_exchange_weak(peak, now)) {
    }
}

} // namespace

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

void* operator new(std::size_t n) {
    auto* h = static_cast<Header*>(std::malloc(n + sizeof(Header)));
    if (!h) {
        throw std::bad_alloc();
    }
    h->size = n;
    Track(static_cast<long long>(n));
    return h + 1;
}

void operator delete(void* p) noexcept {
    if (p) {
        auto* h = static_cast<Header*>(p) - 1;
        Track(-static_cast<long long>(h->size));
        std::free(h);
    }
}

void operator delete(void* p, std::size_t) noexcept {
    operator delete(p);
}

namespace {

using zembrel::SignalBase;

const bool kObserving = (zembrel::detail::SetLargeBlockObserver(Track), true);

SignalBase LargestSignal() {
    SignalBase s(48000.0, 180.0, 16, 32768, 2);
    zembrel::SineGenerator(s, 1000.0, 1.0, 0.0, 90.0);
    zembrel::FinishSignal(s, -1.0);
    return s;
}

const std::string& FilePath() {
    static const std::string path =
        (std::filesystem::temp_directory_path() / "zembrel-bench-largest.wav").string();
    return path;
}

double SignalBytes(const SignalBase& s) {
    return 2.0 * s.SampleCount * sizeof(double);
}

void ReportPeak(benchmark::State& state, std::size_t before, double signalBytes) {
    state.counters["extra_copies"] = (static_cast<double>(gPeak.load()) - before) / signalBytes;
}

void BM_WriteLargest(benchmark::State& state) {
    const SignalBase s = LargestSignal();
    for (auto _ : state) {
        const std::size_t before = gCurrent.load();
        gPeak = before;
        zembrel::WavFileWrite(FilePath(), ".wav", s);
        ReportPeak(state, before, SignalBytes(s));
    }
    state.SetBytesProcessed(state.iterations() * 34560044LL);
}

void BM_ReadLargest(benchmark::State& state) {
    const SignalBase source = LargestSignal();
    zembrel::WavFileWrite(FilePath(), ".wav", source);
    const double bytes = SignalBytes(source);
    for (auto _ : state) {
        const std::size_t before = gCurrent.load();
        gPeak = before;
        zembrel::WavFileRead reader(FilePath());
        SignalBase loaded(reader);
        benchmark::DoNotOptimize(loaded.Left.data());
        ReportPeak(state, before + static_cast<std::size_t>(bytes), bytes);
    }
    state.SetBytesProcessed(state.iterations() * 34560044LL);
}

// The reader alone, into arrays whose pages are already in use: the I/O and conversion part
// of a load without the cost of fresh memory.
void BM_ReadSamplesIntoUsedArrays(benchmark::State& state) {
    const SignalBase source = LargestSignal();
    zembrel::WavFileWrite(FilePath(), ".wav", source);
    SignalBase target = source;
    for (auto _ : state) {
        zembrel::WavFileRead reader(FilePath());
        reader.ReadSamples(target.Left.data(), target.Right.data());
        benchmark::DoNotOptimize(target.Left.data());
    }
}

// Zero-filled arrays of the largest signal: the part of a load that is only fresh memory.
void BM_AllocateLargest(benchmark::State& state) {
    for (auto _ : state) {
        SignalBase s(48000.0, 180.0, 16, 32768, 2);
        benchmark::DoNotOptimize(s.Left.data());
    }
}

void BM_FinishSignalLargest(benchmark::State& state) {
    SignalBase s(48000.0, 180.0, 16, 32768, 2);
    zembrel::SineGenerator(s, 1000.0, 1.0, 0.0, 90.0);
    const SignalBase raw = s;
    for (auto _ : state) {
        state.PauseTiming();
        s = raw;
        const std::size_t before = gCurrent.load();
        gPeak = before;
        state.ResumeTiming();
        zembrel::FinishSignal(s, -1.0);
        ReportPeak(state, before, SignalBytes(s));
    }
}

BENCHMARK(BM_WriteLargest)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_ReadLargest)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_ReadSamplesIntoUsedArrays)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_AllocateLargest)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_FinishSignalLargest)->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace

BENCHMARK_MAIN();
