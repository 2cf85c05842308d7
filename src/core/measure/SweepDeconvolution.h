#pragma once

#include "core/measure/SweepResponse.h"

#include <vector>

namespace zembrel {

class SyncSweep;

struct DeconvolutionOptions {
    int Smoothing = 0;        // 1/N-octave smoothing: 0 (none), 1, 3, 6, 12, 24 or 48
    int PointsPerOctave = 48; // density of the log-spaced response points
    double LeadMs = 5.0;      // ms of impulse response kept before its arrival
};

// A recording of an excitation, turned into what the device between them did:
//     H(f) = R(f) E*(f) / (|E(f)|^2 + eps(f)),
// with R and E the spectra of recording and excitation, zero-padded so that the deconvolution
// is linear, not circular. eps is 10^-6 of the excitation's peak power: it changes the result by
// less than 0.005 dB wherever the excitation is within 30 dB of its peak (an exponential sweep
// falls 3 dB per octave). Outside the excitation's band the gain is at most 1 / (2 sqrt(eps)),
// 54 dB above its peak's: noise recorded there shows in the impulse response, not in the
// responses, which are read within the band. With a synchronized sweep the n-th
// harmonic's impulse response lies L ln n before the linear one; each is cut out between its
// neighbours and read at n times the exciting frequency.
//
// Samples are full scale 1.0. Input that cannot be measured throws std::invalid_argument with a
// text for the user: a recording of another rate (both rates named), shorter than the sweep,
// silent; a silent reference; a smoothing other than those above.
class SweepDeconvolution {
public:
    // A recording of sweep, as SyncSweep::Samples() made it (silence before it included).
    static SweepResponse Analyse(const std::vector<double>& recording, double recordingRateHz,
                                 const SyncSweep& sweep, const DeconvolutionOptions& options);

    // A recording of any excitation: linear response only, over the band where the
    // reference's level is within 30 dB of its peak.
    static SweepResponse AnalyseReference(const std::vector<double>& recording,
                                          double recordingRateHz,
                                          const std::vector<double>& reference,
                                          double referenceRateHz,
                                          const DeconvolutionOptions& options);
};

// The smallest length of at least n whose only prime factors are 2, 3, 5 and 7: FFTW's fast sizes.
std::size_t FastFftLength(std::size_t n);

} // namespace zembrel
