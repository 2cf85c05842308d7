#pragma once

#include <array>
#include <cstdint>

namespace zembrel {

class SignalBase;

// The canonical 44-byte header of a PCM WAV file, field by field. Serialize() gives the exact
// little-endian image, independent of the host's byte order and padding.
struct TWaveHeader {
    std::uint32_t RiffSize = 0; // data size + 36
    std::uint32_t FmtSize = 16;
    std::uint16_t FormatTag = 1; // integer PCM
    std::uint16_t Channels = 1;
    std::uint32_t SampleRate = 0; // Hz, truncated toward zero
    std::uint32_t ByteRate = 0;   // SampleRate * BlockAlign in floating point, truncated
    std::uint16_t BlockAlign = 0; // bytes per frame
    std::uint16_t BitsPerSample = 16;
    std::uint32_t DataSize = 0; // SampleCount * BlockAlign

    static constexpr std::size_t Size = 44;

    // The bytes of the data chunk that signal needs, in 64 bits: a RIFF file holds at most
    // kMaxDataSize of them (its RIFF size, data size + 36, is a 32-bit field).
    static std::uint64_t DataBytes(const SignalBase& signal);
    static constexpr std::uint64_t kMaxDataSize = 0xFFFFFFFFull - 36;

    // The caller keeps DataBytes(signal) <= kMaxDataSize; larger sizes are saturated, never
    // wrapped.
    static TWaveHeader FromSignal(const SignalBase& signal);
    std::array<unsigned char, Size> Serialize() const;
};

} // namespace zembrel
