#include "core/signal/SampleKernels.h"

#include "core/signal/SampleConversion.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace zembrel {

namespace {

#if defined(__SSE2__)
// TruncSaturate to [lo, hi] for two doubles: NaN to 0, then clamped (the bounds are whole
// numbers, so clamping before the truncation gives the same integers), then truncated.
__m128i Truncate(__m128d v, __m128d lo, __m128d hi) {
    v = _mm_and_pd(v, _mm_cmpord_pd(v, v));
    v = _mm_min_pd(_mm_max_pd(v, lo), hi);
    return _mm_cvttpd_epi32(v);
}
#endif

std::uint16_t Word(double v) {
    return static_cast<std::uint16_t>(TruncSaturate<std::int16_t>(v));
}

} // namespace

double LargestMagnitude(const double* x, std::size_t n, double floor) {
    std::size_t i = 0;
    double peak = floor;
#if defined(__SSE2__)
    const __m128d sign = _mm_set1_pd(-0.0);
    __m128d top = _mm_set1_pd(floor);
    for (; i + 2 <= n; i += 2) {
        // maxpd returns its second operand when the first is NaN.
        top = _mm_max_pd(_mm_andnot_pd(sign, _mm_loadu_pd(x + i)), top);
    }
    double pair[2];
    _mm_storeu_pd(pair, top);
    peak = pair[0] > pair[1] ? pair[0] : pair[1];
#endif
    for (; i < n; ++i) {
        const double a = x[i] < 0.0 ? -x[i] : x[i];
        if (a > peak) {
            peak = a;
        }
    }
    return peak;
}

void ScaleToWholeNumbers(double* x, std::size_t n, double peak, double target, double offset) {
    std::size_t i = 0;
#if defined(__SSE2__)
    const __m128d p = _mm_set1_pd(peak);
    const __m128d t = _mm_set1_pd(target);
    const __m128d half = _mm_set1_pd(0.5);
    const __m128d o = _mm_set1_pd(offset);
    const __m128d lo = _mm_set1_pd(-2147483648.0);
    const __m128d hi = _mm_set1_pd(2147483647.0);
    for (; i + 2 <= n; i += 2) {
        const __m128d v = _mm_sub_pd(_mm_mul_pd(_mm_div_pd(_mm_loadu_pd(x + i), p), t), half);
        _mm_storeu_pd(x + i, _mm_add_pd(_mm_cvtepi32_pd(Truncate(v, lo, hi)), o));
    }
#endif
    for (; i < n; ++i) {
        const double v = x[i] / peak * target - 0.5;
        x[i] = static_cast<double>(TruncToInt32(v)) + offset;
    }
}

void StoreWords(const double* first, const double* second, std::size_t n, unsigned char* out) {
    std::size_t i = 0;
#if defined(__SSE2__)
    const __m128d lo = _mm_set1_pd(-32768.0);
    const __m128d hi = _mm_set1_pd(32767.0);
    for (; i + 4 <= n; i += 4) {
        // Four indices: two truncations of two, packed to 16 bits (in range, so exact).
        const __m128i a = _mm_unpacklo_epi64(Truncate(_mm_loadu_pd(first + i), lo, hi),
                                             Truncate(_mm_loadu_pd(first + i + 2), lo, hi));
        const __m128i left = _mm_packs_epi32(a, a);
        if (second) {
            const __m128i b = _mm_unpacklo_epi64(Truncate(_mm_loadu_pd(second + i), lo, hi),
                                                 Truncate(_mm_loadu_pd(second + i + 2), lo, hi));
            const __m128i right = _mm_packs_epi32(b, b);
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_unpacklo_epi16(left, right));
            out += 16;
        } else {
            _mm_storel_epi64(reinterpret_cast<__m128i*>(out), left);
            out += 8;
        }
    }
#endif
    for (; i < n; ++i) {
        const std::uint16_t l = Word(first[i]);
        *out++ = static_cast<unsigned char>(l & 0xFF);
        *out++ = static_cast<unsigned char>(l >> 8);
        if (second) {
            const std::uint16_t r = Word(second[i]);
            *out++ = static_cast<unsigned char>(r & 0xFF);
            *out++ = static_cast<unsigned char>(r >> 8);
        }
    }
}

} // namespace zembrel
