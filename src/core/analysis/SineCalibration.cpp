#include "core/analysis/SineCalibration.h"

#include "core/analysis/FFT.h"

#include <cmath>
#include <vector>

namespace zembrel {

double SineCalibrationDb(int windowKind, std::int32_t length) {
    std::vector<double> w(static_cast<std::size_t>(length));
    FFT::MakeWindow(windowKind, length, w.data());
    double sum = 0.0;
    double square = 0.0;
    for (double v : w) {
        sum += v;
        square += v * v;
    }
    const double n = static_cast<double>(length);
    return -20.0 * std::log10((sum / n) / std::sqrt(square / n));
}

} // namespace zembrel
