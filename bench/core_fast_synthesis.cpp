// What the user waits for after OK (synthesis plus level scaling), with the FFT engine and with
// the per-sample reference, and the same work done by sox for comparison (our file write
// included there, since sox writes a file too). The reference is timed on a shorter signal
// where noted; its cost is linear in the length.
#include "bench/BenchSupport.h"
#include "core/generators/CalculationProtocol.h"
#include "core/generators/FinishSignal.h"
#include "core/generators/FunctionGenerator.h"
#include "core/generators/NoiseGenerator.h"
#include "core/generators/PseudoNoiseList.h"
#include "core/signal/SignalBase.h"
#include "core/signal/WavFileWrite.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <vector>

namespace {

using zembrel::SignalBase;
using zembrel::SynthesisMethod;

using bench::Silent;

std::string TempWav(const char* name) {
    return (std::filesystem::temp_directory_path() / name).string();
}

void Pink(benchmark::State& state, double duration, SynthesisMethod method, bool write) {
    SignalBase s(44100.0, duration, 16, 32768, 2);
    Silent observer;
    int progress = 0;
    for (auto _ : state) {
        s.Clear();
        zembrel::RunNoiseBand(s, 20.0, 20000.0, 1.0, 0.0, 0.0, zembrel::NoiseMode::Pink, progress,
                              observer, method);
        zembrel::FinishSignal(s, 0.0);
        if (write) {
            zembrel::WavFileWrite(TempWav("zembrel-bench-pink.wav"), ".wav", s);
        }
    }
}

void Function(benchmark::State& state, zembrel::Waveform w, double f, double rate, double duration,
              SynthesisMethod method, bool write) {
    SignalBase s(rate, duration, 16, 32768, 2);
    Silent observer;
    int progress = 0;
    for (auto _ : state) {
        s.Clear();
        zembrel::RunFunctionGenerator(s, w, f, 0.0, 0.0, progress, observer, method);
        zembrel::FinishSignal(s, 0.0);
        if (write) {
            zembrel::WavFileWrite(TempWav("zembrel-bench-function.wav"), ".wav", s);
        }
    }
}

void WhiteBand(benchmark::State& state, double duration, SynthesisMethod method) {
    SignalBase s(44100.0, duration, 16, 32768, 1);
    Silent observer;
    int progress = 0;
    for (auto _ : state) {
        s.Clear();
        zembrel::RunNoiseBand(s, 100.0, 200.0, 0.001, 1.0, 0.0, zembrel::NoiseMode::White, progress,
                              observer, method);
        zembrel::FinishSignal(s, 0.0);
    }
}

// A pn-phase list as a file would hold it: 20 ... 20000 Hz in 1 Hz steps, pink amplitudes.
void PnList(benchmark::State& state, double duration, SynthesisMethod method) {
    std::vector<std::vector<double>> records;
    for (int f = 20; f <= 20000; ++f) {
        records.push_back({static_cast<double>(f), 1.0 / std::sqrt(f)});
    }
    SignalBase s(44100.0, duration, 16, 32768, 2);
    for (auto _ : state) {
        s.Clear();
        zembrel::AddPseudoNoiseList(s, records, method);
        zembrel::FinishSignal(s, 0.0);
    }
}

void Sox(benchmark::State& state, const std::string& args) {
    const std::string command = "sox -n " + args + " 2>/dev/null";
    for (auto _ : state) {
        if (std::system(command.c_str()) != 0) {
            state.SkipWithError("sox failed or is not installed");
            break;
        }
    }
}

constexpr auto kFast = SynthesisMethod::Automatic;
constexpr auto kReference = SynthesisMethod::PerSample;
constexpr auto kSquare = zembrel::Waveform::Square;
constexpr auto kSawtooth = zembrel::Waveform::Sawtooth;

BENCHMARK_CAPTURE(Pink, fast_10s, 10.0, kFast, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Pink, reference_0_1s, 0.1, kReference, false)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);
BENCHMARK_CAPTURE(Pink, fast_10s_with_file, 10.0, kFast, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Sox, pinknoise_10s,
                  "-r 44100 -c 2 -b 16 " + TempWav("zembrel-sox.wav") + " synth 10 pinknoise")
    ->Unit(benchmark::kMillisecond);

BENCHMARK_CAPTURE(Function, square10_fast_60s, kSquare, 10.0, 48000.0, 60.0, kFast, false)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Function, square10_reference_1s, kSquare, 10.0, 48000.0, 1.0, kReference, false)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);
BENCHMARK_CAPTURE(Function, square10_fast_60s_with_file, kSquare, 10.0, 48000.0, 60.0, kFast, true)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Sox, square10_60s,
                  "-r 48000 -c 2 -b 16 " + TempWav("zembrel-sox.wav") + " synth 60 square 10")
    ->Unit(benchmark::kMillisecond);

BENCHMARK_CAPTURE(Function, saw1001_fast_180s, kSawtooth, 1001.0, 48000.0, 180.0, kFast, false)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Function, saw1001_reference_180s, kSawtooth, 1001.0, 48000.0, 180.0, kReference,
                  false)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

BENCHMARK_CAPTURE(WhiteBand, fast_100001_lines_1s, 1.0, kFast)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(WhiteBand, reference_100001_lines_0_01s, 0.01, kReference)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

BENCHMARK_CAPTURE(PnList, fast_19981_records_10s, 10.0, kFast)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(PnList, reference_19981_records_0_1s, 0.1, kReference)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

} // namespace

BENCHMARK_MAIN();
