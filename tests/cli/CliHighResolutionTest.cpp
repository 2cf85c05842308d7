// zembrel-cli beyond the desktop program's formats: every sample format and container it
// writes is read by sox with the same format, and sox's peak and RMS agree with stats.
#include "tests/cli/CliRunner.h"
#include "tests/core/TestSupport.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

#include <sstream>
#include <string>
#include <vector>

namespace {

using nlohmann::json;
using zembrel::test::CommandOutput;

struct Written {
    const char* name;
    const char* bits;
    const char* file;
    int channels;
    int soxBits; // what sox --i -b reports
    const char* soxEncoding;
};

std::ostream& operator<<(std::ostream& out, const Written& w) {
    return out << w.name;
}

// A figure of sox stats' table: the column of the channel (0: overall).
double SoxStat(const std::string& table, const std::string& row, int column) {
    std::istringstream lines(table);
    std::string line;
    while (std::getline(lines, line)) {
        if (line.rfind(row, 0) == 0) {
            std::istringstream fields(line.substr(row.size()));
            double v = 0.0;
            for (int i = 0; i <= column; ++i) {
                fields >> v;
            }
            return v;
        }
    }
    ADD_FAILURE() << "no row " << row << " in\n" << table;
    return 0.0;
}

class CliWrites : public ::testing::TestWithParam<Written> {};

TEST_P(CliWrites, WhatSoxReadsAndMeasuresAlike) {
    if (!zembrel::test::SoxPresent()) {
        GTEST_SKIP() << "sox is not installed";
    }
    const Written& w = GetParam();
    zembrel::test::TempDir dir;
    const std::string file = dir.File(w.file);
    const clitest::Result run =
        clitest::RunCli({"sine", "--sine", "997", "--sine", "3001,0.3", "--level", "-6.5", "--bits",
                         w.bits, "--rate", "96000", "--length", "0.5", "--channels",
                         std::to_string(w.channels), "-o", file},
                        dir.Path());
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    const std::string q = " '" + file + "'";
    EXPECT_EQ(CommandOutput("sox --i -r" + q), "96000\n");
    EXPECT_EQ(CommandOutput("sox --i -c" + q), std::to_string(w.channels) + "\n");
    EXPECT_EQ(CommandOutput("sox --i -b" + q), std::to_string(w.soxBits) + "\n");
    EXPECT_EQ(CommandOutput("sox --i -s" + q), "48000\n");
    EXPECT_EQ(CommandOutput("sox --i -e" + q), std::string(w.soxEncoding) + "\n");

    const clitest::Result stats = clitest::RunCli({"stats", "--json", file}, dir.Path());
    ASSERT_EQ(stats.status, 0) << stats.err;
    const json ours = json::parse(stats.out);
    EXPECT_EQ(ours.at("frames"), 48000);
    EXPECT_EQ(ours.at("float"), std::string(w.bits).back() == 'f');
    const std::string sox = CommandOutput("sox" + q + " -n stats 2>&1");
    for (int c = 0; c < w.channels; ++c) {
        const json& figures = ours.at("statistics").at(c);
        const int column = w.channels == 1 ? 0 : c + 1;
        EXPECT_NEAR(figures.at("peak_dbfs").get<double>(), SoxStat(sox, "Pk lev dB", column), 0.01);
        EXPECT_NEAR(figures.at("rms_dbfs").get<double>(), SoxStat(sox, "RMS lev dB", column), 0.01);
        // The level asked for, within the format's resolution.
        EXPECT_NEAR(figures.at("peak_dbfs").get<double>(), -6.5, w.soxBits == 8 ? 0.2 : 0.01);
    }
}

const Written kWritten[] = {
    {"Pcm8Dialog", "8", "a.wav", 1, 8, "Unsigned Integer PCM"},
    {"Pcm16Stereo", "16", "a.wav", 2, 16, "Signed Integer PCM"},
    {"Pcm24Stereo", "24", "a.wav", 2, 24, "Signed Integer PCM"},
    {"Pcm32Mono", "32", "a.wav", 1, 32, "Signed Integer PCM"},
    {"Float32Stereo", "32f", "a.wav", 2, 32, "Floating Point PCM"},
    {"Float64Mono", "64f", "a.wav", 1, 64, "Floating Point PCM"},
    {"Flac16Mono", "16", "a.flac", 1, 16, "FLAC"},
    {"Flac24Stereo", "24", "a.FLAC", 2, 24, "FLAC"},
};

INSTANTIATE_TEST_SUITE_P(Formats, CliWrites, ::testing::ValuesIn(kWritten),
                         [](const auto& info) { return std::string(info.param.name); });

// A 997 Hz sine at -100 dBFS peak keeps its level in 24 bit: RMS 3.01 dB below the peak, in
// stats and in sox.
TEST(CliHighResolution, QuietSineIn24BitReadsItsLevel) {
    if (!zembrel::test::SoxPresent()) {
        GTEST_SKIP() << "sox is not installed";
    }
    zembrel::test::TempDir dir;
    const std::string file = dir.File("q.wav");
    ASSERT_EQ(clitest::RunCli({"sine", "--sine", "997", "--level", "-100", "--bits", "24", "--rate",
                               "96000", "-o", file},
                              dir.Path())
                  .status,
              0);
    const clitest::Result stats = clitest::RunCli({"stats", "--json", file}, dir.Path());
    const double rms = json::parse(stats.out).at("statistics").at(0).at("rms_dbfs");
    EXPECT_NEAR(rms, -103.01, 0.05);
    EXPECT_NEAR(SoxStat(CommandOutput("sox '" + file + "' -n stats 2>&1"), "RMS lev dB", 0),
                -103.01, 0.05);
}

// Refusals name the limit at the run's rate.
TEST(CliHighResolution, FrequencyLimitsNameTheirFigure) {
    zembrel::test::TempDir dir;
    const clitest::Result at44 =
        clitest::RunCli({"sine", "--sine", "30000", "-o", dir.File("a.wav")}, dir.Path());
    EXPECT_EQ(at44.status, 2);
    EXPECT_NE(at44.err.find("0 < f <= 22050 Hz"), std::string::npos) << at44.err;
    EXPECT_EQ(at44.err.find("fs/2"), std::string::npos) << at44.err;
}

// Binary output never goes to a terminal.
TEST(CliHighResolution, StandardOutputRefusesATerminal) {
    int master = -1;
    int slave = -1;
    ASSERT_EQ(openpty(&master, &slave, nullptr, nullptr, nullptr), 0);
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(slave, STDOUT_FILENO);
        dup2(slave, STDERR_FILENO);
        execl(ZEMBREL_CLI_PATH, ZEMBREL_CLI_PATH, "sine", "--sine", "100", "--bits", "24", "-o",
              "-", static_cast<char*>(nullptr));
        _exit(127);
    }
    close(slave);
    std::string shown;
    char buffer[256];
    ssize_t n;
    while ((n = read(master, buffer, sizeof buffer)) > 0) {
        shown.append(buffer, static_cast<std::size_t>(n));
    }
    int status = 0;
    waitpid(pid, &status, 0);
    close(master);
    EXPECT_EQ(WEXITSTATUS(status), 2);
    EXPECT_NE(shown.find("standard output is a terminal"), std::string::npos) << shown;
}

} // namespace
