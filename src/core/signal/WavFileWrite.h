#pragma once

#include "core/signal/WaveHeader.h"

#include <cstdio>
#include <string>

namespace zembrel {

class SignalBase;

// Writes a signal as a canonical PCM WAV file: the 44-byte header, then the interleaved samples
// (left before right). Each sample is truncated toward zero and saturated to the range of the
// bit depth (-32768..32767 or 0..255).
//
// The file is written under a temporary name in the target folder and renamed into place only
// when every byte was written, so a failed write leaves an existing file untouched and no
// half-written file behind. Failure throws WavError naming the path and the reason.
class WavFileWrite {
public:
    // fileType ".wav" writes the header; any other tag writes the bare sample data.
    WavFileWrite(const std::string& fileName, const std::string& fileType,
                 const SignalBase& signal);

    const TWaveHeader& Header() const { return header_; }

private:
    TWaveHeader header_;
};

// Writes the bytes a ".wav" WavFileWrite puts into a file to an open stream instead (standard
// output, a pipe), and flushes it. Failure throws WavError naming name and the reason; what was
// written by then stays written.
void WriteWavStream(std::FILE* stream, const std::string& name, const SignalBase& signal);

} // namespace zembrel
