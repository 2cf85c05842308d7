#include "core/signal/WaveHeader.h"

#include "core/signal/SampleConversion.h"
#include "core/signal/SignalBase.h"

#include <algorithm>
#include <cstring>

namespace zembrel {

TWaveHeader TWaveHeader::FromSignal(const SignalBase& signal) {
    TWaveHeader h;
    h.SampleRate = TruncSaturate<std::uint32_t>(signal.SampleRate);
    h.Channels = static_cast<std::uint16_t>(signal.Channels);
    h.BlockAlign = static_cast<std::uint16_t>(signal.Channels * (signal.Bits / 8));
    h.BitsPerSample = static_cast<std::uint16_t>(signal.Bits);
    h.ByteRate =
        TruncSaturate<std::uint32_t>(signal.SampleRate * static_cast<double>(h.BlockAlign));
    const std::uint64_t data = std::min(DataBytes(signal), kMaxDataSize);
    h.DataSize = static_cast<std::uint32_t>(data);
    h.RiffSize = static_cast<std::uint32_t>(data + 36);
    return h;
}

std::uint64_t TWaveHeader::DataBytes(const SignalBase& signal) {
    const auto frames = static_cast<std::uint64_t>(std::max<std::int32_t>(signal.SampleCount, 0));
    return frames * static_cast<std::uint64_t>(signal.Channels) *
           static_cast<std::uint64_t>(signal.Bits / 8);
}

namespace {

unsigned char* Put(unsigned char* p, const char (&tag)[5]) {
    std::memcpy(p, tag, 4);
    return p + 4;
}

unsigned char* Put16(unsigned char* p, std::uint16_t v) {
    p[0] = static_cast<unsigned char>(v & 0xFF);
    p[1] = static_cast<unsigned char>(v >> 8);
    return p + 2;
}

unsigned char* Put32(unsigned char* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        p[i] = static_cast<unsigned char>((v >> (8 * i)) & 0xFF);
    }
    return p + 4;
}

} // namespace

std::array<unsigned char, TWaveHeader::Size> TWaveHeader::Serialize() const {
    std::array<unsigned char, Size> out{};
    unsigned char* p = out.data();
    p = Put(p, "RIFF");
    p = Put32(p, RiffSize);
    p = Put(p, "WAVE");
    p = Put(p, "fmt ");
    p = Put32(p, FmtSize);
    p = Put16(p, FormatTag);
    p = Put16(p, Channels);
    p = Put32(p, SampleRate);
    p = Put32(p, ByteRate);
    p = Put16(p, BlockAlign);
    p = Put16(p, BitsPerSample);
    p = Put(p, "data");
    Put32(p, DataSize);
    return out;
}

} // namespace zembrel
