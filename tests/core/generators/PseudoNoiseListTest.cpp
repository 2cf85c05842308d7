#include "core/generators/PseudoNoiseList.h"
#include "core/generators/RandomNumberGenerator.h"
#include "core/signal/SignalBase.h"
#include "tests/core/generators/FastPathCompare.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <random>
#include <vector>

namespace zembrel {
namespace {

// A frequency as a list file holds it: printed with a few decimals and read back.
double AsWritten(double f, int decimals) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, f);
    return std::strtod(text, nullptr);
}

TEST(FindEqualSpacing, AcceptsCombsAsTextFilesHoldThem) {
    std::vector<double> band;
    for (int m = 0; m <= 100000; ++m) {
        band.push_back(AsWritten(100.0 + m * 0.001, 3));
    }
    const auto found = FindEqualSpacing(band, 180.0);
    ASSERT_TRUE(found);
    EXPECT_DOUBLE_EQ(found->First, 100.0);
    EXPECT_NEAR(found->Spacing, 0.001, 1e-15);

    std::vector<double> descending;
    for (int f = 20000; f >= 20; f -= 5) {
        descending.push_back(f);
    }
    const auto down = FindEqualSpacing(descending, 180.0);
    ASSERT_TRUE(down);
    EXPECT_EQ(down->First, 20000.0);
    EXPECT_EQ(down->Spacing, -5.0);
}

TEST(FindEqualSpacing, RefusesWhatWouldShiftAPhase) {
    std::vector<double> nearly = {100.0, 101.0, 102.0, 103.0, 104.0, 105.0, 106.0, 107.0};
    nearly[3] += 1e-6; // 6e-5 rad after 10 s, 6e-8 rad after 10 ms
    EXPECT_FALSE(FindEqualSpacing(nearly, 10.0));
    EXPECT_TRUE(FindEqualSpacing(nearly, 0.01));

    std::vector<double> thirds; // 1/3 Hz steps rounded to three decimals
    for (int m = 1; m <= 30; ++m) {
        thirds.push_back(AsWritten(m / 3.0, 3));
    }
    EXPECT_FALSE(FindEqualSpacing(thirds, 1.0));

    EXPECT_FALSE(FindEqualSpacing({440.0}, 1.0));
    EXPECT_FALSE(FindEqualSpacing({440.0, 440.0, 440.0}, 1.0));
    EXPECT_FALSE(FindEqualSpacing({100.0, 300.0, 200.0, 400.0, 500.0}, 1.0)); // order counts
}

struct ListCase {
    double rate;
    double duration;
    int channels;
    std::vector<std::vector<double>> records;
};

// Both methods from the same seed: the same draws are used up, and the signals agree as the
// fast evaluation must.
void CompareMethods(const ListCase& c) {
    SignalBase fast(c.rate, c.duration, 16, 32768, c.channels);
    SignalBase reference = fast;
    RandomNumberGenerator::Seed(4711);
    AddPseudoNoiseList(fast, c.records);
    const std::uint32_t stateAfterFast = RandomNumberGenerator::State();
    RandomNumberGenerator::Seed(4711);
    AddPseudoNoiseList(reference, c.records, SynthesisMethod::PerSample);
    EXPECT_EQ(RandomNumberGenerator::State(), stateAfterFast);
    if (c.channels == 2) {
        EXPECT_EQ(fast.Right, fast.Left);
        EXPECT_EQ(reference.Right, reference.Left);
    }
    test::ExpectFastMatchesReference(fast, reference);
}

TEST(PseudoNoiseList, CombsAgreeWithOneSinePerRecord) {
    std::mt19937 rng(99);
    std::uniform_real_distribution<double> amplitude(0.05, 1.0);

    ListCase ascending{44100.0, 0.5, 2, {}};
    for (int m = 0; m < 500; ++m) {
        ascending.records.push_back({AsWritten(20.0 + m * 0.1, 1), amplitude(rng)});
    }
    ascending.records.push_back({1.0, 0.0}); // what a final line break reads as
    SCOPED_TRACE("ascending, stereo, step divides the rate");
    CompareMethods(ascending);

    ListCase descending{48000.0, 0.3, 1, {}};
    for (int m = 0; m < 300; ++m) {
        descending.records.push_back({AsWritten(3000.0 - m * 7.77, 2), amplitude(rng)});
    }
    SCOPED_TRACE("descending, mono, step does not divide the rate");
    CompareMethods(descending);
}

TEST(PseudoNoiseList, OtherListsAddOneSinePerRecord) {
    std::mt19937 rng(5);
    std::uniform_real_distribution<double> frequency(20.0, 20000.0);
    ListCase scattered{44100.0, 0.2, 2, {}};
    for (int m = 0; m < 40; ++m) {
        scattered.records.push_back({frequency(rng), 0.5});
    }
    SignalBase automatic(scattered.rate, scattered.duration, 16, 32768, 2);
    SignalBase perSample = automatic;
    RandomNumberGenerator::Seed(1);
    AddPseudoNoiseList(automatic, scattered.records);
    RandomNumberGenerator::Seed(1);
    AddPseudoNoiseList(perSample, scattered.records, SynthesisMethod::PerSample);
    EXPECT_EQ(automatic.Left, perSample.Left);
    EXPECT_EQ(automatic.Right, automatic.Left);
}

} // namespace
} // namespace zembrel
