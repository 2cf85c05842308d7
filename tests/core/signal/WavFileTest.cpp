#include "core/signal/SignalBase.h"
#include "core/signal/WavError.h"
#include "core/signal/WavFileRead.h"
#include "core/signal/WavFileWrite.h"

#include "tests/core/TestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <csignal>
#include <filesystem>
#include <limits>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace zembrel {
namespace {

using test::DataPath;
using test::Le16;
using test::Le32;
using test::ReadBytes;
using test::TempDir;

SignalBase Load(const std::string& path) {
    WavFileRead reader(path);
    return SignalBase(reader);
}

TEST(WavFileWrite, StartUpSignalHeaderIsExact) {
    TempDir dir;
    const SignalBase s(44100.0, 1.0, 16, 32768, 1);
    WavFileWrite(dir.File("a.wav"), ".wav", s);
    const auto b = ReadBytes(dir.File("a.wav"));
    ASSERT_EQ(b.size(), 88244u);
    EXPECT_EQ(std::string(b.begin(), b.begin() + 4), "RIFF");
    EXPECT_EQ(Le32(b, 4), 88236u);
    EXPECT_EQ(std::string(b.begin() + 8, b.begin() + 16), "WAVEfmt ");
    EXPECT_EQ(Le32(b, 16), 16u);
    EXPECT_EQ(Le16(b, 20), 1u);
    EXPECT_EQ(Le16(b, 22), 1u);
    EXPECT_EQ(Le32(b, 24), 44100u);
    EXPECT_EQ(Le32(b, 28), 88200u);
    EXPECT_EQ(Le16(b, 32), 2u);
    EXPECT_EQ(Le16(b, 34), 16u);
    EXPECT_EQ(std::string(b.begin() + 36, b.begin() + 40), "data");
    EXPECT_EQ(Le32(b, 40), 88200u);
}

struct HeaderCase {
    double rate;
    double duration;
    int bits;
    int channels;
    std::uint32_t rateField, byteRate, blockAlign, dataSize, fileSize;
};

class WavHeaderFields : public ::testing::TestWithParam<HeaderCase> {};

TEST_P(WavHeaderFields, FollowTheFormat) {
    const auto& c = GetParam();
    TempDir dir;
    const SignalBase s(c.rate, c.duration, c.bits, c.bits == 8 ? 128 : 32768, c.channels);
    WavFileWrite(dir.File("h.wav"), ".wav", s);
    const auto b = ReadBytes(dir.File("h.wav"));
    ASSERT_EQ(b.size(), c.fileSize);
    EXPECT_EQ(Le32(b, 4), c.dataSize + 36);
    EXPECT_EQ(Le16(b, 22), static_cast<unsigned>(c.channels));
    EXPECT_EQ(Le32(b, 24), c.rateField);
    EXPECT_EQ(Le32(b, 28), c.byteRate);
    EXPECT_EQ(Le16(b, 32), c.blockAlign);
    EXPECT_EQ(Le16(b, 34), static_cast<unsigned>(c.bits));
    EXPECT_EQ(Le32(b, 40), c.dataSize);
}

INSTANTIATE_TEST_SUITE_P(
    Formats, WavHeaderFields,
    ::testing::Values(HeaderCase{8000.0, 0.5, 8, 2, 8000, 16000, 2, 8000, 8044},
                      // odd 8-bit data: no pad byte
                      HeaderCase{11025.0, 0.5, 8, 1, 11025, 11025, 1, 5512, 5556},
                      HeaderCase{11026.0, 0.5, 8, 1, 11026, 11026, 1, 5513, 5557},
                      HeaderCase{44100.5, 1.0, 16, 1, 44100, 88201, 2, 88200, 88244},
                      HeaderCase{48000.0, 0.5, 16, 2, 48000, 192000, 4, 96000, 96044},
                      HeaderCase{32075.0, 0.5, 16, 2, 32075, 128300, 4, 64148, 64192}));

TEST(WavFileWrite, TruncatesTowardZeroAndSaturates) {
    TempDir dir;
    SignalBase s16(8000.0, 0.001, 16, 32768, 1); // 8 samples
    const double in16[] = {1000.9,
                           -1000.9,
                           -0.5,
                           32768.0,
                           -40000.0,
                           std::numeric_limits<double>::quiet_NaN(),
                           std::numeric_limits<double>::infinity(),
                           -std::numeric_limits<double>::infinity()};
    s16.SetMono(in16);
    WavFileWrite(dir.File("s16.wav"), ".wav", s16);
    const SignalBase r16 = Load(dir.File("s16.wav"));
    const double want16[] = {1000, -1000, 0, 32767, -32768, 0, 32767, -32768};
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(r16.Mono[i], want16[i]) << "sample " << i;
    }

    SignalBase s8(8000.0, 0.001, 8, 128, 1);
    const double in8[] = {
        128.7, 256.0, -1.0, 0.0, 255.9, 127.2, std::numeric_limits<double>::quiet_NaN(), 1e300};
    s8.SetMono(in8);
    WavFileWrite(dir.File("s8.wav"), ".wav", s8);
    const auto b = ReadBytes(dir.File("s8.wav"));
    const unsigned char want8[] = {128, 255, 0, 0, 255, 127, 0, 255};
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(b.at(44 + i), want8[i]) << "sample " << i;
    }
}

TEST(WavFileWrite, StereoStoresLeftBeforeRight) {
    TempDir dir;
    SignalBase s(8000.0, 0.00025, 16, 32768, 2); // 2 frames
    const double left[] = {1.0, -2.0};
    const double right[] = {3.0, 0x1234};
    s.SetLeft(left);
    s.SetRight(right);
    WavFileWrite(dir.File("st.wav"), ".wav", s);
    const auto b = ReadBytes(dir.File("st.wav"));
    ASSERT_EQ(b.size(), 44u + 8u);
    EXPECT_EQ(Le16(b, 44), 1u);
    EXPECT_EQ(Le16(b, 46), 3u);
    EXPECT_EQ(Le16(b, 48), 0xFFFEu);
    EXPECT_EQ(Le16(b, 50), 0x1234u);
}

TEST(WavFileWrite, FailureThrowsAndLeavesNothingBehind) {
    TempDir dir;
    const SignalBase s(8000.0, 0.1, 16, 32768, 1);
    EXPECT_THROW(WavFileWrite(dir.File("missing/x.wav"), ".wav", s), WavError);
    EXPECT_FALSE(std::filesystem::exists(dir.File("missing")));

    // A target that cannot be replaced (a folder) keeps its contents and leaves no temp file.
    std::filesystem::create_directory(dir.File("taken.wav"));
    test::WriteText(dir.File("taken.wav/inner"), "x");
    EXPECT_THROW(WavFileWrite(dir.File("taken.wav"), ".wav", s), WavError);
    EXPECT_TRUE(std::filesystem::exists(dir.File("taken.wav/inner")));
    int entries = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir.Path())) {
        ++entries;
    }
    EXPECT_EQ(entries, 1);

    // A signal whose data passes the 32-bit RIFF sizes is refused before anything is written,
    // never stored with wrapped sizes. (Only the format fields count, so no samples are made.)
    SignalBase huge;
    huge.Channels = 2;
    huge.Bits = 16;
    huge.SampleCount = (1 << 30) - 8; // 4 GiB - 32 bytes of data: RIFF size would pass 2^32
    try {
        WavFileWrite(dir.File("huge.wav"), ".wav", huge);
        ADD_FAILURE() << "no refusal";
    } catch (const WavError& e) {
        EXPECT_NE(std::string(e.what()).find("4 GiB"), std::string::npos) << e.what();
    }
    EXPECT_FALSE(std::filesystem::exists(dir.File("huge.wav")));
}

// A file-size limit makes writes fail the way a full disk does: the writer must report it and
// leave the old file as it was, with no temporary file beside it.
TEST(WavFileWrite, ShortWriteKeepsTheOldFile) {
    TempDir dir;
    const std::string target = dir.File("keep.wav");
    test::WriteText(target, "old contents");
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{1000, 1000};
        setrlimit(RLIMIT_FSIZE, &limit);
        try {
            WavFileWrite(target, ".wav", SignalBase(8000.0, 1.0, 16, 32768, 1));
        } catch (const WavError& e) {
            _exit(std::string(e.what()).find("write failed") != std::string::npos ? 0 : 2);
        }
        _exit(1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "1: no error reported, 2: wrong reason";
    const std::string old = "old contents";
    EXPECT_EQ(ReadBytes(target), std::vector<unsigned char>(old.begin(), old.end()));
    int entries = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir.Path())) {
        ++entries;
    }
    EXPECT_EQ(entries, 1);
}

TEST(WavFileWrite, ReplacesAnExistingFile) {
    TempDir dir;
    test::WriteText(dir.File("old.wav"), "old contents");
    WavFileWrite(dir.File("old.wav"), ".wav", SignalBase(8000.0, 0.1, 16, 32768, 1));
    EXPECT_EQ(ReadBytes(dir.File("old.wav")).size(), 44u + 1600u);
}

TEST(WavRoundTrip, EveryFormatLoadsWhatWasWritten) {
    TempDir dir;
    for (int channels : {1, 2}) {
        for (int bits : {8, 16}) {
            for (double rate : {4000.0, 32075.0, 44100.0}) {
                SignalBase s(rate, 0.05, bits, bits == 8 ? 128 : 32768, channels);
                for (auto* ch : s.ChannelArrays()) {
                    for (int i = 0; i < s.SampleCount; ++i) {
                        const double v = bits == 8
                                             ? (i * 7 + (ch == &s.Right) * 3) % 256
                                             : (i * 977 + (ch == &s.Right) * 5) % 65536 - 32768;
                        (*ch)[i] = v;
                    }
                }
                const std::string path = dir.File("rt.wav");
                WavFileWrite(path, ".wav", s);
                const SignalBase r = Load(path);
                SCOPED_TRACE(std::to_string(channels) + " ch, " + std::to_string(bits) + " bit, " +
                             std::to_string(rate) + " Hz");
                EXPECT_EQ(r.Channels, channels);
                EXPECT_EQ(r.Bits, bits);
                EXPECT_EQ(r.SampleRate, rate);
                EXPECT_EQ(r.NormValue, bits == 8 ? 128 : 32768);
                EXPECT_EQ(r.SampleCount, s.SampleCount);
                EXPECT_EQ(r.Mono, s.Mono);
                EXPECT_EQ(r.Left, s.Left);
                EXPECT_EQ(r.Right, s.Right);
            }
        }
    }
}

TEST(WavFileRead, StartUpFileLoadsWithItsFormat) {
    TempDir dir;
    WavFileWrite(dir.File("s.wav"), ".wav", SignalBase(44100.0, 1.0, 16, 30000, 1));
    const SignalBase r = Load(dir.File("s.wav"));
    EXPECT_EQ(r.SampleRate, 44100.0);
    EXPECT_EQ(r.Channels, 1);
    EXPECT_EQ(r.Bits, 16);
    EXPECT_EQ(r.NormValue, 32768); // not stored in the file
    EXPECT_EQ(r.SampleCount, 44100);
    EXPECT_DOUBLE_EQ(r.Duration, 1.0);
}

// Frame counts whose duration re-derives one sample short must still load every frame.
TEST(WavFileRead, KeepsEveryFrame) {
    TempDir dir;
    for (auto [rate, frames] : {std::pair{4000.0, 2001}, {16000.0, 32001}, {48000.0, 480001}}) {
        SignalBase s(rate, frames / rate + 0.5 / rate, 16, 32768, 1);
        ASSERT_EQ(s.SampleCount, frames);
        s.Mono.back() = 1234.0;
        WavFileWrite(dir.File("f.wav"), ".wav", s);
        const SignalBase r = Load(dir.File("f.wav"));
        EXPECT_EQ(r.SampleCount, frames) << rate;
        EXPECT_EQ(r.Mono.back(), 1234.0) << rate;
        WavFileWrite(dir.File("g.wav"), ".wav", r);
        EXPECT_EQ(ReadBytes(dir.File("g.wav")), ReadBytes(dir.File("f.wav")));
    }
}

TEST(WavFileRead, WalksChunksWhereverTheyStand) {
    for (const char* name : {"list_chunk.wav", "data_before_fmt.wav", "extensible_pcm.wav"}) {
        SCOPED_TRACE(name);
        const SignalBase r = Load(DataPath(name));
        EXPECT_EQ(r.Channels, 2);
        EXPECT_EQ(r.Bits, 16);
        EXPECT_EQ(r.SampleRate, 22050.0);
        EXPECT_EQ(r.Left, (SampleArray{1, 1000, 32767}));
        EXPECT_EQ(r.Right, (SampleArray{-1, -1000, -32768}));
    }
    const SignalBase odd = Load(DataPath("mono8_odd.wav"));
    EXPECT_EQ(odd.Mono, (SampleArray{0, 128, 255}));
    EXPECT_EQ(odd.NormValue, 128);
}

TEST(WavFileRead, ShortDataChunkLoadsTheWholeFramesThatAreThere) {
    const SignalBase r = Load(DataPath("truncated_data.wav"));
    ASSERT_EQ(r.SampleCount, 10);
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(r.Mono[i], i);
    }
}

TEST(WavFileRead, RefusesWhatItCannotTakeWithAReason) {
    const std::pair<const char*, const char*> cases[] = {
        {"does_not_exist.wav", "cannot open"},
        {"empty.wav", "not a WAV file"},
        {"not_riff.wav", "not a WAV file"},
        {"no_fmt.wav", "no format"},
        {"short_fmt.wav", "too short"},
        {"no_data.wav", "no \"data\""},
        {"float32.wav", "not integer PCM"},
        {"extensible_float.wav", "not integer PCM"},
        {"pcm24.wav", "24 bits"},
        {"three_channels.wav", "3 channels"},
        {"rate_zero.wav", "sample rate 0"},
    };
    for (const auto& [name, reason] : cases) {
        SCOPED_TRACE(name);
        try {
            WavFileRead reader(DataPath(name));
            SignalBase s(reader);
            ADD_FAILURE() << "loaded";
        } catch (const WavError& e) {
            EXPECT_NE(std::string(e.what()).find(reason), std::string::npos) << e.what();
            EXPECT_NE(std::string(e.what()).find(name), std::string::npos) << e.what();
        }
    }
}

} // namespace
} // namespace zembrel
