#pragma once

#include <string>

namespace zembrel {

// A signal format as typed into the parameter dialog, before it is accepted.
struct SignalFormatInput {
    int Bits = 16;           // 8 or 16; anything else counts as 16
    double SampleRate = 0.0; // Hz
    double Duration = 0.0;   // s
    long NormValue = 0;      // amplitude of 0 dB in sample units
    int Channels = 1;
};

// Which fields of a SignalFormatInput are out of range: 1 <= fs <= 48000 Hz (a WAV file holds
// the rate in whole hertz, so a rate below 1 Hz cannot be stored), 0 < t <= 180 s,
// 0 < NormValue <= 32768 (16 bit) or <= 128 (8 bit). Non-finite numbers are invalid.
struct SignalFormatErrors {
    bool SampleRate = false;
    bool Duration = false;
    bool NormValue = false;
    bool Any() const { return SampleRate || Duration || NormValue; }
};

SignalFormatErrors CheckSignalFormat(const SignalFormatInput& input);

// What the parameter dialog, and the command line for its format options, show when a check
// fails: every range, whichever field was wrong.
inline constexpr const char* kSignalFormatErrorText =
    "Error on input parameter.\n\nFollowing settings are possible:\n\nSample Frequency:    0 < fs "
    "<= 48000   [Hz]\nFile Length:                0 < t <= 180   [s]\nNormvalue 16 bit:       0 "
    "< N <= 32768\nNormvalue 8 bit:         0 < N <= 128";

// Reads the parameter dialog's texts the C-library way: numbers with a decimal point only
// ("0,5" reads as 0), leading blanks skipped, trailing text ignored, no number gives 0.
SignalFormatInput ReadSignalFormat(const std::string& bits, const std::string& sampleRate,
                                   const std::string& duration, const std::string& normValue,
                                   const std::string& channels);

// The leading integer of text (blanks, optional sign, digits), saturated to the range of long;
// 0 when there is none.
long LeadingInteger(const std::string& text);

} // namespace zembrel
