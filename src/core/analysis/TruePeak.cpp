#include "core/analysis/TruePeak.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
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

// Four floats, one SSE register on x86-64; the compiler lowers the arithmetic on any target.
using Quad = float __attribute__((vector_size(16)));

Quad Load(const float* p) {
    Quad q;
    std::memcpy(&q, p, sizeof q);
    return q;
}

Quad Broadcast(double value) {
    const auto f = static_cast<float>(value);
    return Quad{f, f, f, f};
}

} // namespace

double TruePeak(const double* samples, std::size_t count, double sampleRate) {
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
    const double samplePeak = std::max(std::max(peaks[0], peaks[1]), std::max(peaks[2], peaks[3]));
    const std::size_t phaseStep = sampleRate < 96000.0 ? 1 : sampleRate < 192000.0 ? 2 : 0;
    if (phaseStep == 0 || count == 0) {
        return samplePeak;
    }
    // taps[p][t] multiplies the block's sample n + t for output n: the filter reversed, so that
    // every output reads the block forwards.
    std::array<std::array<Quad, kTaps>, 4> taps{};
    std::size_t phaseCount = 0;
    for (std::size_t p = 0; p < 4; p += phaseStep, ++phaseCount) {
        for (std::size_t t = 0; t < kTaps; ++t) {
            taps[phaseCount][t] = Broadcast(kPhases[p][kTaps - 1 - t]);
        }
    }

    // Blocks of the channel in single precision with the 11 samples before them in front; the
    // channel is padded with 11 zeros at both ends, so the outputs run from the first sample
    // entering the filter to the last leaving it: count + 11 per phase.
    constexpr std::size_t kBlock = 4096;
    const std::size_t history = kTaps - 1;
    std::vector<float> block(history + kBlock + 4, 0.0f);
    const std::size_t outputs = count + history;
    Quad peak{};
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
        std::fill(block.begin() + static_cast<std::ptrdiff_t>(n + history), block.end(), 0.0f);
        for (std::size_t i = 0; i < n; i += 4) {
            std::array<Quad, kTaps> x;
            for (std::size_t t = 0; t < kTaps; ++t) {
                x[t] = Load(block.data() + i + t);
            }
            for (std::size_t p = 0; p < phaseCount; ++p) {
                Quad sum = taps[p][0] * x[0];
                for (std::size_t t = 1; t < kTaps; ++t) {
                    sum += taps[p][t] * x[t];
                }
                const Quad magnitude = sum < 0 ? -sum : sum;
                peak = magnitude > peak ? magnitude : peak;
            }
        }
    }
    float interpolated = 0.0f;
    for (int lane = 0; lane < 4; ++lane) {
        interpolated = std::max(interpolated, peak[lane]);
    }
    return std::max(samplePeak, static_cast<double>(interpolated));
}

} // namespace zembrel
