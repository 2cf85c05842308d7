#include "core/signal/SignalBase.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

namespace zembrel {
namespace {

TEST(SignalBase, DefaultIsOneSilentMonoSample) {
    const SignalBase s;
    EXPECT_EQ(s.SampleRate, 44100.0);
    EXPECT_EQ(s.Duration, 0.0);
    EXPECT_EQ(s.SampleCountExact, 1.0);
    EXPECT_EQ(s.SampleCount, 1);
    EXPECT_EQ(s.Channels, 1);
    EXPECT_EQ(s.Bits, 16);
    EXPECT_EQ(s.NormValue, 32768);
    ASSERT_EQ(s.Mono.size(), 1u);
    EXPECT_EQ(s.Mono[0], 0.0);
}

struct CountCase {
    double rate;
    double duration;
    int expected;
};

class SampleCountRule : public ::testing::TestWithParam<CountCase> {};

TEST_P(SampleCountRule, IsTruncatedDurationOverStoredPeriod) {
    const auto& c = GetParam();
    const SignalBase s(c.rate, c.duration, 16, 32768, 1);
    EXPECT_EQ(s.SampleCount, c.expected);
    EXPECT_EQ(s.SamplePeriod, 1.0 / c.rate);
    EXPECT_EQ(s.Mono.size(), static_cast<std::size_t>(c.expected));
}

INSTANTIATE_TEST_SUITE_P(Presets, SampleCountRule,
                         ::testing::Values(CountCase{44100.0, 1.0, 44100},
                                           CountCase{11025.0, 0.5, 5512},
                                           CountCase{32075.0, 0.5, 16037},
                                           CountCase{48000.0, 180.0, 8640000},
                                           CountCase{4000.0, 0.5, 2000}));

// Every preset rate and length of the parameter dialog gives the integer part of rate * length.
TEST(SignalBase, PresetFormatsGiveIntegerPartOfRateTimesLength) {
    const double rates[] = {4000, 6000, 8000, 11025, 16000, 22050, 32000, 32075, 44100, 48000};
    const double lengths[] = {0.5, 1, 2, 5, 10, 20, 30, 40, 50, 60, 120, 180};
    for (double r : rates) {
        for (double l : lengths) {
            const auto expected = static_cast<long>(r) * static_cast<long>(2 * l) / 2;
            EXPECT_EQ(static_cast<long>(SignalBase::ExactSampleCount(r, l)), expected)
                << r << " Hz, " << l << " s";
        }
    }
}

TEST(SignalBase, StereoOwnsTwoZeroedChannelsAndNoMono) {
    const SignalBase s(11025.0, 0.5, 8, 128, 2);
    EXPECT_EQ(s.SampleCount, 5512);
    EXPECT_TRUE(s.Mono.empty());
    ASSERT_EQ(s.Left.size(), 5512u);
    ASSERT_EQ(s.Right.size(), 5512u);
    for (int i = 0; i < s.SampleCount; ++i) {
        ASSERT_EQ(s.Left[i], 0.0);
        ASSERT_EQ(s.Right[i], 0.0);
    }
}

TEST(SignalBase, RejectsFormatsOutsideTheInvariants) {
    EXPECT_THROW(SignalBase(44100.0, 1.0, 16, 32768, 3), std::invalid_argument);
    EXPECT_THROW(SignalBase(44100.0, 1.0, 24, 32768, 1), std::invalid_argument);
    EXPECT_THROW(SignalBase(44100.0, -1.0, 16, 32768, 1), std::invalid_argument);
    EXPECT_THROW(SignalBase(44100.0, 1e9, 16, 32768, 1), std::invalid_argument);
}

TEST(SignalBase, CopiesAreDeepAndAssignmentSwitchesChannelLayout) {
    SignalBase stereo(8000.0, 0.01, 16, 30000, 2);
    stereo.SetLeftSample(5.0, 3);
    stereo.SetRightSample(-7.0, 79);

    SignalBase mono(44100.0, 1.0, 16, 32768, 1);
    mono = stereo;
    EXPECT_EQ(mono.Channels, 2);
    EXPECT_EQ(mono.SampleCount, 80);
    EXPECT_EQ(mono.NormValue, 30000);
    EXPECT_EQ(mono.SampleRate, 8000.0);
    EXPECT_TRUE(mono.Mono.empty());
    EXPECT_EQ(mono.Left[3], 5.0);
    EXPECT_EQ(mono.Right[79], -7.0);

    mono.SetLeftSample(1.0, 3); // the copy owns its samples
    EXPECT_EQ(stereo.Left[3], 5.0);

    SignalBase copy(stereo);
    copy.SetRightSample(0.0, 79);
    EXPECT_EQ(stereo.Right[79], -7.0);

    SignalBase back(8000.0, 0.01, 8, 128, 1);
    stereo = back;
    EXPECT_EQ(stereo.Channels, 1);
    EXPECT_TRUE(stereo.Left.empty());
    EXPECT_TRUE(stereo.Right.empty());
    EXPECT_EQ(stereo.Mono.size(), 80u);
}

TEST(SignalBase, SelfAssignmentKeepsSamples) {
    SignalBase s(8000.0, 0.01, 16, 32768, 2);
    s.SetLeftSample(3.0, 0);
    s.SetRightSample(4.0, 1);
    auto& alias = s;
    s = alias;
    EXPECT_EQ(s.Left[0], 3.0);
    EXPECT_EQ(s.Right[1], 4.0);
    EXPECT_EQ(s.SampleCount, 80);
}

TEST(SignalBase, ClearZeroesSamplesAndKeepsFormat) {
    SignalBase s(22050.0, 0.5, 8, 100, 2);
    const std::vector<double> source(s.SampleCount, 9.0);
    s.SetLeft(source.data());
    s.SetRight(source.data());
    ASSERT_EQ(s.Right[11024], 9.0);
    s.Clear();
    EXPECT_EQ(s.SampleCount, 11025);
    EXPECT_EQ(s.SampleRate, 22050.0);
    EXPECT_EQ(s.Duration, 0.5);
    EXPECT_EQ(s.Bits, 8);
    EXPECT_EQ(s.NormValue, 100);
    for (int i = 0; i < s.SampleCount; ++i) {
        ASSERT_EQ(s.Left[i], 0.0);
        ASSERT_EQ(s.Right[i], 0.0);
    }
}

} // namespace
} // namespace zembrel
