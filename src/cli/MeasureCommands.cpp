#include "cli/MeasureCommands.h"

#include "cli/MeasureFiles.h"
#include "cli/Options.h"
#include "cli/Terminal.h"

#include "core/generators/SyncSweep.h"
#include "core/measure/PulsePlayRecord.h"
#include "core/measure/ResponseRows.h"
#include "core/measure/SweepDeconvolution.h"
#include "core/measure/SweepJson.h"
#include "core/signal/AudioFileWrite.h"

#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <memory>
#include <optional>
#include <stdexcept>

namespace cli {

namespace {

void Print(const std::string& text) {
    std::fwrite(text.data(), 1, text.size(), stdout);
}

// JSON has no NaN or infinity: unknown levels are null.
nlohmann::json Finite(double value) {
    return std::isfinite(value) ? nlohmann::json(value) : nlohmann::json(nullptr);
}

void AddSweepOptions(CLI::App& command, SweepOptions& o, bool required) {
    auto* start =
        command.add_option("--start", o.Start, "Start frequency f1 in Hz")->type_name("F1");
    auto* stop = command
                     .add_option("--stop", o.Stop,
                                 "Stop frequency f2 in Hz, at most half "
                                 "the sample rate")
                     ->type_name("F2");
    auto* length = command
                       .add_option("--length", o.Length,
                                   "Length in s; the real length "
                                   "follows from f1 L being whole")
                       ->type_name("T");
    if (required) {
        Required(start);
        Required(stop);
        Required(length);
    } else {
        start->capture_default_str();
        stop->capture_default_str();
        length->capture_default_str();
    }
    command.add_option("--fade-in", o.FadeIn, "Half-Hann fade-in in ms")
        ->capture_default_str()
        ->type_name("MS");
    command.add_option("--fade-out", o.FadeOut, "Half-Hann fade-out in ms")
        ->capture_default_str()
        ->type_name("MS");
    command.add_option("--pre", o.Pre, "Silence before the sweep in s")
        ->capture_default_str()
        ->type_name("S");
    command.add_option("--post", o.Post, "Silence after the sweep in s")
        ->capture_default_str()
        ->type_name("S");
    command.add_option("--level", o.Level, "Peak level in dBFS, at most 0")
        ->capture_default_str()
        ->type_name("DB");
}

zembrel::SyncSweepInput ReadSweep(const SweepOptions& o, double rateHz) {
    zembrel::SyncSweepInput input;
    input.StartHz = ParseNumber("--start", o.Start);
    input.StopHz = ParseNumber("--stop", o.Stop);
    input.LengthS = ParseNumber("--length", o.Length);
    input.FadeInMs = ParseNumber("--fade-in", o.FadeIn);
    input.FadeOutMs = ParseNumber("--fade-out", o.FadeOut);
    input.PreS = ParseNumber("--pre", o.Pre);
    input.PostS = ParseNumber("--post", o.Post);
    input.LevelDb = ParseNumber("--level", o.Level);
    input.RateHz = rateHz;
    return input;
}

zembrel::SyncSweep MakeSweep(const zembrel::SyncSweepInput& input) {
    try {
        return zembrel::SyncSweep(input);
    } catch (const std::invalid_argument& e) {
        throw UsageError("these options cannot make a sweep", e.what());
    }
}

nlohmann::json SweepJson(const zembrel::SyncSweep& sweep) {
    const zembrel::SyncSweepInput& in = sweep.Input();
    return {{"start_hz", in.StartHz},
            {"stop_hz", in.StopHz},
            {"length_s", sweep.LengthS()},
            {"requested_length_s", in.LengthS},
            {"L_s", sweep.L()},
            {"pre_s", in.PreS},
            {"post_s", in.PostS},
            {"fade_in_ms", in.FadeInMs},
            {"fade_out_ms", in.FadeOutMs},
            {"level_db", in.LevelDb},
            {"rate_hz", in.RateHz},
            {"sweep_samples", sweep.SweepSamples()},
            {"samples", sweep.TotalSamples()}};
}

zembrel::SyncSweepInput ReadSweepJson(const std::string& path) {
    try {
        return zembrel::ReadSweepJson(path);
    } catch (const std::runtime_error& e) {
        throw UsageError(Quoted("--sweep-json", path) + ": " + e.what());
    }
}

void AddResultOptions(CLI::App& command, ResultOptions& o) {
    command.add_option("--ir", o.Ir, "Write the linear impulse response as a 32-bit float WAV")
        ->type_name("IR.wav");
    command
        .add_option("--response", o.Response, "Write frequency_hz,magnitude_db,phase_deg as CSV")
        ->type_name("R.csv");
    command
        .add_option("--distortion", o.Distortion,
                    "Write frequency_hz,h2_db..h5_db,thd_db,thd_percent as CSV")
        ->type_name("D.csv");
    command.add_option("--smooth", o.Smooth, "1/N-octave smoothing: 1, 3, 6, 12, 24 or 48")
        ->type_name("N");
    command.add_flag("--json", o.Json, "Print the results as JSON");
}

zembrel::DeconvolutionOptions ReadResultOptions(const ResultOptions& o) {
    zembrel::DeconvolutionOptions options;
    options.Smoothing = static_cast<int>(ParseInteger("--smooth", o.Smooth, 0, 48));
    if (options.Smoothing != 0 && options.Smoothing != 1 && options.Smoothing % 3 != 0) {
        throw UsageError(Quoted("--smooth", o.Smooth) + ": must be 1, 3, 6, 12, 24 or 48");
    }
    if (options.Smoothing > 1 && 48 % options.Smoothing != 0) {
        throw UsageError(Quoted("--smooth", o.Smooth) + ": must be 1, 3, 6, 12, 24 or 48");
    }
    return options;
}

zembrel::SweepResponse Analyse(const std::function<zembrel::SweepResponse()>& run) {
    try {
        return run();
    } catch (const std::invalid_argument& e) {
        throw UsageError("cannot deconvolve", e.what());
    }
}

// Writes the files asked for, all or none, and prints the results.
int Report(const zembrel::SweepResponse& r, const ResultOptions& o, bool reference) {
    StagedFiles files;
    std::vector<double> impulse(r.Impulse.begin(), r.Impulse.end());
    if (!o.Ir.empty()) {
        files.AddAudio(o.Ir, impulse, r.RateHz, Float32Wav());
    }
    if (!o.Response.empty()) {
        files.AddText(o.Response, zembrel::ResponseCsv(r.Response));
    }
    if (!o.Distortion.empty()) {
        if (reference) {
            throw UsageError("--distortion: a reference gives the linear response only");
        }
        files.AddText(o.Distortion, zembrel::DistortionCsv(r.Distortion));
    }
    if (Interrupted()) {
        return kExitInterrupted;
    }
    try {
        files.Commit();
    } catch (const std::runtime_error& e) {
        std::fprintf(stderr, "zembrel-cli: cannot write %s\n", e.what());
        return kExitWriteFailed;
    }
    if (r.Clipped) {
        std::fprintf(stderr, "warning: the recording reached full scale: it may have clipped\n");
    }
    if (o.Json) {
        nlohmann::json out = {
            {"rate_hz", r.RateHz},
            {"latency_samples", r.LatencySamples},
            {"latency_ms", r.LatencyMs},
            {"noise_floor_db", r.NoiseFloorDb ? Finite(*r.NoiseFloorDb) : nlohmann::json(nullptr)},
            {"clipped", r.Clipped}};
        nlohmann::json response = nlohmann::json::array();
        for (const zembrel::ResponsePoint& p : r.Response) {
            response.push_back({{"frequency_hz", p.FrequencyHz},
                                {"magnitude_db", Finite(p.MagnitudeDb)},
                                {"phase_deg", Finite(p.PhaseDeg)}});
        }
        out["response"] = std::move(response);
        nlohmann::json distortion = nlohmann::json::array();
        for (const zembrel::DistortionPoint& p : r.Distortion) {
            distortion.push_back({{"frequency_hz", p.FrequencyHz},
                                  {"h2_db", Finite(p.HarmonicDb[0])},
                                  {"h3_db", Finite(p.HarmonicDb[1])},
                                  {"h4_db", Finite(p.HarmonicDb[2])},
                                  {"h5_db", Finite(p.HarmonicDb[3])},
                                  {"thd_db", Finite(p.ThdDb)},
                                  {"thd_percent", Finite(p.ThdPercent)}});
        }
        out["distortion"] = std::move(distortion);
        Print(out.dump(1) + "\n");
        return kExitOk;
    }
    char text[256];
    std::snprintf(text, sizeof text, "latency: %lld samples (%.3f ms)\n",
                  static_cast<long long>(r.LatencySamples), r.LatencyMs);
    std::string summary = text;
    if (r.NoiseFloorDb) {
        std::snprintf(text, sizeof text, "noise floor: %.1f dBFS RMS\n", *r.NoiseFloorDb);
        summary += text;
    }
    double worst = -INFINITY;
    for (const zembrel::DistortionPoint& p : r.Distortion) {
        worst = std::max(worst, p.ThdDb);
    }
    if (!r.Distortion.empty()) {
        std::snprintf(text, sizeof text, "highest THD: %.1f dB\n", worst);
        summary += text;
    }
    Print(summary);
    return kExitOk;
}

} // namespace

CLI::App* SyncSweepCommand::AddTo(CLI::App& app) {
    CLI::App* command = command_ = app.add_subcommand(
        "sync-sweep", "A synchronized exponential sweep for measuring a device: its harmonics "
                      "stay in phase, so a deconvolution separates them");
    AddSweepOptions(*command, sweep_, true);
    command->add_option("--rate", rate_, "Sample rate in Hz")->capture_default_str();
    command
        ->add_option("--bits", bits_,
                     "Sample format: 8, 16, 24, 32 bit PCM, or 32f (also: float), 64f float "
                     "(FLAC: 16, 24)")
        ->capture_default_str()
        ->type_name("8|16|24|32|32f|64f");
    command
        ->add_option("--format", format_,
                     "File format: wav or flac; default from the output's extension")
        ->type_name("wav|flac");
    command
        ->add_option("--dither", dither_,
                     "none, or tpdf (2 LSB peak-to-peak) before rounding; integer formats only")
        ->capture_default_str()
        ->type_name("none|tpdf");
    command->add_option("--seed", seed_, "Start of the dither, 0 ... 4294967295; default 0")
        ->type_name("N");
    Required(command->add_option("-o,--output", output_, "The file to write (.wav or .flac)"));
    command->add_flag("--json", json_, "Print the sweep's parameters as JSON");
    return command;
}

int SyncSweepCommand::Execute() {
    CheckRequired(*command_);
    const double rate = ParseNumber("--rate", rate_);
    // "float" is what this command first called 32-bit float; scripts may still say it.
    zembrel::AudioWriteOptions format =
        ReadWriteOptions(bits_ == "float" ? "32f" : bits_, format_, dither_, output_);
    if (!seed_.empty()) {
        format.Seed = static_cast<std::uint64_t>(
            ParseInteger("--seed", seed_, 0, std::numeric_limits<std::uint32_t>::max()));
    }
    const std::string refused = zembrel::CheckWriteFormat(format, 1);
    if (!refused.empty()) {
        throw UsageError(Quoted("--bits", bits_) + ": " + refused);
    }
    const zembrel::SyncSweep sweep = MakeSweep(ReadSweep(sweep_, rate));
    const std::vector<double> samples = sweep.Samples();
    StagedFiles files;
    files.AddAudio(output_, samples, rate, format);
    try {
        files.Commit();
    } catch (const std::runtime_error& e) {
        std::fprintf(stderr, "zembrel-cli sync-sweep: cannot write %s\n", e.what());
        return kExitWriteFailed;
    }
    if (json_) {
        nlohmann::json out = SweepJson(sweep);
        out["file"] = output_;
        out["bits"] = bits_;
        Print(out.dump(2) + "\n");
    }
    return kExitOk;
}

CLI::App* DeconvolveCommand::AddTo(CLI::App& app) {
    CLI::App* command = command_ = app.add_subcommand(
        "deconvolve", "The impulse, frequency and harmonic responses of a device from a "
                      "recording of a sweep through it");
    Required(command->add_option("REC", recording_, "The recording (WAV; the first channel)"));
    AddSweepOptions(*command, sweep_, false);
    command->add_option("--sweep-json", sweepJson_, "The parameters sync-sweep --json printed")
        ->type_name("FILE");
    command
        ->add_option("--reference", reference_,
                     "Any excitation as a WAV file: linear response only")
        ->type_name("FILE");
    AddResultOptions(*command, results_);
    return command;
}

int DeconvolveCommand::Execute() {
    CheckRequired(*command_);
    const bool bySweep =
        command_->count("--start") + command_->count("--stop") + command_->count("--length") > 0;
    if (bySweep + !sweepJson_.empty() + !reference_.empty() != 1) {
        throw UsageError("give the sweep as --start, --stop and --length, or --sweep-json FILE, "
                         "or --reference FILE");
    }
    const zembrel::DeconvolutionOptions options = ReadResultOptions(results_);
    const Recording recording = ReadRecording(recording_);
    zembrel::SweepResponse result;
    if (!reference_.empty()) {
        const Recording reference = ReadRecording(reference_);
        result = Analyse([&] {
            return zembrel::SweepDeconvolution::AnalyseReference(
                recording.Samples, recording.RateHz, reference.Samples, reference.RateHz, options);
        });
    } else {
        if (bySweep) {
            for (const char* name : {"--start", "--stop", "--length"}) {
                if (command_->count(name) == 0) {
                    throw UsageError(std::string(name) + " is required with the sweep's options");
                }
            }
        }
        const zembrel::SyncSweepInput input =
            bySweep ? ReadSweep(sweep_, recording.RateHz) : ReadSweepJson(sweepJson_);
        const zembrel::SyncSweep sweep = MakeSweep(input);
        result = Analyse([&] {
            return zembrel::SweepDeconvolution::Analyse(recording.Samples, recording.RateHz, sweep,
                                                        options);
        });
    }
    return Report(result, results_, !reference_.empty());
}

CLI::App* MeasureCommand::AddTo(CLI::App& app) {
    CLI::App* command = command_ = app.add_subcommand(
        "measure", "Play the sweep on an output device while recording an input device, then "
                   "deconvolve the recording");
    command->add_flag("--list-devices", list_, "Name the output and input devices and stop");
    command->add_option("--output-device", output_,
                        "Output device by name (default: the "
                        "default output)");
    command->add_option("--input-device", input_,
                        "Input device by name (default: the default "
                        "input)");
    command->add_option("--keep-recording", keep_, "Also write the recording (32-bit float WAV)")
        ->type_name("FILE");
    command->add_option("--rate", rate_, "Sample rate in Hz (default: the output device's)");
    command
        ->add_option("--timeout", timeout_,
                     "Seconds beyond the sweep to wait for the sound "
                     "server before giving up")
        ->capture_default_str();
    AddSweepOptions(*command, sweep_, false);
    AddResultOptions(*command, results_);
    return command;
}

int MeasureCommand::Execute() {
    CheckRequired(*command_);
    const double timeout = ParseNumber("--timeout", timeout_);
    if (timeout <= 0.0) {
        throw UsageError(Quoted("--timeout", timeout_) + ": must be above 0");
    }
    zembrel::AudioDevices devices;
    try {
        devices = zembrel::PulsePlayRecord::ListDevices(timeout);
    } catch (const std::runtime_error& e) {
        std::fprintf(stderr, "zembrel-cli measure: %s\n", e.what());
        return kExitFailure;
    }
    if (list_) {
        std::string text;
        for (const auto& [title, list] : {std::pair{"output devices:\n", &devices.Outputs},
                                          {"input devices:\n", &devices.Inputs}}) {
            text += title;
            for (const zembrel::AudioDevice& d : *list) {
                char line[512];
                std::snprintf(line, sizeof line, "%s %s (%s, %.0f Hz)\n", d.IsDefault ? "*" : " ",
                              d.Name.c_str(), d.Description.c_str(), d.RateHz);
                text += line;
            }
        }
        Print(text);
        return kExitOk;
    }
    auto find = [](const std::vector<zembrel::AudioDevice>& list, const std::string& name,
                   const char* kind) -> const zembrel::AudioDevice* {
        for (const zembrel::AudioDevice& d : list) {
            if (name.empty() ? d.IsDefault : d.Name == name) {
                return &d;
            }
        }
        if (!name.empty()) {
            throw UsageError("there is no " + std::string(kind) + " device named \"" + name +
                             "\" (zembrel-cli measure --list-devices names them)");
        }
        return nullptr;
    };
    const zembrel::AudioDevice* output = find(devices.Outputs, output_, "output");
    find(devices.Inputs, input_, "input");
    const double rate = !rate_.empty()      ? ParseNumber("--rate", rate_)
                        : output != nullptr ? output->RateHz
                                            : 48000.0;
    const zembrel::DeconvolutionOptions options = ReadResultOptions(results_);
    const zembrel::SyncSweep sweep = MakeSweep(ReadSweep(sweep_, rate));
    const std::vector<double> play = sweep.Samples();
    std::vector<double> recorded;
    try {
        // The tail: the post silence and half a second for the device's latency.
        recorded = zembrel::PulsePlayRecord::Run(
            play, rate, output_, input_, 0.5, sweep.TotalSamples() / rate + timeout, Interrupted);
    } catch (const zembrel::MeasurementStopped&) {
        return kExitInterrupted;
    } catch (const std::runtime_error& e) {
        std::fprintf(stderr, "zembrel-cli measure: %s\n", e.what());
        return kExitFailure;
    }
    if (!keep_.empty()) {
        StagedFiles files;
        files.AddAudio(keep_, recorded, rate, Float32Wav());
        try {
            files.Commit();
        } catch (const std::runtime_error& e) {
            std::fprintf(stderr, "zembrel-cli measure: cannot write %s\n", e.what());
            return kExitWriteFailed;
        }
    }
    const zembrel::SweepResponse result = Analyse(
        [&] { return zembrel::SweepDeconvolution::Analyse(recorded, rate, sweep, options); });
    return Report(result, results_, false);
}

Commands MakeMeasureCommands() {
    Commands commands;
    commands.push_back(std::make_unique<SyncSweepCommand>());
    commands.push_back(std::make_unique<DeconvolveCommand>());
    commands.push_back(std::make_unique<MeasureCommand>());
    return commands;
}

} // namespace cli
