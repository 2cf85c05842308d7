#include "core/signal/AudioFileWrite.h"

#include "core/signal/ParallelFor.h"
#include "core/signal/ReplaceFile.h"
#include "core/signal/WavError.h"

#include <sndfile.h>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <memory>
#include <random>

namespace zembrel {

namespace {

namespace fs = std::filesystem;

constexpr std::int64_t kChunkFrames = 1 << 16;

// splitmix64: small, fast and with every seed a good stream; the dither needs no more.
class DitherNoise {
public:
    explicit DitherNoise(std::uint64_t seed) : state_(seed) {}
    // Triangular on (-1, 1) LSB: the sum of two uniform values on [-0.5, 0.5).
    double Next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        z ^= z >> 31;
        constexpr double unit = 1.0 / 4294967296.0;
        return static_cast<double>(z >> 32) * unit + static_cast<double>(z & 0xFFFFFFFFu) * unit -
               1.0;
    }

private:
    std::uint64_t state_;
};

// Rounds to the nearest, ties to even, in one instruction where there is one.
inline double RoundToNearest(double v) {
#if defined(__SSE2__)
    // |v| is at most 2^31 + 1 here (clipped samples are saturated before), so the 64-bit
    // conversion never overflows.
    return static_cast<double>(_mm_cvtsd_si64(_mm_set_sd(v)));
#else
    return std::nearbyint(v);
#endif
}

// One B-bit PCM code from v in LSB (already scaled), rounded to the nearest, and whether it
// was clipped. v up to 2^(B-1) is full scale, stored as the largest code unclipped.
inline std::int64_t Quantise(double v, double top, bool& clipped) {
    if (!(v < top + 1.0 && v > -top - 1.0)) {
        // Far beyond the range (or NaN, refused by the caller): no conversion needed.
        clipped = true;
        return v > 0.0 ? static_cast<std::int64_t>(top) - 1 : -static_cast<std::int64_t>(top);
    }
    const double q = RoundToNearest(v);
    if (q >= top) {
        clipped = v > top;
        return static_cast<std::int64_t>(top) - 1;
    }
    if (q < -top) {
        clipped = true;
        return -static_cast<std::int64_t>(top);
    }
    clipped = false;
    return static_cast<std::int64_t>(q);
}

// x / fullScale * top, as one multiplication when that gives the same double (fullScale a
// power of two, as the generators' working scale is).
struct Scaling {
    double fullScale;
    double top;
    bool byFactor;
    double factor;
    Scaling(double fullScale_, double top_)
        : fullScale(fullScale_), top(top_), factor(top_ / fullScale_) {
        int exponent = 0;
        byFactor = std::frexp(fullScale, &exponent) == 0.5;
    }
    double operator()(double x) const { return byFactor ? x * factor : x / fullScale * top; }
};

int SndFormat(const AudioFormat& format) {
    int type = SF_FORMAT_WAV;
    switch (format.Container) {
    case AudioContainer::WavExtensible:
        type = SF_FORMAT_WAVEX;
        break;
    case AudioContainer::Rf64:
        type = SF_FORMAT_RF64;
        break;
    case AudioContainer::Flac:
        type = SF_FORMAT_FLAC;
        break;
    default:
        break;
    }
    int sub = SF_FORMAT_PCM_16;
    if (format.Float) {
        sub = format.Bits == 64 ? SF_FORMAT_DOUBLE : SF_FORMAT_FLOAT;
    } else {
        switch (format.Bits) {
        case 8:
            // WAV stores 8-bit samples unsigned, FLAC signed.
            sub = type == SF_FORMAT_FLAC ? SF_FORMAT_PCM_S8 : SF_FORMAT_PCM_U8;
            break;
        case 24:
            sub = SF_FORMAT_PCM_24;
            break;
        case 32:
            sub = SF_FORMAT_PCM_32;
            break;
        default:
            break;
        }
    }
    return type | sub;
}

AudioFormat ChooseFormat(const AudioWriteOptions& options, int channels, std::int64_t frames,
                         double sampleRate) {
    AudioFormat format;
    format.Bits = options.Bits;
    format.Float = options.Float;
    format.Channels = channels;
    format.Frames = frames;
    format.SampleRate = sampleRate;
    format.Container = options.Container;
    if (options.Container == AudioContainer::Wav) {
        // Room for the largest header libsndfile writes (extensible fmt, fact) below 4 GiB.
        constexpr std::uint64_t kWavDataLimit = 0xFFFFFFFFull - 256;
        if (SampleDataBytes(format) > kWavDataLimit) {
            format.Container = AudioContainer::Rf64;
        } else if (options.Bits > 16 || channels > 2) {
            format.Container = AudioContainer::WavExtensible;
        }
    }
    return format;
}

std::string ErrnoText() {
    return std::strerror(errno);
}

// libsndfile writes its converted samples 8 KiB at a time; this gathers them into writes of
// 4 MiB (a 180 s stereo 24-bit file took 12,900 write calls, now 25). Seeks, made for the
// header, write out what is gathered first. Owns fd.
class BufferedFile {
public:
    explicit BufferedFile(int fd) : fd_(fd) { buffer_.reserve(kSize); }
    ~BufferedFile() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    BufferedFile(const BufferedFile&) = delete;
    BufferedFile& operator=(const BufferedFile&) = delete;

    // False when a write failed; errno tells why.
    bool Flush() {
        const char* p = buffer_.data();
        std::size_t left = buffer_.size();
        while (left > 0) {
            const ssize_t n = ::write(fd_, p, left);
            if (n < 0) {
                if (errno == EINTR) {
                    continue;
                }
                failed_ = true;
                return false;
            }
            p += n;
            left -= static_cast<std::size_t>(n);
        }
        buffer_.clear();
        return true;
    }
    // Flushes and closes; false when anything failed.
    bool Close() {
        const bool ok = Flush() && !failed_;
        const int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0 && ok;
    }

    static SF_VIRTUAL_IO Io() {
        SF_VIRTUAL_IO io{};
        io.get_filelen = [](void* self) -> sf_count_t {
            auto* f = static_cast<BufferedFile*>(self);
            f->Flush();
            struct stat st {};
            return ::fstat(f->fd_, &st) == 0 ? st.st_size : -1;
        };
        io.seek = [](sf_count_t offset, int whence, void* self) -> sf_count_t {
            auto* f = static_cast<BufferedFile*>(self);
            if (!f->Flush()) {
                return -1;
            }
            return ::lseek(f->fd_, offset, whence);
        };
        io.read = [](void* ptr, sf_count_t count, void* self) -> sf_count_t {
            auto* f = static_cast<BufferedFile*>(self);
            if (!f->Flush()) {
                return 0;
            }
            const ssize_t n = ::read(f->fd_, ptr, static_cast<std::size_t>(count));
            return n < 0 ? 0 : n;
        };
        io.write = [](const void* ptr, sf_count_t count, void* self) -> sf_count_t {
            auto* f = static_cast<BufferedFile*>(self);
            const auto* bytes = static_cast<const char*>(ptr);
            if (f->buffer_.size() + static_cast<std::size_t>(count) > kSize && !f->Flush()) {
                return 0;
            }
            f->buffer_.insert(f->buffer_.end(), bytes, bytes + count);
            return count;
        };
        io.tell = [](void* self) -> sf_count_t {
            auto* f = static_cast<BufferedFile*>(self);
            const off_t at = ::lseek(f->fd_, 0, SEEK_CUR);
            return at < 0 ? -1 : at + static_cast<sf_count_t>(f->buffer_.size());
        };
        return io;
    }

private:
    static constexpr std::size_t kSize = std::size_t{4} << 20;
    int fd_;
    std::vector<char> buffer_;
    bool failed_ = false;
};

struct SndCloser {
    void operator()(SNDFILE* f) const { sf_close(f); }
};

// Writes the samples to the open descriptor fd, which it closes. Returns the clipped
// count.
std::int64_t WriteSamples(int fd, const std::string& name, const AudioFormat& format,
                          const std::vector<const double*>& channels, double fullScale,
                          const AudioWriteOptions& options) {
    SF_INFO info{};
    info.samplerate = static_cast<int>(format.SampleRate);
    info.channels = format.Channels;
    info.format = SndFormat(format);
    BufferedFile out(fd);
    if (!sf_format_check(&info)) {
        throw WavError(name, "libsndfile cannot write " + DescribeFormat(format));
    }
    SF_VIRTUAL_IO io = BufferedFile::Io();
    std::unique_ptr<SNDFILE, SndCloser> file(sf_open_virtual(&io, SFM_WRITE, &info, &out));
    if (!file) {
        throw WavError(name, std::string("cannot write: ") + sf_strerror(nullptr));
    }
    // The header holds fmt, fact (float, extensible) and data only.
    sf_command(file.get(), SFC_SET_ADD_PEAK_CHUNK, nullptr, SF_FALSE);
    if (format.Float) {
        sf_command(file.get(), SFC_SET_NORM_DOUBLE, nullptr, SF_TRUE);
    }

    const int nch = format.Channels;
    const double top = std::ldexp(1.0, format.Bits - 1);
    const Scaling scale(fullScale, top);
    const int shift = 32 - format.Bits;
    std::vector<double> doubles;
    std::vector<int> ints;
    if (format.Float) {
        doubles.resize(static_cast<std::size_t>(kChunkFrames * nch));
    } else {
        ints.resize(static_cast<std::size_t>(kChunkFrames * nch));
    }
    const bool dither = !format.Float && options.Dither == DitherKind::Tpdf;
    DitherNoise noise(options.Seed);
    std::int64_t clipped = 0;

    for (std::int64_t start = 0; start < format.Frames; start += kChunkFrames) {
        const int count = static_cast<int>(std::min(kChunkFrames, format.Frames - start));
        std::atomic<bool> finite{true};
        std::atomic<std::int64_t> chunkClipped{0};
        if (format.Float) {
            ParallelFor(count, [&](int begin, int end) {
                for (int i = begin; i < end; ++i) {
                    for (int c = 0; c < nch; ++c) {
                        const double x = channels[static_cast<std::size_t>(c)][start + i];
                        finite = finite && std::isfinite(x);
                        doubles[static_cast<std::size_t>(i) * nch + c] = x / fullScale;
                    }
                }
            });
        } else if (dither) {
            // One noise stream in frame order, so a seed gives the same file on any machine.
            for (int i = 0; i < count; ++i) {
                for (int c = 0; c < nch; ++c) {
                    const double x = channels[static_cast<std::size_t>(c)][start + i];
                    finite = finite && std::isfinite(x);
                    bool over = false;
                    const std::int64_t q = Quantise(scale(x) + noise.Next(), top, over);
                    chunkClipped += over;
                    ints[static_cast<std::size_t>(i) * nch + c] =
                        static_cast<int>(static_cast<std::uint32_t>(q) << shift);
                }
            }
        } else {
            ParallelFor(count, [&](int begin, int end) {
                std::int64_t over = 0;
                bool ok = true;
                for (int i = begin; i < end; ++i) {
                    for (int c = 0; c < nch; ++c) {
                        const double x = channels[static_cast<std::size_t>(c)][start + i];
                        ok = ok && std::isfinite(x);
                        bool clip = false;
                        const std::int64_t q = Quantise(scale(x), top, clip);
                        over += clip;
                        ints[static_cast<std::size_t>(i) * nch + c] =
                            static_cast<int>(static_cast<std::uint32_t>(q) << shift);
                    }
                }
                chunkClipped += over;
                if (!ok) {
                    finite = false;
                }
            });
        }
        if (!finite) {
            throw WavError(name, "a sample near frame " + std::to_string(start) +
                                     " is not a finite number");
        }
        clipped += chunkClipped;
        const sf_count_t written = format.Float
                                       ? sf_writef_double(file.get(), doubles.data(), count)
                                       : sf_writef_int(file.get(), ints.data(), count);
        if (written != count) {
            throw WavError(name, std::string("write failed: ") + sf_strerror(file.get()));
        }
    }
    errno = 0;
    if (sf_close(file.release()) != 0 || !out.Close()) {
        throw WavError(name, "write failed: " + ErrnoText());
    }
    return clipped;
}

void CheckOrThrow(const std::string& name, const AudioWriteOptions& options, int channels,
                  double sampleRate, double fullScale) {
    const std::string reason = CheckWriteFormat(options, channels);
    if (!reason.empty()) {
        throw WavError(name, reason);
    }
    if (!(sampleRate >= 1.0 && sampleRate <= 2147483647.0 &&
          sampleRate == std::trunc(sampleRate))) {
        throw WavError(name, "the sample rate must be a whole number of hertz, at least 1");
    }
    if (!(fullScale > 0.0 && std::isfinite(fullScale))) {
        throw WavError(name, "the full scale must be a positive number");
    }
}

} // namespace

std::string CheckWriteFormat(const AudioWriteOptions& options, int channels) {
    const bool pcm = !options.Float && (options.Bits == 8 || options.Bits == 16 ||
                                        options.Bits == 24 || options.Bits == 32);
    const bool ieee = options.Float && (options.Bits == 32 || options.Bits == 64);
    if (!pcm && !ieee) {
        return "bits must be 8, 16, 24, 32, 32f or 64f";
    }
    if (options.Container == AudioContainer::Flac) {
        if (!pcm || (options.Bits != 16 && options.Bits != 24)) {
            return "FLAC holds 16 or 24 bit";
        }
        if (channels > 8) {
            return "FLAC holds at most 8 channels";
        }
    } else if (options.Container != AudioContainer::Wav) {
        return "only WAV and FLAC files are written";
    }
    if (channels < 1) {
        return "a file needs at least one channel";
    }
    return {};
}

AudioFileWrite::AudioFileWrite(const std::string& fileName,
                               const std::vector<const double*>& channels, std::int64_t frames,
                               double sampleRate, double fullScale,
                               const AudioWriteOptions& options) {
    CheckOrThrow(fileName, options, static_cast<int>(channels.size()), sampleRate, fullScale);
    format_ = ChooseFormat(options, static_cast<int>(channels.size()), frames, sampleRate);
    std::string tempName;
    const int fd = CreateTemporaryBeside(fileName, tempName);
    try {
        clipped_ = WriteSamples(fd, fileName, format_, channels, fullScale, options);
        MoveIntoPlace(tempName, fileName);
    } catch (...) {
        std::error_code ignored;
        fs::remove(tempName, ignored);
        throw;
    }
}

std::int64_t WriteAudioStream(std::FILE* stream, const std::string& name,
                              const std::vector<const double*>& channels, std::int64_t frames,
                              double sampleRate, double fullScale,
                              const AudioWriteOptions& options) {
    CheckOrThrow(name, options, static_cast<int>(channels.size()), sampleRate, fullScale);
    const AudioFormat format =
        ChooseFormat(options, static_cast<int>(channels.size()), frames, sampleRate);
    std::error_code ec;
    const fs::path dir = fs::temp_directory_path(ec);
    if (ec) {
        throw WavError(name, "no folder for temporary files: " + ec.message());
    }
    std::string tempName;
    const int fd = CreateTemporaryBeside((dir / "zembrel-stream").string(), tempName);
    struct Remove {
        std::string path;
        ~Remove() {
            std::error_code ignored;
            fs::remove(path, ignored);
        }
    } remove{tempName};
    const std::int64_t clipped = WriteSamples(fd, name, format, channels, fullScale, options);
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> in(std::fopen(tempName.c_str(), "rb"),
                                                       &std::fclose);
    if (!in) {
        throw WavError(name, "cannot read back the temporary file: " + ErrnoText());
    }
    std::vector<char> buffer(1 << 20);
    std::size_t got;
    while ((got = std::fread(buffer.data(), 1, buffer.size(), in.get())) > 0) {
        if (std::fwrite(buffer.data(), 1, got, stream) != got) {
            throw WavError(name, "write failed: " + ErrnoText());
        }
    }
    errno = 0;
    if (std::ferror(in.get()) || std::fflush(stream) != 0 || std::ferror(stream)) {
        throw WavError(name, "write failed: " + ErrnoText());
    }
    return clipped;
}

} // namespace zembrel
