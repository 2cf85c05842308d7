#include "core/generators/SyncSweep.h"

#include "core/signal/ParallelFor.h"

#include <cmath>
#include <cstdio>
#include <numbers>
#include <stdexcept>

namespace zembrel {

namespace {

// Longest signal made in one piece: about 10 minutes at 768 kHz, beyond what a measurement needs
// and within the int indices of the synthesis loop.
constexpr double kMaxSamples = 5.0e8;

void Refuse(const std::string& text) {
    throw std::invalid_argument(text);
}

std::string SecondsText(double s) {
    char text[64];
    std::snprintf(text, sizeof text, "%.6g s", s);
    return text;
}

} // namespace

std::string HzText(double hz) {
    char text[64];
    std::snprintf(text, sizeof text, "%.10g Hz", hz);
    return text;
}

SyncSweep::SyncSweep(const SyncSweepInput& input) : input_(input) {
    const double values[] = {input.StartHz,  input.StopHz,    input.LengthS,
                             input.FadeInMs, input.FadeOutMs, input.PreS,
                             input.PostS,    input.LevelDb,   input.RateHz};
    for (double v : values) {
        if (!std::isfinite(v)) {
            Refuse("Every value of a sweep must be a finite number.");
        }
    }
    if (input.RateHz < 1000.0 || input.RateHz > 768000.0) {
        Refuse("The sample rate must lie between 1000 Hz and 768000 Hz.");
    }
    if (input.StartHz <= 0.0) {
        Refuse("The start frequency must be above 0 Hz.");
    }
    if (input.StopHz <= input.StartHz) {
        Refuse("The stop frequency (" + HzText(input.StopHz) +
               ") must be above the start frequency (" + HzText(input.StartHz) + ").");
    }
    if (input.StopHz > input.RateHz / 2.0) {
        Refuse("The stop frequency (" + HzText(input.StopHz) + ") is above half the sample rate (" +
               HzText(input.RateHz / 2.0) + ").");
    }
    logRatio_ = std::log(input.StopHz / input.StartHz);
    // f1 L = round(f1 T / ln(f2/f1)) must be at least 1: L ln 2, the time of one octave, is then
    // at least ln 2 / f1.
    const double cycles = std::round(input.StartHz * input.LengthS / logRatio_);
    if (!(cycles >= 1.0)) {
        Refuse("A sweep from " + HzText(input.StartHz) + " to " + HzText(input.StopHz) +
               " needs at least " + SecondsText(0.5 * logRatio_ / input.StartHz) + " (" +
               SecondsText(input.LengthS) + " is too short for one octave).");
    }
    l_ = cycles / input.StartHz;
    if (input.PreS < 0.0 || input.PostS < 0.0 || input.FadeInMs < 0.0 || input.FadeOutMs < 0.0) {
        Refuse("Silences and fades cannot be negative.");
    }
    if (input.LevelDb > 0.0) {
        Refuse("The level must be at most 0 dBFS.");
    }
    const double sweep = std::round(LengthS() * input.RateHz);
    const double pre = std::round(input.PreS * input.RateHz);
    const double post = std::round(input.PostS * input.RateHz);
    if (sweep + pre + post > kMaxSamples) {
        Refuse("The sweep with its silences is too long.");
    }
    if ((input.FadeInMs + input.FadeOutMs) / 1000.0 > LengthS()) {
        Refuse("The fades are longer than the sweep (" + SecondsText(LengthS()) + ").");
    }
    sweep_ = static_cast<std::int64_t>(sweep);
    pre_ = static_cast<std::int64_t>(pre);
    post_ = static_cast<std::int64_t>(post);
}

double SyncSweep::Amplitude() const {
    return std::pow(10.0, input_.LevelDb / 20.0);
}

double SyncSweep::HarmonicAdvance(int n) const {
    return l_ * std::log(n) * input_.RateHz;
}

std::vector<double> SyncSweep::Samples() const {
    std::vector<double> out(static_cast<std::size_t>(TotalSamples()));
    Fill(out.data());
    return out;
}

void SyncSweep::Fill(double* out) const {
    const auto count = static_cast<int>(sweep_);
    const double amplitude = Amplitude();
    const double cycles = std::round(input_.StartHz * l_); // f1 L, whole
    const double step = 1.0 / (l_ * input_.RateHz);        // t / L per sample
    const double fadeIn = std::round(input_.FadeInMs / 1000.0 * input_.RateHz);
    const double fadeOut = std::round(input_.FadeOutMs / 1000.0 * input_.RateHz);
    std::fill(out, out + pre_, 0.0);
    double* sweep = out + pre_;
    // e^(t/L) grows by the same factor every sample; it is computed exactly at the start of
    // every block of 256 and by that factor within, which keeps the phase within 10^-7 cycles.
    const double growth = std::exp(step);
    constexpr int kBlock = 256;
    ParallelFor(count, [&](int begin, int end) {
        double factor = 1.0;
        for (int i = begin; i < end; ++i) {
            factor = (i - begin) % kBlock == 0 ? std::exp(i * step) : factor * growth;
            // The phase in cycles, f1 L e^(t/L), reduced to its fraction before the sine so
            // that late samples keep their precision (f2 L reaches 10^5 and more).
            const double phase = cycles * factor;
            double value =
                amplitude * std::sin(2.0 * std::numbers::pi * (phase - std::floor(phase)));
            if (i < fadeIn) {
                value *= 0.5 - 0.5 * std::cos(std::numbers::pi * i / fadeIn);
            }
            const double fromEnd = count - 1 - i;
            if (fromEnd < fadeOut) {
                value *= 0.5 - 0.5 * std::cos(std::numbers::pi * fromEnd / fadeOut);
            }
            sweep[i] = value;
        }
    });
    std::fill(sweep + count, sweep + count + post_, 0.0);
}

} // namespace zembrel
