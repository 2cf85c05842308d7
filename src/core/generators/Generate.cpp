#include "core/generators/Generate.h"

#include "core/generators/CalculationProtocol.h"
#include "core/generators/FinishSignal.h"
#include "core/generators/FrequencyListFile.h"
#include "core/generators/FrequencyModulationGenerator.h"
#include "core/generators/FrequencySweepGenerator.h"
#include "core/generators/NoiseGenerator.h"
#include "core/generators/RandomNumberGenerator.h"
#include "core/signal/SignalBase.h"

namespace zembrel {

namespace {

GeneratorStatus Finish(SignalBase& signal, double level) {
    FinishSignal(signal, level);
    return GeneratorStatus::Finished;
}

void SeedPhases(std::optional<std::uint32_t> seed) {
    if (seed) {
        RandomNumberGenerator::Seed(*seed);
    }
}

// Adds white-noise bands {start, stop, step, amplitude, offset} one after another; false when
// one of them was stopped before its last line.
bool RunWhiteBands(SignalBase& signal, const std::vector<NoiseBandInput>& bands,
                   CalculationObserver& observer) {
    PartProgress whole(observer, static_cast<int>(bands.size()));
    for (std::size_t b = 0; b < bands.size(); ++b) {
        const NoiseBandInput& band = bands[b];
        whole.StartPart(static_cast<int>(b));
        int progress = 0;
        RunNoiseBand(signal, band.Start, band.Stop, band.Step, band.Amplitude, band.Offset,
                     NoiseMode::White, progress, whole);
        if (progress != 100) {
            return false;
        }
    }
    return true;
}

} // namespace

GeneratorStatus GenerateSines(SignalBase& signal, const std::vector<SineInput>& sines, double level,
                              CalculationObserver& observer) {
    if (sines.empty()) {
        return GeneratorStatus::Invalid; // OK with an empty frequency field
    }
    for (std::size_t i = 0; i < sines.size(); ++i) {
        const bool last = i + 1 == sines.size();
        if (!CheckSine(sines[i], signal.SampleRate, last ? std::optional(level) : std::nullopt)
                 .Valid()) {
            return GeneratorStatus::Invalid;
        }
    }
    for (const SineInput& sine : sines) {
        if (observer.StopRequested()) {
            return GeneratorStatus::Stopped;
        }
        AddSine(signal, sine);
    }
    return Finish(signal, level);
}

GeneratorStatus GenerateSineList(SignalBase& signal, const FrequencyList& list,
                                 CalculationObserver& observer) {
    if (observer.StopRequested()) {
        return GeneratorStatus::Stopped;
    }
    AddSineList(signal, list);
    return Finish(signal, list.Level);
}

GeneratorStatus GenerateFunction(SignalBase& signal, const FunctionInput& input,
                                 CalculationObserver& observer) {
    if (!CheckFunction(input, signal.SampleRate).Valid()) {
        return GeneratorStatus::Invalid;
    }
    int progress = 0;
    RunFunctionGenerator(signal, input.Shape, input.Frequency, input.Phase, input.Offset, progress,
                         observer);
    if (progress != 100) {
        return GeneratorStatus::Stopped;
    }
    return Finish(signal, input.Level);
}

GeneratorStatus GenerateAmplitudeModulation(SignalBase& signal,
                                            const AmplitudeModulationInput& input,
                                            CalculationObserver& observer) {
    if (!CheckAmplitudeModulation(input, signal.SampleRate).Valid()) {
        return GeneratorStatus::Invalid;
    }
    if (observer.StopRequested()) {
        return GeneratorStatus::Stopped;
    }
    SynthesizeAmplitudeModulation(signal, input);
    return Finish(signal, input.Level);
}

GeneratorStatus GenerateFrequencyModulation(SignalBase& signal,
                                            const FrequencyModulationInput& input,
                                            CalculationObserver& observer) {
    if (!CheckFrequencyModulation(input, signal.SampleRate).Valid()) {
        return GeneratorStatus::Invalid;
    }
    if (observer.StopRequested()) {
        return GeneratorStatus::Stopped;
    }
    FrequencyModulationGenerator(signal, input.CarrierFrequency, input.ModulationFrequency,
                                 input.ModulationIndex);
    return Finish(signal, input.Level);
}

GeneratorStatus GenerateFrequencySweep(SignalBase& signal, const FrequencySweepInput& input,
                                       CalculationObserver& observer) {
    if (!CheckFrequencySweep(input, signal.SampleRate).Valid() || input.Characteristic < 0 ||
        input.Characteristic >= kSweepCharacteristicCount) {
        return GeneratorStatus::Invalid;
    }
    if (observer.StopRequested()) {
        return GeneratorStatus::Stopped;
    }
    FrequencySweepGenerator(signal, input.StartFrequency, input.StopFrequency,
                            input.Characteristic);
    return Finish(signal, input.Level);
}

GeneratorStatus GeneratePnSines(SignalBase& signal, const std::vector<PnSineInput>& sines,
                                double level, std::optional<std::uint32_t> seed,
                                CalculationObserver& observer) {
    if (sines.empty()) {
        return GeneratorStatus::Invalid;
    }
    for (std::size_t i = 0; i < sines.size(); ++i) {
        const bool last = i + 1 == sines.size();
        if (!CheckPnSine(sines[i], signal.SampleRate, last ? std::optional(level) : std::nullopt)
                 .Valid()) {
            return GeneratorStatus::Invalid;
        }
    }
    SeedPhases(seed);
    for (const PnSineInput& sine : sines) {
        if (observer.StopRequested()) {
            return GeneratorStatus::Stopped;
        }
        AddPnSine(signal, sine);
    }
    return Finish(signal, level);
}

GeneratorStatus GeneratePnSineList(SignalBase& signal, const FrequencyList& list,
                                   std::optional<std::uint32_t> seed,
                                   CalculationObserver& observer) {
    if (observer.StopRequested()) {
        return GeneratorStatus::Stopped;
    }
    SeedPhases(seed);
    AddPnSineList(signal, list);
    return Finish(signal, list.Level);
}

GeneratorStatus GenerateWhiteNoise(SignalBase& signal, const std::vector<NoiseBandInput>& bands,
                                   double level, std::optional<std::uint32_t> seed,
                                   CalculationObserver& observer) {
    if (bands.empty()) {
        return GeneratorStatus::Invalid;
    }
    for (std::size_t i = 0; i < bands.size(); ++i) {
        const bool last = i + 1 == bands.size();
        if (!CheckWhiteNoiseBand(bands[i], signal.SampleRate,
                                 last ? std::optional(level) : std::nullopt)
                 .Valid()) {
            return GeneratorStatus::Invalid;
        }
    }
    SeedPhases(seed);
    if (!RunWhiteBands(signal, bands, observer)) {
        return GeneratorStatus::Stopped;
    }
    return Finish(signal, level);
}

GeneratorStatus GenerateWhiteNoiseList(SignalBase& signal, const FrequencyList& list,
                                       std::optional<std::uint32_t> seed,
                                       CalculationObserver& observer) {
    std::vector<NoiseBandInput> bands;
    for (const auto& r : list.Records) {
        if (!PlanNoiseBand(r[0], r[1], r[2]).Usable()) {
            return GeneratorStatus::Invalid;
        }
        bands.push_back({r[0], r[1], r[2], r[3], 0.0});
    }
    SeedPhases(seed);
    signal.Clear();
    if (!RunWhiteBands(signal, bands, observer)) {
        return GeneratorStatus::Stopped;
    }
    return Finish(signal, list.Level);
}

GeneratorStatus GeneratePinkNoise(SignalBase& signal, const PinkNoiseInput& input,
                                  std::optional<std::uint32_t> seed,
                                  CalculationObserver& observer) {
    if (!CheckPinkNoise(input, signal.SampleRate).Valid()) {
        return GeneratorStatus::Invalid;
    }
    int progress = 0;
    if (seed) {
        RunPinkNoiseBand(signal, input.Start, input.Stop, input.Step, input.Offset, *seed, progress,
                         observer);
    } else {
        RunNoiseBand(signal, input.Start, input.Stop, input.Step, 1.0, input.Offset,
                     NoiseMode::Pink, progress, observer);
    }
    if (progress != 100) {
        return GeneratorStatus::Stopped;
    }
    return Finish(signal, input.Level);
}

} // namespace zembrel
