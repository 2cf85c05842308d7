#pragma once

#include "core/signal/AudioFormat.h"

#include <cstdint>
#include <string>
#include <vector>

namespace zembrel {

class SignalBase;

// Reads an audio file of any format libsndfile serves: WAV with 8/16/24/32-bit PCM or 32/64-bit
// float, WAVE_FORMAT_EXTENSIBLE, RF64/BW64, FLAC, AIFF. The constructor opens the file and
// checks its format; anything it cannot take (a truncated or lying header, no channels, a rate
// of 0, an encoding that is neither PCM nor IEEE float) throws WavError naming path and reason.
//
// A data chunk that claims more bytes than the file holds yields the whole frames that are
// there, and Warning() says so.
class AudioFileRead {
public:
    explicit AudioFileRead(const std::string& fileName);
    ~AudioFileRead();
    AudioFileRead(const AudioFileRead&) = delete;
    AudioFileRead& operator=(const AudioFileRead&) = delete;

    const std::string& FileName() const { return fileName_; }
    const AudioFormat& Format() const { return format_; }
    // Empty, or what is wrong with the file that still leaves it readable.
    const std::string& Warning() const { return warning_; }

    // Reads up to frames frames from the current position into out (frames * Channels values,
    // interleaved), at full scale +-1.0 (PCM exactly: x / 2^(Bits-1)); returns how many frames
    // were read, 0 at the end. A NaN or infinite sample, or a read error, throws WavError.
    std::int64_t ReadInterleaved(double* out, std::int64_t frames);

private:
    std::string fileName_;
    void* file_ = nullptr; // SNDFILE*
    AudioFormat format_;
    std::string warning_;
    std::int64_t position_ = 0;
};

// DescribeFormat of the file at path when libsndfile reads it, else an empty text (never
// throws).
std::string DescribeAudioFile(const std::string& path);

// Reads the whole file into one mono signal per channel, in the units the analyses take: the
// 16-bit scale (Bits 16, NormValue 32768, full scale +-32768) with the fractions kept, so a
// 24-bit or float file keeps its resolution (x * 32768 is exact for every PCM and float32
// sample). Throws WavError as ReadInterleaved does, and when the file has more frames than a
// signal holds.
std::vector<SignalBase> ReadChannelSignals(AudioFileRead& reader);

} // namespace zembrel
