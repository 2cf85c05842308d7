// The libsndfile reader and writer: every format written and read back to the quantised values,
// the headers Microsoft's rules call for, TPDF dither measured, files sox made read as sox
// decodes them, and broken files refused with a reason.
#include "core/analysis/ChannelLevels.h"
#include "core/analysis/FFT.h"
#include "core/signal/AudioFileRead.h"
#include "core/signal/AudioFileWrite.h"
#include "core/signal/SignalBase.h"
#include "core/signal/WavError.h"

#include "tests/core/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

namespace zembrel {
namespace {

using test::TempDir;

std::vector<double> ReadAll(const std::string& path, AudioFormat* format = nullptr) {
    AudioFileRead reader(path);
    if (format) {
        *format = reader.Format();
    }
    std::vector<double> values(static_cast<std::size_t>(reader.Format().Frames) *
                               reader.Format().Channels);
    EXPECT_EQ(reader.ReadInterleaved(values.data(), reader.Format().Frames),
              reader.Format().Frames);
    return values;
}

struct Case {
    const char* name;
    AudioContainer container;
    int bits;
    bool isFloat;
    int channels;
    AudioContainer written; // the container the writer must choose
};

class AudioRoundTrip : public ::testing::TestWithParam<Case> {};

// Values across the range, the two ends and beyond them: PCM reads back rounded to the nearest
// code and clipped (counted), float keeps everything.
TEST_P(AudioRoundTrip, ReadsBackTheQuantisedValues) {
    const Case& c = GetParam();
    constexpr double fullScale = 1000.0;
    constexpr int frames = 3001;
    std::vector<std::vector<double>> data(static_cast<std::size_t>(c.channels));
    std::vector<const double*> pointers;
    for (int ch = 0; ch < c.channels; ++ch) {
        auto& x = data[static_cast<std::size_t>(ch)];
        for (int i = 0; i < frames; ++i) {
            x.push_back(fullScale * std::sin(0.0123 * i * (ch + 1) + ch) * 0.999);
        }
        x[0] = fullScale;        // positive full scale: the largest code, not clipped
        x[1] = -fullScale;       // negative full scale: exact
        x[2] = 1.5 * fullScale;  // beyond: clipped in PCM
        x[3] = -2.0 * fullScale; // beyond: clipped in PCM
        x[4] = 1e-7 * fullScale; // below a 24-bit LSB
        pointers.push_back(x.data());
    }
    TempDir dir;
    const std::string path = dir.File(c.container == AudioContainer::Flac ? "f.flac" : "f.wav");
    AudioWriteOptions options;
    options.Container = c.container;
    options.Bits = c.bits;
    options.Float = c.isFloat;
    const AudioFileWrite writer(path, pointers, frames, 96000, fullScale, options);
    EXPECT_EQ(writer.Format().Container, c.written);
    EXPECT_EQ(writer.Clipped(), c.isFloat ? 0 : 2 * c.channels);

    if (c.container == AudioContainer::Wav) {
        // Extensible where more than 16 bits or 2 channels call for it, with the sub-format;
        // a fact chunk with the frame count in it; no PEAK chunk.
        const auto bytes = test::ReadBytes(path);
        const std::string text(bytes.begin(), bytes.end());
        const bool extensible = c.written == AudioContainer::WavExtensible;
        EXPECT_EQ(test::Le16(bytes, 20), extensible ? 0xFFFE : 1);
        EXPECT_TRUE(extensible ? test::Le16(bytes, 44) == (c.isFloat ? 3 : 1)
                               : text.substr(36, 4) == "data")
            << "sub-format, or the canonical 44-byte header";
        const auto fact = text.find("fact");
        ASSERT_EQ(fact != std::string::npos, extensible);
        EXPECT_TRUE(!extensible || test::Le32(bytes, fact + 8) == frames);
        EXPECT_EQ(text.find("PEAK"), std::string::npos);
    }
    AudioFormat format;
    const std::vector<double> back = ReadAll(path, &format);
    EXPECT_EQ(format.Bits, c.bits);
    EXPECT_EQ(format.Float, c.isFloat);
    EXPECT_EQ(format.Channels, c.channels);
    EXPECT_EQ(format.Frames, frames);
    EXPECT_EQ(format.SampleRate, 96000);
    EXPECT_EQ(format.Container, c.written);
    const double top = std::ldexp(1.0, c.bits - 1);
    for (int i = 0; i < frames; ++i) {
        for (int ch = 0; ch < c.channels; ++ch) {
            const double x = data[static_cast<std::size_t>(ch)][static_cast<std::size_t>(i)];
            double expected;
            if (c.isFloat) {
                expected = c.bits == 32 ? static_cast<float>(x / fullScale) : x / fullScale;
            } else {
                expected = std::clamp(std::nearbyint(x / fullScale * top), -top, top - 1) / top;
            }
            ASSERT_EQ(back[static_cast<std::size_t>(i) * c.channels + ch], expected)
                << "frame " << i << " channel " << ch;
        }
    }
}

const Case kCases[] = {
    {"Pcm8Mono", AudioContainer::Wav, 8, false, 1, AudioContainer::Wav},
    {"Pcm16Stereo", AudioContainer::Wav, 16, false, 2, AudioContainer::Wav},
    {"Pcm16FourChannels", AudioContainer::Wav, 16, false, 4, AudioContainer::WavExtensible},
    {"Pcm24Mono", AudioContainer::Wav, 24, false, 1, AudioContainer::WavExtensible},
    {"Pcm24Stereo", AudioContainer::Wav, 24, false, 2, AudioContainer::WavExtensible},
    {"Pcm32Stereo", AudioContainer::Wav, 32, false, 2, AudioContainer::WavExtensible},
    {"Float32Mono", AudioContainer::Wav, 32, true, 1, AudioContainer::WavExtensible},
    {"Float64EightChannels", AudioContainer::Wav, 64, true, 8, AudioContainer::WavExtensible},
    {"Flac16Stereo", AudioContainer::Flac, 16, false, 2, AudioContainer::Flac},
    {"Flac24SixChannels", AudioContainer::Flac, 24, false, 6, AudioContainer::Flac},
};

INSTANTIATE_TEST_SUITE_P(Formats, AudioRoundTrip, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

// 1 kHz at 48 kHz: an undithered sine's error repeats every 48 samples and piles up in its
// harmonics; TPDF turns it into a flat floor of LSB^2/12 + LSB^2/6.
class Dither : public ::testing::Test {
protected:
    // A 16-bit file of a sine at level dBFS, read back on the 16-bit scale.
    SignalBase Quantised(double level, DitherKind dither) {
        x_.resize(48000 * 4);
        amplitude_ = std::pow(10.0, level / 20.0);
        for (std::size_t i = 0; i < x_.size(); ++i) {
            x_[i] = amplitude_ * std::sin(2 * FFT::Pi * 1000.0 * static_cast<double>(i) / 48000.0);
        }
        AudioWriteOptions options;
        options.Dither = dither;
        options.Seed = 12345;
        const std::string path = dir_.File("d.wav");
        AudioFileWrite(path, {x_.data()}, static_cast<std::int64_t>(x_.size()), 48000, 1.0,
                       options);
        AudioFileRead reader(path);
        return ReadChannelSignals(reader).at(0);
    }

    // Welch levels of 8192 points; the floor is their median.
    static std::vector<double> Levels(const SignalBase& s) {
        return AverageChannelLevels(s, 8192, FFT::BlackmanHarris, 0).Levels;
    }
    static double Floor(std::vector<double> levels) {
        std::nth_element(levels.begin(), levels.begin() + levels.size() / 2, levels.end());
        return levels[levels.size() / 2];
    }
    static double Harmonic(const std::vector<double>& levels, int k) {
        const int centre = static_cast<int>(std::lround(k * 1000.0 / (48000.0 / 8192)));
        return *std::max_element(levels.begin() + centre - 3, levels.begin() + centre + 4);
    }

    TempDir dir_;
    std::vector<double> x_;
    double amplitude_ = 0.0;
};

TEST_F(Dither, TpdfNoiseIsAQuarterLsbSquared) {
    const SignalBase s = Quantised(-1.0, DitherKind::Tpdf);
    double sum = 0.0;
    for (std::size_t i = 0; i < x_.size(); ++i) {
        const double e = s.Mono[i] / 32768.0 - x_[i];
        sum += e * e;
    }
    // Relative to a full-scale sine's power of 1/2.
    const double noiseDb = 10.0 * std::log10(sum / static_cast<double>(x_.size()) / 0.5);
    EXPECT_NEAR(noiseDb, -93.3, 0.3);
}

TEST_F(Dither, TpdfRemovesTheHarmonicsOfAQuietSine) {
    const std::vector<double> plain = Levels(Quantised(-60.0, DitherKind::None));
    EXPECT_GT(Harmonic(plain, 3), Floor(plain) + 20.0) << "the undithered error is periodic";
    const std::vector<double> dithered = Levels(Quantised(-60.0, DitherKind::Tpdf));
    const double floor = Floor(dithered);
    for (int k = 2; k <= 5; ++k) {
        EXPECT_LE(Harmonic(dithered, k), floor + 6.0) << "harmonic " << k;
    }
}

// Files from outside: what sox makes we read as sox decodes it (to 64-bit float, exact for
// every one of these encodings).
TEST(AudioFileRead, ReadsSoxFilesAsSoxDecodesThem) {
    if (!test::SoxPresent()) {
        GTEST_SKIP() << "sox is not installed";
    }
    struct Made {
        const char* name;
        const char* options;
        int bits;
        bool isFloat;
        int channels;
        AudioContainer container;
    };
    const Made files[] = {
        {"p24.wav", "-c 2 -b 24", 24, false, 2, AudioContainer::WavExtensible},
        {"p32.wav", "-c 1 -b 32", 32, false, 1, AudioContainer::WavExtensible},
        {"f32.wav", "-c 2 -e floating-point -b 32", 32, true, 2, AudioContainer::Wav},
        {"f64.wav", "-c 1 -e floating-point -b 64", 64, true, 1, AudioContainer::Wav},
        {"x4.wav", "-c 4 -b 16", 16, false, 4, AudioContainer::WavExtensible},
        {"f.flac", "-c 2 -b 24", 24, false, 2, AudioContainer::Flac},
        {"a.aiff", "-c 1 -b 16", 16, false, 1, AudioContainer::Aiff},
    };
    TempDir dir;
    for (const Made& m : files) {
        SCOPED_TRACE(m.name);
        const std::string path = dir.File(m.name);
        test::CommandOutput("sox -q -n -r 88200 " + std::string(m.options) + " '" + path +
                            "' synth 0.05 sine 997 sine 1503 vol 0.7");
        const std::string raw = test::CommandOutput("sox -q '" + path + "' -t f64 -");
        std::vector<double> expected(raw.size() / sizeof(double));
        std::memcpy(expected.data(), raw.data(), expected.size() * sizeof(double));
        AudioFormat format;
        const std::vector<double> ours = ReadAll(path, &format);
        EXPECT_EQ(format.Bits, m.bits);
        EXPECT_EQ(format.Float, m.isFloat);
        EXPECT_EQ(format.Channels, m.channels);
        EXPECT_EQ(format.Container, m.container);
        EXPECT_EQ(format.SampleRate, 88200);
        EXPECT_EQ(format.Frames, 4410);
        EXPECT_EQ(ours, expected);
    }
}

// The broken files kept as fuzz reproducers: each is refused with its reason, or read with a
// warning when only the data's length lies.
TEST(AudioFileRead, RefusesBrokenFilesWithTheReason) {
    const std::string folder = std::string(ZEMBREL_SOURCE_DIR) + "/fuzz/reproducers/audio_read/";
    const std::pair<const char*, const char*> refused[] = {
        {"channels_0", "Channel count is zero"},
        {"channels_65535", "Too many channels"},
        {"rate_0", "not a readable audio file"},
        {"truncated_fmt", "not a readable audio file"},
        {"float_nan", "sample 1 of channel 1 is not a finite number"},
        {"float_inf", "sample 1 of channel 1 is not a finite number"},
    };
    for (const auto& [name, reason] : refused) {
        try {
            AudioFileRead reader(folder + name);
            ReadChannelSignals(reader);
            ADD_FAILURE() << name << " was read";
        } catch (const WavError& e) {
            EXPECT_NE(e.Reason().find(reason), std::string::npos) << name << ": " << e.what();
        }
    }
    AudioFileRead beyond(folder + "data_beyond_file");
    EXPECT_NE(beyond.Warning().find("more data than the file holds"), std::string::npos);
    EXPECT_EQ(beyond.Format().Frames, 4);
}

} // namespace
} // namespace zembrel
