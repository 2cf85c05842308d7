// Every way of refusing input, one row each: exit status 2, a first line on standard error
// that names the option or file and the reason, the generator's own error text below it where
// a range check failed, nothing on standard output and no output file at all.
#include "tests/cli/CliRunner.h"
#include "tests/core/TestSupport.h"

#include "core/generators/InputMessages.h"
#include "core/signal/OutputFormatRules.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using zembrel::test::DataPath;

struct Refusal {
    const char* name;
    std::vector<std::string> args; // "OUT" stands for the output file
    std::string firstLine;         // a part of the first line
    const char* detail;            // the error text that follows, or nullptr
};

std::ostream& operator<<(std::ostream& out, const Refusal& r) {
    return out << r.name;
}

class CliRefuses : public ::testing::TestWithParam<Refusal> {};

TEST_P(CliRefuses, WithStatusTwoAndNoFile) {
    const Refusal& r = GetParam();
    zembrel::test::TempDir dir;
    const std::string out = dir.File("out.wav");
    std::vector<std::string> args;
    for (const std::string& a : r.args) {
        args.push_back(a == "OUT" ? out : a);
    }
    const clitest::Result run = clitest::RunCli(args, dir.Path());
    EXPECT_EQ(run.status, 2);
    const std::string first = clitest::FirstLine(run.err);
    EXPECT_NE(first.find(r.firstLine), std::string::npos) << first;
    if (r.detail) {
        // The error text names the limits at the run's rate where it says fs/2.
        double rate = 44100.0;
        for (std::size_t i = 0; i + 1 < r.args.size(); ++i) {
            rate = r.args[i] == "--rate" ? std::stod(r.args[i + 1]) : rate;
        }
        EXPECT_EQ(run.err, first + "\n" + zembrel::WithRateLimits(r.detail, rate) + "\n");
    } else {
        EXPECT_EQ(run.err, first + "\n"); // one line
    }
    EXPECT_TRUE(run.out.empty());
    EXPECT_FALSE(std::filesystem::exists(out));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 2)
        << "only the captured stdout and stderr may be there";
}

const char* const kSine = zembrel::kSineErrorText;
const char* const kNoise = zembrel::kNoiseErrorText;

const Refusal kRefusals[] = {
    // Command line syntax.
    {"NoCommand", {}, "a command is required", nullptr},
    {"UnknownCommand",
     {"noise", "--band", "1,2,3"},
     "zembrel-cli: not expected: noise --band 1,2,3",
     nullptr},
    {"UnknownOption",
     {"sine", "--frequ", "1000", "-o", "OUT"},
     "zembrel-cli sine: not expected: --frequ 1000",
     nullptr},
    {"MissingValue", {"function", "-o", "OUT", "--freq"}, "--freq", nullptr},
    {"MissingRequired",
     {"pink", "--start", "20", "--stop", "200", "-o", "OUT"},
     "--step is required",
     nullptr},
    {"NoOutput", {"sine", "--sine", "1000"}, "--output is required", nullptr},
    {"SecondValueForOnce",
     {"sine", "--sine", "1000", "2000", "-o", "OUT"},
     "not expected: 2000",
     nullptr},
    {"ListBesideSines",
     {"sine", "--sine", "1000", "--list", "x.txt", "-o", "OUT"},
     "excludes",
     nullptr},
    {"NoSine", {"pn-sine", "-o", "OUT"}, "--sine or --list is required", nullptr},
    // Numbers.
    {"TrailingText",
     {"function", "--freq", "1000Hz", "-o", "OUT"},
     "--freq \"1000Hz\": text after the number \"1000\"",
     nullptr},
    {"CommaDecimal",
     {"fm", "--carrier", "1000,5", "--mod", "10", "-o", "OUT"},
     "--carrier \"1000,5\": text after the number",
     nullptr},
    {"NotANumber",
     {"sweep", "--start", "low", "--stop", "100", "-o", "OUT"},
     "--start \"low\": not a number",
     nullptr},
    {"Nan",
     {"am", "--carrier", "1000", "--mod", "nan", "-o", "OUT"},
     "--mod nan: not a finite number",
     nullptr},
    {"Infinity",
     {"function", "--freq", "100", "--phase", "-inf", "-o", "OUT"},
     "--phase -inf: not a finite number",
     nullptr},
    {"Overflow",
     {"pink", "--start", "1e999", "--stop", "100", "--step", "1", "-o", "OUT"},
     "--start 1e999: not a finite number",
     nullptr},
    {"FieldOfATuple",
     {"white", "--band", "100,2e,1", "-o", "OUT"},
     "--band 100,2e,1: field 2: text after the number",
     nullptr},
    {"TooFewFields",
     {"white", "--band", "100,200", "-o", "OUT"},
     "expected 3 to 4 numbers",
     nullptr},
    {"TooManyFields",
     {"pn-sine", "--sine", "1000,1,90", "-o", "OUT"},
     "expected 1 to 2 numbers",
     nullptr},
    {"SeedNegative",
     {"white", "--band", "100,200,1", "--seed", "-1", "-o", "OUT"},
     "--seed -1: must lie between 0 and 4294967295",
     nullptr},
    {"SeedTooLarge",
     {"pink", "--start", "20", "--stop", "200", "--step", "1", "--seed", "4294967296", "-o", "OUT"},
     "--seed 4294967296",
     nullptr},
    {"UnknownShape",
     {"function", "--shape", "sine", "--freq", "10", "-o", "OUT"},
     "--shape \"sine\": must be one of square, triangle, sawtooth",
     nullptr},
    {"UnknownSweep",
     {"sweep", "--start", "10", "--stop", "100", "--type", "log", "-o", "OUT"},
     "must be one of lin, exp, exp10, quad, cube, bi-quad",
     nullptr},
    // The dialogs' ranges, with their error texts.
    {"AboveHalfTheRate",
     {"sine", "--sine", "1000", "--sine", "22050.5", "-o", "OUT"},
     "out of range: --sine 22050.5 (frequency)",
     kSine},
    {"AboveHalfALowRate",
     {"function", "--rate", "8000", "--freq", "4001", "-o", "OUT"},
     "out of range: --freq 4001",
     kSine},
    {"LevelAboveZero",
     {"pn-sine", "--sine", "1000", "--level", "0.1", "-o", "OUT"},
     "out of range: --level 0.1",
     kSine},
    {"EverythingNamedOnce",
     {"pink", "--start", "0", "--stop", "-5", "--step", "22051", "--level", "3", "-o", "OUT"},
     "out of range: --start 0, --stop -5, --step 22051, --level 3",
     kNoise},
    {"ZeroStep",
     {"white", "--band", "100,200,0", "-o", "OUT"},
     "out of range: --band 100,200,0 (step)",
     kNoise},
    {"UncountableBand", {"white", "--band", "1,22050,1e-6", "-o", "OUT"}, "(step)", kNoise},
    {"SidebandAboveHalfTheRate",
     {"am", "--carrier", "15000", "--mod", "8000", "-o", "OUT"},
     "out of range: --mod 8000",
     zembrel::kAmplitudeModulationErrorText},
    {"NegativeModulationBeyondTheBand",
     {"am", "--carrier", "1000", "--mod", "-30000", "-o", "OUT"},
     "out of range: --mod -30000",
     zembrel::kAmplitudeModulationErrorText},
    {"NegativeModulationBeyondDoubles",
     {"am", "--carrier", "1000", "--mod", "-1e300", "-o", "OUT"},
     "out of range: --mod -1e300",
     zembrel::kAmplitudeModulationErrorText},
    {"IndexZero",
     {"fm", "--carrier", "1000", "--mod", "10", "--index", "0", "-o", "OUT"},
     "out of range: --index 0",
     zembrel::kFrequencyModulationErrorText},
    // Numbers without a range of their own, beyond what the arithmetic carries.
    {"PhaseBeyondTheLimit",
     {"sine", "--sine", "1000,1,1e300", "--offset", "-1e251", "-o", "OUT"},
     "out of range: --sine 1000,1,1e300 (phase), --offset -1e251",
     kSine},
    {"FundamentalTooLow",
     {"function", "--freq", "0.0001", "-o", "OUT"},
     "out of range: --freq 0.0001",
     kSine},
    {"StopAboveHalfTheRate",
     {"sweep", "--start", "10", "--stop", "24000.5", "--rate", "48000", "--length", "0.1",
      "--level", "1", "-o", "OUT"},
     "out of range: --stop 24000.5, --level 1",
     zembrel::kFrequencySweepErrorText},
    // The format: the limits named in the message.
    {"RateAbove768k",
     {"sine", "--sine", "100", "--rate", "768000.5", "-o", "OUT"},
     "out of range: --rate 768000.5 (at most 768000 Hz)",
     nullptr},
    {"LengthZeroAndNormTooLarge",
     {"sine", "--sine", "100", "--length", "0", "--norm", "32769", "-o", "OUT"},
     "out of range: --length 0 (more than 0 s), --norm 32769 (1 ... 32768 for 16 bit)",
     nullptr},
    {"EightBitNorm",
     {"sine", "--sine", "100", "--bits", "8", "--norm", "129", "-o", "OUT"},
     "out of range: --norm 129 (1 ... 128 for 8 bit)",
     nullptr},
    {"LongerThanASignalHolds",
     {"sine", "--sine", "100", "--rate", "768000", "--length", "2797", "-o", "OUT"},
     "out of range: --length 2797 (at most 2796 s at 768000 Hz)",
     nullptr},
    {"FractionalRateIn24Bit",
     {"sine", "--sine", "100", "--rate", "44100.5", "--bits", "24", "-o", "OUT"},
     "--rate 44100.5 (a whole number of hertz beyond 8/16-bit WAV)",
     nullptr},
    {"Bits12",
     {"sine", "--sine", "100", "--bits", "12", "-o", "OUT"},
     "--bits \"12\": must be one of 8, 16, 24, 32, 32f, 64f",
     nullptr},
    {"FloatFlac",
     {"sine", "--sine", "100", "--bits", "32f", "--format", "flac", "-o", "OUT"},
     "out of range: --bits 32f (FLAC holds 16 or 24 bit)",
     nullptr},
    {"DitheredFloat",
     {"sine", "--sine", "100", "--bits", "64f", "--dither", "tpdf", "-o", "OUT"},
     "--dither tpdf (only for integer formats, not float)",
     nullptr},
    {"NormBeyond16Bit",
     {"sine", "--sine", "100", "--bits", "24", "--norm", "1000", "-o", "OUT"},
     "--norm 1000 (only for 8 and 16 bit; use the level)",
     nullptr},
    {"TextExtension",
     {"sine", "--sine", "100", "-o", "a.txt"},
     "-o a.txt: writes .wav or .flac files",
     nullptr},
    {"ThreeChannels",
     {"sine", "--sine", "100", "--channels", "3", "-o", "OUT"},
     "--channels \"3\": must be one of 1, 2",
     nullptr},
    {"FractionalNorm",
     {"sine", "--sine", "100", "--norm", "1000.5", "-o", "OUT"},
     "--norm \"1000.5\": text after the number",
     nullptr},
    // Files.
    {"UnreadableList",
     {"sine", "--list", "/nonexistent/list.txt", "-o", "OUT"},
     "--list /nonexistent/list.txt: cannot open file",
     nullptr},
    {"ListWithBadToken",
     {"pn-sine", "--list", DataPath("pn_list_bad_token.txt"), "-o", "OUT"},
     "pn_list_bad_token.txt, line",
     nullptr},
    {"ListWithoutLevel",
     {"sine", "--list", DataPath("list_no_level.txt"), "-o", "OUT"},
     "list_no_level.txt",
     nullptr},
    {"ListNotFinite",
     {"sine", "--list", DataPath("list_not_finite.txt"), "-o", "OUT"},
     "not a finite number",
     nullptr},
    {"BandListWithBadStep",
     {"white", "--list", DataPath("band_list_bad_step.txt"), "-o", "OUT"},
     "band_list_bad_step.txt, line",
     nullptr},
    {"StatsOfMissingFile", {"stats", "/nonexistent.wav"}, "/nonexistent.wav: ", nullptr},
    {"StatsOfNaN",
     {"stats", std::string(ZEMBREL_SOURCE_DIR) + "/fuzz/reproducers/audio_read/float_nan"},
     "sample 1 of channel 1 is not a finite number",
     nullptr},
    {"SpectrumOfTruncatedHeader",
     {"spectrum", DataPath("short_fmt.wav")},
     "short_fmt.wav: ",
     nullptr},
    {"SpectrumLength",
     {"spectrum", DataPath("mono8_odd.wav"), "--len", "1000"},
     "--len 1000: must be one of 1024",
     nullptr},
    {"SpectrumWindow",
     {"spectrum", DataPath("mono8_odd.wav"), "--window", "kaiser"},
     "must be one of hanning, hamming, blackman, blackman-harris, rectangular",
     nullptr},
    {"RightOfMono",
     {"spectrum", DataPath("mono8_odd.wav"), "--channel", "right"},
     "--channel right: ",
     nullptr},
    {"CsvAndJson", {"spectrum", DataPath("mono8_odd.wav"), "--csv", "--json"}, "excludes", nullptr},
};

INSTANTIATE_TEST_SUITE_P(Cases, CliRefuses, ::testing::ValuesIn(kRefusals),
                         [](const auto& info) { return std::string(info.param.name); });

// Where the refusals above stop: a small negative modulation frequency is a sine of the opposite
// sign, with both sidebands in band.
TEST(CliAccepts, NegativeModulationWithinTheBand) {
    zembrel::test::TempDir dir;
    const std::string out = dir.File("out.wav");
    const clitest::Result run =
        clitest::RunCli({"am", "--carrier", "1000", "--mod", "-100", "-o", out}, dir.Path());
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(std::filesystem::exists(out));
}

} // namespace
