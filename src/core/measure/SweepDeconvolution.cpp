#include "core/measure/SweepDeconvolution.h"

#include "core/generators/SyncSweep.h"
#include "core/signal/FftwPlanning.h"

#include <fftw3.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdio>
#include <map>
#include <memory>
#include <mutex>
#include <numbers>
#include <stdexcept>
#include <string>

namespace zembrel {

namespace {

using Complex = std::complex<double>;

struct FftwFree {
    void operator()(void* p) const { fftw_free(p); }
};
using RealBuffer = std::unique_ptr<double[], FftwFree>;
using ComplexBuffer = std::unique_ptr<fftw_complex[], FftwFree>;

RealBuffer AllocateReal(std::size_t n) {
    auto* p = fftw_alloc_real(n);
    if (p == nullptr) {
        throw std::bad_alloc();
    }
    return RealBuffer(p);
}

ComplexBuffer AllocateComplex(std::size_t n) {
    auto* p = fftw_alloc_complex(n);
    if (p == nullptr) {
        throw std::bad_alloc();
    }
    return ComplexBuffer(p);
}

// The plans of a real transform of one length, both ways, made once per length and kept: making
// one computes its twiddle factors, which costs about as much as running it. Plans are estimated,
// not measured, for the same reason. Executing them with the new-array interface needs no lock.
struct Plans {
    fftw_plan forward;
    fftw_plan backward;
};

// Destroys the kept plans when the program ends, when no transform runs any more.
struct PlanCache : std::map<std::size_t, Plans> {
    PlanCache() = default;
    PlanCache(const PlanCache&) = delete;
    PlanCache& operator=(const PlanCache&) = delete;
    ~PlanCache() {
        for (auto& [n, plans] : *this) {
            fftw_destroy_plan(plans.forward);
            fftw_destroy_plan(plans.backward);
        }
    }
};

const Plans& PlansFor(std::size_t n) {
    static PlanCache plans;
    std::lock_guard lock(FftwPlannerLock());
    if (auto found = plans.find(n); found != plans.end()) {
        return found->second;
    }
    RealBuffer real = AllocateReal(n);
    ComplexBuffer spectrum = AllocateComplex(n / 2 + 1);
    const int size = static_cast<int>(n);
    const Plans made{fftw_plan_dft_r2c_1d(size, real.get(), spectrum.get(), FFTW_ESTIMATE),
                     fftw_plan_dft_c2r_1d(size, spectrum.get(), real.get(), FFTW_ESTIMATE)};
    if (made.forward == nullptr || made.backward == nullptr) {
        throw std::runtime_error("FFTW could not plan a transform of " + std::to_string(n) +
                                 " points");
    }
    return plans.emplace(n, made).first->second;
}

// A real transform of one length with a buffer of its own.
class RealFft {
public:
    explicit RealFft(std::size_t n) : n_(n), plans_(PlansFor(n)), real_(AllocateReal(n)) {}

    std::size_t Size() const { return n_; }
    std::size_t Bins() const { return n_ / 2 + 1; }
    // The transform's input, n values, for a caller to fill in place.
    double* Input() const { return real_.get(); }

    // Input() to out (Bins() values).
    void Forward(fftw_complex* out) const {
        fftw_execute_dft_r2c(plans_.forward, real_.get(), out);
    }
    // in (count <= n values, zero-padded) to out (Bins() values).
    void Forward(const double* in, std::size_t count, fftw_complex* out) const {
        std::copy(in, in + count, real_.get());
        std::fill(real_.get() + count, real_.get() + n_, 0.0);
        Forward(out);
    }
    // Overwrites in; out holds n values, scaled by 1/n.
    void Backward(fftw_complex* in, double* out) const {
        fftw_execute_dft_c2r(plans_.backward, in, out);
        const double scale = 1.0 / static_cast<double>(n_);
        for (std::size_t i = 0; i < n_; ++i) {
            out[i] *= scale;
        }
    }

private:
    std::size_t n_;
    const Plans& plans_;
    RealBuffer real_;
};

bool IsAllowedSmoothing(int n) {
    for (int allowed : {0, 1, 3, 6, 12, 24, 48}) {
        if (n == allowed) {
            return true;
        }
    }
    return false;
}

std::string SecondsText(double s) {
    char text[64];
    std::snprintf(text, sizeof text, "%.3f s", s);
    return text;
}

// A spectrum read at any frequency: interpolated between bins, or averaged over a band of
// 1/N octave around it (power for the magnitude, the complex mean for the phase). Prefix sums
// make each band a subtraction.
class BandReader {
public:
    BandReader(const fftw_complex* bins, std::size_t count, double binHz, int smoothing)
        : binHz_(binHz), smoothing_(smoothing), bins_(count), power_(count + 1), sum_(count + 1) {
        for (std::size_t k = 0; k < count; ++k) {
            bins_[k] = Complex(bins[k][0], bins[k][1]);
            power_[k + 1] = power_[k] + std::norm(bins_[k]);
            sum_[k + 1] = sum_[k] + bins_[k];
        }
    }

    // The complex value and the power at f.
    std::pair<Complex, double> At(double f) const {
        if (smoothing_ > 0) {
            const double half = std::exp2(0.5 / smoothing_);
            const auto lo = static_cast<std::size_t>(std::ceil(f / half / binHz_));
            const auto hi =
                std::min(static_cast<std::size_t>(std::floor(f * half / binHz_)), bins_.size() - 1);
            if (hi > lo) {
                const double n = static_cast<double>(hi - lo + 1);
                return {(sum_[hi + 1] - sum_[lo]) / n, (power_[hi + 1] - power_[lo]) / n};
            }
        }
        const double x = std::clamp(f / binHz_, 0.0, static_cast<double>(bins_.size() - 1));
        const auto k = std::min(static_cast<std::size_t>(x), bins_.size() - 2);
        const double frac = x - static_cast<double>(k);
        const Complex c = bins_[k] * (1.0 - frac) + bins_[k + 1] * frac;
        return {c, std::norm(c)};
    }

private:
    double binHz_;
    int smoothing_;
    std::vector<Complex> bins_;
    std::vector<double> power_;
    std::vector<Complex> sum_;
};

// What the two public entry points share once their excitation is known.
struct Excitation {
    const std::vector<double>& samples;
    double rateHz;
    const char* name;       // "sweep" or "reference", for messages
    const SyncSweep* sweep; // null for a reference
};

// h[(start + i) mod n] for i in [0, length), with a half-Hann rise and fall over the first
// and last tenth, laid out for a transform of size m with sample `origin` of the window at
// index 0 and the samples before it at the end.
void CutWindow(const double* h, std::int64_t n, std::int64_t start, std::int64_t length,
               std::int64_t origin, std::size_t m, double* out) {
    std::fill(out, out + m, 0.0);
    const std::int64_t fade = std::max<std::int64_t>(1, length / 10);
    for (std::int64_t i = 0; i < length; ++i) {
        double value = h[((start + i) % n + n) % n];
        const std::int64_t edge = std::min(i, length - 1 - i);
        if (edge < fade) {
            value *= 0.5 - 0.5 * std::cos(std::numbers::pi * static_cast<double>(edge) /
                                          static_cast<double>(fade));
        }
        const std::int64_t at = i - origin;
        out[static_cast<std::size_t>(at >= 0 ? at : static_cast<std::int64_t>(m) + at)] = value;
    }
}

SweepResponse Run(const std::vector<double>& recording, double recordingRateHz,
                  const Excitation& excitation, const DeconvolutionOptions& options) {
    if (!IsAllowedSmoothing(options.Smoothing)) {
        throw std::invalid_argument("The smoothing must be 1, 3, 6, 12, 24 or 48 (1/N octave).");
    }
    const double rate = excitation.rateHz;
    if (recordingRateHz != rate) {
        throw std::invalid_argument("The recording's sample rate (" + HzText(recordingRateHz) +
                                    ") differs from the " + excitation.name + "'s (" +
                                    HzText(rate) + ").");
    }
    const std::vector<double>& e = excitation.samples;
    const auto first = std::find_if(e.begin(), e.end(), [](double v) { return v != 0.0; });
    if (first == e.end()) {
        throw std::invalid_argument(std::string("The ") + excitation.name + " is silent.");
    }
    for (double v : e) {
        if (!std::isfinite(v)) {
            throw std::invalid_argument(std::string("The ") + excitation.name +
                                        " holds a value that is not a finite number.");
        }
    }
    const auto pre = static_cast<std::int64_t>(first - e.begin());
    const auto active = static_cast<std::int64_t>(
        std::find_if(e.rbegin(), e.rend(), [](double v) { return v != 0.0; }).base() - e.begin());
    const auto recorded = static_cast<std::int64_t>(recording.size());
    if (recorded < active) {
        throw std::invalid_argument("The recording (" + SecondsText(recorded / rate) +
                                    ") is shorter than the " + excitation.name + " (" +
                                    SecondsText(active / rate) + ").");
    }
    bool silent = true;
    SweepResponse result;
    result.RateHz = rate;
    for (double v : recording) {
        if (!std::isfinite(v)) {
            throw std::invalid_argument("The recording holds a value that is not a finite number.");
        }
        silent = silent && v == 0.0;
        // Full scale of a 16-bit recording, less half a step.
        result.Clipped = result.Clipped || std::fabs(v) >= 32767.5 / 32768.0;
    }
    if (silent) {
        throw std::invalid_argument("The recording is silent.");
    }

    // Linear deconvolution of the whole recording by the whole excitation.
    const std::size_t n = FastFftLength(recording.size() + e.size());
    const RealFft fft(n);
    const double binHz = rate / static_cast<double>(n);
    ComplexBuffer rec = AllocateComplex(fft.Bins());
    ComplexBuffer exc = AllocateComplex(fft.Bins());
    fft.Forward(recording.data(), recording.size(), rec.get());
    fft.Forward(e.data(), e.size(), exc.get());
    double peakPower = 0.0;
    for (std::size_t k = 0; k < fft.Bins(); ++k) {
        peakPower = std::max(peakPower, exc[k][0] * exc[k][0] + exc[k][1] * exc[k][1]);
    }
    double f1 = 0.0;
    double f2 = 0.0;
    if (excitation.sweep != nullptr) {
        f1 = excitation.sweep->Input().StartHz;
        f2 = excitation.sweep->Input().StopHz;
    } else {
        // The band of the reference: where it is within 30 dB of its peak.
        for (std::size_t k = 1; k < fft.Bins(); ++k) {
            if (exc[k][0] * exc[k][0] + exc[k][1] * exc[k][1] >= 1e-3 * peakPower) {
                f1 = f1 == 0.0 ? k * binHz : f1;
                f2 = k * binHz;
            }
        }
        f1 = std::max(f1, 10.0);
        if (!(f2 > f1)) {
            throw std::invalid_argument("The reference has no band of frequencies to measure.");
        }
    }
    // The same eps at every frequency: the excitation's own roll-off then shapes the band edges,
    // smoothly, and the impulse responses fall to -200 dB within 0.1 s on either side. A band
    // cut by eps would be sharper and ring into the harmonics' windows.
    const double eps = 1e-6 * peakPower;
    for (std::size_t k = 0; k < fft.Bins(); ++k) {
        const Complex r(rec[k][0], rec[k][1]);
        const Complex x(exc[k][0], exc[k][1]);
        const Complex h = r * std::conj(x) / (std::norm(x) + eps);
        rec[k][0] = h.real();
        rec[k][1] = h.imag();
    }
    RealBuffer h = AllocateReal(n);
    fft.Backward(rec.get(), h.get());
    const auto size = static_cast<std::int64_t>(n);

    // The arrival: the largest value at a lag where the whole excitation was recorded.
    std::int64_t latency = 0;
    for (std::int64_t k = 0; k <= recorded - active; ++k) {
        if (std::fabs(h[k]) > std::fabs(h[latency])) {
            latency = k;
        }
    }
    result.LatencySamples = latency;
    result.LatencyMs = 1000.0 * latency / rate;
    if (const std::int64_t quiet = std::min(pre + latency, recorded); quiet > 0) {
        double sum = 0.0;
        for (std::int64_t i = 0; i < quiet; ++i) {
            sum += recording[i] * recording[i];
        }
        result.NoiseFloorDb = 10.0 * std::log10(sum / quiet);
    }

    // Harmonic n's impulse response lies advance[n] samples before the linear one.
    std::vector<double> advance(7, 0.0);
    const int harmonics = excitation.sweep != nullptr ? 5 : 1;
    for (int k = 2; k <= 6 && excitation.sweep != nullptr; ++k) {
        advance[k] = excitation.sweep->HarmonicAdvance(k);
    }
    const std::int64_t tail =
        std::min(recorded - latency,
                 std::max<std::int64_t>(recorded - active - latency, std::llround(0.1 * rate)));
    std::int64_t lead = std::llround(options.LeadMs / 1000.0 * rate);
    // The responses are read from windows that reach halfway to the neighbouring harmonic: the
    // band limits of the deconvolution ring on both sides of each arrival, at f1 for tens of ms.
    std::vector<std::int64_t> before(7, std::max<std::int64_t>(lead, std::llround(0.1 * rate)));
    if (excitation.sweep != nullptr) {
        for (int k = 1; k <= 5; ++k) {
            before[k] = static_cast<std::int64_t>((advance[k + 1] - advance[k]) / 2.0);
        }
        lead = std::min(lead, before[1]);
    }
    result.ImpulseLeadSamples = lead;
    result.Impulse.resize(static_cast<std::size_t>(lead + tail));
    for (std::int64_t i = 0; i < lead + tail; ++i) {
        result.Impulse[i] = static_cast<float>(h[((latency - lead + i) % size + size) % size]);
    }

    // Each response is read from its window, transformed with a resolution fine enough for the
    // densest points at f1: a bin per point there (at most 2^22 bins).
    const int perOctave = std::max(1, options.PointsPerOctave);
    const double spacing =
        std::exp2(1.0 / std::max(perOctave, std::max(options.Smoothing, 1))) - 1.0;
    const std::size_t m = FastFftLength(static_cast<std::size_t>(
        std::max<double>(before[1] + tail, std::min(std::ceil(rate / (f1 * spacing)), 4194304.0))));
    const RealFft windowFft(m);
    const double windowBinHz = rate / static_cast<double>(m);
    ComplexBuffer spectrum = AllocateComplex(windowFft.Bins());
    auto readWindow = [&](std::int64_t start, std::int64_t length, std::int64_t origin) {
        CutWindow(h.get(), size, start, length, origin, m, windowFft.Input());
        windowFft.Forward(spectrum.get());
        return BandReader(spectrum.get(), windowFft.Bins(), windowBinHz, options.Smoothing);
    };

    std::vector<double> frequencies;
    for (int i = 0;; ++i) {
        const double f = f1 * std::exp2(static_cast<double>(i) / perOctave);
        if (f > f2 * (1.0 + 1e-12)) {
            break;
        }
        frequencies.push_back(f);
    }
    if (frequencies.back() < f2 * (1.0 - 1e-9)) {
        frequencies.push_back(f2);
    }
    const BandReader linear = readWindow(latency - before[1], before[1] + tail, before[1]);
    std::vector<double> fundamental;
    for (double f : frequencies) {
        const auto [value, power] = linear.At(f);
        fundamental.push_back(power);
        result.Response.push_back(
            {f, 10.0 * std::log10(power), std::arg(value) * 180.0 / std::numbers::pi});
    }
    if (harmonics == 1) {
        return result;
    }

    // Harmonic n's window: from halfway to harmonic n+1 to halfway to harmonic n-1.
    std::vector<BandReader> readers;
    for (int k = 2; k <= harmonics; ++k) {
        const std::int64_t peak = latency - std::llround(advance[k]);
        const std::int64_t after = std::min(tail, before[k - 1]);
        const std::int64_t start = peak - before[k];
        std::int64_t best = start;
        for (std::int64_t i = start; i < peak + after; ++i) {
            if (std::fabs(h[(i % size + size) % size]) >
                std::fabs(h[(best % size + size) % size])) {
                best = i;
            }
        }
        result.HarmonicPeakOffsets.push_back(best - latency);
        readers.push_back(readWindow(start, before[k] + after, before[k]));
    }
    for (std::size_t i = 0; i < frequencies.size(); ++i) {
        const double f = frequencies[i];
        if (2.0 * f > f2 * (1.0 + 1e-12)) {
            break;
        }
        DistortionPoint point{f, {}, 0.0, 0.0};
        double sum = 0.0;
        for (int k = 2; k <= harmonics; ++k) {
            double& level = point.HarmonicDb[k - 2];
            level = std::numeric_limits<double>::quiet_NaN();
            if (k * f <= f2 * (1.0 + 1e-12)) {
                const double ratio = readers[k - 2].At(k * f).second / fundamental[i];
                level = 10.0 * std::log10(ratio);
                sum += ratio;
            }
        }
        point.ThdDb = 10.0 * std::log10(sum);
        point.ThdPercent = 100.0 * std::sqrt(sum);
        result.Distortion.push_back(point);
    }
    return result;
}

} // namespace

std::size_t FastFftLength(std::size_t n) {
    std::size_t best = std::size_t{1} << 62;
    for (std::size_t p7 = 1; p7 < best; p7 *= 7) {
        for (std::size_t p5 = p7; p5 < best; p5 *= 5) {
            for (std::size_t p3 = p5; p3 < best; p3 *= 3) {
                std::size_t v = p3;
                while (v < n) {
                    v *= 2;
                }
                best = std::min(best, v);
            }
        }
    }
    // r2c transforms want an even length.
    return best % 2 == 0 ? best : FastFftLength(best + 1);
}

SweepResponse SweepDeconvolution::Analyse(const std::vector<double>& recording,
                                          double recordingRateHz, const SyncSweep& sweep,
                                          const DeconvolutionOptions& options) {
    const std::vector<double> samples = sweep.Samples();
    return Run(recording, recordingRateHz, {samples, sweep.Input().RateHz, "sweep", &sweep},
               options);
}

SweepResponse SweepDeconvolution::AnalyseReference(const std::vector<double>& recording,
                                                   double recordingRateHz,
                                                   const std::vector<double>& reference,
                                                   double referenceRateHz,
                                                   const DeconvolutionOptions& options) {
    return Run(recording, recordingRateHz, {reference, referenceRateHz, "reference", nullptr},
               options);
}

} // namespace zembrel
