#pragma once

#include <cstdint>

namespace zembrel {

// The analyser's levels are normalised by the window's RMS value, which is right for noise; a
// sine then reads low by the window's coherent gain relative to its RMS, 20 log10(mean w / rms w)
// (-3.0 dB with Blackman-Harris, -1.8 dB with Hanning, 0 with the rectangular window). Adding
// SineCalibrationDb to every level gives the sine-calibrated scale: a sine of -6 dBFS peak on a
// bin centre reads -6.0 dB in every window, and within 0.02 dB anywhere with FFT::FlatTop.
double SineCalibrationDb(int windowKind, std::int32_t length);

} // namespace zembrel
