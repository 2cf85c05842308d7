// The paired sample loops against their one-sample definitions, on values that reach every
// branch: NaN, infinities, signed zero, the saturation bounds and their neighbours, and odd
// lengths that leave a tail.
#include "core/signal/SampleKernels.h"
#include "core/signal/SampleConversion.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

namespace zembrel {
namespace {

std::vector<double> Awkward(std::size_t n, unsigned seed) {
    const double inf = std::numeric_limits<double>::infinity();
    const std::vector<double> edges = {std::nan(""), inf,      -inf,    -0.0,         0.0,
                                       32767.0,      32767.99, 32768.0, -32768.0,     -32768.99,
                                       -32769.0,     0.99,     -0.99,   2147483647.5, -2147483649.0,
                                       1e300,        -1e300,   255.5,   -1.5};
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> wide(-70000.0, 70000.0);
    std::vector<double> x(n);
    for (std::size_t i = 0; i < n; ++i) {
        x[i] = i % 3 == 0 ? edges[(i / 3) % edges.size()] : wide(random);
    }
    return x;
}

TEST(SampleKernels, StoreWordsInterleavesTheTruncatedWords) {
    for (std::size_t n : {0u, 1u, 3u, 4u, 7u, 61u}) {
        const auto left = Awkward(n, 1);
        const auto right = Awkward(n, 2);
        for (const bool stereo : {false, true}) {
            std::vector<unsigned char> want;
            for (std::size_t i = 0; i < n; ++i) {
                for (const double v :
                     stereo ? std::vector{left[i], right[i]} : std::vector{left[i]}) {
                    const auto word = static_cast<std::uint16_t>(TruncSaturate<std::int16_t>(v));
                    want.push_back(static_cast<unsigned char>(word & 0xFF));
                    want.push_back(static_cast<unsigned char>(word >> 8));
                }
            }
            std::vector<unsigned char> got(want.size() + 1, 0xAB);
            StoreWords(left.data(), stereo ? right.data() : nullptr, n, got.data());
            EXPECT_EQ(got.back(), 0xAB) << "wrote past the end";
            got.pop_back();
            EXPECT_EQ(got, want) << n << (stereo ? " stereo" : " mono");
        }
    }
}

TEST(SampleKernels, ScalingAndPeakMatchTheirOneSampleForms) {
    for (std::size_t n : {1u, 2u, 5u, 64u, 101u}) {
        auto x = Awkward(n, 3);
        double want = 0.0;
        for (const double v : x) {
            const double a = v < 0.0 ? -v : v;
            want = a > want ? a : want;
        }
        EXPECT_EQ(LargestMagnitude(x.data(), n, 0.0), want) << n;

        for (const double offset : {0.0, 128.0}) {
            std::vector<double> expected = x;
            for (double& v : expected) {
                v = static_cast<double>(TruncToInt32(v / 3.7 * 32768.0 - 0.5)) + offset;
            }
            std::vector<double> got = x;
            ScaleToWholeNumbers(got.data(), n, 3.7, 32768.0, offset);
            EXPECT_EQ(0, std::memcmp(got.data(), expected.data(), n * sizeof(double))) << n;
        }
    }
}

} // namespace
} // namespace zembrel
