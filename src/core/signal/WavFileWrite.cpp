#include "core/signal/WavFileWrite.h"

#include "core/signal/ParallelFor.h"
#include "core/signal/ReplaceFile.h"
#include "core/signal/SampleArray.h"
#include "core/signal/SampleConversion.h"
#include "core/signal/SampleKernels.h"
#include "core/signal/SignalBase.h"
#include "core/signal/WavError.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <unistd.h>
#include <vector>

namespace zembrel {

namespace {

namespace fs = std::filesystem;

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

std::string ErrnoText() {
    return std::strerror(errno);
}

// The temporary file as a stream (the samples go out through stdio's buffer).
FilePtr CreateTemporaryStreamBeside(const std::string& target, std::string& tempName) {
    const int fd = CreateTemporaryBeside(target, tempName);
    FilePtr f(::fdopen(fd, "wb"));
    if (!f) {
        const std::string reason = ErrnoText();
        ::close(fd);
        std::error_code ignored;
        fs::remove(tempName, ignored);
        throw WavError(target, "cannot create file: " + reason);
    }
    return f;
}

void StoreSamples(std::FILE* f, const SignalBase& signal, const std::string& target) {
    const int bytesPerSample = signal.Bits / 8;
    const int channels = signal.Channels;
    const double* first = channels == 1 ? signal.Mono.data() : signal.Left.data();
    const double* second = channels == 2 ? signal.Right.data() : nullptr;
    const int frameBytes = channels * bytesPerSample;
    constexpr std::int32_t framesPerChunk = 1 << 20;
    // Taken like sample storage: a large buffer costs a few page faults, not hundreds.
    std::vector<unsigned char, SampleAllocator<unsigned char>> buffer(
        static_cast<std::size_t>(std::min(framesPerChunk, signal.SampleCount)) * frameBytes);

    // 64-bit counters: start + framesPerChunk may pass the int32 range near its end.
    for (std::int64_t start = 0; start < signal.SampleCount; start += framesPerChunk) {
        const auto count =
            static_cast<int>(std::min<std::int64_t>(framesPerChunk, signal.SampleCount - start));
        // Each frame has its own place in the buffer, so the cores convert ranges apart.
        ParallelFor(count, [&](int begin, int end) {
            unsigned char* p = buffer.data() + static_cast<std::size_t>(begin) * frameBytes;
            if (bytesPerSample == 2) {
                StoreWords(first + start + begin, second ? second + start + begin : nullptr,
                           static_cast<std::size_t>(end - begin), p);
                return;
            }
            for (std::int64_t i = start + begin; i < start + end; ++i) {
                for (int c = 0; c < channels; ++c) {
                    *p++ = TruncSaturate<std::uint8_t>(c == 0 ? first[i] : second[i]);
                }
            }
        });
        const auto bytes = static_cast<std::size_t>(count) * frameBytes;
        if (std::fwrite(buffer.data(), 1, bytes, f) != bytes) {
            throw WavError(target, "write failed: " + ErrnoText());
        }
    }
}

void StoreHeader(std::FILE* f, const TWaveHeader& header, const std::string& target) {
    const auto bytes = header.Serialize();
    if (std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size()) {
        throw WavError(target, "write failed: " + ErrnoText());
    }
}

} // namespace

WavFileWrite::WavFileWrite(const std::string& fileName, const std::string& fileType,
                           const SignalBase& signal)
    : header_(TWaveHeader::FromSignal(signal)) {
    if (fileType == ".wav" && TWaveHeader::DataBytes(signal) > TWaveHeader::kMaxDataSize) {
        throw WavError(fileName, "the signal needs more than the 4 GiB a WAV file can hold");
    }
    std::string tempName;
    FilePtr file = CreateTemporaryStreamBeside(fileName, tempName);
    try {
        if (fileType == ".wav") {
            StoreHeader(file.get(), header_, fileName);
        }
        StoreSamples(file.get(), signal, fileName);
        errno = 0;
        if (std::fflush(file.get()) != 0 || std::ferror(file.get())) {
            throw WavError(fileName, "write failed: " + ErrnoText());
        }
        if (std::fclose(file.release()) != 0) {
            throw WavError(fileName, "write failed on close: " + ErrnoText());
        }
        MoveIntoPlace(tempName, fileName);
    } catch (...) {
        file.reset();
        std::error_code ignored;
        fs::remove(tempName, ignored);
        throw;
    }
}

void WriteWavStream(std::FILE* stream, const std::string& name, const SignalBase& signal) {
    if (TWaveHeader::DataBytes(signal) > TWaveHeader::kMaxDataSize) {
        throw WavError(name, "the signal needs more than the 4 GiB a WAV file can hold");
    }
    StoreHeader(stream, TWaveHeader::FromSignal(signal), name);
    StoreSamples(stream, signal, name);
    errno = 0;
    if (std::fflush(stream) != 0 || std::ferror(stream)) {
        throw WavError(name, "write failed: " + ErrnoText());
    }
}

} // namespace zembrel
