#include "core/generators/ToneInputRules.h"

#include "core/generators/FrequencyListFile.h"
#include "core/generators/InputRules.h"
#include "core/generators/PseudoNoiseList.h"
#include "core/generators/SineGenerator.h"
#include "core/signal/SignalBase.h"

namespace zembrel {

SineCheck CheckSine(const SineInput& sine, double sampleRate, std::optional<double> level) {
    SineCheck check;
    check.Frequency = IsValidFrequency(sine.Frequency, sampleRate);
    check.Level = !level || IsValidLevel(*level);
    check.Amplitude = IsValidNumber(sine.Amplitude);
    check.Phase = IsValidNumber(sine.Phase);
    check.Offset = IsValidNumber(sine.Offset);
    return check;
}

void AddSine(SignalBase& signal, const SineInput& sine) {
    if (signal.Channels == 1) {
        SineGenerator(signal, sine.Frequency, sine.Amplitude, sine.Phase);
    } else {
        SineGenerator(signal, sine.Frequency, sine.Amplitude, sine.Phase, sine.Offset);
    }
}

void AddSineList(SignalBase& signal, const FrequencyList& list) {
    signal.Clear();
    for (const auto& record : list.Records) {
        SineGenerator(signal, record[0], record[1], record[2]);
    }
}

PnSineCheck CheckPnSine(const PnSineInput& sine, double sampleRate, std::optional<double> level) {
    PnSineCheck check;
    check.Frequency = IsValidFrequency(sine.Frequency, sampleRate);
    check.Level = !level || IsValidLevel(*level);
    check.Amplitude = IsValidNumber(sine.Amplitude);
    check.Offset = IsValidNumber(sine.Offset);
    return check;
}

void AddPnSine(SignalBase& signal, const PnSineInput& sine) {
    SineGenerator(signal, sine.Frequency, sine.Amplitude, true, sine.Offset);
}

void AddPnSineList(SignalBase& signal, const FrequencyList& list) {
    signal.Clear();
    AddPseudoNoiseList(signal, list.Records);
}

FunctionCheck CheckFunction(const FunctionInput& input, double sampleRate) {
    FunctionCheck check;
    // Also a fundamental so low that its series would pass kMaxHarmonics is refused.
    check.Frequency = IsValidFrequency(input.Frequency, sampleRate) &&
                      HarmonicCount(input.Shape, input.Frequency, sampleRate) <= kMaxHarmonics;
    check.Level = IsValidLevel(input.Level);
    check.Phase = IsValidNumber(input.Phase);
    check.Offset = IsValidNumber(input.Offset);
    return check;
}

} // namespace zembrel
