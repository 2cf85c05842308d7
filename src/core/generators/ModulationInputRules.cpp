#include "core/generators/ModulationInputRules.h"

#include "core/generators/EnvelopGenerator.h"
#include "core/generators/InputRules.h"
#include "core/generators/SineGenerator.h"

#include <cmath>

namespace zembrel {

AmplitudeModulationCheck CheckAmplitudeModulation(double carrierFrequency,
                                                  double modulationFrequency,
                                                  double modulationPhase, double phaseOffset,
                                                  double modulationIndex, double level,
                                                  double sampleRate) {
    AmplitudeModulationCheck check;
    check.CarrierFrequency = IsValidFrequency(carrierFrequency, sampleRate);
    // Measured against the carrier as typed, also when the carrier itself is out of range. A
    // negative fm is a modulating sine of the opposite sign: its sidebands lie at fc -/+ |fm|.
    const double sideband = std::fabs(modulationFrequency);
    check.ModulationFrequency = std::isfinite(modulationFrequency) &&
                                carrierFrequency - sideband >= 0.0 &&
                                carrierFrequency + sideband <= sampleRate * 0.5;
    check.ModulationPhase = IsValidNumber(modulationPhase);
    check.PhaseOffset = IsValidNumber(phaseOffset);
    check.ModulationIndex = IsValidNumber(modulationIndex) && modulationIndex > 0.0;
    check.Level = IsValidLevel(level);
    return check;
}

FrequencyModulationCheck CheckFrequencyModulation(double carrierFrequency,
                                                  double modulationFrequency,
                                                  double modulationIndex, double level,
                                                  double sampleRate) {
    FrequencyModulationCheck check;
    check.CarrierFrequency = IsValidFrequency(carrierFrequency, sampleRate);
    // No upper limit of their own, but numbers the arithmetic can carry: 2 pi fm t must stay
    // finite over the longest signal.
    check.ModulationFrequency = IsValidNumber(modulationFrequency) && modulationFrequency > 0.0;
    check.ModulationIndex = IsValidNumber(modulationIndex) && modulationIndex > 0.0;
    check.Level = IsValidLevel(level);
    return check;
}

FrequencySweepCheck CheckFrequencySweep(double startFrequency, double stopFrequency, double level,
                                        double sampleRate) {
    FrequencySweepCheck check;
    check.StartFrequency = IsValidFrequency(startFrequency, sampleRate);
    check.StopFrequency = IsValidFrequency(stopFrequency, sampleRate);
    check.Level = IsValidLevel(level);
    return check;
}

AmplitudeModulationCheck CheckAmplitudeModulation(const AmplitudeModulationInput& input,
                                                  double sampleRate) {
    return CheckAmplitudeModulation(input.CarrierFrequency, input.ModulationFrequency,
                                    input.ModulationPhase, input.PhaseOffset, input.ModulationIndex,
                                    input.Level, sampleRate);
}

void SynthesizeAmplitudeModulation(SignalBase& signal, const AmplitudeModulationInput& input) {
    SineGenerator(signal, input.CarrierFrequency, 1.0, 0.0);
    EnvelopGenerator(signal, input.ModulationFrequency, input.ModulationIndex,
                     input.ModulationPhase, input.PhaseOffset);
}

FrequencyModulationCheck CheckFrequencyModulation(const FrequencyModulationInput& input,
                                                  double sampleRate) {
    return CheckFrequencyModulation(input.CarrierFrequency, input.ModulationFrequency,
                                    input.ModulationIndex, input.Level, sampleRate);
}

FrequencySweepCheck CheckFrequencySweep(const FrequencySweepInput& input, double sampleRate) {
    return CheckFrequencySweep(input.StartFrequency, input.StopFrequency, input.Level, sampleRate);
}

} // namespace zembrel
