// zembrel-cli as a whole process against sox making the same file, in one run: every iteration
// starts both programs one after the other (output files removed first, so neither replaces an
// old file) and times each from spawn to exit. The counters are medians over the iterations:
// zembrel_ms, sox_ms and their ratio. The start-up benchmark times `zembrel-cli --version`
// beside /bin/true, the cost of starting any process here.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

namespace fs = std::filesystem;

// Seconds from spawn to exit; negative when the program could not run or failed.
double TimeProcess(const std::vector<std::string>& args) {
    std::vector<char*> argv;
    for (const std::string& a : args) {
        argv.push_back(const_cast<char*>(a.c_str()));
    }
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    const int spawned = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        return -1.0;
    }
    int status = 0;
    waitpid(pid, &status, 0);
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? elapsed.count() : -1.0;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0.0 : values[values.size() / 2];
}

fs::path OutputFolder() {
    const fs::path folder =
        fs::temp_directory_path() / ("zembrel-bench-" + std::to_string(getpid()));
    fs::create_directories(folder);
    return folder;
}

// Runs ours and theirs alternately; the manual time of an iteration is ours.
void Compare(benchmark::State& state, std::vector<std::string> ours,
             std::vector<std::string> theirs) {
    const fs::path folder = OutputFolder();
    const std::string ourFile = (folder / "zembrel.wav").string();
    const std::string theirFile = (folder / "sox.wav").string();
    ours.insert(ours.begin(), ZEMBREL_CLI_PATH);
    ours.insert(ours.end(), {"-o", ourFile});
    // sox -n <format of the output> <output> synth ...
    theirs.insert(std::find(theirs.begin(), theirs.end(), "synth"), theirFile);
    theirs.insert(theirs.begin(), {"sox", "-n"});
    std::vector<double> ourTimes;
    std::vector<double> theirTimes;
    for (auto _ : state) {
        fs::remove(ourFile);
        fs::remove(theirFile);
        const double t1 = TimeProcess(ours);
        const double t2 = TimeProcess(theirs);
        if (t1 < 0.0 || t2 < 0.0) {
            state.SkipWithError(t1 < 0.0 ? "zembrel-cli failed" : "sox failed (installed?)");
            break;
        }
        state.SetIterationTime(t1);
        ourTimes.push_back(t1);
        theirTimes.push_back(t2);
    }
    fs::remove_all(folder);
    const double ourMedian = Median(ourTimes);
    const double theirMedian = Median(theirTimes);
    state.counters["zembrel_ms"] = ourMedian * 1e3;
    state.counters["sox_ms"] = theirMedian * 1e3;
    state.counters["ratio"] = theirMedian > 0.0 ? ourMedian / theirMedian : 0.0;
}

// 19,981 lines of 1/sqrt(f) from 20 Hz to 20 kHz, 10 s of 44.1 kHz stereo.
void BM_PinkNoise(benchmark::State& state) {
    Compare(state,
            {"pink", "--start", "20", "--stop", "20000", "--step", "1", "--length", "10", "--rate",
             "44100", "--channels", "2", "--seed", "1"},
            {"-r", "44100", "-c", "2", "synth", "10", "pinknoise"});
}
BENCHMARK(BM_PinkNoise)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(15);

// A band-limited 10 Hz square (1,200 harmonics) against sox's aliasing one, 60 s of 48 kHz
// stereo.
void BM_Square10Hz(benchmark::State& state) {
    Compare(state,
            {"function", "--shape", "square", "--freq", "10", "--length", "60", "--rate", "48000",
             "--channels", "2"},
            {"-r", "48000", "-c", "2", "synth", "60", "square", "10"});
}
BENCHMARK(BM_Square10Hz)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(15);

void BM_StartUp(benchmark::State& state) {
    std::vector<double> ours;
    std::vector<double> empty;
    for (auto _ : state) {
        const double t1 = TimeProcess({ZEMBREL_CLI_PATH, "--version"});
        const double t2 = TimeProcess({"/bin/true"});
        if (t1 < 0.0 || t2 < 0.0) {
            state.SkipWithError("a process failed");
            break;
        }
        state.SetIterationTime(t1);
        ours.push_back(t1);
        empty.push_back(t2);
    }
    state.counters["version_ms"] = Median(ours) * 1e3;
    state.counters["true_ms"] = Median(empty) * 1e3;
}
BENCHMARK(BM_StartUp)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(50);

} // namespace

BENCHMARK_MAIN();
