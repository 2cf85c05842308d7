#pragma once

#include <cstddef>
#include <cstdint>

namespace zembrel {

// The per-sample loops that every generated signal passes through (level scaling, conversion
// to the file's words), two samples at a time where the processor offers SSE2. Each gives
// exactly the result of its one-sample form: the same IEEE operations in the same order, and
// the same truncation and saturation as TruncSaturate (NaN becomes 0).

// The largest magnitude of x[0 ... n-1], at least floor; NaN is passed over.
double LargestMagnitude(const double* x, std::size_t n, double floor);

// x[i] = trunc32(x[i] / peak * target - 0.5) + offset, trunc32 being TruncToInt32.
void ScaleToWholeNumbers(double* x, std::size_t n, double peak, double target, double offset);

// Little-endian 16-bit words of TruncSaturate<int16_t>(x[i]), interleaved with second when it
// is given (left, right, left, right ...): 2 or 4 bytes per index into out.
void StoreWords(const double* first, const double* second, std::size_t n, unsigned char* out);

} // namespace zembrel
