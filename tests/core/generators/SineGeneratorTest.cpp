#include "core/generators/SineGenerator.h"
#include "core/signal/SignalBase.h"

#include <gtest/gtest.h>

#include <cmath>

namespace zembrel {
namespace {

constexpr double kPi = 3.141592653589793;

TEST(SineGenerator, AddsToEverySampleOfMono) {
    SignalBase s(44100.0, 0.01, 16, 32768, 1);
    s.Mono[5] = 10.0;
    SineGenerator(s, 1000.0, 1.0, 90.0);
    EXPECT_EQ(s.Mono[0], 1.0);
    for (int i = 0; i < s.SampleCount; ++i) {
        const double t = i * s.SamplePeriod;
        const double expected = (i == 5 ? 10.0 : 0.0) + std::sin(t * (2 * kPi * 1000.0) + kPi / 2);
        ASSERT_EQ(s.Mono[i], expected) << i;
    }
}

TEST(SineGenerator, SumsSeveralSines) {
    SignalBase s(8000.0, 0.1, 16, 32768, 1);
    SineGenerator(s, 100.0, 1.0, 0.0);
    SineGenerator(s, 300.0, 0.5, 45.0);
    for (int i = 0; i < s.SampleCount; i += 37) {
        const double t = i / 8000.0;
        EXPECT_NEAR(s.Mono[i],
                    std::sin(2 * kPi * 100 * t) + 0.5 * std::sin(2 * kPi * 300 * t + kPi / 4),
                    1e-12);
    }
}

TEST(SineGenerator, StereoOffsetShiftsOnlyTheRightChannel) {
    SignalBase s(44100.0, 0.01, 16, 32768, 2);
    SineGenerator(s, 1000.0, 1.0, 0.0, 90.0);
    EXPECT_EQ(s.Left[0], 0.0);
    EXPECT_EQ(s.Right[0], 1.0);
    for (int i = 0; i < s.SampleCount; i += 11) {
        const double t = i * s.SamplePeriod;
        EXPECT_NEAR(s.Left[i], std::sin(2 * kPi * 1000 * t), 1e-12);
        EXPECT_NEAR(s.Right[i], std::cos(2 * kPi * 1000 * t), 1e-12);
    }

    SignalBase same(44100.0, 0.01, 16, 32768, 2);
    SineGenerator(same, 1000.0, 1.0, 30.0);
    EXPECT_EQ(same.Left, same.Right);

    SignalBase mono(44100.0, 0.01, 16, 32768, 1);
    SineGenerator(mono, 1000.0, 1.0, 0.0, 90.0); // the offset is ignored for mono
    EXPECT_EQ(mono.Mono[0], 0.0);
}

} // namespace
} // namespace zembrel
