// Peak memory of generator runs on the largest signal (180 s, 48 kHz, stereo: 138,240,000 bytes
// of samples), synthesis plus FinishSignal. Each case runs in a child process: the peak resident
// set (VmHWM, reset through /proc/self/clear_refs once the signal exists) minus the resident set
// before the signal was made, divided by the signal's sample storage. Everything counts: the
// signal, line tables, transform buffers and plans, worker threads.
//
//     zembrel_bench_core_generator_memory [case-name-part]
#include "bench/BenchSupport.h"
#include "core/generators/CalculationProtocol.h"
#include "core/generators/EnvelopGenerator.h"
#include "core/generators/FinishSignal.h"
#include "core/generators/FrequencyModulationGenerator.h"
#include "core/generators/FrequencySweepGenerator.h"
#include "core/generators/FunctionGenerator.h"
#include "core/generators/NoiseGenerator.h"
#include "core/generators/PseudoNoiseList.h"
#include "core/generators/SineGenerator.h"
#include "core/signal/SignalBase.h"

#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

namespace {

using bench::Silent;

// A field of /proc/self/status in bytes.
long long StatusBytes(const char* field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    const std::size_t length = std::strlen(field);
    while (std::getline(status, line)) {
        if (line.compare(0, length, field) == 0 && line[length] == ':') {
            return std::stoll(line.substr(length + 1)) * 1024;
        }
    }
    return -1;
}

bool ResetPeak() {
    std::ofstream clear("/proc/self/clear_refs");
    clear << "5";
    return static_cast<bool>(clear.flush());
}

using Run = std::function<void(zembrel::SignalBase&)>;

struct Case {
    const char* name;
    Run run;
};

void Noise(zembrel::SignalBase& s, double start, double stop, double step, zembrel::NoiseMode mode,
           zembrel::SynthesisMethod method = zembrel::SynthesisMethod::Automatic) {
    Silent observer;
    int progress = 0;
    zembrel::RunNoiseBand(s, start, stop, step, 1.0, 0.0, mode, progress, observer, method);
}

void Function(zembrel::SignalBase& s, zembrel::Waveform waveform, double frequency) {
    Silent observer;
    int progress = 0;
    zembrel::RunFunctionGenerator(s, waveform, frequency, 0.0, 90.0, progress, observer);
}

std::vector<std::vector<double>> CombRecords(double first, double step, int count) {
    std::vector<std::vector<double>> records;
    for (int m = 0; m < count; ++m) {
        records.push_back({first + m * step, 1.0});
    }
    return records;
}

const std::vector<Case>& Cases() {
    using zembrel::NoiseMode;
    using zembrel::Waveform;
    static const std::vector<Case> cases = {
        {"sine", [](auto& s) { zembrel::SineGenerator(s, 1000.0, 1.0, 0.0, 90.0); }},
        {"square 10 Hz (2400 harmonics, periodic)",
         [](auto& s) { Function(s, Waveform::Square, 10.0); }},
        {"sawtooth 1001 Hz (chirp)", [](auto& s) { Function(s, Waveform::Sawtooth, 1001.0); }},
        {"triangle 5 kHz (per sample)", [](auto& s) { Function(s, Waveform::Triangle, 5000.0); }},
        {"pink 20..20000 Hz step 1 Hz (periodic)",
         [](auto& s) { Noise(s, 20.0, 20000.0, 1.0, NoiseMode::Pink); }},
        {"white 100..200 Hz step 0.001 Hz (100,001 lines, chirp)",
         [](auto& s) { Noise(s, 100.0, 200.0, 0.001, NoiseMode::White); }},
        {"white 20..2000 Hz step 0.01 Hz (period 4.8 M samples: chirp)",
         [](auto& s) { Noise(s, 20.0, 2000.0, 0.01, NoiseMode::White); }},
        {"white 100..1000 Hz step 0.001 Hz (900,001 lines, two batches)",
         [](auto& s) { Noise(s, 100.0, 1000.0, 0.001, NoiseMode::White); }},
        {"white 1000..1004 Hz step 1 Hz (per sample)",
         [](auto& s) { Noise(s, 1000.0, 1004.0, 1.0, NoiseMode::White); }},
        {"pn-phase list 10,000 records on a comb",
         [](auto& s) { zembrel::AddPseudoNoiseList(s, CombRecords(50.0, 2.0, 10000)); }},
        {"amplitude modulation",
         [](auto& s) {
             zembrel::SineGenerator(s, 1000.0, 1.0, 0.0);
             zembrel::EnvelopGenerator(s, 10.0, 0.8, 0.0, 90.0);
         }},
        {"frequency modulation",
         [](auto& s) { zembrel::FrequencyModulationGenerator(s, 1000.0, 10.0, 5.0); }},
        {"frequency sweep", [](auto& s) { zembrel::FrequencySweepGenerator(s, 20.0, 24000.0, 2); }},
    };
    return cases;
}

// In the child: make the signal, run, scale, report one line.
[[noreturn]] void Measure(const Case& c) {
    const long long before = StatusBytes("VmRSS");
    zembrel::SignalBase signal(48000.0, 180.0, 16, 32768, 2);
    const double storage = static_cast<double>(signal.SampleCount) * signal.Channels * 8.0;
    if (!ResetPeak()) {
        std::printf("%-66s cannot reset the peak (/proc/self/clear_refs)\n", c.name);
        std::_Exit(1);
    }
    const auto start = std::chrono::steady_clock::now();
    c.run(signal);
    zembrel::FinishSignal(signal, 0.0);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const long long peak = StatusBytes("VmHWM");
    std::printf("%-66s %7.3f s  peak %7.1f MiB  = %.2f x signal\n", c.name, seconds,
                static_cast<double>(peak - before) / (1 << 20),
                static_cast<double>(peak - before) / storage);
    std::fflush(stdout);
    std::_Exit(0);
}

} // namespace

int main(int argc, char** argv) {
    const std::string filter = argc > 1 ? argv[1] : "";
    int failures = 0;
    for (const Case& c : Cases()) {
        if (std::string(c.name).find(filter) == std::string::npos) {
            continue;
        }
        const pid_t child = fork();
        if (child == 0) {
            Measure(c);
        }
        int status = 0;
        waitpid(child, &status, 0);
        failures += !(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    return failures == 0 ? 0 : 1;
}
