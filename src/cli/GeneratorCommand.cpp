#include "cli/GeneratorCommand.h"

#include "cli/Output.h"
#include "cli/Terminal.h"

#include "core/generators/RandomNumberGenerator.h"
#include "core/signal/OutputFormatRules.h"
#include "core/signal/SignalBase.h"

#include <CLI/CLI.hpp>

#include <unistd.h>

#include <cstdio>
#include <limits>
#include <stdexcept>

namespace cli {

GeneratorCommand::GeneratorCommand(GeneratorTraits traits) : traits_(std::move(traits)) {}

CLI::App* GeneratorCommand::AddTo(CLI::App& app) {
    command_ = app.add_subcommand(traits_.Name, traits_.Description);
    CLI::App* command = command_;
    AddOptions(*command);
    format_.AddTo(*command);
    Required(command->add_option("-o,--output", output_,
                                 "The file to write (.wav or .flac), or - for standard output"))
        ->type_name("FILE");
    command
        ->add_option("--seed", seed_,
                     traits_.RandomPhases
                         ? "Start of the pseudo-random phases and of the dither, 0 ... "
                           "4294967295, to repeat a run; default from the clock"
                         : "Start of the dither, 0 ... 4294967295, to repeat a run; "
                           "default from the clock")
        ->type_name("N");
    command->add_flag("-v,--verbose", verbose_, "Print the seed and what was written");
    CLI::Option* rms =
        command
            ->add_option("--rms", rms_,
                         "Scale the signal so that the RMS of all its channels is DB relative "
                         "to full scale (a full-scale sine reads -3.01), <= 0; instead of the "
                         "peak level")
            ->type_name("DB");
    CLI::Option* lufs =
        command
            ->add_option("--lufs", lufs_,
                         "Scale the signal to this integrated loudness (ITU-R BS.1770), <= 0, "
                         "at least 400 ms long; instead of the peak level")
            ->type_name("LUFS");
    rms->excludes(lufs);
    // A level target sets the whole scale: the peak level and the 0 dB amplitude go with it.
    for (const char* name : {"--level", "--norm"}) {
        if (CLI::Option* other = command->get_option_no_throw(name)) {
            rms->excludes(other);
            lufs->excludes(other);
        }
    }
    return command;
}

std::optional<GeneratorCommand::LevelTarget> GeneratorCommand::ReadLevelTarget() const {
    const bool byRms = !rms_.empty();
    if (!byRms && lufs_.empty()) {
        return std::nullopt;
    }
    const char* option = byRms ? "--rms" : "--lufs";
    const std::string& text = byRms ? rms_ : lufs_;
    const double value = ParseNumber(option, text);
    // Below -200 dB every integer format holds only zeros.
    if (value > 0.0 || value < -200.0) {
        throw UsageError("out of range: " + Quoted(option, text) + " (-200 ... 0)");
    }
    return LevelTarget{option, byRms ? zembrel::LevelMeasure::Rms : zembrel::LevelMeasure::Loudness,
                       value};
}

std::uint32_t GeneratorCommand::ClockSeed() const {
    return zembrel::RandomNumberGenerator::SeedFromTime();
}

int GeneratorCommand::Execute() {
    CheckRequired(*command_);
    zembrel::OutputFormatInput format = format_.Read(output_);
    const std::optional<LevelTarget> target = ReadLevelTarget();
    format.LevelSetAfterSynthesis = target.has_value();
    if (output_ == "-" && isatty(STDOUT_FILENO)) {
        throw UsageError("-o -: standard output is a terminal; redirect it to a file or a pipe");
    }
    try {
        Prepare(format.SampleRate);
    } catch (const UsageError& e) {
        // The limits at this run's rate, not "fs/2".
        throw UsageError(e.what(), zembrel::WithRateLimits(e.Detail(), format.SampleRate));
    }
    std::optional<std::uint32_t> seed;
    const bool dither = format.Write.Dither != zembrel::DitherKind::None;
    if (traits_.RandomPhases || dither || !seed_.empty()) {
        seed = seed_.empty() ? ClockSeed()
                             : static_cast<std::uint32_t>(ParseInteger(
                                   "--seed", seed_, 0, std::numeric_limits<std::uint32_t>::max()));
        if (verbose_) {
            std::fprintf(stderr, "zembrel-cli %s: seed %lu\n", traits_.Name.c_str(),
                         static_cast<unsigned long>(*seed));
        }
    }

    if (dither) {
        format.Write.Seed = *seed;
    }
    if (!traits_.RandomPhases) {
        seed.reset();
    }
    zembrel::SignalBase signal(format.SampleRate, format.Duration, zembrel::SynthesisBits(format),
                               zembrel::SynthesisNormValue(format), format.Channels);
    zembrel::GeneratorStatus status;
    {
        TerminalProgress progress(traits_.ShowsProgress ? traits_.Name : std::string());
        status = Run(signal, seed, progress);
    }
    if (status == zembrel::GeneratorStatus::Stopped || Interrupted()) {
        std::fprintf(stderr, "zembrel-cli %s: interrupted, nothing written\n",
                     traits_.Name.c_str());
        return kExitInterrupted;
    }
    if (status == zembrel::GeneratorStatus::Invalid) {
        // Prepare refuses everything the entry point refuses; this is a safety net.
        throw UsageError("the input was refused");
    }
    if (target) {
        try {
            const double gainDb = zembrel::ScaleToLevel(signal, zembrel::SynthesisFullScale(format),
                                                        target->Measure, target->Value);
            if (verbose_) {
                std::fprintf(stderr, "zembrel-cli %s: %s %g: scaled by %.3f dB\n",
                             traits_.Name.c_str(), target->Option, target->Value, gainDb);
            }
        } catch (const std::invalid_argument& e) {
            throw UsageError(std::string(target->Option) + ": " + e.what());
        }
    }
    if (!WriteSignal(output_, signal, format, "zembrel-cli " + traits_.Name)) {
        return kExitWriteFailed;
    }
    if (verbose_) {
        std::fprintf(stderr,
                     "zembrel-cli %s: wrote %s: %g Hz, %d bit%s, %d channel%s, %d samples\n",
                     traits_.Name.c_str(), output_ == "-" ? "standard output" : output_.c_str(),
                     signal.SampleRate, format.Write.Bits, format.Write.Float ? " float" : "",
                     static_cast<int>(signal.Channels), signal.Channels == 1 ? "" : "s",
                     static_cast<int>(signal.SampleCount));
    }
    return kExitOk;
}

CLI::Option* AddLevel(CLI::App& command, std::string& level) {
    return command.add_option("--level", level, "Level of the peak in dB below full scale, <= 0")
        ->capture_default_str()
        ->type_name("DB");
}

void RefusedOptions::Add(bool acceptable, const std::string& option, const std::string& text,
                         const std::string& what) {
    if (acceptable) {
        return;
    }
    named_ += (named_.empty() ? "" : ", ") + Quoted(option, text);
    if (!what.empty()) {
        named_ += " (" + what + ")";
    }
}

void RefusedOptions::ThrowIfAny(const char* detail) const {
    if (!named_.empty()) {
        throw UsageError("out of range: " + named_, detail);
    }
}

} // namespace cli
