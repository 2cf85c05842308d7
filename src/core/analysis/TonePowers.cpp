#include "core/analysis/TonePowers.h"

#include "core/signal/FftwPlanning.h"
#include "core/signal/HugePages.h"

#include <fftw3.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <mutex>
#include <numbers>
#include <stdexcept>

namespace zembrel {

namespace {

struct FftwFree {
    void operator()(void* p) const { fftw_free(p); }
};

// 7-term Blackman-Harris coefficients (minimum side lobes, -180 dB).
constexpr double kWindow[7] = {0.27105140069342, 0.43329793923448, 0.21812299954311,
                               0.06592544638803, 0.01081174209837, 0.00077658482522,
                               0.00001388721735};

// The window and the transform's plan of one length, made once and shared by every spectrum of
// that length (the channels of a file, repeated readings).
struct Setup {
    std::vector<double> Window;
    double SumW2 = 0.0;
    fftw_plan Plan = nullptr;

    explicit Setup(std::size_t n) {
        ResizeLarge(Window, n);
        const double step = 2.0 * std::numbers::pi / static_cast<double>(n); // periodic window
        // The periodic window is even about n / 2: the first half is computed, then mirrored.
        for (std::size_t i = 0; i <= n / 2; ++i) {
            // cos(t theta) for t = 0 ... 6 by the Chebyshev recurrence from one cosine.
            const double c1 = std::cos(step * static_cast<double>(i));
            double previous = 1.0;
            double current = c1;
            double w = kWindow[0] - kWindow[1] * c1;
            double sign = 1.0;
            for (int t = 2; t < 7; ++t) {
                const double next = 2.0 * c1 * current - previous;
                previous = current;
                current = next;
                w += sign * kWindow[t] * current;
                sign = -sign;
            }
            Window[i] = w;
            if (i > 0) {
                Window[n - i] = w;
            }
        }
        for (double w : Window) {
            SumW2 += w * w;
        }
        std::unique_ptr<double, FftwFree> in(fftw_alloc_real(n));
        std::unique_ptr<fftw_complex, FftwFree> out(fftw_alloc_complex(n / 2 + 1));
        if (!in || !out) {
            throw std::bad_alloc();
        }
        std::lock_guard lock(FftwPlannerLock());
        Plan = fftw_plan_dft_r2c_1d(static_cast<int>(n), in.get(), out.get(), FFTW_ESTIMATE);
        if (Plan == nullptr) {
            throw std::bad_alloc();
        }
    }
    ~Setup() {
        std::lock_guard lock(FftwPlannerLock());
        fftw_destroy_plan(Plan);
    }
    Setup(const Setup&) = delete;
    Setup& operator=(const Setup&) = delete;
};

std::shared_ptr<const Setup> SetupFor(std::size_t n) {
    // The planner's lock first, so that it outlives the last setup, whose plan is destroyed at
    // exit under it.
    static std::mutex& planner = FftwPlannerLock();
    static std::mutex mutex;
    static std::shared_ptr<const Setup> last;
    (void)planner;
    std::lock_guard lock(mutex);
    if (!last || last->Window.size() != n) {
        last = std::make_shared<const Setup>(n);
    }
    return last;
}

} // namespace

TonePowers::TonePowers(const double* samples, std::size_t count, double sampleRate)
    : sampleRate_(sampleRate) {
    if (!(sampleRate > 0.0) || !std::isfinite(sampleRate)) {
        throw std::invalid_argument("sample rate must be a positive number");
    }
    const std::size_t n = std::min(count, kMaxLength);
    if (n < 2) {
        binWidth_ = sampleRate;
        power_.assign(1, 0.0);
        return;
    }
    binWidth_ = sampleRate / static_cast<double>(n);
    double mean = 0.0;
    for (std::size_t i = 0; i < n; ++i) {
        mean += samples[i];
    }
    mean /= static_cast<double>(n);

    const std::size_t bins = n / 2 + 1;
    const std::shared_ptr<const Setup> setup = SetupFor(n);
    std::unique_ptr<double, FftwFree> in(fftw_alloc_real(n));
    std::unique_ptr<fftw_complex, FftwFree> out(fftw_alloc_complex(bins));
    if (!in || !out) {
        throw std::bad_alloc();
    }
    AdviseHugePages(in.get(), n * sizeof(double));
    AdviseHugePages(out.get(), bins * sizeof(fftw_complex));
    const std::vector<double>& window = setup->Window;
    for (std::size_t i = 0; i < n; ++i) {
        in.get()[i] = (samples[i] - mean) * window[i];
    }
    fftw_execute_dft_r2c(setup->Plan, in.get(), out.get());
    const double sumW2 = setup->SumW2;
    ResizeLarge(power_, bins);
    const double scale = 2.0 / (static_cast<double>(n) * sumW2);
    for (std::size_t k = 0; k < bins; ++k) {
        const double re = out.get()[k][0];
        const double im = out.get()[k][1];
        power_[k] = (re * re + im * im) * scale;
    }
    // DC and Nyquist have no mirror image: their one-sided share is half.
    power_[0] *= 0.5;
    if (n % 2 == 0) {
        power_[bins - 1] *= 0.5;
    }
}

long TonePowers::Bin(double frequency) const {
    return std::lround(frequency / binWidth_);
}

double TonePowers::TonePower(double frequency) const {
    if (!(frequency >= 0.0) || frequency > Nyquist()) {
        return 0.0;
    }
    const long centre = Bin(frequency);
    const long first = std::max(0L, centre - kLobeBins);
    const long last = std::min(static_cast<long>(power_.size()) - 1, centre + kLobeBins);
    double sum = 0.0;
    for (long k = first; k <= last; ++k) {
        sum += power_[static_cast<std::size_t>(k)];
    }
    return sum;
}

double TonePowers::BandPower(double low, double high) const {
    const long first = std::max(0L, static_cast<long>(std::ceil(low / binWidth_)));
    const long last = std::min(static_cast<long>(power_.size()) - 1,
                               static_cast<long>(std::floor(high / binWidth_)));
    double sum = 0.0;
    for (long k = first; k <= last; ++k) {
        sum += power_[static_cast<std::size_t>(k)];
    }
    return sum;
}

double TonePowers::StrongestTone(double low, double high) const {
    const long first = std::max(1L, static_cast<long>(std::ceil(low / binWidth_)));
    const long last = std::min(static_cast<long>(power_.size()) - 1,
                               static_cast<long>(std::floor(high / binWidth_)));
    if (first > last) {
        return -1.0;
    }
    long best = first;
    for (long k = first; k <= last; ++k) {
        if (power_[static_cast<std::size_t>(k)] > power_[static_cast<std::size_t>(best)]) {
            best = k;
        }
    }
    double weight = 0.0;
    double moment = 0.0;
    const long lobeFirst = std::max(0L, best - kLobeBins);
    const long lobeLast = std::min(static_cast<long>(power_.size()) - 1, best + kLobeBins);
    for (long k = lobeFirst; k <= lobeLast; ++k) {
        weight += power_[static_cast<std::size_t>(k)];
        moment += power_[static_cast<std::size_t>(k)] * static_cast<double>(k);
    }
    return weight > 0.0 ? moment / weight * binWidth_ : static_cast<double>(best) * binWidth_;
}

} // namespace zembrel
