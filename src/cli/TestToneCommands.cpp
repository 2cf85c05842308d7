#include "cli/TestToneCommands.h"

#include "core/generators/InputRules.h"
#include "core/generators/TestTones.h"
#include "core/signal/SignalBase.h"

#include <CLI/CLI.hpp>

#include <cstdio>
#include <string>
#include <utility>

namespace cli {

namespace {

using zembrel::CalculationObserver;
using zembrel::GeneratorStatus;
using zembrel::SignalBase;

void AddPeakLevel(CLI::App& command, std::string& level) {
    command.add_option("--level", level, "Level of the total peak in dB below full scale, <= 0")
        ->capture_default_str()
        ->type_name("DB");
}

// A test tone: a generator without progress, with the peak level of its sum.
class ToneCommand : public GeneratorCommand {
protected:
    ToneCommand(std::string name, std::string description, bool randomPhases = false)
        : GeneratorCommand({std::move(name), std::move(description), randomPhases, false}) {}

    std::string level_ = "0"; // dB of the total peak below full scale
};

class Aes17Command : public ToneCommand {
public:
    Aes17Command() : ToneCommand("aes17", "The 997 Hz test tone of AES17") {}

protected:
    void AddOptions(CLI::App& command) override { AddPeakLevel(command, level_); }

    void Prepare(double) override {
        levelValue_ = ParseNumber("--level", level_);
        RefusedOptions refused;
        refused.Add(zembrel::IsValidLevel(levelValue_), "--level", level_);
        refused.ThrowIfAny(zembrel::kTestToneErrorText);
    }

    GeneratorStatus Run(SignalBase& signal, std::optional<std::uint32_t>,
                        CalculationObserver& observer) override {
        return zembrel::GenerateAes17Tone(signal, levelValue_, observer);
    }

private:
    double levelValue_ = 0.0;
};

class TwinToneCommand : public ToneCommand {
public:
    TwinToneCommand()
        : ToneCommand("twin-tone",
                      "Two tones for intermodulation: SMPTE 60 Hz + 7 kHz and DIN 250 Hz + "
                      "8 kHz at 4:1, CCIF 19 kHz + 20 kHz at 1:1") {}

protected:
    void AddOptions(CLI::App& command) override {
        command.add_option("--standard", standard_, "smpte, din or ccif")
            ->capture_default_str()
            ->type_name("NAME");
        AddPeakLevel(command, level_);
    }

    void Prepare(double sampleRate) override {
        standardValue_ = static_cast<zembrel::ImdStandard>(
            ParseChoice("--standard", standard_, {"smpte", "din", "ccif"}));
        levelValue_ = ParseNumber("--level", level_);
        const auto check = zembrel::CheckTwinTone(standardValue_, levelValue_, sampleRate);
        RefusedOptions refused;
        refused.Add(check.Level, "--level", level_);
        refused.Add(check.SampleRate, "--standard", standard_,
                    "its high tone needs a higher --rate");
        refused.ThrowIfAny(zembrel::kTestToneErrorText);
    }

    GeneratorStatus Run(SignalBase& signal, std::optional<std::uint32_t>,
                        CalculationObserver& observer) override {
        return zembrel::GenerateTwinTone(signal, standardValue_, levelValue_, observer);
    }

private:
    std::string standard_ = "smpte";
    zembrel::ImdStandard standardValue_ = zembrel::ImdStandard::Smpte;
    double levelValue_ = 0.0;
};

class MultitoneCommand : public ToneCommand {
public:
    MultitoneCommand()
        : ToneCommand("multitone",
                      "Tones of equal amplitude spaced by a fraction of an octave, on the bin "
                      "centres of an analysis length, with phases for a low crest factor "
                      "(printed)",
                      true) {}

protected:
    void AddOptions(CLI::App& command) override {
        command.add_option("--low", low_, "Lowest tone in Hz, >= 1")->capture_default_str();
        command.add_option("--high", high_, "Highest tone in Hz, below fs/2")
            ->capture_default_str();
        command.add_option("--per-octave", perOctave_, "Tones per octave, 1 ... 12")
            ->capture_default_str();
        command
            .add_option("--analysis-length", length_,
                        "FFT length whose bin centres the tones sit on, 1024 ... 1048576")
            ->capture_default_str()
            ->type_name("N");
        command
            .add_option("--phases", phases_,
                        "low-crest (Newman's phases, searched on for a lower peak), newman, "
                        "schroeder or random (uses --seed)")
            ->capture_default_str()
            ->type_name("NAME");
        AddPeakLevel(command, level_);
    }

    void Prepare(double sampleRate) override {
        input_.Low = ParseNumber("--low", low_);
        input_.High = ParseNumber("--high", high_);
        input_.TonesPerOctave = ParseNumber("--per-octave", perOctave_);
        input_.AnalysisLength =
            static_cast<std::int32_t>(ParseInteger("--analysis-length", length_, 0, 1 << 30));
        input_.Phases = static_cast<zembrel::MultitonePhases>(
            ParseChoice("--phases", phases_, {"low-crest", "newman", "schroeder", "random"}));
        input_.Level = ParseNumber("--level", level_);
        const auto check = zembrel::CheckMultitone(input_, sampleRate);
        RefusedOptions refused;
        refused.Add(check.Low, "--low", low_);
        refused.Add(check.High, "--high", high_);
        refused.Add(check.TonesPerOctave, "--per-octave", perOctave_);
        refused.Add(check.AnalysisLength, "--analysis-length", length_);
        refused.Add(check.Level, "--level", level_);
        refused.ThrowIfAny(zembrel::kTestToneErrorText);
    }

    GeneratorStatus Run(SignalBase& signal, std::optional<std::uint32_t> seed,
                        CalculationObserver& observer) override {
        double crest = 0.0;
        const GeneratorStatus status =
            zembrel::GenerateMultitone(signal, input_, seed, observer, &crest);
        if (status == GeneratorStatus::Finished) {
            std::fprintf(stderr, "zembrel-cli multitone: %zu tones, crest factor %.2f dB\n",
                         zembrel::MultitoneBins(input_, signal.SampleRate).size(), crest);
        }
        return status;
    }

private:
    std::string low_ = "20";
    std::string high_ = "20000";
    std::string perOctave_ = "3";
    std::string length_ = "65536";
    std::string phases_ = "low-crest";
    zembrel::MultitoneInput input_;
};

} // namespace

Commands MakeTestToneCommands() {
    Commands commands;
    commands.push_back(std::make_unique<Aes17Command>());
    commands.push_back(std::make_unique<TwinToneCommand>());
    commands.push_back(std::make_unique<MultitoneCommand>());
    return commands;
}

} // namespace cli
