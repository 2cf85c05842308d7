#pragma once

#include "core/analysis/Distortion.h"
#include "core/analysis/ReadingStatus.h"

#include <string>
#include <vector>

namespace zembrel {

struct ChannelReadings;

// The texts of the readings that every face shows alike: a figure or the word for why it has
// none, the THD convention, and the readings of all channels as CSV.

// value with decimals digits and a space before unit; the status as words ("no signal", ...)
// when the reading has no value or the value is not finite.
std::string ReadingFigure(ReadingStatus status, double value, int decimals, const char* unit);

// "relative to the fundamental (IEC 60268-3)" or "relative to the total RMS (IEC 60268-3)".
const char* ThdConventionText(ThdConvention convention);

// The band and notch of a THD+N reading: "22 ... 20000 Hz, notch 55.60 Hz wide".
std::string ThdNBandText(const NoiseAndDistortion& reading);

// The readings as CSV (RFC 4180, C locale), one figure a line under the header
// "channel,reading,frequency_hz,value,unit,note":
//   fundamental (frequency, level in dBFS), H2 ... H10 (dBc and %), THD (% and dB, note: the
//   convention), THD+N (dB and %, note: band and notch width), SINAD, noise floor, IMD of a twin
//   tone (% and dB, note: the standard), DC (% of full scale), crest factor, A/C/Z-weighted RMS,
//   sample peak, clipped samples.
// A reading without a value has an empty value and its status in note; value is the shortest
// text that reads back as the same double. names: one per channel ("left", "right", "mono").
std::string ReadingsCsv(const std::vector<ChannelReadings>& channels,
                        const std::vector<std::string>& names, ThdConvention convention);

} // namespace zembrel
