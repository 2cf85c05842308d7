#include "core/generators/RandomNumberGenerator.h"
#include "core/generators/SineGenerator.h"
#include "core/signal/SignalBase.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <ctime>
#include <thread>
#include <vector>

namespace zembrel {
namespace {

constexpr double kPi = 3.141592653589793;

// The reference generator, in 64-bit arithmetic reduced by hand.
struct Reference {
    std::uint64_t state;
    int Next() {
        state = (state * 22695477u + 1u) % (std::uint64_t{1} << 32);
        return static_cast<int>((state >> 16) % 32768u);
    }
};

// The multiplicative inverse of 22695477 modulo 2^32 (Newton's iteration), to steer the
// generator to a chosen next state.
std::uint32_t StateBefore(std::uint32_t next) {
    const std::uint32_t a = 22695477u;
    std::uint32_t inverse = a;
    for (int i = 0; i < 5; ++i) {
        inverse *= 2u - a * inverse;
    }
    return (next - 1u) * inverse;
}

TEST(RandomNumberGenerator, FromStateOneDrawsTheKnownPhases) {
    RandomNumberGenerator::Seed(1);
    EXPECT_TRUE(RandomNumberGenerator::Seeded());
    const int expectedDraws[] = {346, 130, 10982};
    const int expectedPhases[] = {3, 1, 120};
    for (int i = 0; i < 3; ++i) {
        // A new object each time: a seeded process is not seeded again.
        RandomNumberGenerator generator;
        EXPECT_EQ(generator.RandomInt(0, 360), expectedPhases[i]) << i;
    }
    RandomNumberGenerator::Seed(1);
    RandomNumberGenerator generator;
    for (int draw : expectedDraws) {
        EXPECT_EQ(generator.Draw(), draw);
    }
}

TEST(RandomNumberGenerator, FollowsThe32BitCongruenceOverALongRun) {
    for (std::uint32_t seed : {0u, 68097034u, 0xFFFFFFFFu}) {
        SCOPED_TRACE(seed);
        RandomNumberGenerator::Seed(seed);
        Reference reference{seed};
        RandomNumberGenerator generator;
        for (int i = 0; i < 100000; ++i) {
            ASSERT_EQ(generator.Draw(), reference.Next()) << i;
        }
        EXPECT_EQ(RandomNumberGenerator::State(), reference.state);
    }
}

TEST(RandomNumberGenerator, RandomIntCoversTheRangeFromLoToHiMinusOne) {
    struct Case {
        std::uint32_t nextState; // the state the draw is taken from
        int lo, hi, expected;
    };
    const Case cases[] = {
        {0x00000000u, 0, 360, 0},   // draw 0
        {0x7FFF0000u, 0, 360, 359}, // draw 32767
        {0xFFFF0000u, 0, 360, 359}, // bit 31 is not part of the draw
        {0x40000000u, 0, 360, 180}, // draw 16384: one half
        {0x7FFF0000u, -10, 10, 9},  {0x00000000u, -10, 10, -10},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.nextState);
        RandomNumberGenerator::Seed(StateBefore(c.nextState));
        EXPECT_EQ(RandomNumberGenerator().RandomInt(c.lo, c.hi), c.expected);
        EXPECT_EQ(RandomNumberGenerator::State(), c.nextState);
    }
    EXPECT_EQ(RandomNumberGenerator::ToUnitInterval(0), 0.0);
    EXPECT_EQ(RandomNumberGenerator::ToUnitInterval(16384), 0.5);
    EXPECT_LT(RandomNumberGenerator::ToUnitInterval(32767), 1.0);
}

TEST(RandomNumberGenerator, SeedFoldsTheFourBytesOfTheTime) {
    EXPECT_EQ(RandomNumberGenerator::SeedFromTime(16909060u), 68097034u); // bytes 4, 3, 2, 1
    EXPECT_EQ(RandomNumberGenerator::SeedFromTime(0u), 0u);
    // The least significant byte is folded in first and so carries the weight 257^3.
    EXPECT_EQ(RandomNumberGenerator::SeedFromTime(0x000000FFu), 255u * 257u * 257u * 257u);
    EXPECT_EQ(RandomNumberGenerator::SeedFromTime(0xFF000000u), 255u);
    // 255 * (257^3 + 257^2 + 257 + 1) = 4345429500, modulo 2^32.
    EXPECT_EQ(RandomNumberGenerator::SeedFromTime(0xFFFFFFFFu), 4345429500u - 4294967296u);

    for (int attempt = 0; attempt < 3; ++attempt) {
        const auto before = static_cast<std::uint32_t>(std::time(nullptr));
        const std::uint32_t seed = RandomNumberGenerator::SeedFromTime();
        if (static_cast<std::uint32_t>(std::time(nullptr)) == before) {
            EXPECT_EQ(seed, RandomNumberGenerator::SeedFromTime(before));
            return;
        }
    }
    ADD_FAILURE() << "the clock kept changing";
}

// Draws from two threads at once lose nothing and repeat nothing: together they are exactly
// the first draws of the sequence. Run under ThreadSanitizer by the test command.
TEST(RandomNumberGenerator, DrawsFromTwoThreadsAreSerialised) {
    constexpr int kPerThread = 20000;
    RandomNumberGenerator::Seed(12345);
    std::vector<int> a, b;
    a.reserve(kPerThread);
    b.reserve(kPerThread);
    std::thread worker([&a] {
        RandomNumberGenerator generator;
        for (int i = 0; i < kPerThread; ++i) {
            a.push_back(generator.Draw());
        }
    });
    RandomNumberGenerator generator;
    for (int i = 0; i < kPerThread; ++i) {
        b.push_back(generator.Draw());
    }
    worker.join();

    std::vector<int> drawn = a;
    drawn.insert(drawn.end(), b.begin(), b.end());
    std::vector<int> expected;
    Reference reference{12345};
    for (int i = 0; i < 2 * kPerThread; ++i) {
        expected.push_back(reference.Next());
    }
    std::sort(drawn.begin(), drawn.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(drawn, expected);
    EXPECT_EQ(RandomNumberGenerator::State(), reference.state);
}

double Radians(int degrees) {
    return 2.0 * kPi * degrees * (1.0 / 360.0);
}

TEST(PseudoNoiseSine, EachSineDrawsOnePhaseInWholeDegrees) {
    // From state 1 the phases are 3, 1 and 120 degrees.
    RandomNumberGenerator::Seed(1);
    for (int degrees : {3, 1, 120}) {
        SignalBase s(44100.0, 0.01, 16, 32768, 1);
        s.Mono[7] = 2.0;
        SineGenerator(s, 1000.0, 0.5);
        EXPECT_EQ(s.Mono[0], 0.5 * std::sin(Radians(degrees))) << degrees;
        for (int i = 0; i < s.SampleCount; ++i) {
            const double expected =
                (i == 7 ? 2.0 : 0.0) +
                0.5 * std::sin(i * s.SamplePeriod * (2.0 * kPi * 1000.0) + Radians(degrees));
            ASSERT_EQ(s.Mono[i], expected) << degrees << " deg, sample " << i;
        }
    }
    Reference after{1};
    for (int i = 0; i < 3; ++i) {
        after.Next();
    }
    EXPECT_EQ(RandomNumberGenerator::State(), after.state); // exactly one draw per sine
}

TEST(PseudoNoiseSine, StereoFormsAndTheOffset) {
    // Without an offset the right channel is set to the new left value.
    RandomNumberGenerator::Seed(1);
    SignalBase copy(44100.0, 0.01, 16, 32768, 2);
    copy.Right[3] = 5.0; // replaced, not added to
    SineGenerator(copy, 1000.0, 1.0);
    EXPECT_EQ(copy.Left, copy.Right);
    EXPECT_EQ(copy.Left[0], std::sin(Radians(3)));

    // With an offset the right channel's phase is the drawn one plus the offset.
    RandomNumberGenerator::Seed(1);
    SignalBase offset(44100.0, 0.01, 16, 32768, 2);
    SineGenerator(offset, 1000.0, 1.0, true, 90.0);
    for (int i = 0; i < offset.SampleCount; ++i) {
        const double arg = i * offset.SamplePeriod * (2.0 * kPi * 1000.0);
        ASSERT_EQ(offset.Left[i], std::sin(arg + Radians(3))) << i;
        ASSERT_NEAR(offset.Right[i], std::sin(arg + Radians(93)), 1e-12) << i;
    }

    // A mono signal ignores the offset: the same samples as the form without it.
    RandomNumberGenerator::Seed(77);
    SignalBase monoOffset(44100.0, 0.01, 16, 32768, 1);
    SineGenerator(monoOffset, 440.0, 1.0, true, 90.0);
    RandomNumberGenerator::Seed(77);
    SignalBase mono(44100.0, 0.01, 16, 32768, 1);
    SineGenerator(mono, 440.0, 1.0);
    EXPECT_EQ(monoOffset.Mono, mono.Mono);
}

} // namespace
} // namespace zembrel
