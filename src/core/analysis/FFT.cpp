#include "core/analysis/FFT.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <stdexcept>
#include <string>

namespace zembrel {

namespace {

bool IsPowerOfTwo(std::int32_t n) {
    return n >= 2 && (n & (n - 1)) == 0;
}

// The level normalisation forms (N/2)^2 as a 32-bit integer, which holds up to N = 65536.
constexpr std::int32_t kMaxLength = 65536;

// i reversed over its lowest `bits` bits.
std::uint32_t ReverseBits(std::uint32_t i, int bits) {
    std::uint32_t r = 0;
    for (int b = 0; b < bits; ++b) {
        r = (r << 1) | (i & 1u);
        i >>= 1;
    }
    return r;
}

} // namespace

FFT::FFT(std::int32_t length, const double* samples, std::int32_t validSamples, std::int32_t bits,
         int windowKind, int outputKind)
    : length_(length), samples_(samples), bits_(bits), validSamples_(validSamples) {
    if (!IsPowerOfTwo(length) || length > kMaxLength) {
        throw std::invalid_argument("FFT length must be a power of two from 2 to 65536, not " +
                                    std::to_string(length));
    }
    if (bits != 8 && bits != 16) {
        throw std::invalid_argument("FFT of " + std::to_string(bits) + "-bit samples");
    }
    if (windowKind < Hanning || windowKind > FlatTop) {
        throw std::invalid_argument("unknown FFT window " + std::to_string(windowKind));
    }
    if (outputKind != LevelsDb) {
        throw std::invalid_argument("unknown FFT output " + std::to_string(outputKind));
    }
    if (validSamples_ < 0 || (validSamples_ > 0 && samples_ == nullptr)) {
        validSamples_ = 0;
    }
    const auto n = static_cast<std::size_t>(length_);
    window_.assign(n, 0.0);
    inRe_.assign(n, 0.0);
    inIm_.assign(n, 0.0);
    outRe_.assign(n, 0.0);
    outIm_.assign(n, 0.0);
    levels_.assign(n, 0.0);

    MakeWindow(windowKind, length_, window_.data());
    WindowAndScale();
    Transform(inRe_.data(), inIm_.data(), outRe_.data(), outIm_.data(), length_);
    ComputeLevels();
}

void FFT::MakeWindow(int windowKind, std::int32_t n, double* w) {
    const double b = 2.0 * Pi / static_cast<double>(n - 1);
    for (std::int32_t i = 0; i < n; ++i) {
        const double theta = b * i;
        switch (windowKind) {
        case Hanning:
            w[i] = 0.5 - 0.5 * std::cos(theta);
            break;
        case Hamming:
            // 0.538 / 0.462, not the textbook 0.54 / 0.46.
            w[i] = 0.538 - 0.462 * std::cos(theta);
            break;
        case Blackman:
            w[i] = 0.42 - 0.5 * std::cos(theta) + 0.08 * std::cos((2.0 * b) * i);
            break;
        case BlackmanHarris:
            w[i] = 0.35875 - 0.48829 * std::cos(theta) + 0.14128 * std::cos((2.0 * b) * i) -
                   0.01168 * std::cos((3.0 * b) * i);
            break;
        case FlatTop:
            // The five-term flat top of SRS/Matlab's flattopwin.
            w[i] = 0.21557895 - 0.41663158 * std::cos(theta) +
                   0.277263158 * std::cos((2.0 * b) * i) - 0.083578947 * std::cos((3.0 * b) * i) +
                   0.006947368 * std::cos((4.0 * b) * i);
            break;
        default:
            w[i] = 1.0;
            break;
        }
    }
}

void FFT::WindowAndScale() {
    // Full scale is 32768 (16 bit, centred on 0) or 128 (8 bit, centred on 128) whatever the
    // signal's NormValue, so levels are relative to the file format's full scale.
    const std::int32_t count = std::min(length_, validSamples_);
    if (bits_ == 16) {
        const double scale = 1.0 / 32768.0;
        for (std::int32_t i = 0; i < count; ++i) {
            inRe_[i] = (samples_[i] * scale) * window_[i];
        }
    } else {
        const double scale = 1.0 / 128.0;
        for (std::int32_t i = 0; i < count; ++i) {
            inRe_[i] = (samples_[i] - 128.0) * scale * window_[i];
        }
    }
    // Beyond the channel's end the block stays zero: the window still spans all N points.
}

void FFT::Transform(const double* inRe, const double* inIm, double* outRe, double* outIm,
                    std::int32_t n) {
    const int bits = std::countr_zero(static_cast<std::uint32_t>(n));
    for (std::int32_t i = 0; i < n; ++i) {
        const std::uint32_t r = ReverseBits(static_cast<std::uint32_t>(i), bits);
        outRe[r] = inRe[i];
        outIm[r] = inIm[i];
    }

    // Decimation in time. The twiddles cos(j theta), sin(j theta) come from the three-term
    // recurrence t[j] = 2 cos(theta) t[j-1] - t[j-2], started afresh in every block from the
    // values at j = -2 and j = -1, so a stage costs four trigonometric calls and no table.
    for (std::int32_t c = 2; c <= n; c *= 2) {
        const std::int32_t h = c / 2;
        const double theta = 2.0 * Pi / c;
        const double s2 = std::sin(-2.0 * theta);
        const double s1 = std::sin(-theta);
        const double c2 = std::cos(-2.0 * theta);
        const double c1 = std::cos(-theta);
        const double k = 2.0 * c1;
        for (std::int32_t a0 = 0; a0 < n; a0 += c) {
            double cm2 = c2, cm1 = c1, sm2 = s2, sm1 = s1;
            for (std::int32_t j = 0; j < h; ++j) {
                const double cr = k * cm1 - cm2;
                cm2 = cm1;
                cm1 = cr;
                const double si = k * sm1 - sm2;
                sm2 = sm1;
                sm1 = si;
                const std::int32_t p = a0 + j;
                const std::int32_t q = p + h;
                const double tr = cr * outRe[q] - si * outIm[q];
                const double ti = cr * outIm[q] + si * outRe[q];
                outRe[q] = outRe[p] - tr;
                outIm[q] = outIm[p] - ti;
                outRe[p] = outRe[p] + tr;
                outIm[p] = outIm[p] + ti;
            }
        }
    }
}

void FFT::ComputeLevels() {
    double sum = 0.0;
    for (double w : window_) {
        sum += w * w;
    }
    double power = sum / length_;
    if (power == 0.0) {
        power = 1e-12;
    }
    // Every bin, DC included, is normalised by H^2 with H = N/2: a full-scale sine centred on a
    // bin reads 0 dB with the rectangular window. H*H is at most 2^30 for N = 65536.
    const std::int32_t half = length_ / 2;
    const std::int32_t halfSquared = half * half;
    const double divisor = halfSquared * power;
    for (std::int32_t k = 0; k < half; ++k) {
        double p = (outRe_[k] * outRe_[k] + outIm_[k] * outIm_[k]) / divisor;
        if (!(p >= 0.0)) {
            p = 0.0;
        }
        double a = std::sqrt(p);
        if (!(a > 0.0)) {
            a = ZeroMagnitude;
        }
        levels_[k] = 20.0 * std::log10(a);
    }
}

void FFT::CopyLevels(double* dest) const {
    std::copy_n(levels_.begin(), length_ / 2, dest);
}

} // namespace zembrel
