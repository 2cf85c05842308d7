#include "tests/cli/CliRunner.h"
#include "tests/core/TestSupport.h"

#include <nlohmann/json.hpp>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace {

using clitest::RunCli;
using zembrel::test::TempDir;

// The sweep both tests below deconvolve, with its parameters kept as JSON.
void MakeSweep(const TempDir& dir, const std::vector<std::string>& extra = {}) {
    std::vector<std::string> args = {"sync-sweep",
                                     "--start",
                                     "20",
                                     "--stop",
                                     "20000",
                                     "--length",
                                     "2",
                                     "--pre",
                                     "0.2",
                                     "--level",
                                     "-3",
                                     "-o",
                                     dir.File("sweep.wav"),
                                     "--json"};
    args.insert(args.end(), extra.begin(), extra.end());
    const clitest::Result run = RunCli(args, dir.Path());
    ASSERT_EQ(run.status, 0) << run.err;
    zembrel::test::WriteText(dir.File("sweep.json"), run.out);
}

// The 16-bit sweep deconvolved by its own parameters: a wire, flat and without latency, every
// file written with the column names scripts rely on.
TEST(CliMeasure, SweepDeconvolvedByItsParametersIsAWire) {
    const TempDir dir;
    MakeSweep(dir);
    const clitest::Result run =
        RunCli({"deconvolve", dir.File("sweep.wav"), "--sweep-json", dir.File("sweep.json"), "--ir",
                dir.File("ir.wav"), "--response", dir.File("r.csv"), "--distortion",
                dir.File("d.csv"), "--json"},
               dir.Path());
    ASSERT_EQ(run.status, 0) << run.err;
    const auto json = nlohmann::json::parse(run.out);
    EXPECT_EQ(json["latency_samples"], 0);
    EXPECT_FALSE(json["clipped"].get<bool>());
    for (const auto& row : json["response"]) {
        if (row["frequency_hz"] >= 40.0 && row["frequency_hz"] <= 10000.0) {
            EXPECT_NEAR(row["magnitude_db"].get<double>(), 0.0, 0.05) << row;
        }
    }
    EXPECT_LT(json["distortion"][100]["thd_db"].get<double>(), -80.0);
    EXPECT_EQ(clitest::FirstLine(clitest::Slurp(dir.File("r.csv"))),
              "frequency_hz,magnitude_db,phase_deg");
    EXPECT_EQ(clitest::FirstLine(clitest::Slurp(dir.File("d.csv"))),
              "frequency_hz,h2_db,h3_db,h4_db,h5_db,thd_db,thd_percent");
    const auto ir = zembrel::test::ReadBytes(dir.File("ir.wav"));
    // 32-bit float in the extensible header (more than 16 bits), sub-format IEEE float.
    EXPECT_EQ(zembrel::test::Le16(ir, 20), 0xFFFE);
    EXPECT_EQ(zembrel::test::Le16(ir, 34), 32);
    EXPECT_EQ(zembrel::test::Le16(ir, 44), 3);
}

struct Refusal {
    std::string name;
    std::vector<std::string> args; // after "deconvolve REC --ir ir.wav"
    std::string message;
};

class CliMeasureRefuses : public testing::TestWithParam<Refusal> {};

TEST_P(CliMeasureRefuses, WritesNothing) {
    const TempDir dir;
    MakeSweep(dir, {"--rate", "44100"});
    std::vector<std::string> args = {"deconvolve", dir.File("sweep.wav"), "--ir",
                                     dir.File("ir.wav")};
    for (const std::string& a : GetParam().args) {
        args.push_back(a == "JSON" ? ZEMBREL_TEST_DATA_DIR "/measure_sweep.json" : a);
    }
    const clitest::Result run = RunCli(args, dir.Path());
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find(GetParam().message), std::string::npos) << run.err;
    EXPECT_FALSE(std::filesystem::exists(dir.File("ir.wav")));
}

INSTANTIATE_TEST_SUITE_P(
    Deconvolve, CliMeasureRefuses,
    testing::Values(Refusal{"OtherRate",
                            {"--sweep-json", "JSON"},
                            "(44100 Hz) differs from the sweep's (48000 Hz)"},
                    Refusal{"ShorterThanSweep",
                            {"--start", "20", "--stop", "20000", "--length", "4"},
                            "is shorter than the sweep"},
                    Refusal{"StopNotAboveStart",
                            {"--start", "2000", "--stop", "2000", "--length", "1"},
                            "must be above the start frequency"},
                    Refusal{"TwoExcitations",
                            {"--sweep-json", "JSON", "--reference", "x.wav"},
                            "give the sweep as"}),
    [](const testing::TestParamInfo<Refusal>& info) { return info.param.name; });

TEST(CliMeasure, NoSoundServerIsAClearErrorNotAHang) {
    const TempDir dir;
    setenv("PULSE_SERVER", "unix:/nonexistent/zembrel-no-server", 1);
    const clitest::Result run = RunCli({"measure", "--length", "1"}, dir.Path());
    unsetenv("PULSE_SERVER");
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("no sound server"), std::string::npos) << run.err;
}

// Through the test command's sound server: the null sink's monitor records what is played.
TEST(CliMeasure, LiveThroughANullSinkIsFlatAndClean) {
    const TempDir dir;
#if defined(__SANITIZE_THREAD__)
    const char* options = std::getenv("TSAN_OPTIONS");
    setenv("TSAN_OPTIONS",
           ((options ? std::string(options) + " " : std::string()) +
            "suppressions=" ZEMBREL_TEST_DATA_DIR "/tsan_libpulse.supp")
               .c_str(),
           1);
#endif
    if (RunCli({"measure", "--list-devices"}, dir.Path()).status != 0) {
        GTEST_SKIP() << "no sound server (scripts/sound-server.sh starts one)";
    }
    const clitest::Result run =
        RunCli({"measure", "--length", "3", "--level", "-6", "--json"}, dir.Path());
    ASSERT_EQ(run.status, 0) << run.err;
    const auto json = nlohmann::json::parse(run.out);
    EXPECT_GT(json["latency_samples"].get<int>(), 0);
    for (const auto& row : json["response"]) {
        if (row["frequency_hz"] >= 40.0 && row["frequency_hz"] <= 16000.0) {
            EXPECT_NEAR(row["magnitude_db"].get<double>(), 0.0, 0.1) << row;
        }
    }
    for (const auto& row : json["distortion"]) {
        EXPECT_LT(row["thd_db"].get<double>(), -80.0) << row;
    }
}

} // namespace
