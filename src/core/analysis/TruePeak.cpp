#include "core/analysis/TruePeak.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <initializer_list>
#include <vector>

namespace zembrel {

namespace {

constexpr std::size_t kTaps = 12;

// BS.1770-4 Annex 2, the interpolation filter's four phases, 12 taps each; phase p, tap k is
// the prototype's coefficient 4k + p. Output n of phase p is the sum over k of h[p][k] x[n - k].
constexpr double kPhases[4][kTaps] = {
    {0.0017089843750, 0.0109863281250, -0.0196533203125, 0.0332031250000, -0.0594482421875,
     0.1373291015625, 0.9721679687500, -0.1022949218750, 0.0476074218750, -0.0266113281250,
     0.0148925781250, -0.0083007812500},
    {-0.0291748046875, 0.0292968750000, -0.0517578125000, 0.0891113281250, -0.1665039062500,
     0.4650878906250, 0.7797851562500, -0.2003173828125, 0.1015625000000, -0.0582275390625,
     0.0330810546875, -0.0189208984375},
    {-0.0189208984375, 0.0330810546875, -0.0582275390625, 0.1015625000000, -0.2003173828125,
     0.7797851562500, 0.4650878906250, -0.1665039062500, 0.0891113281250, -0.0517578125000,
     0.0292968750000, -0.0291748046875},
    {-0.0083007812500, 0.0148925781250, -0.0266113281250, 0.0476074218750, -0.1022949218750,
     0.9721679687500, 0.1373291015625, -0.0594482421875, 0.0332031250000, -0.0196533203125,
     0.0109863281250, 0.0017089843750}};

// Eight floats: one AVX register, or two SSE registers where the processor has no AVX2.
constexpr std::size_t kLanes = 8;
using Lanes = float __attribute__((vector_size(kLanes * sizeof(float))));

// The filter's four phases over outputs 0 ... n - 1 of a block (n a multiple of kLanes, the
// block holding n + 11 samples): raises peak lane by lane to the largest |output|. taps[p][t]
// multiplies sample n + t for output n of phase p. Compiled twice where the
// compiler can, for processors with AVX2 and FMA and for the rest; the loader picks one.
// (Not under ThreadSanitizer, whose run-time is not ready when the loader makes that choice.)
#if defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define ZEMBREL_NO_CLONES
#endif
#endif
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__SANITIZE_THREAD__) &&                   \
    !defined(ZEMBREL_NO_CLONES)
__attribute__((target_clones("arch=x86-64-v3", "default")))
#endif
void FilterBlock(const float* block, std::size_t n, const float (*taps)[kTaps], float* peak) {
    Lanes highest;
    std::memcpy(&highest, peak, sizeof highest);
    for (std::size_t i = 0; i < n; i += kLanes) {
        Lanes sum0 = {};
        Lanes sum1 = {};
        Lanes sum2 = {};
        Lanes sum3 = {};
        for (std::size_t t = 0; t < kTaps; ++t) {
            Lanes x;
            std::memcpy(&x, block + i + t, sizeof x);
            sum0 += taps[0][t] * x;
            sum1 += taps[1][t] * x;
            sum2 += taps[2][t] * x;
            sum3 += taps[3][t] * x;
        }
        for (const Lanes sum : {sum0, sum1, sum2, sum3}) {
            const Lanes magnitude = sum < 0 ? -sum : sum;
            highest = magnitude > highest ? magnitude : highest;
        }
    }
    std::memcpy(peak, &highest, sizeof highest);
}

} // namespace

double TruePeak(const double* samples, std::size_t count, double sampleRate, double* samplePeak) {
    double peaks[4] = {0.0, 0.0, 0.0, 0.0}; // four lanes: no chain of dependent maxima
    std::size_t i = 0;
    for (; i + 4 <= count; i += 4) {
        for (std::size_t lane = 0; lane < 4; ++lane) {
            peaks[lane] = std::max(peaks[lane], std::fabs(samples[i + lane]));
        }
    }
    for (; i < count; ++i) {
        peaks[0] = std::max(peaks[0], std::fabs(samples[i]));
    }
    const double highest = std::max(std::max(peaks[0], peaks[1]), std::max(peaks[2], peaks[3]));
    if (samplePeak != nullptr) {
        *samplePeak = highest;
    }
    const std::size_t phaseStep = sampleRate < 96000.0 ? 1 : sampleRate < 192000.0 ? 2 : 0;
    if (phaseStep == 0 || count == 0) {
        return highest;
    }
    // The filter reversed, so that every output reads the block forwards.
    // At 2x the kernel's four rows hold phases 0 and 2 twice.
    float taps[4][kTaps] = {};
    for (std::size_t row = 0; row < 4; ++row) {
        const std::size_t p = row * phaseStep % 4;
        for (std::size_t t = 0; t < kTaps; ++t) {
            taps[row][t] = static_cast<float>(kPhases[p][kTaps - 1 - t]);
        }
    }

    // Blocks of the channel in single precision with the 11 samples before them in front; the
    // channel is padded with 11 zeros at both ends, so the outputs run from the first sample
    // entering the filter to the last leaving it: count + 11 per phase. The last block is
    // rounded up to whole lanes with zeros, whose outputs are those of silence.
    constexpr std::size_t kBlock = 4096;
    const std::size_t history = kTaps - 1;
    std::vector<float> block(history + kBlock, 0.0f);
    const std::size_t outputs = count + history;
    float peak[kLanes] = {};
    for (std::size_t first = 0; first < outputs; first += kBlock) {
        const std::size_t n = std::min(kBlock, outputs - first);
        // block[j] holds input first + j - 11 (zero outside the channel).
        if (first >= history && first + n <= count) {
            const double* from = samples + (first - history);
            for (std::size_t j = 0; j < n + history; ++j) {
                block[j] = static_cast<float>(from[j]);
            }
        } else {
            for (std::size_t j = 0; j < n + history; ++j) {
                const std::size_t input = first + j;
                block[j] = input >= history && input - history < count
                               ? static_cast<float>(samples[input - history])
                               : 0.0f;
            }
        }
        const std::size_t whole = (n + kLanes - 1) / kLanes * kLanes;
        std::fill(block.begin() + static_cast<std::ptrdiff_t>(n + history), block.end(), 0.0f);
        FilterBlock(block.data(), whole, taps, peak);
    }
    const float interpolated = *std::max_element(peak, peak + kLanes);
    return std::max(highest, static_cast<double>(interpolated));
}

} // namespace zembrel
