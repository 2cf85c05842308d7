// The generators' entry points: refused input leaves the signal as it was, a stop leaves it
// unscaled, and a finished run is the dialog's sequence of steps.
#include "core/generators/Generate.h"

#include "tests/core/TestSupport.h"
#include "tests/core/generators/ReportRecorder.h"

#include "core/generators/FinishSignal.h"
#include "core/generators/FrequencyListFile.h"
#include "core/generators/FrequencySweepGenerator.h"
#include "core/generators/NoiseGenerator.h"
#include "core/generators/RandomNumberGenerator.h"
#include "core/signal/SignalBase.h"

#include <gtest/gtest.h>

#include <functional>

namespace zembrel {
namespace {

using test::ReportRecorder;

// One call of an entry point on a given signal.
using Call = std::function<GeneratorStatus(SignalBase&, CalculationObserver&)>;

struct EntryCase {
    const char* name;
    Call valid;   // input every check accepts
    Call invalid; // input one check refuses
};

std::ostream& operator<<(std::ostream& out, const EntryCase& c) {
    return out << c.name;
}

FrequencyList List(double level, std::vector<std::vector<double>> records) {
    FrequencyList list;
    list.Level = level;
    list.Records = std::move(records);
    list.Lines.assign(list.Records.size(), 2);
    return list;
}

const EntryCase kEntries[] = {
    {"Sines",
     [](SignalBase& s, CalculationObserver& o) {
         return GenerateSines(s, {{1000, 1, 0, 0}, {2000, 0.5, 90, 45}}, -3, o);
     },
     [](SignalBase& s, CalculationObserver& o) {
         return GenerateSines(s, {{1000, 1, 0, 0}, {2000, 0.5, 90, 45}}, 0.5, o);
     }},
    {"Function",
     [](SignalBase& s, CalculationObserver& o) {
         return GenerateFunction(s, {Waveform::Triangle, 100, 0, 0, -1}, o);
     },
     [](SignalBase& s, CalculationObserver& o) {
         return GenerateFunction(s, {Waveform::Triangle, 4000.5, 0, 0, -1}, o);
     }},
    {"AmplitudeModulation",
     [](SignalBase& s, CalculationObserver& o) {
         return GenerateAmplitudeModulation(s, {1000, 100, 0, 0, 0.5, 0}, o);
     },
     [](SignalBase& s, CalculationObserver& o) {
         return GenerateAmplitudeModulation(s, {1000, 1001, 0, 0, 0.5, 0}, o);
     }},
    {"FrequencyModulation",
     [](SignalBase& s, CalculationObserver& o) {
         return GenerateFrequencyModulation(s, {1000, 10, 2, 0}, o);
     },
     [](SignalBase& s, CalculationObserver& o) {
         return GenerateFrequencyModulation(s, {1000, 10, 0, 0}, o);
     }},
    {"FrequencySweep",
     [](SignalBase& s, CalculationObserver& o) {
         return GenerateFrequencySweep(s, {100, 1000, SweepCube, 0}, o);
     },
     [](SignalBase& s, CalculationObserver& o) {
         return GenerateFrequencySweep(s, {100, 1000, kSweepCharacteristicCount, 0}, o);
     }},
    {"PnSines",
     [](SignalBase& s, CalculationObserver& o) {
         return GeneratePnSines(s, {{1000, 1, 0}, {1500, 1, 90}}, 0, 1, o);
     },
     [](SignalBase& s, CalculationObserver& o) {
         return GeneratePnSines(s, {{0, 1, 0}, {1500, 1, 90}}, 0, 1, o);
     }},
    {"WhiteNoise",
     [](SignalBase& s, CalculationObserver& o) {
         return GenerateWhiteNoise(s, {{100, 200, 1, 1, 0}, {1000, 1100, 10, 1, 0}}, 0, 1, o);
     },
     [](SignalBase& s, CalculationObserver& o) {
         return GenerateWhiteNoise(s, {{100, 200, 0, 1, 0}}, 0, 1, o);
     }},
    {"WhiteNoiseList",
     [](SignalBase& s, CalculationObserver& o) {
         return GenerateWhiteNoiseList(s, List(-6, {{100, 200, 1, 0.5}, {10, 20, 1, 0}}), 1, o);
     },
     [](SignalBase& s, CalculationObserver& o) {
         return GenerateWhiteNoiseList(s, List(-6, {{100, 200, -1, 0.5}}), 1, o);
     }},
    {"PinkNoise",
     [](SignalBase& s, CalculationObserver& o) {
         return GeneratePinkNoise(s, {20, 2000, 1, 0, 0}, 1, o);
     },
     [](SignalBase& s, CalculationObserver& o) {
         return GeneratePinkNoise(s, {20, 2000, 1, 0, 3}, 1, o);
     }},
};

class EntryPoint : public ::testing::TestWithParam<EntryCase> {
protected:
    // 8-bit stereo, whose scaled silence would be 128, with a mark that a cleared or
    // rewritten signal would not keep.
    static SignalBase Marked() {
        SignalBase s(8000.0, 0.25, 8, 128, 2);
        s.Left[7] = 0.5;
        return s;
    }
};

TEST_P(EntryPoint, RefusedInputLeavesTheSignalAlone) {
    SignalBase s = Marked();
    ReportRecorder observer;
    EXPECT_EQ(GetParam().invalid(s, observer), GeneratorStatus::Invalid);
    EXPECT_EQ(s.Left, Marked().Left);
    EXPECT_EQ(s.Right, Marked().Right);
    EXPECT_TRUE(observer.reports.empty());
}

TEST_P(EntryPoint, AStopBeforeTheFirstUnitLeavesTheSignalUnscaled) {
    SignalBase s = Marked();
    ReportRecorder stopped(0);
    EXPECT_EQ(GetParam().valid(s, stopped), GeneratorStatus::Stopped);
    for (const SampleArray* channel : s.ChannelArrays()) {
        for (double x : *channel) {
            ASSERT_TRUE(x == 0.0 || x == 0.5) << "nothing added, nothing scaled";
        }
    }
}

TEST_P(EntryPoint, AFinishedRunIsInFileUnitsAndRepeatsExactly) {
    SignalBase first(8000.0, 0.25, 16, 32768, 2);
    SignalBase second = first;
    ReportRecorder observer;
    ASSERT_EQ(GetParam().valid(first, observer), GeneratorStatus::Finished);
    ASSERT_EQ(GetParam().valid(second, observer), GeneratorStatus::Finished);
    EXPECT_EQ(first.Left, second.Left) << "the seed fixes the phases";
    double peak = 0.0;
    for (const SampleArray* channel : first.ChannelArrays()) {
        for (double x : *channel) {
            ASSERT_EQ(x, std::trunc(x));
            peak = std::max(peak, std::abs(x));
        }
    }
    EXPECT_GT(peak, 32768 * 0.5);
    EXPECT_LE(peak, 32768);
}

INSTANTIATE_TEST_SUITE_P(Generators, EntryPoint, ::testing::ValuesIn(kEntries),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(GenerateWhiteNoise, ReportsTheWholeRunAcrossItsBands) {
    SignalBase s(8000.0, 0.1, 16, 32768, 1);
    ReportRecorder observer;
    ASSERT_EQ(GenerateWhiteNoise(s, {{100, 109, 1, 1, 0}, {200, 209, 1, 1, 0}}, 0, 1, observer),
              GeneratorStatus::Finished);
    // Ten lines per band: 5, 10, ... 50 for the first, 55 ... 100 for the second.
    std::vector<int> expected;
    for (int p = 5; p <= 100; p += 5) {
        expected.push_back(p);
    }
    EXPECT_EQ(observer.reports, expected);

    // A stop in the second band stops the run.
    SignalBase t(8000.0, 0.1, 16, 32768, 1);
    ReportRecorder stopping(12);
    EXPECT_EQ(GenerateWhiteNoise(t, {{100, 109, 1, 1, 0}, {200, 209, 1, 1, 0}}, 0, 1, stopping),
              GeneratorStatus::Stopped);
}

TEST(GeneratePinkNoise, WithoutASeedStartsFromTheClockAsTheDialogDoes) {
    for (int attempt = 0; attempt < 5; ++attempt) {
        SignalBase clock(8000.0, 0.1, 16, 32768, 1);
        SignalBase seeded = clock;
        ReportRecorder observer;
        const std::uint32_t before = PinkNoiseClockSeed();
        ASSERT_EQ(GeneratePinkNoise(clock, {20, 200, 1, 0, 0}, std::nullopt, observer),
                  GeneratorStatus::Finished);
        if (PinkNoiseClockSeed() != before) {
            continue;
        }
        ASSERT_EQ(GeneratePinkNoise(seeded, {20, 200, 1, 0, 0}, before, observer),
                  GeneratorStatus::Finished);
        EXPECT_EQ(clock.Mono, seeded.Mono);
        return;
    }
    FAIL() << "no run stayed within one second";
}

TEST(ReadBandList, RefusesABandThatCannotBeWalkedNamingItsLine) {
    try {
        ReadBandList(test::DataPath("band_list_bad_step.txt"));
        FAIL() << "accepted";
    } catch (const ListFileError& e) {
        EXPECT_GT(e.Line(), 1);
        EXPECT_NE(std::string(e.what()).find("band_list_bad_step.txt, line"), std::string::npos);
    }
    EXPECT_EQ(ReadBandList(test::DataPath("band_list.txt")).Records.size(),
              ReadFrequencyList(test::DataPath("band_list.txt"), kBandListReset).Records.size());
}

} // namespace
} // namespace zembrel
