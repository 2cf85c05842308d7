#pragma once

#include "cli/Command.h"
#include "cli/Options.h"

#include "core/analysis/LevelTarget.h"
#include "core/generators/Generate.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace CLI {
class App;
}

namespace zembrel {
class CalculationObserver;
class SignalBase;
} // namespace zembrel

namespace cli {

// What a generating subcommand is, beyond its own options.
struct GeneratorTraits {
    std::string Name;        // the subcommand, as typed
    std::string Description; // one line for --help, naming the dialog
    // The generator draws pseudo-random phases: the command takes --seed, and -v prints the
    // seed it took.
    bool RandomPhases = false;
    // A calculation that can take seconds: a progress bar on a terminal's standard error.
    bool ShowsProgress = false;
};

// One generating subcommand: the fields of its dialog as options. The shared part of every run
// (format, seed, progress, Ctrl+C, output) is Execute's; a generator only reads and checks its
// own options and calls its core entry point.
class GeneratorCommand : public Command {
public:
    // Adds the subcommand with the shared options and the generator's own.
    CLI::App* AddTo(CLI::App& app) override;

    int Execute() override;

protected:
    explicit GeneratorCommand(GeneratorTraits traits);

    virtual void AddOptions(CLI::App& command) = 0;

    // Reads and checks the generator's own options for a signal of the given sample rate. A
    // value that cannot be read throws a UsageError naming it; values out of range throw one
    // naming every option in error, with the generator's error text as its detail.
    virtual void Prepare(double sampleRate) = 0;

    // The core entry point, on the silent signal of the requested format.
    virtual zembrel::GeneratorStatus Run(zembrel::SignalBase& signal,
                                         std::optional<std::uint32_t> seed,
                                         zembrel::CalculationObserver& observer) = 0;

    // The seed the program would take from the clock for this generator.
    virtual std::uint32_t ClockSeed() const;

private:
    GeneratorTraits traits_;
    CLI::App* command_ = nullptr;
    FormatOptions format_;
    std::string output_;
    std::string seed_;
    std::string rms_;  // --rms DB, instead of the peak level
    std::string lufs_; // --lufs LUFS, likewise
    bool verbose_ = false;

    // The RMS or loudness target, if one was given: read and checked.
    struct LevelTarget {
        const char* Option;
        zembrel::LevelMeasure Measure;
        double Value;
    };
    std::optional<LevelTarget> ReadLevelTarget() const;
};

// Collects the options whose values a check refused, for the one-line message.
class RefusedOptions {
public:
    void Add(bool acceptable, const std::string& option, const std::string& text,
             const std::string& what = {});
    // Throws the UsageError when anything was refused; detail is the generator's error text.
    void ThrowIfAny(const char* detail) const;

private:
    std::string named_;
};

// --level, the dialogs' Level: dB of the peak below full scale, "0" by default.
CLI::Option* AddLevel(CLI::App& command, std::string& level);

// Every generating subcommand, in the order of the program's Generator menu.
Commands MakeGeneratorCommands();

} // namespace cli
