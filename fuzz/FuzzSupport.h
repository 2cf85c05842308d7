#pragma once

// Shared pieces of the fuzz harnesses: a scratch file for the readers that take a path, and a
// reader of typed values from the fuzz input.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <limits>
#include <string>
#include <unistd.h>

namespace fuzzsupport {

// A file of this process that holds the given bytes, for readers that open a path.
inline const std::string& WriteScratch(const std::uint8_t* data, std::size_t size,
                                       const char* suffix) {
    static const std::string path =
        std::string("/tmp/zembrel-fuzz-") + std::to_string(::getpid()) + suffix;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    return path;
}

// Takes values from the front of the input; past its end every value is 0.
class Input {
public:
    Input(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    std::uint8_t Byte() { return pos_ < size_ ? data_[pos_++] : 0; }

    // Any double, NaN and infinities included: the raw 8 bytes.
    double Double() {
        std::uint64_t bits = 0;
        for (int i = 0; i < 8; ++i) {
            bits |= static_cast<std::uint64_t>(Byte()) << (8 * i);
        }
        double value;
        std::memcpy(&value, &bits, sizeof value);
        return value;
    }

    // A double that is often a plain number: a byte selects a raw double or, scaled by a factor
    // from 0.875 to 1.124, a value from a table of edges: of the dialogs' ranges, negative
    // frequencies, and the largest magnitudes, where a sum or a product overflows (a factor
    // above 1 makes +-DBL_MAX an infinity).
    double Value(double sampleRate) {
        constexpr double kMax = std::numeric_limits<double>::max();
        const double edges[] = {0.0,        1.0,    -1.0,    0.5,   sampleRate / 2, 1e-13,
                                1e-6,       1e307,  -1e307,  360.0, 100.0,          1000.0,
                                sampleRate, 1e-300, 20000.0, kMax,  -kMax,          -sampleRate / 2,
                                -20000.0};
        const std::uint8_t kind = Byte();
        if (kind < 128) {
            return Double();
        }
        const double edge = edges[kind % (sizeof edges / sizeof edges[0])];
        return edge * (1.0 + (Byte() - 128) / 1024.0);
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

} // namespace fuzzsupport
