// Loudness of the EBU test sequences, synthesised: stereo 1 kHz sines at given dBFS peak levels.
// The expected values are those of EBU Tech 3341 (2016), table of minimum requirements, cases 1-5
// (integrated loudness, +-0.1 LU), and EBU Tech 3342 (2016), cases 1-4 (loudness range,
// +-1 LU); libebur128's tests of the EBU test set name the same values. A 1 kHz sine of peak
// -23 dBFS in both channels is -23 LUFS by BS.1770's calibration (K-weighting +0.69 dB at 1 kHz,
// offset -0.691 dB, the two channels' mean squares summed).
// ffmpeg's ebur128 filter, an independent meter, reads the same files.
#include "core/analysis/Loudness.h"
#include "core/analysis/FileReadings.h"
#include "core/analysis/SignalReadings.h"
#include "core/analysis/TruePeak.h"
#include "core/signal/AudioFileRead.h"
#include "core/signal/SignalBase.h"
#include "core/signal/WavFileWrite.h"

#include "tests/core/TestSupport.h"

#include <ebur128.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <numbers>
#include <optional>
#include <regex>
#include <string>
#include <vector>

namespace zembrel {
namespace {

constexpr double kRate = 48000.0;

struct Segment {
    double Dbfs;
    double Seconds;
};

struct LoudnessCase {
    std::string Name;
    std::vector<Segment> Segments;
    std::optional<double> Integrated; // LUFS, +-0.1
    std::optional<double> Range;      // LU, +-1
};

// The sequence as a 16-bit stereo signal, one continuous 1 kHz sine.
SignalBase Sequence(const std::vector<Segment>& segments) {
    double total = 0.0;
    for (const Segment& s : segments) {
        total += s.Seconds;
    }
    SignalBase signal(kRate, total, 16, 32768, 2);
    std::size_t i = 0;
    const double w = 2.0 * std::numbers::pi * 1000.0 / kRate;
    for (const Segment& s : segments) {
        const double a = 32768.0 * std::pow(10.0, s.Dbfs / 20.0);
        const auto end = std::min<std::size_t>(i + static_cast<std::size_t>(s.Seconds * kRate),
                                               static_cast<std::size_t>(signal.SampleCount));
        for (; i < end; ++i) {
            signal.Left[i] = signal.Right[i] = std::round(a * std::sin(w * static_cast<double>(i)));
        }
    }
    return signal;
}

Loudness Measure(const SignalBase& signal) {
    const auto channels = NormalizedChannels(signal);
    return MeasureLoudness({&channels[0], &channels[1]}, signal.SampleRate);
}

// ffmpeg's summary figure after label ("I:", "LRA:", "Peak:"), printed to 0.1.
std::optional<double> FfmpegFigure(const std::string& summary, const std::string& label) {
    std::smatch m;
    const std::regex pattern(label + "\\s+(-?[0-9.]+)");
    std::string::const_iterator from = summary.begin();
    std::optional<double> last;
    while (std::regex_search(from, summary.end(), m, pattern)) {
        last = std::stod(m[1]);
        from = m.suffix().first;
    }
    return last;
}

class EbuSequence : public ::testing::TestWithParam<LoudnessCase> {};

TEST_P(EbuSequence, ReadsTheStandardsValueAndAgreesWithFfmpeg) {
    const LoudnessCase& c = GetParam();
    const SignalBase signal = Sequence(c.Segments);
    const Loudness l = Measure(signal);
    ASSERT_EQ(l.Status, ReadingStatus::Ok);
    if (c.Integrated) {
        EXPECT_NEAR(l.IntegratedLufs, *c.Integrated, 0.1);
    }
    if (c.Range) {
        EXPECT_NEAR(l.RangeLu, *c.Range, 1.0);
    }
    // Every segment lasts over 3 s: both maxima are the loudest segment's steady loudness.
    double loudest = -HUGE_VAL;
    for (const Segment& s : c.Segments) {
        loudest = std::max(loudest, s.Dbfs);
    }
    EXPECT_NEAR(l.MomentaryMaxLufs, loudest, 0.1);
    EXPECT_NEAR(l.ShortTermMaxLufs, loudest, 0.1);
    if (std::system("ffmpeg -version >/dev/null 2>&1") != 0) {
        GTEST_SKIP() << "ffmpeg is not installed";
    }
    test::TempDir dir;
    const std::string path = dir.File("sequence.wav");
    WavFileWrite(path, ".wav", signal);
    const std::string summary =
        test::CommandOutput("ffmpeg -hide_banner -nostats -i '" + path +
                            "' -af ebur128=peak=true:framelog=verbose -f null - 2>&1");
    const auto integrated = FfmpegFigure(summary, "I:");
    const auto range = FfmpegFigure(summary, "LRA:");
    const auto peak = FfmpegFigure(summary, "Peak:");
    ASSERT_TRUE(integrated && range && peak) << summary;
    // ffmpeg prints one decimal: 0.1 LU of agreement plus its rounding.
    EXPECT_NEAR(l.IntegratedLufs, *integrated, 0.15);
    EXPECT_NEAR(l.RangeLu, *range, 0.15);
    EXPECT_NEAR(l.TruePeakDbtp, *peak, 0.2);
}

INSTANTIATE_TEST_SUITE_P(
    Tech3341And3342, EbuSequence,
    ::testing::Values(
        LoudnessCase{"T3341Case1", {{-23, 20}}, -23.0, {}},
        LoudnessCase{"T3341Case2", {{-33, 20}}, -33.0, {}},
        LoudnessCase{"T3341Case3", {{-36, 10}, {-23, 60}, {-36, 10}}, -23.0, {}},
        LoudnessCase{
            "T3341Case4", {{-72, 10}, {-36, 10}, {-23, 60}, {-36, 10}, {-72, 10}}, -23.0, {}},
        LoudnessCase{"T3341Case5", {{-26, 20}, {-20, 20.1}, {-26, 20}}, -23.0, {}},
        LoudnessCase{"T3342Case1", {{-20, 20}, {-30, 20}}, {}, 10.0},
        LoudnessCase{"T3342Case2", {{-20, 20}, {-15, 20}}, {}, 5.0},
        LoudnessCase{"T3342Case3", {{-40, 20}, {-20, 20}}, {}, 20.0},
        LoudnessCase{
            "T3342Case4", {{-50, 20}, {-35, 20}, {-20, 20}, {-35, 20}, {-50, 20}}, {}, 15.0}),
    [](const auto& info) { return info.param.Name; });

TEST(LoudnessLimits, SilenceAndShortFilesHaveNoLoudness) {
    const Loudness silent = Measure(SignalBase(kRate, 5.0, 16, 32768, 2));
    EXPECT_EQ(silent.Status, ReadingStatus::NoSignal);
    EXPECT_EQ(silent.MomentaryStatus, ReadingStatus::NoSignal);
    EXPECT_EQ(silent.PeakStatus, ReadingStatus::NoSignal);

    const Loudness brief = Measure(Sequence({{-23, 0.3}}));
    EXPECT_EQ(brief.Status, ReadingStatus::TooShort);
    EXPECT_EQ(brief.MomentaryStatus, ReadingStatus::TooShort);
    EXPECT_EQ(brief.PeakStatus, ReadingStatus::Ok);

    // A third channel is the centre, weighted 1 like left and right: 3/2 of the stereo energy.
    auto three = NormalizedChannels(Sequence({{-23, 20}}));
    three.push_back(three[0]);
    EXPECT_NEAR(MeasureLoudness({&three[0], &three[1], &three[2]}, kRate).IntegratedLufs,
                -23.0 + 10.0 * std::log10(1.5), 0.1);

    const Loudness steady = Measure(Sequence({{-23, 2.0}}));
    EXPECT_EQ(steady.ShortTermStatus, ReadingStatus::TooShort);
    EXPECT_NEAR(steady.MomentaryMaxLufs, -23.0, 0.1);
    EXPECT_NEAR(steady.SamplePeakDbfs, -23.0, 0.01);
}

// Sines whose samples miss the crest by half a sample step, as in Tech 3341's true-peak cases
// (fs/4, fs/6, fs/8 at 48 kHz), faded in and out over 10 ms so that no step rings the filter.
// The true peak is the amplitude; Tech 3341 allows +0.2/-0.4 dB. libebur128's interpolator, an
// independent filter, reads the same signals within 0.2 dB.
TEST(TruePeakOfSines, ReadsTheAmplitudeBetweenSamples) {
    struct Case {
        double Rate, Frequency;
    };
    for (const Case c : {Case{48000, 12000}, Case{48000, 8000}, Case{48000, 6000},
                         Case{44100, 11025}, Case{96000, 24000}, Case{96000, 16000}}) {
        SCOPED_TRACE(std::to_string(c.Rate) + " Hz rate, " + std::to_string(c.Frequency) + " Hz");
        const double amplitude = 0.5; // -6.02 dBTP
        const auto n = static_cast<std::size_t>(c.Rate);
        const auto fade = static_cast<std::size_t>(c.Rate / 100.0);
        const double w = 2.0 * std::numbers::pi * c.Frequency / c.Rate;
        std::vector<double> x(n);
        for (std::size_t i = 0; i < n; ++i) {
            const double edge = std::min(
                {1.0, static_cast<double>(i) / fade, static_cast<double>(n - 1 - i) / fade});
            x[i] = amplitude * std::sin(w * (static_cast<double>(i) + 0.5)) *
                   std::sin(edge * std::numbers::pi / 2.0);
        }
        const double ours = 20.0 * std::log10(TruePeak(x.data(), x.size(), c.Rate));
        EXPECT_GE(ours, -6.02 - 0.4);
        EXPECT_LE(ours, -6.02 + 0.2);

        ebur128_state* meter =
            ebur128_init(1, static_cast<unsigned long>(c.Rate), EBUR128_MODE_TRUE_PEAK);
        ASSERT_NE(meter, nullptr);
        ebur128_add_frames_double(meter, x.data(), x.size());
        double theirs = 0.0;
        ebur128_true_peak(meter, 0, &theirs);
        ebur128_destroy(&meter);
        EXPECT_NEAR(ours, 20.0 * std::log10(theirs), 0.2);
    }
}

// A file's meter follows its reading on another thread, fed the frames published so far: it must
// read exactly what the meter reads from the channels in memory.
TEST(FileReadings, TheMeterThatFollowsTheReadingReadsAllOfIt) {
    const SignalBase signal = Sequence({{-26, 20}, {-20, 20.1}, {-26, 20}});
    test::TempDir dir;
    const std::string path = dir.File("case5.wav");
    WavFileWrite(path, ".wav", signal);
    AudioFileRead reader(path);
    std::vector<std::vector<double>> channels;
    const SignalReadings fromFile = ReadFile(reader, DistortionSettings{}, channels);
    ASSERT_EQ(channels, NormalizedChannels(signal));
    const Loudness inMemory = Measure(signal);
    const Loudness& l = fromFile.FileLoudness;
    EXPECT_EQ(l.IntegratedLufs, inMemory.IntegratedLufs);
    EXPECT_EQ(l.RangeLu, inMemory.RangeLu);
    EXPECT_EQ(l.MomentaryMaxLufs, inMemory.MomentaryMaxLufs);
    EXPECT_EQ(l.ShortTermMaxLufs, inMemory.ShortTermMaxLufs);
    EXPECT_EQ(l.TruePeakDbtp, inMemory.TruePeakDbtp);
    EXPECT_NEAR(l.IntegratedLufs, -23.0, 0.1);
    ASSERT_EQ(fromFile.Channels.size(), 2u);
    EXPECT_NEAR(fromFile.Channels[1].Tone.Frequency, 1000.0, 0.01);

    // A file cut short of its header's length: what it holds is read, and the meter ends too.
    const auto bytes = std::filesystem::file_size(path);
    std::filesystem::resize_file(path, bytes / 2);
    AudioFileRead cut(path);
    const SignalReadings fromCut = ReadFile(cut, DistortionSettings{}, channels);
    EXPECT_EQ(channels[0].size(), (bytes / 2 - 44) / 4); // a 44-byte header, 4 bytes a frame
    EXPECT_EQ(fromCut.FileLoudness.Status, ReadingStatus::Ok);
}

} // namespace
} // namespace zembrel
