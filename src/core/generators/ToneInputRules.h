#pragma once

#include "core/generators/FunctionGenerator.h"

#include <optional>

namespace zembrel {

class SignalBase;
struct FrequencyList;

// The inputs of the tone generators (sine, sine with pn-phase, function generator), the checks
// their dialogs make on Add Sine and OK, and the steps that turn one checked input into
// samples. Each check reports one flag per input (true: acceptable), so that a dialog can empty
// every field in error after one message (kSineErrorText) and the command line can name every
// option in error. A non-finite number is never acceptable. fs is the signal's sample rate.

// One sine of the sine generator.
struct SineInput {
    double Frequency = 0.0; // Hz, 0 < f <= fs/2
    double Amplitude = 1.0; // V, any number
    double Phase = 0.0;     // degrees, any number
    double Offset = 0.0;    // degrees added to the right channel's phase; mono ignores it
};

struct SineCheck {
    bool Frequency = true;
    bool Level = true; // <= 0 dB; only checked when a level is given (OK, not Add Sine)
    bool Amplitude = true;
    bool Phase = true;
    bool Offset = true;

    bool Valid() const { return Frequency && Level && Amplitude && Phase && Offset; }
};

SineCheck CheckSine(const SineInput& sine, double sampleRate,
                    std::optional<double> level = std::nullopt);

// Adds the sine to every sample: in a stereo signal the right channel's phase is the left's plus
// the offset.
void AddSine(SignalBase& signal, const SineInput& sine);

// The import of a sine list: clears the signal and adds one sine per record {frequency,
// amplitude, phase}, with the same phase in both channels (a list has no offset). The values
// are taken as they are.
void AddSineList(SignalBase& signal, const FrequencyList& list);

// One sine of the pn-phase generator: its phase is drawn from the process-wide generator.
struct PnSineInput {
    double Frequency = 0.0; // Hz, 0 < f <= fs/2
    double Amplitude = 1.0; // V, any number
    double Offset = 0.0;    // degrees added to the right channel's drawn phase; mono ignores it
};

struct PnSineCheck {
    bool Frequency = true;
    bool Level = true; // only checked when a level is given
    bool Amplitude = true;
    bool Offset = true;

    bool Valid() const { return Frequency && Level && Amplitude && Offset; }
};

PnSineCheck CheckPnSine(const PnSineInput& sine, double sampleRate,
                        std::optional<double> level = std::nullopt);

// Draws one phase and adds the sine.
void AddPnSine(SignalBase& signal, const PnSineInput& sine);

// The import of a pn-phase list: clears the signal and adds one sine per record {frequency,
// amplitude} with one drawn phase each, the same in both channels.
void AddPnSineList(SignalBase& signal, const FrequencyList& list);

// The function generator's input.
struct FunctionInput {
    Waveform Shape = Waveform::Square;
    double Frequency = 0.0; // Hz of the fundamental, 0 < f <= fs/2
    double Phase = 0.0;     // degrees of the fundamental
    double Offset = 0.0;    // degrees the right channel is shifted against the left
    double Level = 0.0;     // dB, <= 0
};

struct FunctionCheck {
    bool Frequency = true; // also: at most kMaxHarmonics harmonics below fs/2
    bool Level = true;
    bool Phase = true;
    bool Offset = true;

    bool Valid() const { return Frequency && Level && Phase && Offset; }
};

FunctionCheck CheckFunction(const FunctionInput& input, double sampleRate);

} // namespace zembrel
