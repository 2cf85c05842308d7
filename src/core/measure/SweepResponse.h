#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace zembrel {

// One log-spaced point of the linear response. The phase is taken with the time origin at the
// impulse response's arrival, so a pure delay shows as 0 degrees.
struct ResponsePoint {
    double FrequencyHz;
    double MagnitudeDb; // dB re the excitation: 0 for a wire
    double PhaseDeg;    // degrees, -180 < phase <= 180
};

// The harmonics at one exciting frequency, each relative to the fundamental at that frequency.
// A harmonic whose frequency n f lies above the sweep's stop frequency is not known there and
// holds NaN; THD sums the harmonics that are known.
struct DistortionPoint {
    double FrequencyHz;               // the exciting frequency
    std::array<double, 4> HarmonicDb; // H2..H5, dB re the fundamental, NaN where unknown
    double ThdDb;                     // dB re the fundamental
    double ThdPercent;                // %, 100 * 10^(ThdDb / 20)
};

// What a deconvolution found.
struct SweepResponse {
    double RateHz = 0.0;
    std::int64_t LatencySamples = 0; // the linear impulse response's peak, after the excitation
    double LatencyMs = 0.0;
    std::optional<double> NoiseFloorDb; // dBFS RMS before the sweep arrived; none without silence
    bool Clipped = false;               // a recorded sample reached full scale

    // The linear impulse response, from ImpulseLeadSamples before its arrival on.
    std::vector<float> Impulse;
    std::int64_t ImpulseLeadSamples = 0;

    std::vector<ResponsePoint> Response;     // from f1 to f2
    std::vector<DistortionPoint> Distortion; // from f1 to f2 / 2; empty for a reference
    // Where each harmonic's impulse response peaks, in samples relative to the linear arrival
    // (negative: before it); for H2..H5, empty for a reference.
    std::vector<std::int64_t> HarmonicPeakOffsets;
};

} // namespace zembrel
