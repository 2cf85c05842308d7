// The eight generating subcommands: each reads its dialog's fields from options, checks them
// with the core's rules and calls the core's entry point for its generator.
#include "cli/GeneratorCommand.h"

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

void AddLevel(CLI::App& command, std::string& level) {
    command.add_option("--level", level, "Level of the peak in dB below full scale, <= 0")
        ->capture_default_str()
        ->type_name("DB");
}

// A list file is read whole before anything is computed; what cannot be read is refused with
// the file, the line and the reason.
zembrel::FrequencyList ReadList(const std::string& path, const std::vector<double>& reset) {
    try {
        return zembrel::ReadFrequencyList(path, reset);
    } catch (const zembrel::ListFileError& e) {
        throw UsageError(std::string("--list ") + e.what());
    }
}

// ---------------------------------------------------------------------------------------------

class SineCommand : public GeneratorCommand {
public:
    SineCommand() : GeneratorCommand("sine", "A sum of sines (Sine Generator)", false, false) {}

protected:
    void AddOptions(CLI::App& command) override {
        auto* sine = command.add_option(
            "--sine", sineTexts_,
            "A sine of FREQ Hz (0 < f <= fs/2), amplitude AMP (default 1) and phase PHASE in "
            "degrees (default 0); repeat for a sum");
        Repeatable(sine)->type_name("FREQ[,AMP[,PHASE]]");
        auto* offset = command.add_option("--offset", offset_,
                                          "L/R phase offset in degrees (stereo): the right "
                                          "channel's phase is the left's plus this");
        offset->capture_default_str()->type_name("DEG");
        AddLevel(command, level_);
        auto* list = command.add_option("--list", list_,
                                        "Import a sine list file (\"Level <dB> dB\", then "
                                        "records index;freq;amp;phase) instead");
        list->type_name("FILE")->excludes(sine)->excludes(offset)->excludes("--level");
    }

    void Prepare(double sampleRate) override {
        if (!list_.empty()) {
            listContents_ = ReadList(list_, zembrel::kSineListReset);
            return;
        }
        if (sineTexts_.empty()) {
            throw UsageError("--sine or --list is required");
        }
        levelValue_ = ParseNumber("--level", level_);
        const double offset = ParseNumber("--offset", offset_);
        sines_.clear();
        for (const std::string& text : sineTexts_) {
            const auto v = ParseNumberList("--sine", text, 1, {0.0, 1.0, 0.0});
            sines_.push_back({v[0], v[1], v[2], offset});
        }
        RefusedOptions refused;
        bool offsetOk = true;
        for (std::size_t i = 0; i < sines_.size(); ++i) {
            const bool last = i + 1 == sines_.size();
            const auto check = zembrel::CheckSine(sines_[i], sampleRate,
                                                  last ? std::optional(levelValue_) : std::nullopt);
            refused.Add(check.Frequency, "--sine", sineTexts_[i], "frequency");
            refused.Add(check.Amplitude, "--sine", sineTexts_[i], "amplitude");
            refused.Add(check.Phase, "--sine", sineTexts_[i], "phase");
            refused.Add(check.Level, "--level", level_);
            offsetOk = offsetOk && check.Offset;
        }
        refused.Add(offsetOk, "--offset", offset_);
        refused.ThrowIfAny(zembrel::kSineErrorText);
    }

    GeneratorStatus Run(SignalBase& signal, std::optional<std::uint32_t>,
                        CalculationObserver& observer) override {
        if (!list_.empty()) {
            return zembrel::GenerateSineList(signal, listContents_, observer);
        }
        return zembrel::GenerateSines(signal, sines_, levelValue_, observer);
    }

private:
    std::vector<std::string> sineTexts_;
    std::string offset_ = "0";
    std::string list_;
    zembrel::FrequencyList listContents_;
    std::vector<zembrel::SineInput> sines_;
    double levelValue_ = 0.0;
};

// ---------------------------------------------------------------------------------------------

class FunctionCommand : public GeneratorCommand {
public:
    FunctionCommand()
        : GeneratorCommand("function",
                           "A band-limited square, triangle or sawtooth (Function Generator)",
                           false, true) {}

protected:
    void AddOptions(CLI::App& command) override {
        command.add_option("--shape", shape_, "square, triangle or sawtooth")
            ->capture_default_str()
            ->type_name("SHAPE");
        Required(command.add_option("--freq", frequency_, "Frequency in Hz, 0 < f <= fs/2"))
            ->type_name("HZ");
        command.add_option("--phase", phase_, "Phase of the fundamental in degrees")
            ->capture_default_str()
            ->type_name("DEG");
        command
            .add_option("--offset", offset_,
                        "L/R phase offset in degrees (stereo): shifts the right channel's wave")
            ->capture_default_str()
            ->type_name("DEG");
        AddLevel(command, level_);
    }

    void Prepare(double sampleRate) override {
        input_.Shape = static_cast<zembrel::Waveform>(
            ParseChoice("--shape", shape_, {"square", "triangle", "sawtooth"}));
        input_.Frequency = ParseNumber("--freq", frequency_);
        input_.Phase = ParseNumber("--phase", phase_);
        input_.Offset = ParseNumber("--offset", offset_);
        input_.Level = ParseNumber("--level", level_);
        const auto check = zembrel::CheckFunction(input_, sampleRate);
        RefusedOptions refused;
        refused.Add(check.Frequency, "--freq", frequency_);
        refused.Add(check.Phase, "--phase", phase_);
        refused.Add(check.Offset, "--offset", offset_);
        refused.Add(check.Level, "--level", level_);
        refused.ThrowIfAny(zembrel::kSineErrorText);
    }

    GeneratorStatus Run(SignalBase& signal, std::optional<std::uint32_t>,
                        CalculationObserver& observer) override {
        return zembrel::GenerateFunction(signal, input_, observer);
    }

private:
    std::string shape_ = "square";
    std::string frequency_;
    std::string phase_ = "0";
    std::string offset_ = "0";
    zembrel::FunctionInput input_;
};

// ---------------------------------------------------------------------------------------------

class AmCommand : public GeneratorCommand {
public:
    AmCommand()
        : GeneratorCommand("am", "An amplitude-modulated sine (Amplitude Modulation Generator)",
                           false, false) {}

protected:
    void AddOptions(CLI::App& command) override {
        Required(
            command.add_option("--carrier", carrier_, "Carrier frequency in Hz, 0 < fc <= fs/2"))
            ->type_name("HZ");
        Required(command.add_option("--mod", modulation_,
                                    "Modulation frequency in Hz, fc - fm >= 0 and fc + fm <= fs/2"))
            ->type_name("HZ");
        command.add_option("--mod-phase", phase_, "Phase of the modulating sine in degrees")
            ->capture_default_str()
            ->type_name("DEG");
        command.add_option("--index", index_, "Modulation index, m > 0")
            ->capture_default_str()
            ->type_name("M");
        command
            .add_option("--offset", offset_, "L/R phase offset of the envelope in degrees (stereo)")
            ->capture_default_str()
            ->type_name("DEG");
        AddLevel(command, level_);
    }

    void Prepare(double sampleRate) override {
        input_.CarrierFrequency = ParseNumber("--carrier", carrier_);
        input_.ModulationFrequency = ParseNumber("--mod", modulation_);
        input_.ModulationPhase = ParseNumber("--mod-phase", phase_);
        input_.PhaseOffset = ParseNumber("--offset", offset_);
        input_.ModulationIndex = ParseNumber("--index", index_);
        input_.Level = ParseNumber("--level", level_);
        const auto check = zembrel::CheckAmplitudeModulation(input_, sampleRate);
        RefusedOptions refused;
        refused.Add(check.CarrierFrequency, "--carrier", carrier_);
        refused.Add(check.ModulationFrequency, "--mod", modulation_);
        refused.Add(check.ModulationPhase, "--mod-phase", phase_);
        refused.Add(check.PhaseOffset, "--offset", offset_);
        refused.Add(check.ModulationIndex, "--index", index_);
        refused.Add(check.Level, "--level", level_);
        refused.ThrowIfAny(zembrel::kAmplitudeModulationErrorText);
    }

    GeneratorStatus Run(SignalBase& signal, std::optional<std::uint32_t>,
                        CalculationObserver& observer) override {
        return zembrel::GenerateAmplitudeModulation(signal, input_, observer);
    }

private:
    std::string carrier_;
    std::string modulation_;
    std::string phase_ = "0";
    std::string index_ = "1";
    std::string offset_ = "0";
    zembrel::AmplitudeModulationInput input_;
};

// ---------------------------------------------------------------------------------------------

class FmCommand : public GeneratorCommand {
public:
    FmCommand()
        : GeneratorCommand("fm", "A frequency-modulated sine (Frequency Modulation Generator)",
                           false, false) {}

protected:
    void AddOptions(CLI::App& command) override {
        Required(
            command.add_option("--carrier", carrier_, "Carrier frequency in Hz, 0 < fc <= fs/2"))
            ->type_name("HZ");
        Required(command.add_option("--mod", modulation_, "Modulation frequency in Hz, fm > 0"))
            ->type_name("HZ");
        command
            .add_option("--index", index_, "Modulation index (peak phase deviation in rad), m > 0")
            ->capture_default_str()
            ->type_name("M");
        AddLevel(command, level_);
    }

    void Prepare(double sampleRate) override {
        input_.CarrierFrequency = ParseNumber("--carrier", carrier_);
        input_.ModulationFrequency = ParseNumber("--mod", modulation_);
        input_.ModulationIndex = ParseNumber("--index", index_);
        input_.Level = ParseNumber("--level", level_);
        const auto check = zembrel::CheckFrequencyModulation(input_, sampleRate);
        RefusedOptions refused;
        refused.Add(check.CarrierFrequency, "--carrier", carrier_);
        refused.Add(check.ModulationFrequency, "--mod", modulation_);
        refused.Add(check.ModulationIndex, "--index", index_);
        refused.Add(check.Level, "--level", level_);
        refused.ThrowIfAny(zembrel::kFrequencyModulationErrorText);
    }

    GeneratorStatus Run(SignalBase& signal, std::optional<std::uint32_t>,
                        CalculationObserver& observer) override {
        return zembrel::GenerateFrequencyModulation(signal, input_, observer);
    }

private:
    std::string carrier_;
    std::string modulation_;
    std::string index_ = "1";
    zembrel::FrequencyModulationInput input_;
};

// ---------------------------------------------------------------------------------------------

class SweepCommand : public GeneratorCommand {
public:
    SweepCommand()
        : GeneratorCommand("sweep",
                           "A frequency sweep over the whole length (Frequency Sweep "
                           "Generator)",
                           false, false) {}

protected:
    void AddOptions(CLI::App& command) override {
        Required(command.add_option("--start", start_, "Start frequency in Hz, 0 < f <= fs/2"))
            ->type_name("HZ");
        Required(command.add_option("--stop", stop_, "Stop frequency in Hz, 0 < f <= fs/2"))
            ->type_name("HZ");
        command.add_option("--type", type_, "Characteristic: lin, exp, exp10, quad, cube, bi-quad")
            ->capture_default_str()
            ->type_name("TYPE");
        AddLevel(command, level_);
    }

    void Prepare(double sampleRate) override {
        static_assert(zembrel::kSweepCharacteristicCount == 6);
        input_.Characteristic =
            ParseChoice("--type", type_, {"lin", "exp", "exp10", "quad", "cube", "bi-quad"});
        input_.StartFrequency = ParseNumber("--start", start_);
        input_.StopFrequency = ParseNumber("--stop", stop_);
        input_.Level = ParseNumber("--level", level_);
        const auto check = zembrel::CheckFrequencySweep(input_, sampleRate);
        RefusedOptions refused;
        refused.Add(check.StartFrequency, "--start", start_);
        refused.Add(check.StopFrequency, "--stop", stop_);
        refused.Add(check.Level, "--level", level_);
        refused.ThrowIfAny(zembrel::kFrequencySweepErrorText);
    }

    GeneratorStatus Run(SignalBase& signal, std::optional<std::uint32_t>,
                        CalculationObserver& observer) override {
        return zembrel::GenerateFrequencySweep(signal, input_, observer);
    }

private:
    std::string start_;
    std::string stop_;
    std::string type_ = "lin";
    zembrel::FrequencySweepInput input_;
};

// ---------------------------------------------------------------------------------------------

class PnSineCommand : public GeneratorCommand {
public:
    PnSineCommand()
        : GeneratorCommand("pn-sine",
                           "Sines with pseudo-random phases (Sine with pn_phase Generator)", true,
                           false) {}

protected:
    void AddOptions(CLI::App& command) override {
        auto* sine = command.add_option(
            "--sine", sineTexts_,
            "A sine of FREQ Hz (0 < f <= fs/2) and amplitude AMP (default 1) with a drawn "
            "phase; repeat for a sum");
        Repeatable(sine)->type_name("FREQ[,AMP]");
        auto* offset =
            command.add_option("--offset", offset_, "L/R phase offset in degrees (stereo)");
        offset->capture_default_str()->type_name("DEG");
        AddLevel(command, level_);
        auto* list = command.add_option("--list", list_,
                                        "Import a pn-phase list file (\"Level <dB> dB\", then "
                                        "records index;freq;amp) instead");
        list->type_name("FILE")->excludes(sine)->excludes(offset)->excludes("--level");
    }

    void Prepare(double sampleRate) override {
        if (!list_.empty()) {
            listContents_ = ReadList(list_, zembrel::kPnPhaseListReset);
            return;
        }
        if (sineTexts_.empty()) {
            throw UsageError("--sine or --list is required");
        }
        levelValue_ = ParseNumber("--level", level_);
        const double offset = ParseNumber("--offset", offset_);
        sines_.clear();
        for (const std::string& text : sineTexts_) {
            const auto v = ParseNumberList("--sine", text, 1, {0.0, 1.0});
            sines_.push_back({v[0], v[1], offset});
        }
        RefusedOptions refused;
        bool offsetOk = true;
        for (std::size_t i = 0; i < sines_.size(); ++i) {
            const bool last = i + 1 == sines_.size();
            const auto check = zembrel::CheckPnSine(
                sines_[i], sampleRate, last ? std::optional(levelValue_) : std::nullopt);
            refused.Add(check.Frequency, "--sine", sineTexts_[i], "frequency");
            refused.Add(check.Amplitude, "--sine", sineTexts_[i], "amplitude");
            refused.Add(check.Level, "--level", level_);
            offsetOk = offsetOk && check.Offset;
        }
        refused.Add(offsetOk, "--offset", offset_);
        refused.ThrowIfAny(zembrel::kSineErrorText);
    }

    GeneratorStatus Run(SignalBase& signal, std::optional<std::uint32_t> seed,
                        CalculationObserver& observer) override {
        if (!list_.empty()) {
            return zembrel::GeneratePnSineList(signal, listContents_, seed, observer);
        }
        return zembrel::GeneratePnSines(signal, sines_, levelValue_, seed, observer);
    }

private:
    std::vector<std::string> sineTexts_;
    std::string offset_ = "0";
    std::string list_;
    zembrel::FrequencyList listContents_;
    std::vector<zembrel::PnSineInput> sines_;
    double levelValue_ = 0.0;
};

// ---------------------------------------------------------------------------------------------

class WhiteCommand : public GeneratorCommand {
public:
    WhiteCommand()
        : GeneratorCommand("white", "Band-limited white noise (White Noise Generator)", true,
                           true) {}

protected:
    void AddOptions(CLI::App& command) override {
        auto* band = command.add_option(
            "--band", bandTexts_,
            "A band of sines from START to STOP Hz (0 < f <= fs/2) every STEP Hz "
            "(0 < step <= fs/2), each of amplitude AMP (default 1); repeat for more bands");
        Repeatable(band)->type_name("START,STOP,STEP[,AMP]");
        auto* offset =
            command.add_option("--offset", offset_, "L/R phase offset in degrees (stereo)");
        offset->capture_default_str()->type_name("DEG");
        AddLevel(command, level_);
        auto* list = command.add_option("--list", list_,
                                        "Import a band list file (\"Level <dB> dB\", then "
                                        "records index;start;stop;step;amp) instead");
        list->type_name("FILE")->excludes(band)->excludes(offset)->excludes("--level");
    }

    void Prepare(double sampleRate) override {
        if (!list_.empty()) {
            try {
                listContents_ = zembrel::ReadBandList(list_);
            } catch (const zembrel::ListFileError& e) {
                throw UsageError(std::string("--list ") + e.what());
            }
            return;
        }
        if (bandTexts_.empty()) {
            throw UsageError("--band or --list is required");
        }
        levelValue_ = ParseNumber("--level", level_);
        const double offset = ParseNumber("--offset", offset_);
        bands_.clear();
        for (const std::string& text : bandTexts_) {
            const auto v = ParseNumberList("--band", text, 3, {0.0, 0.0, 0.0, 1.0});
            bands_.push_back({v[0], v[1], v[2], v[3], offset});
        }
        RefusedOptions refused;
        bool offsetOk = true;
        for (std::size_t i = 0; i < bands_.size(); ++i) {
            const bool last = i + 1 == bands_.size();
            const auto check = zembrel::CheckWhiteNoiseBand(
                bands_[i], sampleRate, last ? std::optional(levelValue_) : std::nullopt);
            refused.Add(check.Start, "--band", bandTexts_[i], "start");
            refused.Add(check.Stop, "--band", bandTexts_[i], "stop");
            refused.Add(check.Step, "--band", bandTexts_[i], "step");
            refused.Add(check.Amplitude, "--band", bandTexts_[i], "amplitude");
            refused.Add(check.Level, "--level", level_);
            offsetOk = offsetOk && check.Offset;
        }
        refused.Add(offsetOk, "--offset", offset_);
        refused.ThrowIfAny(zembrel::kNoiseErrorText);
    }

    GeneratorStatus Run(SignalBase& signal, std::optional<std::uint32_t> seed,
                        CalculationObserver& observer) override {
        if (!list_.empty()) {
            return zembrel::GenerateWhiteNoiseList(signal, listContents_, seed, observer);
        }
        return zembrel::GenerateWhiteNoise(signal, bands_, levelValue_, seed, observer);
    }

private:
    std::vector<std::string> bandTexts_;
    std::string offset_ = "0";
    std::string list_;
    zembrel::FrequencyList listContents_;
    std::vector<zembrel::NoiseBandInput> bands_;
    double levelValue_ = 0.0;
};

// ---------------------------------------------------------------------------------------------

class PinkCommand : public GeneratorCommand {
public:
    PinkCommand()
        : GeneratorCommand("pink",
                           "Pink noise: one band of sines of amplitude 1/sqrt(f) "
                           "(Pink Noise Generator)",
                           true, true) {}

protected:
    void AddOptions(CLI::App& command) override {
        Required(command.add_option("--start", start_, "Start frequency in Hz, 0 < f <= fs/2"))
            ->type_name("HZ");
        Required(command.add_option("--stop", stop_, "Stop frequency in Hz, 0 < f <= fs/2"))
            ->type_name("HZ");
        Required(command.add_option("--step", step_, "Step size in Hz, 0 < step <= fs/2"))
            ->type_name("HZ");
        command.add_option("--offset", offset_, "L/R phase offset in degrees (stereo)")
            ->capture_default_str()
            ->type_name("DEG");
        AddLevel(command, level_);
    }

    void Prepare(double sampleRate) override {
        input_.Start = ParseNumber("--start", start_);
        input_.Stop = ParseNumber("--stop", stop_);
        input_.Step = ParseNumber("--step", step_);
        input_.Offset = ParseNumber("--offset", offset_);
        input_.Level = ParseNumber("--level", level_);
        const auto check = zembrel::CheckPinkNoise(input_, sampleRate);
        RefusedOptions refused;
        refused.Add(check.Start, "--start", start_);
        refused.Add(check.Stop, "--stop", stop_);
        refused.Add(check.Step, "--step", step_);
        refused.Add(check.Offset, "--offset", offset_);
        refused.Add(check.Level, "--level", level_);
        refused.ThrowIfAny(zembrel::kNoiseErrorText);
    }

    // A pink noise run seeds itself anew from the time in whole seconds.
    std::uint32_t ClockSeed() const override { return zembrel::PinkNoiseClockSeed(); }

    GeneratorStatus Run(SignalBase& signal, std::optional<std::uint32_t> seed,
                        CalculationObserver& observer) override {
        return zembrel::GeneratePinkNoise(signal, input_, seed, observer);
    }

private:
    std::string start_;
    std::string stop_;
    std::string step_;
    std::string offset_ = "0";
    zembrel::PinkNoiseInput input_;
};

} // namespace

std::vector<std::unique_ptr<GeneratorCommand>> MakeGeneratorCommands() {
    std::vector<std::unique_ptr<GeneratorCommand>> commands;
    commands.push_back(std::make_unique<SineCommand>());
    commands.push_back(std::make_unique<FunctionCommand>());
    commands.push_back(std::make_unique<AmCommand>());
    commands.push_back(std::make_unique<FmCommand>());
    commands.push_back(std::make_unique<SweepCommand>());
    commands.push_back(std::make_unique<PnSineCommand>());
    commands.push_back(std::make_unique<WhiteCommand>());
    commands.push_back(std::make_unique<PinkCommand>());
    return commands;
}

} // namespace cli
