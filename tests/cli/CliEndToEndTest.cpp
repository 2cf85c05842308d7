// The built zembrel-cli, one run per subcommand: the file it writes is read by sox with the
// requested format, and its spectrum, measured with the program's own analyser, holds what the
// generator was asked for.
#include "tests/cli/CliRunner.h"
#include "tests/core/TestSupport.h"
#include "tests/core/analysis/LevelRowsCheck.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <pty.h>
#include <signal.h>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <sstream>

namespace {

using clitest::Result;
using nlohmann::json;
using zembrel::test::CommandOutput;

class Cli : public ::testing::Test {
protected:
    Result Call(const std::vector<std::string>& args) { return clitest::RunCli(args, dir.Path()); }

    // Runs a generator into file name with the given format; the run must succeed silently.
    std::string Make(const std::string& name, std::vector<std::string> args) {
        const std::string file = dir.File(name);
        args.insert(args.end(), {"-o", file});
        const Result run = Call(args);
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.err, "") << "no progress bar or message when standard error is a file";
        return file;
    }

    // sox reads the file with this rate, channel count, bit depth and length in samples.
    void ExpectSoxReads(const std::string& file, int rate, int channels, int bits, long samples) {
        if (!zembrel::test::SoxPresent()) {
            ADD_FAILURE() << "sox is not installed: the test command installs it";
            return;
        }
        const auto info = [&file](const char* flag) {
            return std::stol(CommandOutput("sox --i " + std::string(flag) + " '" + file + "'"));
        };
        EXPECT_EQ(info("-r"), rate);
        EXPECT_EQ(info("-c"), channels);
        EXPECT_EQ(info("-b"), bits);
        EXPECT_EQ(info("-s"), samples);
    }

    // The analyser's levels (dB) of one channel, indexed by bin.
    std::vector<double> Levels(const std::string& file, const std::string& length,
                               const std::string& window, const std::string& channel = "left") {
        const Result run = Call({"spectrum", file, "--len", length, "--window", window, "--channel",
                                 channel, "--json"});
        EXPECT_EQ(run.status, 0) << run.err;
        std::vector<double> levels;
        const json spectrum = json::parse(run.out);
        for (const auto& bin : spectrum.at("bins")) {
            levels.push_back(bin.at(1).get<double>());
        }
        return levels;
    }

    json Stats(const std::string& file) {
        const Result run = Call({"stats", file, "--json"});
        EXPECT_EQ(run.status, 0) << run.err;
        return json::parse(run.out).at("statistics");
    }

    zembrel::test::TempDir dir;
};

// Starts zembrel-cli with its standard error on a new terminal; master is the other end.
pid_t StartOnTerminal(std::vector<std::string> args, int& master) {
    int slave = -1;
    if (openpty(&master, &slave, nullptr, nullptr, nullptr) != 0) {
        return -1;
    }
    args.insert(args.begin(), ZEMBREL_CLI_PATH);
    std::vector<char*> argv;
    for (std::string& a : args) {
        argv.push_back(a.data());
    }
    argv.push_back(nullptr);
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(slave, STDERR_FILENO);
        execv(argv[0], argv.data());
        _exit(127);
    }
    close(slave);
    return pid;
}

// What the program draws on the terminal, read until it shows until (empty: until it ends).
std::string ReadTerminal(int master, const std::string& until = "") {
    std::string shown;
    char buffer[256];
    ssize_t n;
    while ((until.empty() || shown.find(until) == std::string::npos) &&
           (n = read(master, buffer, sizeof buffer)) > 0) {
        shown.append(buffer, static_cast<std::size_t>(n));
    }
    return shown;
}

// Bins of 1 Hz: a rate of 32768 Hz analysed with 32768 points puts every whole frequency in the
// middle of its bin, so levels can be compared to a few hundredths of a dB.
const std::vector<std::string> kOneHertzBins = {"--rate", "32768", "--length", "1"};

std::vector<std::string> With(std::vector<std::string> args, const std::vector<std::string>& more) {
    args.insert(args.end(), more.begin(), more.end());
    return args;
}

TEST_F(Cli, SineSumsItsSinesAtTheirAmplitudesAndScalesThePeakToTheLevel) {
    const std::string file =
        Make("sine.wav", With({"sine", "--sine", "1000", "--sine", "3000,0.5,90", "--channels", "2",
                               "--offset", "90", "--level", "-6"},
                              kOneHertzBins));
    ExpectSoxReads(file, 32768, 2, 16, 32768);
    for (const char* channel : {"left", "right"}) {
        const auto levels = Levels(file, "32768", "blackman-harris", channel);
        EXPECT_NEAR(levels.at(3000) - levels.at(1000), 20 * std::log10(0.5), 0.02) << channel;
    }
    EXPECT_NEAR(Stats(file)[0].at("peak_dbfs").get<double>(), -6.0, 0.01);
}

TEST_F(Cli, FunctionSquareHasTheOddHarmonicsBelowHalfTheRate) {
    // 512 Hz at 8192 Hz: harmonics 1, 3, 5 and 7, on bins of 2 Hz.
    const std::string file = Make("square.wav", {"function", "--freq", "512", "--rate", "8192",
                                                 "--length", "0.5", "--norm", "20000"});
    ExpectSoxReads(file, 8192, 1, 16, 4096);
    const auto levels = Levels(file, "4096", "blackman-harris");
    for (int k : {3, 5, 7}) {
        EXPECT_NEAR(levels.at(256 * k) - levels.at(256), 20 * std::log10(1.0 / k), 0.01) << k;
    }
    EXPECT_LT(levels.at(512), levels.at(256) - 40.0) << "no even harmonic";
}

TEST_F(Cli, AmHasSidebandsAQuarterOfTheCarrierForIndexOne) {
    // Carrier 1 - m/2 = 0.5, sidebands m/4 = 0.25 each: 6.02 dB below.
    const std::string file =
        Make("am.wav", With({"am", "--carrier", "1000", "--mod", "100"}, kOneHertzBins));
    ExpectSoxReads(file, 32768, 1, 16, 32768);
    const auto levels = Levels(file, "32768", "blackman-harris");
    EXPECT_NEAR(levels.at(900) - levels.at(1000), 20 * std::log10(0.5), 0.02);
    EXPECT_NEAR(levels.at(1100) - levels.at(1000), 20 * std::log10(0.5), 0.02);
}

TEST_F(Cli, FmHasBesselSidebands) {
    const std::string file =
        Make("fm.wav",
             With({"fm", "--carrier", "4000", "--mod", "500", "--index", "1.5", "--channels", "2"},
                  kOneHertzBins));
    ExpectSoxReads(file, 32768, 2, 16, 32768);
    const auto levels = Levels(file, "32768", "blackman-harris", "right");
    const double j0 = std::cyl_bessel_j(0.0, 1.5);
    for (int k : {1, 2}) {
        EXPECT_NEAR(levels.at(4000 + 500 * k) - levels.at(4000),
                    20 * std::log10(std::cyl_bessel_j(k, 1.5) / j0), 0.05)
            << k;
    }
}

TEST_F(Cli, SweepStaysBetweenItsEdges) {
    const std::string file =
        Make("sweep.wav", {"sweep", "--start", "100", "--stop", "1000", "--type", "exp10", "--rate",
                           "48000", "--level", "-3"});
    ExpectSoxReads(file, 48000, 1, 16, 48000);
    // The whole second lies in the 65536 points: nearly all of its power between the edges.
    const auto levels = Levels(file, "65536", "blackman-harris");
    const double binWidth = 48000.0 / 65536;
    double inside = 0.0;
    double total = 0.0;
    for (std::size_t k = 0; k < levels.size(); ++k) {
        const double power = std::pow(10.0, levels.at(k) / 10.0);
        total += power;
        if (k * binWidth >= 90.0 && k * binWidth <= 1010.0) {
            inside += power;
        }
    }
    EXPECT_GT(inside / total, 0.999);
    EXPECT_NEAR(Stats(file)[0].at("peak_dbfs").get<double>(), -3.0, 0.01);
}

TEST_F(Cli, PnSinePhasesRepeatWithTheSeedThatVerboseReports) {
    const std::vector<std::string> args = {"pn-sine",  "--sine",     "1000",  "--sine",
                                           "1500,0.5", "--rate",     "22050", "--bits",
                                           "8",        "--channels", "2"};
    const std::string seven = Make("seven.wav", With(args, {"--seed", "7"}));
    ExpectSoxReads(seven, 22050, 2, 8, 22050);
    EXPECT_EQ(clitest::Slurp(Make("seven2.wav", With(args, {"--seed", "7"}))),
              clitest::Slurp(seven));
    EXPECT_NE(clitest::Slurp(Make("eight.wav", With(args, {"--seed", "8"}))),
              clitest::Slurp(seven));

    const Result clock = Call(With(args, {"--verbose", "-o", dir.File("clock.wav")}));
    ASSERT_EQ(clock.status, 0) << clock.err;
    const std::size_t at = clock.err.find("seed ");
    ASSERT_NE(at, std::string::npos) << clock.err;
    const std::string seed = std::to_string(std::stoul(clock.err.substr(at + 5)));
    EXPECT_EQ(clitest::Slurp(Make("again.wav", With(args, {"--seed", seed}))),
              clitest::Slurp(dir.File("clock.wav")));
}

TEST_F(Cli, WhiteBandIsFlatInsideAndSilentOutsideAndPipesTheSameBytes) {
    const std::vector<std::string> args = With({"white", "--band", "1000,2000,1", "--band",
                                                "5000,5010,2,0.5", "--seed", "1", "--level", "-1"},
                                               kOneHertzBins);
    const std::string file = Make("white.wav", args);
    ExpectSoxReads(file, 32768, 1, 16, 32768);
    // The rectangular window reads every line alone in its bin.
    const auto levels = Levels(file, "32768", "rectangular");
    for (int f = 1000; f <= 2000; ++f) {
        ASSERT_NEAR(levels.at(f), levels.at(1000), 0.01) << f;
    }
    EXPECT_NEAR(levels.at(5004) - levels.at(1000), 20 * std::log10(0.5), 0.01);
    EXPECT_LT(levels.at(5003), levels.at(1000) - 60.0) << "the second band steps by 2 Hz";
    EXPECT_LT(levels.at(3000), levels.at(1000) - 60.0);

    const Result piped = Call(With(args, {"-o", "-"}));
    ASSERT_EQ(piped.status, 0) << piped.err;
    EXPECT_EQ(piped.out, clitest::Slurp(file));
}

TEST_F(Cli, PinkFallsThreeDecibelsPerOctaveOnBothChannels) {
    const std::string file =
        Make("pink.wav", With({"pink", "--start", "20", "--stop", "16000", "--step", "1",
                               "--channels", "2", "--seed", "3", "--offset", "90"},
                              kOneHertzBins));
    ExpectSoxReads(file, 32768, 2, 16, 32768);
    for (const char* channel : {"left", "right"}) {
        const auto levels = Levels(file, "32768", "rectangular", channel);
        EXPECT_NEAR(levels.at(4000) - levels.at(1000), -10 * std::log10(4.0), 0.01) << channel;
        EXPECT_NEAR(levels.at(16000) - levels.at(1000), -10 * std::log10(16.0), 0.01) << channel;
    }
}

TEST_F(Cli, StatsShowsTheDialogsFiguresAndAgreesWithSox) {
    const std::string sine = Make("sine.wav", {"sine", "--sine", "1000"});
    const Result text = Call({"stats", sine});
    ASSERT_EQ(text.status, 0) << text.err;
    for (const char* figure :
         {"Max Sample Value:       32767\n", "Min Sample Value:       -32768\n",
          "DC Offset:              -0.002 %\n", "Arithmetic Mean Value:  -0.499\n",
          "Average RMS Value:      23170.2\n", "Crest Factor:           1.414\n"}) {
        EXPECT_NE(text.out.find(figure), std::string::npos) << figure << text.out;
    }

    if (!zembrel::test::SoxPresent()) {
        GTEST_SKIP() << "sox is not installed";
    }
    const std::string stereo =
        Make("stereo.wav", {"white", "--band", "100,5000,7,0.3", "--band", "7000,9000,3",
                            "--channels", "2", "--offset", "33", "--level", "-4.5", "--seed", "5"});
    const std::string eightBit =
        Make("eight.wav", {"am", "--carrier", "3000", "--mod", "50", "--index", "0.6", "--bits",
                           "8", "--level", "-7", "--rate", "11025"});
    for (const std::string& file : {sine, stereo, eightBit}) {
        const json ours = Stats(file);
        std::istringstream sox(CommandOutput("sox '" + file + "' -n stats 2>&1"));
        std::string line;
        int found = 0;
        while (std::getline(sox, line)) {
            for (const auto& [label, key] :
                 {std::pair{"Pk lev dB", "peak_dbfs"}, std::pair{"RMS lev dB", "rms_dbfs"}}) {
                if (line.rfind(label, 0) != 0) {
                    continue;
                }
                ++found;
                // Columns: overall, then each channel of a stereo file.
                std::istringstream values(line.substr(std::string(label).size()));
                std::vector<double> columns{std::istream_iterator<double>(values), {}};
                ASSERT_EQ(columns.size(), ours.size() == 1 ? 1u : 3u) << line;
                for (std::size_t c = 0; c < ours.size(); ++c) {
                    EXPECT_NEAR(ours[c].at(key).get<double>(),
                                columns[ours.size() == 1 ? 0 : c + 1], 0.01)
                        << file << " " << key;
                }
            }
        }
        EXPECT_EQ(found, 2) << "sox stats gave no peak or RMS level for " << file;
    }
}

TEST_F(Cli, SpectrumWritesOneRowPerBinInEveryFormat) {
    const std::string file = Make("tone.wav", {"sine", "--sine", "440", "--rate", "8000"});
    const Result csv = Call({"spectrum", file, "--len", "1024", "--csv"});
    const Result tabs = Call({"spectrum", file, "--len", "1024"});
    const Result js = Call({"spectrum", file, "--len", "1024", "--json"});
    ASSERT_EQ(csv.status + tabs.status + js.status, 0) << csv.err << tabs.err << js.err;

    const json bins = json::parse(js.out).at("bins");
    ASSERT_EQ(bins.size(), 512u);
    std::vector<double> levels;
    for (const json& bin : bins) {
        EXPECT_EQ(bin[0].get<double>(),
                  zembrel::BinFrequency(8000.0, 1024, static_cast<int>(levels.size())));
        levels.push_back(bin[1].get<double>());
    }
    // Every format carries the same doubles, written so that they read back exactly.
    zembrel::test::ExpectSpectrumRows(csv.out, ',', true, 8000.0, 1024, levels);
    std::string asTabs = csv.out.substr(csv.out.find('\n') + 1);
    std::replace(asTabs.begin(), asTabs.end(), ',', '\t');
    EXPECT_EQ(tabs.out, asTabs);
    EXPECT_EQ(bins[0][0].get<double>(), 0.0);
    EXPECT_EQ(bins[511][0].get<double>(), 4000.0 - 8000.0 / 1024);
}

TEST_F(Cli, CtrlCStopsTheCalculationAndWritesNothing) {
    // Forty million lines: seconds of work, with a stop check before each line. Ctrl+C comes
    // once the calculation has reported progress.
    int terminal = -1;
    const pid_t pid = StartOnTerminal(
        {"white", "--band", "1,4000,0.0001", "--rate", "8000", "-o", dir.File("long.wav")},
        terminal);
    ASSERT_GT(pid, 0);
    std::string shown = ReadTerminal(terminal, "%");
    kill(pid, SIGINT);
    shown += ReadTerminal(terminal);
    close(terminal);
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status) << ": " << shown;
    EXPECT_EQ(WEXITSTATUS(status), 130) << shown;
    EXPECT_NE(shown.find("%\r\033[Kzembrel-cli white: interrupted, nothing written"),
              std::string::npos)
        << shown;
    EXPECT_TRUE(std::filesystem::is_empty(dir.Path())) << "neither the file nor a partial one";
}

TEST_F(Cli, ProgressIsDrawnOnlyOnATerminal) {
    int master = -1;
    const pid_t pid =
        StartOnTerminal({"function", "--freq", "100", "-o", dir.File("f.wav")}, master);
    ASSERT_GT(pid, 0);
    const std::string shown = ReadTerminal(master);
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    close(master);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << shown;
    EXPECT_NE(shown.find("100%"), std::string::npos) << shown;
    EXPECT_EQ(shown.substr(shown.size() - 4), "\r\033[K") << "the bar is removed at the end";
}

TEST_F(Cli, FailedWriteIsReportedWithStatusThree) {
    const std::string target = dir.File("missing/out.wav");
    const Result run = Call({"sine", "--sine", "1000", "-o", target});
    EXPECT_EQ(run.status, 3);
    EXPECT_EQ(clitest::FirstLine(run.err), "zembrel-cli sine: cannot write " + target +
                                               ": cannot create file: No such file or directory");
}

TEST_F(Cli, VersionAndHelp) {
    const Result version = Call({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, "1.74\n");
    for (const char* command : {"sine", "function", "am", "fm", "sweep", "pn-sine", "white", "pink",
                                "stats", "spectrum"}) {
        const Result help = Call({command, "--help"});
        EXPECT_EQ(help.status, 0) << command;
        EXPECT_NE(help.out.find(std::string("zembrel-cli ") + command), std::string::npos);
    }
}

} // namespace
