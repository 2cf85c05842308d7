#pragma once

#include "core/generators/ModulationInputRules.h"
#include "core/generators/NoiseInputRules.h"
#include "core/generators/ToneInputRules.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace zembrel {

class CalculationObserver;
class SignalBase;
struct FrequencyList;

// One entry point per generator: it checks the input with the generator's rules, synthesises
// into signal (which the caller hands over silent, in the format it wants) and scales the result
// with FinishSignal, exactly as the generator's dialog does step by step:
//   - sums of sines and bands are added in the order given, as Add Sine / Add Band followed by
//     OK for the last one would add them; the level is checked with the last one;
//   - a list is imported as the dialog's Import does it: signal cleared, records added in file
//     order, scaled to the list's own level (not checked, as in the dialog);
//   - the function and noise generators run their units through RunUnits with observer (one
//     progress report and one stop check per harmonic or line); the others check the stop flag
//     between their sines and once after their synthesis.
// Invalid: nothing was touched; the caller reports the generator's error text. Stopped: the
// signal holds a partial, unscaled sum and must be discarded. Finished: the signal is in file
// units at the level.
//
// seed, for the generators with pseudo-random phases: the process-wide phase generator's state
// at the start. Without it the phases continue from the process's generator, seeded from the
// clock on first use; a pink noise run always starts anew, from PinkNoiseClockSeed().
enum class GeneratorStatus { Finished, Invalid, Stopped };

GeneratorStatus GenerateSines(SignalBase& signal, const std::vector<SineInput>& sines, double level,
                              CalculationObserver& observer);
GeneratorStatus GenerateSineList(SignalBase& signal, const FrequencyList& list,
                                 CalculationObserver& observer);

GeneratorStatus GenerateFunction(SignalBase& signal, const FunctionInput& input,
                                 CalculationObserver& observer);

GeneratorStatus GenerateAmplitudeModulation(SignalBase& signal,
                                            const AmplitudeModulationInput& input,
                                            CalculationObserver& observer);
GeneratorStatus GenerateFrequencyModulation(SignalBase& signal,
                                            const FrequencyModulationInput& input,
                                            CalculationObserver& observer);
GeneratorStatus GenerateFrequencySweep(SignalBase& signal, const FrequencySweepInput& input,
                                       CalculationObserver& observer);

GeneratorStatus GeneratePnSines(SignalBase& signal, const std::vector<PnSineInput>& sines,
                                double level, std::optional<std::uint32_t> seed,
                                CalculationObserver& observer);
GeneratorStatus GeneratePnSineList(SignalBase& signal, const FrequencyList& list,
                                   std::optional<std::uint32_t> seed,
                                   CalculationObserver& observer);

// With several bands, observer sees the progress of the whole run: band b of n reports
// (b * 100 + p) / n.
GeneratorStatus GenerateWhiteNoise(SignalBase& signal, const std::vector<NoiseBandInput>& bands,
                                   double level, std::optional<std::uint32_t> seed,
                                   CalculationObserver& observer);
// Imported bands have the offset 0. A band that cannot be walked makes the list Invalid.
GeneratorStatus GenerateWhiteNoiseList(SignalBase& signal, const FrequencyList& list,
                                       std::optional<std::uint32_t> seed,
                                       CalculationObserver& observer);

GeneratorStatus GeneratePinkNoise(SignalBase& signal, const PinkNoiseInput& input,
                                  std::optional<std::uint32_t> seed, CalculationObserver& observer);

} // namespace zembrel
