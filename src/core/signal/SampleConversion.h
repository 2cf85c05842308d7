#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

namespace zembrel {

// Truncates toward zero and saturates to the range of T. NaN becomes 0, so converting any
// double is defined behaviour.
template <typename T> constexpr T TruncSaturate(double v) {
    constexpr double lo = static_cast<double>(std::numeric_limits<T>::min());
    constexpr double hi = static_cast<double>(std::numeric_limits<T>::max());
    if (std::isnan(v)) {
        return 0;
    }
    if (v <= lo) {
        return std::numeric_limits<T>::min();
    }
    if (v >= hi) {
        return std::numeric_limits<T>::max();
    }
    return static_cast<T>(v);
}

inline std::int32_t TruncToInt32(double v) {
    return TruncSaturate<std::int32_t>(v);
}

} // namespace zembrel
