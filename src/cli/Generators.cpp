// The eight generating subcommands: each reads its dialog's fields from options, checks them
// with the core's rules and calls the core's entry point for its generator.
#include "cli/ComponentSumCommand.h"
#include "cli/NumberFieldsCommand.h"

#include "core/generators/FrequencyListFile.h"
#include "core/generators/FrequencySweepGenerator.h"
#include "core/generators/InputMessages.h"
#include "core/generators/NoiseGenerator.h"

#include <CLI/CLI.hpp>

namespace cli {

namespace {

using zembrel::CalculationObserver;
using zembrel::GeneratorStatus;
using zembrel::SignalBase;
using Seed = std::optional<std::uint32_t>;

// ---------------------------------------------------------------------------------------------
// Sums of components, or a list file.

using SineSum = ComponentSumCommand<zembrel::SineInput, zembrel::SineCheck>;
using PnSineSum = ComponentSumCommand<zembrel::PnSineInput, zembrel::PnSineCheck>;
using WhiteNoiseSum = ComponentSumCommand<zembrel::NoiseBandInput, zembrel::NoiseCheck>;

SineSum::Parts Sines() {
    using C = zembrel::SineCheck;
    return {
        .Traits = {.Name = "sine", .Description = "A sum of sines (Sine Generator)"},
        .Option = "--sine",
        .Help = "A sine of FREQ Hz (0 < f <= fs/2), amplitude AMP (default 1) and phase PHASE in "
                "degrees (default 0); repeat for a sum",
        .TypeName = "FREQ[,AMP[,PHASE]]",
        .Required = 1,
        .Defaults = {0.0, 1.0, 0.0},
        .Make =
            [](const std::vector<double>& v, double offset) {
                return zembrel::SineInput{v[0], v[1], v[2], offset};
            },
        .CheckOne = &zembrel::CheckSine,
        .Named = {{&C::Frequency, "frequency"}, {&C::Amplitude, "amplitude"}, {&C::Phase, "phase"}},
        .ErrorText = zembrel::kSineErrorText,
        .OffsetHelp = "L/R phase offset in degrees (stereo): the right channel's phase is the "
                      "left's plus this",
        .ListHelp = "Import a sine list file (\"Level <dB> dB\", then records "
                    "index;freq;amp;phase) instead",
        .ReadList =
            [](const std::string& path) {
                return zembrel::ReadFrequencyList(path, zembrel::kSineListReset);
            },
        .Generate =
            [](SignalBase& signal, const std::vector<zembrel::SineInput>& sines, double level, Seed,
               CalculationObserver& observer) {
                return zembrel::GenerateSines(signal, sines, level, observer);
            },
        .GenerateList =
            [](SignalBase& signal, const zembrel::FrequencyList& list, Seed,
               CalculationObserver& observer) {
                return zembrel::GenerateSineList(signal, list, observer);
            },
    };
}

PnSineSum::Parts PnSines() {
    using C = zembrel::PnSineCheck;
    return {
        .Traits = {.Name = "pn-sine",
                   .Description = "Sines with pseudo-random phases (Sine with pn_phase Generator)",
                   .RandomPhases = true},
        .Option = "--sine",
        .Help = "A sine of FREQ Hz (0 < f <= fs/2) and amplitude AMP (default 1) with a drawn "
                "phase; repeat for a sum",
        .TypeName = "FREQ[,AMP]",
        .Required = 1,
        .Defaults = {0.0, 1.0},
        .Make =
            [](const std::vector<double>& v, double offset) {
                return zembrel::PnSineInput{v[0], v[1], offset};
            },
        .CheckOne = &zembrel::CheckPnSine,
        .Named = {{&C::Frequency, "frequency"}, {&C::Amplitude, "amplitude"}},
        .ErrorText = zembrel::kSineErrorText,
        .OffsetHelp = "L/R phase offset in degrees (stereo)",
        .ListHelp = "Import a pn-phase list file (\"Level <dB> dB\", then records "
                    "index;freq;amp) instead",
        .ReadList =
            [](const std::string& path) {
                return zembrel::ReadFrequencyList(path, zembrel::kPnPhaseListReset);
            },
        .Generate = &zembrel::GeneratePnSines,
        .GenerateList = &zembrel::GeneratePnSineList,
    };
}

WhiteNoiseSum::Parts WhiteNoise() {
    using C = zembrel::NoiseCheck;
    return {
        .Traits = {.Name = "white",
                   .Description = "Band-limited white noise (White Noise Generator)",
                   .RandomPhases = true,
                   .ShowsProgress = true},
        .Option = "--band",
        .Help = "A band of sines from START to STOP Hz (0 < f <= fs/2) every STEP Hz "
                "(0 < step <= fs/2), each of amplitude AMP (default 1); repeat for more bands",
        .TypeName = "START,STOP,STEP[,AMP]",
        .Required = 3,
        .Defaults = {0.0, 0.0, 0.0, 1.0},
        .Make =
            [](const std::vector<double>& v, double offset) {
                return zembrel::NoiseBandInput{v[0], v[1], v[2], v[3], offset};
            },
        .CheckOne = &zembrel::CheckWhiteNoiseBand,
        .Named = {{&C::Start, "start"},
                  {&C::Stop, "stop"},
                  {&C::Step, "step"},
                  {&C::Amplitude, "amplitude"}},
        .ErrorText = zembrel::kNoiseErrorText,
        .OffsetHelp = "L/R phase offset in degrees (stereo)",
        .ListHelp = "Import a band list file (\"Level <dB> dB\", then records "
                    "index;start;stop;step;amp) instead",
        .ReadList = &zembrel::ReadBandList,
        .Generate = &zembrel::GenerateWhiteNoise,
        .GenerateList = &zembrel::GenerateWhiteNoiseList,
    };
}

// ---------------------------------------------------------------------------------------------
// One struct of numbers each.

class FunctionCommand : public NumberFieldsCommand<zembrel::FunctionInput, zembrel::FunctionCheck> {
public:
    FunctionCommand()
        : NumberFieldsCommand({.Name = "function",
                               .Description = "A band-limited square, triangle or sawtooth "
                                              "(Function Generator)",
                               .ShowsProgress = true},
                              &zembrel::CheckFunction, zembrel::kSineErrorText) {}

protected:
    void AddOptions(CLI::App& command) override {
        using I = zembrel::FunctionInput;
        using C = zembrel::FunctionCheck;
        command.add_option("--shape", shape_, "square, triangle or sawtooth")
            ->capture_default_str()
            ->type_name("SHAPE");
        AddNumber(command, "--freq", &I::Frequency, &C::Frequency, "Frequency in Hz, 0 < f <= fs/2",
                  "HZ");
        AddNumber(command, "--phase", &I::Phase, &C::Phase, "Phase of the fundamental in degrees",
                  "DEG", "0");
        AddNumber(command, "--offset", &I::Offset, &C::Offset,
                  "L/R phase offset in degrees (stereo): shifts the right channel's wave", "DEG",
                  "0");
        AddLevel(command);
    }

    void Prepare(double sampleRate) override {
        input_.Shape = static_cast<zembrel::Waveform>(
            ParseChoice("--shape", shape_, {"square", "triangle", "sawtooth"}));
        NumberFieldsCommand::Prepare(sampleRate);
    }

    GeneratorStatus Run(SignalBase& signal, Seed, CalculationObserver& observer) override {
        return zembrel::GenerateFunction(signal, input_, observer);
    }

private:
    std::string shape_ = "square";
};

class AmCommand : public NumberFieldsCommand<zembrel::AmplitudeModulationInput,
                                             zembrel::AmplitudeModulationCheck> {
public:
    AmCommand()
        : NumberFieldsCommand(
              {.Name = "am",
               .Description = "An amplitude-modulated sine (Amplitude Modulation Generator)"},
              &zembrel::CheckAmplitudeModulation, zembrel::kAmplitudeModulationErrorText) {}

protected:
    void AddOptions(CLI::App& command) override {
        using I = zembrel::AmplitudeModulationInput;
        using C = zembrel::AmplitudeModulationCheck;
        AddNumber(command, "--carrier", &I::CarrierFrequency, &C::CarrierFrequency,
                  "Carrier frequency in Hz, 0 < fc <= fs/2", "HZ");
        AddNumber(command, "--mod", &I::ModulationFrequency, &C::ModulationFrequency,
                  "Modulation frequency in Hz, fc - |fm| >= 0 and fc + |fm| <= fs/2", "HZ");
        AddNumber(command, "--mod-phase", &I::ModulationPhase, &C::ModulationPhase,
                  "Phase of the modulating sine in degrees", "DEG", "0");
        AddNumber(command, "--index", &I::ModulationIndex, &C::ModulationIndex,
                  "Modulation index, m > 0", "M", "1");
        AddNumber(command, "--offset", &I::PhaseOffset, &C::PhaseOffset,
                  "L/R phase offset of the envelope in degrees (stereo)", "DEG", "0");
        AddLevel(command);
    }

    GeneratorStatus Run(SignalBase& signal, Seed, CalculationObserver& observer) override {
        return zembrel::GenerateAmplitudeModulation(signal, input_, observer);
    }
};

class FmCommand : public NumberFieldsCommand<zembrel::FrequencyModulationInput,
                                             zembrel::FrequencyModulationCheck> {
public:
    FmCommand()
        : NumberFieldsCommand(
              {.Name = "fm",
               .Description = "A frequency-modulated sine (Frequency Modulation Generator)"},
              &zembrel::CheckFrequencyModulation, zembrel::kFrequencyModulationErrorText) {}

protected:
    void AddOptions(CLI::App& command) override {
        using I = zembrel::FrequencyModulationInput;
        using C = zembrel::FrequencyModulationCheck;
        AddNumber(command, "--carrier", &I::CarrierFrequency, &C::CarrierFrequency,
                  "Carrier frequency in Hz, 0 < fc <= fs/2", "HZ");
        AddNumber(command, "--mod", &I::ModulationFrequency, &C::ModulationFrequency,
                  "Modulation frequency in Hz, fm > 0", "HZ");
        AddNumber(command, "--index", &I::ModulationIndex, &C::ModulationIndex,
                  "Modulation index (peak phase deviation in rad), m > 0", "M", "1");
        AddLevel(command);
    }

    GeneratorStatus Run(SignalBase& signal, Seed, CalculationObserver& observer) override {
        return zembrel::GenerateFrequencyModulation(signal, input_, observer);
    }
};

class SweepCommand
    : public NumberFieldsCommand<zembrel::FrequencySweepInput, zembrel::FrequencySweepCheck> {
public:
    SweepCommand()
        : NumberFieldsCommand({.Name = "sweep",
                               .Description =
                                   "A frequency sweep over the whole length (Frequency Sweep "
                                   "Generator)"},
                              &zembrel::CheckFrequencySweep, zembrel::kFrequencySweepErrorText) {}

protected:
    void AddOptions(CLI::App& command) override {
        using I = zembrel::FrequencySweepInput;
        using C = zembrel::FrequencySweepCheck;
        AddNumber(command, "--start", &I::StartFrequency, &C::StartFrequency,
                  "Start frequency in Hz, 0 < f <= fs/2", "HZ");
        AddNumber(command, "--stop", &I::StopFrequency, &C::StopFrequency,
                  "Stop frequency in Hz, 0 < f <= fs/2", "HZ");
        command.add_option("--type", type_, "Characteristic: lin, exp, exp10, quad, cube, bi-quad")
            ->capture_default_str()
            ->type_name("TYPE");
        AddLevel(command);
    }

    void Prepare(double sampleRate) override {
        static_assert(zembrel::kSweepCharacteristicCount == 6);
        input_.Characteristic =
            ParseChoice("--type", type_, {"lin", "exp", "exp10", "quad", "cube", "bi-quad"});
        NumberFieldsCommand::Prepare(sampleRate);
    }

    GeneratorStatus Run(SignalBase& signal, Seed, CalculationObserver& observer) override {
        return zembrel::GenerateFrequencySweep(signal, input_, observer);
    }

private:
    std::string type_ = "lin";
};

class PinkCommand : public NumberFieldsCommand<zembrel::PinkNoiseInput, zembrel::NoiseCheck> {
public:
    PinkCommand()
        : NumberFieldsCommand({.Name = "pink",
                               .Description = "Pink noise: one band of sines of amplitude "
                                              "1/sqrt(f) (Pink Noise Generator)",
                               .RandomPhases = true,
                               .ShowsProgress = true},
                              &zembrel::CheckPinkNoise, zembrel::kNoiseErrorText) {}

protected:
    void AddOptions(CLI::App& command) override {
        using I = zembrel::PinkNoiseInput;
        using C = zembrel::NoiseCheck;
        AddNumber(command, "--start", &I::Start, &C::Start, "Start frequency in Hz, 0 < f <= fs/2",
                  "HZ");
        AddNumber(command, "--stop", &I::Stop, &C::Stop, "Stop frequency in Hz, 0 < f <= fs/2",
                  "HZ");
        AddNumber(command, "--step", &I::Step, &C::Step, "Step size in Hz, 0 < step <= fs/2", "HZ");
        AddNumber(command, "--offset", &I::Offset, &C::Offset,
                  "L/R phase offset in degrees (stereo)", "DEG", "0");
        AddLevel(command);
    }

    // A pink noise run seeds itself anew from the time in whole seconds.
    std::uint32_t ClockSeed() const override { return zembrel::PinkNoiseClockSeed(); }

    GeneratorStatus Run(SignalBase& signal, Seed seed, CalculationObserver& observer) override {
        return zembrel::GeneratePinkNoise(signal, input_, seed, observer);
    }
};

} // namespace

Commands MakeGeneratorCommands() {
    Commands commands;
    commands.push_back(std::make_unique<SineSum>(Sines()));
    commands.push_back(std::make_unique<FunctionCommand>());
    commands.push_back(std::make_unique<AmCommand>());
    commands.push_back(std::make_unique<FmCommand>());
    commands.push_back(std::make_unique<SweepCommand>());
    commands.push_back(std::make_unique<PnSineSum>(PnSines()));
    commands.push_back(std::make_unique<WhiteNoiseSum>(WhiteNoise()));
    commands.push_back(std::make_unique<PinkCommand>());
    return commands;
}

} // namespace cli
