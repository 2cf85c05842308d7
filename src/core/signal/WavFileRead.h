#pragma once

#include <cstdint>
#include <fstream>
#include <string>

namespace zembrel {

// Reads an integer PCM WAV file (8 or 16 bit, mono or stereo). The constructor opens the file,
// walks its RIFF chunks to find "fmt " and "data" wherever they stand (other chunks such as LIST
// or fact are skipped) and checks the format; ReadSamples, run by SignalBase's constructor,
// reads the data. Anything the program cannot take throws WavError with the reason. A data
// chunk that claims more bytes than the file holds yields the whole frames that are there.
class WavFileRead {
public:
    explicit WavFileRead(const std::string& fileName);

    const std::string& FileName() const { return fileName_; }
    int Channels() const { return channels_; }
    int Bits() const { return bits_; }
    double SampleRate() const { return sampleRate_; } // Hz, from the 32-bit header field
    double SamplePeriod() const { return 1.0 / sampleRate_; }
    std::int32_t Frames() const { return frames_; } // samples per channel
    double Duration() const { return frames_ * SamplePeriod(); }

    // Fills Frames() values into first (mono, or left) and, for stereo, second (right).
    // Values are the stored integers: -32768..32767 for 16 bit, 0..255 for 8 bit.
    void ReadSamples(double* first, double* second);

    // Copies count frames from frame first on, as the file stores them (interleaved, 8-bit
    // unsigned or 16-bit little-endian), to out, which holds count * FrameBytes() bytes. Lets a
    // caller read a long file piece by piece and stop between pieces.
    void ReadStoredFrames(unsigned char* out, std::int32_t first, std::int32_t count);
    int FrameBytes() const { return channels_ * (bits_ / 8); }

private:
    std::string fileName_;
    std::ifstream stream_;
    int channels_ = 0;
    int bits_ = 0;
    double sampleRate_ = 0.0;
    std::int32_t frames_ = 0;
    std::uint64_t dataStart_ = 0;
};

} // namespace zembrel
