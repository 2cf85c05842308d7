#pragma once

namespace zembrel {

// Why a reading has no value. Every reading carries one; only Ok readings have numbers, so that
// silence never turns into -inf dB or NaN downstream.
enum class ReadingStatus {
    Ok,
    NoSignal,             // the channel (or the band) holds nothing but zeros
    TooShort,             // shorter than the reading's block (400 ms for loudness)
    NoFundamental,        // no tone stands out of the band's noise
    FundamentalAboveBand, // the strongest tone, or the one asked for, lies above the band
    NoTwoTones,           // no pair of tones of a known intermodulation standard
};

// A short text for reports: "no signal", "too short", ...; "" for Ok.
const char* ReadingStatusText(ReadingStatus status);

} // namespace zembrel
