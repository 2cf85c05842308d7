#include "core/generators/SineComb.h"

#include "core/signal/FftwPlanning.h"

#include "core/signal/ParallelFor.h"
#include "core/signal/SignalBase.h"

#include <fftw3.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <memory>
#include <mutex>

namespace zembrel {

namespace {

using Complex = std::complex<double>;
constexpr double kTwoPi = 6.283185307179586;

// A ratio held as an unevaluated sum hi + lo, so that frac(ratio * n) stays exact to about
// 1e-16 cycles for whole numbers n up to 2^53, however large ratio * n is.
struct Ratio {
    double hi;
    double lo;

    static Ratio Of(double num, double den) {
        const double hi = num / den;
        return {hi, std::fma(-hi, den, num) / den};
    }
    Ratio Half() const { return {hi * 0.5, lo * 0.5}; }

    // The fractional part of ratio * n, in [0, 1).
    double Frac(double n) const {
        const double p = hi * n;
        const double e = std::fma(hi, n, -p);
        const double s = (p - std::floor(p)) + (e + lo * n);
        return s - std::floor(s);
    }
};

Complex Turn(double cycles) {
    return std::polar(1.0, kTwoPi * cycles);
}

// amplitude e^(i phase). Not std::polar: its amplitude must not be negative, and the odd
// harmonics of a triangle, the even ones of a sawtooth and a band or list of negative
// amplitude have one.
Complex Phasor(double amplitude, double phase) {
    return {amplitude * std::cos(phase), amplitude * std::sin(phase)};
}

// FFTW allocates aligned storage; plans are made under a lock because the planner is not
// thread-safe, then executed with the new-array interface.
struct FftwFree {
    void operator()(fftw_complex* p) const { fftw_free(p); }
};
using Buffer = std::unique_ptr<fftw_complex[], FftwFree>;

Buffer Allocate(std::size_t n) {
    auto* p = static_cast<fftw_complex*>(fftw_malloc(sizeof(fftw_complex) * n));
    if (!p) {
        throw std::bad_alloc();
    }
    return Buffer(p);
}

Complex* AsComplex(const Buffer& b) {
    return reinterpret_cast<Complex*>(b.get());
}

class Plan {
public:
    Plan(int n, fftw_complex* in, fftw_complex* out, int sign) {
        std::lock_guard guard(FftwPlannerLock());
        plan_ = fftw_plan_dft_1d(n, in, out, sign, FFTW_ESTIMATE);
    }
    ~Plan() {
        std::lock_guard guard(FftwPlannerLock());
        fftw_destroy_plan(plan_);
    }
    Plan(const Plan&) = delete;
    Plan& operator=(const Plan&) = delete;
    void Run(fftw_complex* in, fftw_complex* out) const { fftw_execute_dft(plan_, in, out); }

private:
    fftw_plan plan_;
};

// The smallest n >= minimum of the form 2^a 3^b 5^c, which FFTW transforms fastest.
int FastSize(long minimum) {
    long best = 1;
    while (best < minimum) {
        best *= 2;
    }
    for (long p3 = 1; p3 < best; p3 *= 3) {
        for (long p5 = p3; p5 < best; p5 *= 5) {
            long n = p5;
            while (n < minimum) {
                n *= 2;
            }
            best = std::min(best, n);
        }
    }
    return static_cast<int>(best);
}

struct Channel {
    double* samples;
    const std::vector<double>* phases;
};

std::vector<Channel> Channels(SignalBase& signal, const SineComb& lines) {
    if (signal.Channels == 1) {
        return {{signal.Mono.data(), &lines.PhasesLeft}};
    }
    if (lines.RightCopiesLeft) {
        return {{signal.Left.data(), &lines.PhasesLeft}};
    }
    return {
        {signal.Left.data(), &lines.PhasesLeft},
        {signal.Right.data(), lines.PhasesRight.empty() ? &lines.PhasesLeft : &lines.PhasesRight}};
}

// fs / Spacing as a whole number of samples, or 0 when it is not one.
long Period(const Ratio& step) {
    const double p = std::round(1.0 / step.hi);
    if (p < 1.0 || p > 1e15) {
        return 0;
    }
    // The line phases advance by step * p cycles over p samples; a whole number of cycles
    // (to 1e-13) makes the sum periodic.
    const double turns = step.hi * p - 1.0 + step.lo * p;
    return std::abs(turns) < 1e-13 ? static_cast<long>(p) : 0;
}

// The sum repeats every P samples: C_j collects the lines with m = j mod P, one inverse DFT
// gives one period, and every period is that one times the carrier of the first line.
void AddPeriodic(SignalBase& signal, const SineComb& lines, long period) {
    const int n = signal.SampleCount;
    const auto p = static_cast<std::size_t>(period);
    const Ratio carrier = Ratio::Of(lines.First, signal.SampleRate);
    // The tables are filled entry by entry, shared out among the cores.
    constexpr int kMinEntries = 1 << 12;
    // Written whole before they are read, so taken without zero-filling.
    Buffer carrierBuffer = Allocate(p);
    Complex* carrierTable = AsComplex(carrierBuffer);
    ParallelFor(
        static_cast<int>(p),
        [&](int begin, int end) {
            for (int j = begin; j < end; ++j) {
                carrierTable[j] = Turn(carrier.Frac(static_cast<double>(j)));
            }
        },
        kMinEntries);
    Buffer coefficients = Allocate(p);
    Buffer period0 = Allocate(p);
    const Plan inverse(static_cast<int>(p), coefficients.get(), period0.get(), FFTW_BACKWARD);
    Buffer phasorBuffer = Allocate(static_cast<std::size_t>(std::max(1, lines.Lines())));
    Complex* phasors = AsComplex(phasorBuffer);
    for (const Channel& channel : Channels(signal, lines)) {
        ParallelFor(
            lines.Lines(),
            [&](int begin, int end) {
                for (int m = begin; m < end; ++m) {
                    phasors[m] = Phasor(lines.Amplitudes[m], (*channel.phases)[m]);
                }
            },
            kMinEntries);
        Complex* c = AsComplex(coefficients);
        std::fill(c, c + p, Complex(0.0, 0.0));
        for (int m = 0; m < lines.Lines(); ++m) {
            c[static_cast<std::size_t>(m) % p] += phasors[m];
        }
        inverse.Run(coefficients.get(), period0.get());
        const Complex* y = AsComplex(period0);
        const Complex* turns = carrierTable;
        double* samples = channel.samples;
        // Whole periods are shared out among the cores; each is computed the same way.
        const long periods = (n + period - 1) / period;
        ParallelFor(
            static_cast<int>(periods),
            [=, &carrier](int first, int last) {
                for (long start = first * period; start < std::min<long>(n, last * period);
                     start += period) {
                    const Complex c0 = Turn(carrier.Frac(static_cast<double>(start)));
                    const long count = std::min<long>(period, n - start);
                    double* x = samples + start;
                    for (long j = 0; j < count; ++j) {
                        // Im(c0 turn_j y_j), the products formed as std::complex forms them
                        // for finite numbers, without its checks for infinities.
                        const double ar = c0.real() * turns[j].real() - c0.imag() * turns[j].imag();
                        const double ai = c0.real() * turns[j].imag() + c0.imag() * turns[j].real();
                        x[j] += ar * y[j].imag() + ai * y[j].real();
                    }
                }
            },
            std::max<int>(1, static_cast<int>((1 << 16) / period)));
    }
}

// Chirp-z evaluation of S(i0 + j) = sum_m c_m w^(m (i0 + j)), w = exp(2 pi i step), block by
// block: with m j = (m^2 + j^2 - (j - m)^2) / 2 the inner sum is a convolution of
// u_m = c_m w^(m i0 + m^2 / 2) with v_k = w^(-k^2 / 2), done with FFTs of size Q >= M + L - 1.
void AddChirp(SignalBase& signal, const SineComb& lines, const Ratio& step) {
    const int n = signal.SampleCount;
    const int m = lines.Lines();
    const long wanted = std::max<long>(2L * m, 16384);
    int q = FastSize(std::min<long>(wanted, static_cast<long>(m) + n - 1));
    const int blockLength = std::min(q - m + 1, n);
    const Ratio half = step.Half();
    const Ratio carrier = Ratio::Of(lines.First, signal.SampleRate);

    Buffer u = Allocate(q);
    Buffer v = Allocate(q);
    Buffer w = Allocate(q);
    const Plan forward(q, u.get(), w.get(), FFTW_FORWARD);
    const Plan backward(q, w.get(), u.get(), FFTW_BACKWARD);

    // V = FFT(v), v_k for k = -(M - 1) .. L - 1 stored circularly; scaled by 1/Q once here.
    Complex* vc = AsComplex(v);
    std::fill(vc, vc + q, Complex(0.0, 0.0));
    for (long k = -(m - 1); k < blockLength; ++k) {
        const double kk = static_cast<double>(k) * static_cast<double>(k);
        vc[(k + q) % q] = Turn(-half.Frac(kk)) / static_cast<double>(q);
    }
    forward.Run(v.get(), w.get());
    std::copy(AsComplex(w), AsComplex(w) + q, vc);

    // Per output sample j of a block: w^(j^2 / 2) times the carrier of the first line.
    std::vector<Complex> outputTurn(static_cast<std::size_t>(blockLength));
    for (int j = 0; j < blockLength; ++j) {
        const double jj = static_cast<double>(j) * static_cast<double>(j);
        outputTurn[j] = Turn(half.Frac(jj) + carrier.Frac(j));
    }
    std::vector<Complex> lineTurn(static_cast<std::size_t>(m));
    for (int k = 0; k < m; ++k) {
        const double kk = static_cast<double>(k) * static_cast<double>(k);
        lineTurn[k] = Turn(half.Frac(kk));
    }

    const auto channels = Channels(signal, lines);
    std::vector<std::vector<Complex>> coefficients;
    for (const Channel& channel : channels) {
        std::vector<Complex> c(static_cast<std::size_t>(m));
        for (int k = 0; k < m; ++k) {
            c[k] = Phasor(lines.Amplitudes[k], (*channel.phases)[k]) * lineTurn[k];
        }
        coefficients.push_back(std::move(c));
    }

    // w^(m i0) of the block's first sample, the same for every channel.
    std::vector<Complex> blockTurn(static_cast<std::size_t>(m));
    for (long start = 0; start < n; start += blockLength) {
        const int count = static_cast<int>(std::min<long>(blockLength, n - start));
        const Complex blockCarrier = Turn(carrier.Frac(static_cast<double>(start)));
        for (int k = 0; k < m; ++k) {
            blockTurn[k] = Turn(step.Frac(static_cast<double>(k) * static_cast<double>(start)));
        }
        for (std::size_t ch = 0; ch < channels.size(); ++ch) {
            Complex* uc = AsComplex(u);
            for (int k = 0; k < m; ++k) {
                uc[k] = coefficients[ch][k] * blockTurn[k];
            }
            std::fill(uc + m, uc + q, Complex(0.0, 0.0));
            forward.Run(u.get(), w.get());
            Complex* wc = AsComplex(w);
            for (int k = 0; k < q; ++k) {
                wc[k] *= vc[k];
            }
            backward.Run(w.get(), u.get());
            double* x = channels[ch].samples + start;
            for (int j = 0; j < count; ++j) {
                x[j] += (blockCarrier * outputTurn[j] * uc[j]).imag();
            }
        }
    }
}

void CopyLeftToRight(SignalBase& signal, const SineComb& lines) {
    if (signal.Channels == 2 && lines.RightCopiesLeft) {
        std::copy(signal.Left.begin(), signal.Left.end(), signal.Right.begin());
    }
}

// Scratch bytes per line of a chirp batch: three transform buffers and the plan's tables of
// about 2.4 lines' length each, the coefficients of two channels, the line, block and output
// turns and the batch's own table.
constexpr std::size_t kChirpBytesPerLine = 272;
// Scratch bytes per sample of one period: coefficients, the period, the carrier table and the
// plan's tables.
constexpr std::size_t kPeriodicBytesPerSample = 64;

void AddBatch(SignalBase& signal, const SineComb& lines) {
    const Ratio step = Ratio::Of(lines.Spacing, signal.SampleRate);
    const long period = Period(step);
    const bool periodFits = static_cast<double>(period) * kPeriodicBytesPerSample <=
                            static_cast<double>(SineCombScratchBudget(signal));
    if (period > 0 && period <= signal.SampleCount && periodFits) {
        AddPeriodic(signal, lines, period);
    } else {
        AddChirp(signal, lines, step);
    }
}

} // namespace

std::size_t SineCombScratchBudget(const SignalBase& signal) {
    const std::size_t floor = std::size_t{32} << 20;
    const std::size_t storage = static_cast<std::size_t>(signal.SampleCount) *
                                static_cast<std::size_t>(signal.Channels) * sizeof(double);
    return std::max(floor, storage + storage / 4);
}

int SineCombBatchLines(const SignalBase& signal) {
    const std::size_t lines = SineCombScratchBudget(signal) / kChirpBytesPerLine;
    return static_cast<int>(std::min<std::size_t>(lines, 1u << 30));
}

void AddSineComb(SignalBase& signal, const SineComb& lines) {
    if (lines.Lines() == 0 || signal.SampleCount == 0) {
        return;
    }
    if (lines.Lines() <= SineCombBatchLines(signal)) {
        AddBatch(signal, lines);
        CopyLeftToRight(signal, lines);
        return;
    }
    // Longer combs are taken a batch at a time, each a comb of its own.
    SineCombBuilder batches(signal, lines.First, lines.Spacing, lines.RightCopiesLeft);
    const std::vector<double>& right =
        lines.PhasesRight.empty() ? lines.PhasesLeft : lines.PhasesRight;
    for (int m = 0; m < lines.Lines(); ++m) {
        batches.Add(lines.Amplitudes[m], lines.PhasesLeft[m], right[m]);
    }
    batches.Flush();
}

void AddSineCombPerSample(SignalBase& signal, const SineComb& lines) {
    for (const Channel& channel : Channels(signal, lines)) {
        for (int k = 0; k < lines.Lines(); ++k) {
            const double omega = kTwoPi * (lines.First + k * lines.Spacing);
            const double a = lines.Amplitudes[k];
            const double phi = (*channel.phases)[k];
            for (int i = 0; i < signal.SampleCount; ++i) {
                channel.samples[i] += a * std::sin((i * signal.SamplePeriod) * omega + phi);
            }
        }
    }
    CopyLeftToRight(signal, lines);
}

SineCombBuilder::SineCombBuilder(SignalBase& signal, double first, double spacing,
                                 bool rightCopiesLeft, long long expectedLines)
    : signal_(signal), first_(first), spacing_(spacing),
      batch_(static_cast<std::size_t>(SineCombBatchLines(signal))) {
    pending_.Spacing = spacing;
    pending_.RightCopiesLeft = rightCopiesLeft;
    const auto reserve = static_cast<std::size_t>(
        std::clamp<long long>(expectedLines, 0, static_cast<long long>(batch_)));
    pending_.Amplitudes.reserve(reserve);
    pending_.PhasesLeft.reserve(reserve);
    if (!rightCopiesLeft) {
        pending_.PhasesRight.reserve(reserve);
    }
}

void SineCombBuilder::Add(double amplitude, double phaseLeft, double phaseRight) {
    pending_.Amplitudes.push_back(amplitude);
    pending_.PhasesLeft.push_back(phaseLeft);
    pending_.PhasesRight.push_back(phaseRight);
    if (pending_.Amplitudes.size() >= batch_) {
        Flush();
    }
}

void SineCombBuilder::Flush() {
    if (pending_.Amplitudes.empty()) {
        return;
    }
    pending_.First = first_ + static_cast<double>(added_) * spacing_;
    AddSineComb(signal_, pending_);
    added_ += static_cast<long long>(pending_.Amplitudes.size());
    pending_.Amplitudes.clear();
    pending_.PhasesLeft.clear();
    pending_.PhasesRight.clear();
}

} // namespace zembrel
