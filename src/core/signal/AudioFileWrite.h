#pragma once

#include "core/signal/AudioFormat.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace zembrel {

enum class DitherKind { None, Tpdf };

// How a signal is stored. Container Wav becomes WAVE_FORMAT_EXTENSIBLE where Microsoft's rules
// call for it (more than 16 bits or more than 2 channels) and RF64 when the data passes 4 GiB;
// Flac takes 16 or 24 bit.
struct AudioWriteOptions {
    AudioContainer Container = AudioContainer::Wav; // Wav or Flac
    int Bits = 16;                                  // 8, 16, 24, 32 PCM; 32 or 64 float
    bool Float = false;
    // Integer formats only: TPDF of 2 LSB peak-to-peak (the sum of two independent uniform
    // values of +-0.5 LSB) added before rounding to the nearest. The same seed gives the same
    // noise.
    DitherKind Dither = DitherKind::None;
    std::uint64_t Seed = 0;
};

// Empty when the container takes the format for channels at sampleRate, else the reason
// ("FLAC holds 16 or 24 bit").
std::string CheckWriteFormat(const AudioWriteOptions& options, int channels);

// Writes channels.size() channels of frames samples each through libsndfile. Samples are
// centred on 0 with fullScale standing for 0 dBFS: float formats store x / fullScale as it is
// (nothing clipped), B-bit PCM stores x / fullScale * 2^(B-1) rounded to the nearest (ties to
// even), saturated to -2^(B-1) ... 2^(B-1) - 1. Positive full scale itself becomes the largest code
// without counting as clipped; every sample beyond is counted in Clipped().
//
// The file is written under a temporary name beside the target and renamed into place when
// complete. A format the container does not take, a sample that is not finite or a failed write
// throws WavError naming the path and the reason; the target is then untouched.
class AudioFileWrite {
public:
    AudioFileWrite(const std::string& fileName, const std::vector<const double*>& channels,
                   std::int64_t frames, double sampleRate, double fullScale,
                   const AudioWriteOptions& options);

    std::int64_t Clipped() const { return clipped_; }
    // What was written, the container as chosen (Wav, WavExtensible, Rf64 or Flac).
    const AudioFormat& Format() const { return format_; }

private:
    std::int64_t clipped_ = 0;
    AudioFormat format_;
};

// The bytes an AudioFileWrite puts into a file, to an open stream (standard output, a pipe):
// written to a temporary file first, since the header's sizes come last. Returns the samples
// clipped; throws WavError naming name and the reason.
std::int64_t WriteAudioStream(std::FILE* stream, const std::string& name,
                              const std::vector<const double*>& channels, std::int64_t frames,
                              double sampleRate, double fullScale,
                              const AudioWriteOptions& options);

} // namespace zembrel
