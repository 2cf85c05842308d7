#include "core/signal/SignalFormatRules.h"
#include "core/generators/InputRules.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>

namespace zembrel {
namespace {

TEST(SignalFormatRules, ReadsTheTextsTheCLibraryWay) {
    const SignalFormatInput in = ReadSignalFormat("8", " 22050 Hz", "0,5", "128x", "2");
    EXPECT_EQ(in.Bits, 8);
    EXPECT_EQ(in.SampleRate, 22050.0);
    EXPECT_EQ(in.Duration, 0.0); // a comma is no decimal separator here
    EXPECT_EQ(in.NormValue, 128);
    EXPECT_EQ(in.Channels, 2);
    EXPECT_EQ(ReadSignalFormat("24", "", "", "", "1").Bits, 16); // anything else counts as 16
}

TEST(SignalFormatRules, LeadingIntegerSaturatesInsteadOfOverflowing) {
    EXPECT_EQ(LeadingInteger("  -42abc"), -42);
    EXPECT_EQ(LeadingInteger("x1"), 0);
    EXPECT_EQ(LeadingInteger("99999999999999999999999"), LONG_MAX);
    EXPECT_EQ(LeadingInteger("4294967424"), 4294967424L); // not 128 after a 32-bit wrap
}

TEST(SignalFormatRules, RangesAreInclusiveAtTheTop) {
    const auto check = [](double rate, double length, int bits, long norm) {
        SignalFormatInput in;
        in.SampleRate = rate;
        in.Duration = length;
        in.Bits = bits;
        in.NormValue = norm;
        return CheckSignalFormat(in);
    };
    EXPECT_FALSE(check(48000, 180, 16, 32768).Any());
    EXPECT_FALSE(check(1.0, 0.001, 8, 1).Any());
    // A WAV header holds the rate in whole hertz: below 1 Hz it would read back as 0.
    EXPECT_TRUE(check(0.999, 1, 16, 1).SampleRate);
    EXPECT_TRUE(check(48000.1, 1, 16, 1).SampleRate);
    EXPECT_TRUE(check(44100, 180.5, 16, 1).Duration);
    EXPECT_TRUE(check(44100, 1, 8, 129).NormValue);
    EXPECT_TRUE(check(44100, 1, 16, 32769).NormValue);
    EXPECT_TRUE(check(44100, 1, 16, 0).NormValue);
    EXPECT_TRUE(check(std::nan(""), 1, 16, 1).SampleRate);
}

TEST(InputRules, FrequencyLevelAndFiniteness) {
    EXPECT_TRUE(IsValidFrequency(22050.0, 44100.0));
    EXPECT_FALSE(IsValidFrequency(22050.5, 44100.0));
    EXPECT_FALSE(IsValidFrequency(0.0, 44100.0));
    EXPECT_FALSE(IsValidFrequency(std::nan(""), 44100.0));
    EXPECT_TRUE(IsValidLevel(0.0));
    EXPECT_TRUE(IsValidLevel(-120.0));
    EXPECT_FALSE(IsValidLevel(0.1));
    EXPECT_FALSE(IsValidLevel(std::nan("")));
    EXPECT_FALSE(IsValidLevel(-std::numeric_limits<double>::infinity()));
    EXPECT_FALSE(IsValidNumber(std::numeric_limits<double>::infinity()));
}

} // namespace
} // namespace zembrel
