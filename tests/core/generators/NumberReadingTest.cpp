#include "core/generators/CNumber.h"
#include "core/generators/FrequencyListFile.h"
#include "core/generators/StringToDoubleConverter.h"

#include "tests/core/TestSupport.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

#include <cmath>

namespace zembrel {
namespace {

using test::DataPath;
using test::TempDir;
using test::WriteText;

struct TextCase {
    const char* text;
    double edit;  // StringToDoubleConverter: comma is a decimal separator
    double plain; // plain C conversion
};

class EditFieldNumbers : public ::testing::TestWithParam<TextCase> {};

TEST_P(EditFieldNumbers, ReadLeadingNumber) {
    const auto& c = GetParam();
    EXPECT_EQ(StringToDoubleConverter(c.text).Value(), c.edit);
    EXPECT_EQ(StringToDoubleConverter::Plain(c.text), c.plain);
}

INSTANTIATE_TEST_SUITE_P(Texts, EditFieldNumbers,
                         ::testing::Values(TextCase{"1,5", 1.5, 1.0}, TextCase{"1.5", 1.5, 1.5},
                                           TextCase{"", 0.0, 0.0}, TextCase{"abc", 0.0, 0.0},
                                           TextCase{"  22050 Hz", 22050.0, 22050.0},
                                           TextCase{"1000,5", 1000.5, 1000.0},
                                           TextCase{"-6", -6.0, -6.0}, TextCase{"+3", 3.0, 3.0},
                                           TextCase{"+-3", 0.0, 0.0}, TextCase{"-.5", -0.5, -0.5},
                                           TextCase{"1e3x", 1000.0, 1000.0},
                                           TextCase{"2e", 2.0, 2.0}, TextCase{"1e-999", 0.0, 0.0},
                                           TextCase{"0x10", 0.0, 0.0}));

TEST(EditFieldNumbers, NonFiniteTextIsFlagged) {
    for (const char* text : {"nan", "inf", "-inf", "1e999", "-1e999", "1,0e999"}) {
        EXPECT_FALSE(StringToDoubleConverter(text).IsFinite()) << text;
    }
    for (const char* text : {"", "x", "1e308", "1e-999", "0"}) {
        EXPECT_TRUE(StringToDoubleConverter(text).IsFinite()) << text;
    }
    // Out of range is decided by the whole magnitude: two million zeros after the point are
    // outweighed by an exponent of three million (10^999999), not the other way round.
    const std::string zeros(2'000'000, '0');
    EXPECT_EQ(CNumber::Parse("0." + zeros + "1e3000000").Value,
              std::numeric_limits<double>::infinity());
    EXPECT_EQ(CNumber::Parse("0." + zeros + "1e1000000").Value, 0.0);
}

TEST(CNumber, ReportsTheLengthOfTheNumber) {
    EXPECT_EQ(CNumber::Parse("1000;1.0").Length, 4u);
    EXPECT_EQ(CNumber::Parse("-1.5e2,").Length, 6u);
    EXPECT_EQ(CNumber::Parse(";1").Length, 0u);
    EXPECT_EQ(CNumber::IntegerLength("12;"), 2u);
    EXPECT_EQ(CNumber::IntegerLength("-3x"), 2u);
    EXPECT_EQ(CNumber::IntegerLength("x"), 0u);
    EXPECT_EQ(CNumber::IntegerLength("-"), 0u);
}

class ListFile : public ::testing::Test {
protected:
    FrequencyList Read(const std::string& text, const std::vector<double>& reset = kSineListReset) {
        const std::string path = dir.File("list.txt");
        WriteText(path, text);
        return ReadFrequencyList(path, reset);
    }
    TempDir dir;
};

TEST_F(ListFile, ReadsTheExampleAndAFinalLineBreakAddsAResetRecord) {
    const FrequencyList list = ReadFrequencyList(DataPath("sine_list.txt"), kSineListReset);
    EXPECT_EQ(list.Level, -6.0);
    ASSERT_EQ(list.Records.size(), 3u);
    EXPECT_EQ(list.Records[0], (std::vector<double>{1000, 1.0, 0}));
    EXPECT_EQ(list.Records[1], (std::vector<double>{3000, 0.333, 90}));
    EXPECT_EQ(list.Records[2], kSineListReset); // silent: amplitude 0
}

TEST_F(ListFile, RecordingRulesOfTheTextStream) {
    // No final line break: exactly the records written.
    EXPECT_EQ(Read("Level -6 dB\n1;1000;1.0;0").Records.size(), 1u);
    // Any single character separates; blanks and line ends before numbers are skipped.
    const auto mixed = Read("L 3 dB 1 100\t0.5,\n45 2;200;  0.25;\n\n 10");
    ASSERT_EQ(mixed.Records.size(), 2u);
    EXPECT_EQ(mixed.Records[0], (std::vector<double>{100, 0.5, 45}));
    EXPECT_EQ(mixed.Records[1], (std::vector<double>{200, 0.25, 10}));
    EXPECT_EQ(mixed.Level, 3.0);
    // A record cut short keeps what it read and the reset values for the rest.
    const auto cut = Read("Level 0 dB\n1;440;0.5;");
    ASSERT_EQ(cut.Records.size(), 1u);
    EXPECT_EQ(cut.Records[0], (std::vector<double>{440, 0.5, 0.0}));
    // The header alone yields one record of reset values; the unit may stick to the level.
    EXPECT_EQ(Read("Level -3dB").Records, std::vector<std::vector<double>>{kSineListReset});
    EXPECT_EQ(Read("Level -3dB").Level, -3.0);
    // Other record widths with their own reset values.
    const auto bands = Read("Level -6 dB\n1;100;200;1;0.5\n", kBandListReset);
    ASSERT_EQ(bands.Records.size(), 2u);
    EXPECT_EQ(bands.Records[0], (std::vector<double>{100, 200, 1, 0.5}));
    EXPECT_EQ(bands.Records[1], kBandListReset);
}

TEST_F(ListFile, ErrorsNameTheLineAndTheText) {
    const std::pair<std::string, std::string> cases[] = {
        {"Level -6 dB\n1;1000;1.0;0\n2;30x0;0.333;90\n", "line 3: cannot read \";90\""},
        {"Level dB\n1;1000;1.0;0\n", "line 1: cannot read \"dB\""},
        {"Level", "line 1: the header has no level"},
        {"", "the file is empty"},
        {"Level -6 dB\n1;1e999;1;0", "line 2: \"1e999\" is not a finite number"},
        {"Level -6 dB\n1;nan;1;0", "line 2: \"nan\" is not a finite number"},
        {"Level -6 dB\n1 ,1000;1;0", "line 2: cannot read \",1000;1;0\""},
        {"Level -6 dB\nx;1000;1;0", "line 2: cannot read \"x;1000;1;0\""},
    };
    for (const auto& [text, message] : cases) {
        SCOPED_TRACE(text);
        try {
            Read(text);
            ADD_FAILURE() << "no error";
        } catch (const ListFileError& e) {
            EXPECT_NE(std::string(e.what()).find(message), std::string::npos) << e.what();
        }
    }
    EXPECT_THROW(ReadFrequencyList(dir.File("missing.txt"), kSineListReset), ListFileError);
    EXPECT_THROW(ReadFrequencyList(DataPath("list_bad_token.txt"), kSineListReset), ListFileError);
    EXPECT_THROW(ReadFrequencyList(DataPath("list_no_level.txt"), kSineListReset), ListFileError);
    EXPECT_THROW(ReadFrequencyList(DataPath("list_not_finite.txt"), kSineListReset), ListFileError);
}

} // namespace
} // namespace zembrel
