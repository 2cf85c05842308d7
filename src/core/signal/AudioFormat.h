#pragma once

#include <cstdint>
#include <string>

namespace zembrel {

// The containers the audio file reader and writer know. Wav is a RIFF file with the plain
// format header, WavExtensible one with WAVE_FORMAT_EXTENSIBLE (valid bits, channel mask,
// sub-format), Rf64 the 64-bit form beyond 4 GiB; Other is anything else libsndfile reads.
enum class AudioContainer { Wav, WavExtensible, Rf64, Flac, Aiff, Other };

// What an audio file holds. Levels are relative to full scale in every format: +-2^(Bits-1)
// for B-bit PCM (8-bit unsigned centred on 128), +-1.0 for float.
struct AudioFormat {
    AudioContainer Container = AudioContainer::Wav;
    int Bits = 16;             // 8, 16, 24, 32 PCM; 32 or 64 float
    bool Float = false;        // IEEE float samples (format tag 3)
    double SampleRate = 44100; // Hz, a whole number >= 1
    int Channels = 1;          // 1 ... 8 here, libsndfile allows more
    std::int64_t Frames = 0;   // samples per channel
};

// "24-bit PCM, 96000 Hz, stereo", "32-bit float, 48000 Hz, 4 channels"; a container other than
// WAV leads: "FLAC, 24-bit PCM, 96000 Hz, stereo".
std::string DescribeFormat(const AudioFormat& format);

// The names the command line takes for a sample format: "8", "16", "24", "32" for
// PCM, "32f" and "64f" for float. Returns false for anything else.
bool ParseSampleFormat(const std::string& text, int& bits, bool& isFloat);

// The bytes of the samples of a format: frames * channels * bits / 8.
std::uint64_t SampleDataBytes(const AudioFormat& format);

} // namespace zembrel
