#include "core/signal/WavFileRead.h"

#include "core/signal/WavError.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>
#include <vector>

namespace zembrel {

namespace {

std::uint16_t Get16(const unsigned char* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

std::uint32_t Get32(const unsigned char* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

constexpr std::uint16_t kFormatPcm = 1;
constexpr std::uint16_t kFormatExtensible = 0xFFFE;

// Bytes 2..15 of the sub-format GUID shared by all of the standard WAVE formats; the first two
// bytes carry the format tag.
constexpr std::array<unsigned char, 14> kGuidTail = {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80,
                                                     0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};

struct Chunk {
    std::array<char, 4> id;
    std::uint32_t size;
    std::uint64_t start; // offset of the chunk's body
};

} // namespace

WavFileRead::WavFileRead(const std::string& fileName) : fileName_(fileName) {
    stream_.open(fileName, std::ios::binary);
    if (!stream_) {
        throw WavError(fileName, "cannot open file for reading");
    }
    stream_.seekg(0, std::ios::end);
    const auto fileSize = static_cast<std::uint64_t>(static_cast<std::streamoff>(stream_.tellg()));
    stream_.seekg(0);

    unsigned char riff[12];
    if (fileSize < 12 || !stream_.read(reinterpret_cast<char*>(riff), 12) ||
        std::memcmp(riff, "RIFF", 4) != 0 || std::memcmp(riff + 8, "WAVE", 4) != 0) {
        throw WavError(fileName, "not a WAV file (no RIFF/WAVE header)");
    }

    bool haveFmt = false;
    bool haveData = false;
    std::vector<unsigned char> fmt;
    std::uint64_t dataSize = 0;
    std::uint64_t pos = 12;
    while (pos + 8 <= fileSize && !(haveFmt && haveData)) {
        unsigned char head[8];
        stream_.seekg(static_cast<std::streamoff>(pos));
        if (!stream_.read(reinterpret_cast<char*>(head), 8)) {
            break;
        }
        const std::uint32_t size = Get32(head + 4);
        const std::uint64_t body = pos + 8;
        if (!haveFmt && std::memcmp(head, "fmt ", 4) == 0) {
            const auto avail = std::min<std::uint64_t>(size, fileSize - body);
            fmt.resize(static_cast<std::size_t>(std::min<std::uint64_t>(avail, 64)));
            if (!stream_.read(reinterpret_cast<char*>(fmt.data()),
                              static_cast<std::streamsize>(fmt.size()))) {
                throw WavError(fileName, "cannot read the format chunk");
            }
            haveFmt = true;
        } else if (!haveData && std::memcmp(head, "data", 4) == 0) {
            dataStart_ = body;
            dataSize = std::min<std::uint64_t>(size, fileSize - body);
            haveData = true;
        }
        pos = body + size + (size & 1u); // odd-sized chunks carry a pad byte
    }

    if (!haveFmt) {
        throw WavError(fileName, "no format (\"fmt \") chunk");
    }
    if (fmt.size() < 16) {
        throw WavError(fileName, "format chunk too short");
    }
    const std::uint16_t tag = Get16(fmt.data());
    bool pcm = tag == kFormatPcm;
    if (tag == kFormatExtensible && fmt.size() >= 40) {
        const unsigned char* guid = fmt.data() + 24;
        pcm = Get16(guid) == kFormatPcm && std::equal(kGuidTail.begin(), kGuidTail.end(), guid + 2);
    }
    if (!pcm) {
        throw WavError(fileName, "format " + std::to_string(tag) + " is not integer PCM");
    }
    channels_ = Get16(fmt.data() + 2);
    const std::uint32_t rate = Get32(fmt.data() + 4);
    bits_ = Get16(fmt.data() + 14);
    if (channels_ != 1 && channels_ != 2) {
        throw WavError(fileName, std::to_string(channels_) +
                                     " channels (only mono and stereo are supported)");
    }
    if (bits_ != 8 && bits_ != 16) {
        throw WavError(fileName,
                       std::to_string(bits_) + " bits per sample (only 8 and 16 are supported)");
    }
    if (rate == 0) {
        throw WavError(fileName, "sample rate 0");
    }
    if (!haveData) {
        throw WavError(fileName, "no \"data\" chunk");
    }
    sampleRate_ = static_cast<double>(rate);
    const std::uint64_t frames = dataSize / static_cast<std::uint64_t>(channels_ * (bits_ / 8));
    if (frames >= static_cast<std::uint64_t>(std::numeric_limits<std::int32_t>::max())) {
        throw WavError(fileName, "too many samples");
    }
    frames_ = static_cast<std::int32_t>(frames);
}

void WavFileRead::ReadSamples(double* first, double* second) {
    const int bytesPerSample = bits_ / 8;
    const int frameBytes = channels_ * bytesPerSample;
    constexpr std::int32_t framesPerChunk = 1 << 15;
    std::vector<unsigned char> buffer(static_cast<std::size_t>(framesPerChunk) * frameBytes);

    stream_.clear();
    stream_.seekg(static_cast<std::streamoff>(dataStart_));
    // 64-bit counters: start + framesPerChunk may pass the int32 range near its end.
    for (std::int64_t start = 0; start < frames_; start += framesPerChunk) {
        const std::int64_t count = std::min<std::int64_t>(framesPerChunk, frames_ - start);
        const auto bytes = static_cast<std::streamsize>(count) * frameBytes;
        if (!stream_.read(reinterpret_cast<char*>(buffer.data()), bytes)) {
            throw WavError(fileName_, "cannot read the sample data");
        }
        const unsigned char* p = buffer.data();
        for (std::int64_t i = start; i < start + count; ++i) {
            for (int c = 0; c < channels_; ++c) {
                double v;
                if (bytesPerSample == 2) {
                    v = static_cast<std::int16_t>(Get16(p));
                    p += 2;
                } else {
                    v = *p++;
                }
                (c == 0 ? first : second)[i] = v;
            }
        }
    }
}

void WavFileRead::ReadStoredFrames(unsigned char* out, std::int32_t first, std::int32_t count) {
    if (first < 0 || count < 0 || count > frames_ - first) {
        throw WavError(fileName_, "frames asked for lie outside the data");
    }
    const auto bytes = static_cast<std::streamsize>(count) * FrameBytes();
    stream_.clear();
    stream_.seekg(static_cast<std::streamoff>(
        dataStart_ + static_cast<std::uint64_t>(first) * static_cast<std::uint64_t>(FrameBytes())));
    if (!stream_.read(reinterpret_cast<char*>(out), bytes)) {
        throw WavError(fileName_, "cannot read the sample data");
    }
}

} // namespace zembrel
