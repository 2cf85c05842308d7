#include "core/generators/FinishSignal.h"
#include "core/signal/SignalBase.h"

#include <gtest/gtest.h>

#include <vector>

namespace zembrel {
namespace {

SignalBase Mono16(const std::vector<double>& values, int norm = 32768, int bits = 16) {
    SignalBase s(8000.0, values.size() / 8000.0 + 1e-9, bits, norm, 1);
    s.SetMono(values.data());
    return s;
}

struct ScaleCase {
    std::vector<double> in;
    double level;
    int bits;
    int norm;
    SampleArray out;
};

class FinishSignalScaling : public ::testing::TestWithParam<ScaleCase> {};

TEST_P(FinishSignalScaling, MapsThePeakAndTruncates) {
    const auto& c = GetParam();
    SignalBase s = Mono16(c.in, c.norm, c.bits);
    ASSERT_EQ(s.SampleCount, static_cast<int>(c.in.size()));
    FinishSignal(s, c.level);
    EXPECT_EQ(s.Mono, c.out);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FinishSignalScaling,
    ::testing::Values(
        ScaleCase{{2.0, -2.0, 1.0}, 0.0, 16, 32768, {32767, -32768, 16383}},
        ScaleCase{{2.0, -2.0, 1.0}, -6.0206, 16, 32768, {16383, -16384, 8191}},
        // Peak 1 mapped to 32768 * 10^(-90.3/20) ~ 1: 0.7 -> 0, 1.5 -> 1, -1.4 -> -1, -1.5 -> -2
        ScaleCase{{0.7, 1.5, -1.4, -1.5, 32768.0}, 0.0, 16, 32768, {0, 1, -1, -2, 32767}},
        ScaleCase{{0.0, 0.0, 0.0}, 0.0, 16, 32768, {0, 0, 0}},
        ScaleCase{{0.0, 0.0}, -20.0, 8, 128, {128, 128}},
        ScaleCase{{1.0, -1.0, 0.0}, 0.0, 8, 128, {255, 0, 128}},
        ScaleCase{{3.0, -1.5}, -20.0, 16, 32768, {3276, -1638}}));

TEST(FinishSignal, OneFactorForBothChannels) {
    SignalBase s(8000.0, 0.00025, 16, 32768, 2); // 2 frames
    const double left[] = {2.0, -1.0};
    const double right[] = {1.0, 0.5};
    s.SetLeft(left);
    s.SetRight(right);
    const FinishSignal f(s, 0.0);
    EXPECT_EQ(f.Peak, 2.0);
    EXPECT_DOUBLE_EQ(f.TargetAmplitude, 32768.0);
    EXPECT_EQ(s.Left, (SampleArray{32767, -16384}));
    EXPECT_EQ(s.Right, (SampleArray{16383, 8191}));
}

TEST(FinishSignal, KeepsTheFormat) {
    SignalBase s(32075.0, 0.5, 8, 100, 2);
    s.Left[0] = 1.0;
    FinishSignal(s, -3.0);
    EXPECT_EQ(s.SampleCount, 16037);
    EXPECT_EQ(s.Channels, 2);
    EXPECT_EQ(s.NormValue, 100);
    EXPECT_EQ(s.Bits, 8);
    EXPECT_EQ(s.Left[0], 70.0 + 128.0); // 100 * 10^(-0.15) = 70.79 -> trunc(70.29)
    EXPECT_EQ(s.Right[0], 128.0);
}

} // namespace
} // namespace zembrel
