// zembrel-cli analyze and the test-tone generators as whole processes: the JSON names scripts
// rely on, and nulls with a reason where a reading has no value.
#include "tests/cli/CliRunner.h"
#include "tests/core/TestSupport.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <filesystem>
#include <string>
#include <vector>

namespace {

using nlohmann::json;

class CliReadings : public ::testing::Test {
protected:
    clitest::Result Call(const std::vector<std::string>& args) {
        return clitest::RunCli(args, dir.Path());
    }
    json Analyze(const std::vector<std::string>& generator) {
        std::vector<std::string> args = generator;
        args.insert(args.end(), {"--rate", "48000", "--channels", "2", "-o", dir.File("in.wav")});
        const clitest::Result made = Call(args);
        EXPECT_EQ(made.status, 0) << made.err;
        const clitest::Result run = Call({"analyze", dir.File("in.wav"), "--json"});
        EXPECT_EQ(run.status, 0) << run.err;
        return json::parse(run.out);
    }
    zembrel::test::TempDir dir;
};

TEST_F(CliReadings, ToneTwinToneAndSilenceGiveTheirFigures) {
    const json tone = Analyze({"aes17", "--level", "-1", "--length", "5"});
    ASSERT_EQ(tone["channels"].size(), 2u);
    const json& left = tone["channels"][0];
    EXPECT_NEAR(left["fundamental_hz"].get<double>(), 997.0, 0.01);
    EXPECT_EQ(left["harmonics"][0]["n"], 2);
    for (const char* name :
         {"thd_percent", "thd_db", "thd_n_db", "sinad_db", "dc", "crest_factor_db",
          "a_weighted_dbfs", "c_weighted_dbfs", "z_weighted_dbfs", "sample_peak_dbfs"}) {
        EXPECT_TRUE(left[name].is_number()) << name;
    }
    EXPECT_EQ(left["thd_convention"], "fundamental");
    EXPECT_FALSE(left.contains("imd"));
    EXPECT_NEAR(left["sample_peak_dbfs"].get<double>(), -1.0, 0.01);
    EXPECT_NEAR(tone["loudness"]["true_peak_dbtp"].get<double>(), -1.0, 0.1);
    EXPECT_TRUE(tone["loudness"]["short_term_max_lufs"].is_number());

    const json twin = Analyze({"twin-tone", "--standard", "din", "--length", "2"});
    EXPECT_EQ(twin["channels"][1]["imd"]["standard"], "din");
    EXPECT_TRUE(twin["loudness"]["short_term_max_lufs"].is_null());
    EXPECT_EQ(twin["loudness"]["reasons"]["short_term_max_lufs"], "too short");

    const json silent = Analyze({"sine", "--sine", "1000", "--length", "1", "--level", "-200"});
    const json& quiet = silent["channels"][0];
    for (const char* name : {"fundamental_hz", "thd_percent", "sinad_db", "a_weighted_dbfs"}) {
        EXPECT_TRUE(quiet[name].is_null()) << name;
        EXPECT_EQ(quiet["reasons"][name], "no signal") << name;
    }
    EXPECT_TRUE(silent["loudness"]["integrated_lufs"].is_null());
}

// --rms and --lufs set the level after synthesis: 16-bit pink noise at -20 dB RMS reads -20 in
// stats, a stereo 1 kHz sine at -23 LUFS reads -23 in analyze; beside --level, or on a signal
// too short for a loudness block, they are refused and nothing is written.
TEST_F(CliReadings, RmsAndLoudnessTargetsSetTheLevel) {
    const clitest::Result pink =
        Call({"pink", "--start", "20", "--stop", "20000", "--step", "10", "--rms", "-20", "--seed",
              "7", "--rate", "48000", "--length", "2", "-o", dir.File("pink.wav")});
    ASSERT_EQ(pink.status, 0) << pink.err;
    const clitest::Result stats = Call({"stats", "--json", dir.File("pink.wav")});
    EXPECT_NEAR(json::parse(stats.out).at("statistics").at(0).at("rms_dbfs").get<double>(), -20.0,
                0.01);

    const json loud = Analyze({"sine", "--sine", "1000", "--lufs", "-23", "--length", "3"});
    EXPECT_NEAR(loud["loudness"]["integrated_lufs"].get<double>(), -23.0, 0.05);

    for (const std::vector<std::string>& refused :
         {std::vector<std::string>{"sine", "--sine", "1000", "--rms", "-20", "--level", "-3"},
          {"sine", "--sine", "1000", "--lufs", "-23", "--length", "0.2"},
          {"sine", "--sine", "1000", "--rms", "3"}}) {
        std::vector<std::string> args = refused;
        args.insert(args.end(), {"-o", dir.File("refused.wav")});
        const clitest::Result run = Call(args);
        EXPECT_EQ(run.status, 2) << refused[3];
        EXPECT_FALSE(std::filesystem::exists(dir.File("refused.wav"))) << refused[3];
    }
}

TEST_F(CliReadings, RefusedOptionsAreNamed) {
    EXPECT_EQ(Call({"twin-tone", "--standard", "ccif", "--rate", "32000", "-o", dir.File("x.wav")})
                  .status,
              2);
    const clitest::Result band = Call({"analyze", "in.wav", "--band", "500,100"});
    EXPECT_EQ(band.status, 2);
    EXPECT_NE(band.err.find("--band"), std::string::npos) << band.err;
}

} // namespace
