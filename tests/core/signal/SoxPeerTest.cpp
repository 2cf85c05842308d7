// sox is an independent reader and writer of WAV files: what we write it must read with our
// format and samples, and what it writes we must load with its samples.
#include "core/signal/SignalBase.h"
#include "core/signal/WavFileRead.h"
#include "core/signal/WavFileWrite.h"

#include "tests/core/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace zembrel {
namespace {

using test::DataPath;
using test::ReadBytes;
using test::SoxPresent;
using test::TempDir;

std::string Quote(const std::string& s) {
    return "'" + s + "'";
}

// The samples as sox decodes them, in the file's own encoding.
std::string SoxSamples(const std::string& path, int bits) {
    return test::CommandOutput("sox -D " + Quote(path) + (bits == 8 ? " -t u8 -" : " -t s16 -") +
                               " 2>/dev/null");
}

// Our samples of a loaded signal, interleaved, in the same raw encoding.
std::string OurSamples(const SignalBase& s) {
    std::string raw;
    for (int i = 0; i < s.SampleCount; ++i) {
        for (int c = 0; c < s.Channels; ++c) {
            const double v = s.Channels == 1 ? s.Mono[i] : (c == 0 ? s.Left[i] : s.Right[i]);
            const int x = static_cast<int>(v);
            raw += static_cast<char>(x & 0xFF);
            if (s.Bits == 16) {
                raw += static_cast<char>((x >> 8) & 0xFF);
            }
        }
    }
    return raw;
}

SignalBase Load(const std::string& path) {
    WavFileRead reader(path);
    return SignalBase(reader);
}

class SoxPeer : public ::testing::Test {
protected:
    void SetUp() override {
        if (!SoxPresent()) {
            GTEST_SKIP() << "sox is not installed";
        }
    }
    TempDir dir;
};

TEST_F(SoxPeer, ReadsEveryFormatWeWrite) {
    for (int channels : {1, 2}) {
        for (int bits : {8, 16}) {
            for (double rate : {8000.0, 32075.0, 44100.0}) {
                SignalBase s(rate, 0.1, bits, bits == 8 ? 128 : 32768, channels);
                for (auto* ch : s.ChannelArrays()) {
                    for (int i = 0; i < s.SampleCount; ++i) {
                        (*ch)[i] = bits == 8 ? (i * 13 + (ch == &s.Right)) % 256
                                             : (i * 1231 + 77 * (ch == &s.Right)) % 65536 - 32768;
                    }
                }
                const std::string path = dir.File("ours.wav");
                WavFileWrite(path, ".wav", s);
                SCOPED_TRACE(std::to_string(channels) + " ch " + std::to_string(bits) + " bit " +
                             std::to_string(rate));
                const std::string q = Quote(path);
                EXPECT_EQ(std::stod(test::CommandOutput("soxi -r " + q)), static_cast<int>(rate));
                EXPECT_EQ(std::stoi(test::CommandOutput("soxi -c " + q)), channels);
                EXPECT_EQ(std::stoi(test::CommandOutput("soxi -b " + q)), bits);
                EXPECT_EQ(std::stol(test::CommandOutput("soxi -s " + q)), s.SampleCount);
                EXPECT_EQ(SoxSamples(path, bits), OurSamples(s));
            }
        }
    }
}

TEST_F(SoxPeer, WeLoadWhatSoxWrites) {
    struct Case {
        const char* args;
        int channels, bits;
        double rate;
    };
    const Case cases[] = {
        {"-r 32075 -c 2 -b 16 -e signed-integer", 2, 16, 32075},
        {"-r 44100 -c 1 -b 16 -e signed-integer", 1, 16, 44100},
        {"-r 8000 -c 2 -b 8 -e unsigned-integer", 2, 8, 8000},
        {"-r 11025 -c 1 -b 8 -e unsigned-integer", 1, 8, 11025},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args);
        const std::string path = dir.File("sox.wav");
        ASSERT_EQ(std::system(("sox -D -n " + std::string(c.args) + " " + Quote(path) +
                               " synth 0.2 sine 1000 sine 313 2>/dev/null")
                                  .c_str()),
                  0);
        const SignalBase s = Load(path);
        EXPECT_EQ(s.Channels, c.channels);
        EXPECT_EQ(s.Bits, c.bits);
        EXPECT_EQ(s.SampleRate, c.rate);
        EXPECT_EQ(s.SampleCount, std::stol(test::CommandOutput("soxi -s " + Quote(path))));
        EXPECT_EQ(OurSamples(s), SoxSamples(path, c.bits));
    }
}

TEST_F(SoxPeer, AgreesOnFilesWithExtraChunksAndTheExtensibleForm) {
    for (const char* name :
         {"list_chunk.wav", "extensible_pcm.wav", "mono8_odd.wav", "truncated_data.wav"}) {
        SCOPED_TRACE(name);
        const SignalBase s = Load(DataPath(name));
        EXPECT_EQ(OurSamples(s), SoxSamples(DataPath(name), s.Bits));
    }
}

} // namespace
} // namespace zembrel
