#include "core/generators/ModulationInputRules.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

namespace zembrel {
namespace {

constexpr double kNan = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

// The fields in error, as a string of their initials, so a table row reads at a glance.
std::string Faults(const AmplitudeModulationCheck& c) {
    std::string s;
    s += c.CarrierFrequency ? "" : "c";
    s += c.ModulationFrequency ? "" : "f";
    s += c.ModulationPhase ? "" : "p";
    s += c.PhaseOffset ? "" : "o";
    s += c.ModulationIndex ? "" : "m";
    s += c.Level ? "" : "l";
    return s;
}

std::string Faults(const FrequencyModulationCheck& c) {
    std::string s;
    s += c.CarrierFrequency ? "" : "c";
    s += c.ModulationFrequency ? "" : "f";
    s += c.ModulationIndex ? "" : "m";
    s += c.Level ? "" : "l";
    return s;
}

std::string Faults(const FrequencySweepCheck& c) {
    std::string s;
    s += c.StartFrequency ? "" : "1";
    s += c.StopFrequency ? "" : "2";
    s += c.Level ? "" : "l";
    return s;
}

TEST(ModulationInputRules, AmplitudeModulationKeepsBothSidebandsInsideTheBand) {
    struct Case {
        double fc, fm, phase, offset, m, level;
        const char* faults;
    };
    const Case cases[] = {
        {22050, 0, 0, 0, 1, 0, ""},           // carrier at fs/2, no modulation
        {22050.5, 0, 0, 0, 1, 0, "cf"},       // beyond fs/2; the sum is beyond it too
        {1000, 1000, 0, 0, 1, 0, ""},         // lower sideband at 0 Hz
        {1000, 1001, 0, 0, 1, 0, "f"},        // lower sideband below 0 Hz
        {15000, 8000, 0, 0, 1, 0, "f"},       // upper sideband at 23000 Hz
        {14050, 8000, 0, 0, 1, 0, ""},        // upper sideband exactly at fs/2
        {1000, 100, 0, 0, 0, 0, "m"},         // no modulation is not an index
        {1000, 100, 0, 0, -1, 0, "m"},        //
        {1000, 100, 0, 0, 0.5, 0, ""},        //
        {1000, 100, 0, 0, 1, 0.1, "l"},       //
        {0, 100, 0, 0, 0, 3, "cfml"},         // every check is made
        {1000, 100, -720, 1e6, 2.5, -90, ""}, // phases have no range
        {kNan, 100, 0, 0, 1, 0, "cf"},        //
        {1000, -kInf, 0, 0, 1, 0, "f"},       // would pass both sums
        {1000, -100, 0, 0, 1, 0, ""},         // a sine of the opposite sign: 900 and 1100 Hz
        {1000, -1000, 0, 0, 1, 0, ""},        //
        {1000, -30000, 0, 0, 1, 0, "f"},      // sidebands at 29 and 31 kHz
        {2.59e-89, -1.394e308, 0, 0, 1.73e98, 0, "f"}, // 2 pi fm overflows
        {1000, 100, kNan, -kInf, kInf, kNan, "poml"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.fc << " " << c.fm << " " << c.phase << " " << c.offset
                                        << " " << c.m << " " << c.level);
        const auto check =
            CheckAmplitudeModulation(c.fc, c.fm, c.phase, c.offset, c.m, c.level, 44100.0);
        EXPECT_EQ(Faults(check), c.faults);
        EXPECT_EQ(check.Valid(), std::string(c.faults).empty());
    }
}

TEST(ModulationInputRules, FrequencyModulationLimitsOnlyTheCarrierToTheBand) {
    struct Case {
        double fc, fm, m, level;
        const char* faults;
    };
    const Case cases[] = {
        {22050, 1, 1, 0, ""},       {22050.5, 1, 1, 0, "c"}, {0, 1, 1, 0, "c"},
        {1000, 0, 1, 0, "f"},       {1000, -5, 1, 0, "f"},   {1000, 100, 0, 0, "m"},
        {20000, 5000, 10, 0, ""}, // sidebands beyond fs/2 are allowed
        {1000, 100, 1, 0.1, "l"},   {0, 0, 0, 1, "cfml"},    {kInf, kInf, kNan, -kInf, "cfml"},
        {1000, 1e6, 1e3, -200, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.fc << " " << c.fm << " " << c.m << " " << c.level);
        const auto check = CheckFrequencyModulation(c.fc, c.fm, c.m, c.level, 44100.0);
        EXPECT_EQ(Faults(check), c.faults);
        EXPECT_EQ(check.Valid(), std::string(c.faults).empty());
    }
}

TEST(ModulationInputRules, SweepMayRiseFallOrStayWithinTheBand) {
    struct Case {
        double f1, f2, level;
        const char* faults;
    };
    const Case cases[] = {
        {22050, 22050, 0, ""},   {5000, 100, 0, ""},  {1000, 1000, -3, ""},      {0, 1000, 0, "1"},
        {1000, 22050.5, 0, "2"}, {-1, 0, 0.5, "12l"}, {kNan, kInf, kNan, "12l"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.f1 << " " << c.f2 << " " << c.level);
        const auto check = CheckFrequencySweep(c.f1, c.f2, c.level, 44100.0);
        EXPECT_EQ(Faults(check), c.faults);
        EXPECT_EQ(check.Valid(), std::string(c.faults).empty());
    }
}

} // namespace
} // namespace zembrel
