#include "cli/AnalysisCommands.h"

#include "cli/Options.h"

#include "core/analysis/ChannelLevels.h"
#include "core/analysis/FFT.h"
#include "core/analysis/SignalStatistics.h"
#include "core/analysis/StatisticsText.h"
#include "core/signal/SignalBase.h"
#include "core/signal/WavError.h"
#include "core/signal/WavFileRead.h"

#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include <cmath>
#include <cstdio>
#include <string>

namespace cli {

namespace {

zembrel::SignalBase ReadSignal(const std::string& path) {
    try {
        zembrel::WavFileRead reader(path);
        return zembrel::SignalBase(reader);
    } catch (const zembrel::WavError& e) {
        throw UsageError(e.what());
    }
}

// JSON has no infinity: a silent channel's dBFS figures are null.
nlohmann::json Finite(double value) {
    return std::isfinite(value) ? nlohmann::json(value) : nlohmann::json(nullptr);
}

void Print(const std::string& text) {
    std::fwrite(text.data(), 1, text.size(), stdout);
}

nlohmann::json FileJson(const std::string& path, const zembrel::SignalBase& signal) {
    return {{"file", path},
            {"sample_rate", signal.SampleRate},
            {"bits", signal.Bits},
            {"channels", signal.Channels},
            {"samples", signal.SampleCount}};
}

} // namespace

CLI::App* StatsCommand::AddTo(CLI::App& app) {
    CLI::App* command = command_ = app.add_subcommand(
        "stats", "The Statistics dialog's figures of every channel of a WAV file, with peak and "
                 "RMS in dBFS (full scale 32768 for 16 bit, 128 for 8 bit)");
    Required(command->add_option("FILE", file_, "The WAV file"));
    command->add_flag("--json", json_, "Write JSON instead of text");
    return command;
}

int StatsCommand::Execute() {
    CheckRequired(*command_);
    const zembrel::SignalBase signal = ReadSignal(file_);
    const zembrel::SignalStatistics statistics(signal);
    const std::vector<std::string> names = signal.IsStereo()
                                               ? std::vector<std::string>{"left", "right"}
                                               : std::vector<std::string>{"mono"};

    if (json_) {
        nlohmann::json out = FileJson(file_, signal);
        out["statistics"] = nlohmann::json::array();
        for (int c = 0; c < signal.Channels; ++c) {
            out["statistics"].push_back({
                {"channel", names[c]},
                // Whole numbers, as the dialog shows them.
                {"max_sample_value", static_cast<long long>(std::trunc(statistics.Maximum(c)))},
                {"min_sample_value", static_cast<long long>(std::trunc(statistics.Minimum(c)))},
                {"dc_offset_percent", statistics.DCOffset(c)},
                {"arithmetic_mean_value", statistics.Mean(c)},
                {"average_rms_value", statistics.RMS(c)},
                {"crest_factor", statistics.CrestFactor(c)},
                {"peak_dbfs", Finite(statistics.PeakDbfs(c))},
                {"rms_dbfs", Finite(statistics.RmsDbfs(c))},
            });
        }
        Print(out.dump(2) + "\n");
        return kExitOk;
    }

    std::string text = file_ + ": " + zembrel::WholeText(signal.SampleRate) + " Hz, " +
                       std::to_string(signal.Bits) + " bit, " + std::to_string(signal.Channels) +
                       (signal.Channels == 1 ? " channel, " : " channels, ") +
                       std::to_string(signal.SampleCount) + " samples\n";
    for (int c = 0; c < signal.Channels; ++c) {
        // The figures as the dialog shows them, then the levels audio tools quote.
        const std::pair<const char*, std::string> rows[] = {
            {"Max Sample Value:", zembrel::WholeText(statistics.Maximum(c))},
            {"Min Sample Value:", zembrel::WholeText(statistics.Minimum(c))},
            {"DC Offset:", zembrel::FixedText(statistics.DCOffset(c), 3) + " %"},
            {"Arithmetic Mean Value:", zembrel::FixedText(statistics.Mean(c), 3)},
            {"Average RMS Value:", zembrel::FixedText(statistics.RMS(c), 1)},
            {"Crest Factor:", zembrel::FixedText(statistics.CrestFactor(c), 3)},
            {"Peak Level:", zembrel::FixedText(statistics.PeakDbfs(c), 3) + " dBFS"},
            {"RMS Level:", zembrel::FixedText(statistics.RmsDbfs(c), 3) + " dBFS"},
        };
        text += names[c] + "\n";
        for (const auto& [caption, value] : rows) {
            char line[160];
            std::snprintf(line, sizeof line, "  %-23s %s\n", caption, value.c_str());
            text += line;
        }
    }
    Print(text);
    return kExitOk;
}

CLI::App* SpectrumCommand::AddTo(CLI::App& app) {
    CLI::App* command = command_ = app.add_subcommand(
        "spectrum", "The Frequency Analyser's levels of one channel of a WAV file: one row per "
                    "bin, frequency in Hz and level in dB");
    Required(command->add_option("FILE", file_, "The WAV file"));
    command->add_option("--len", length_, "FFT length: 1024, 2048, ..., 65536")
        ->capture_default_str()
        ->type_name("N");
    command
        ->add_option("--window", window_,
                     "hanning, hamming, blackman, blackman-harris or rectangular")
        ->capture_default_str()
        ->type_name("NAME");
    command->add_option("--channel", channel_, "left or right (a mono file has left only)")
        ->capture_default_str()
        ->type_name("left|right");
    auto* csv = command->add_flag("--csv", csv_, "Write CSV with a header line");
    command->add_flag("--json", json_, "Write JSON")->excludes(csv);
    return command;
}

int SpectrumCommand::Execute() {
    CheckRequired(*command_);
    static const std::vector<std::string> windows = {"hanning", "hamming", "blackman",
                                                     "blackman-harris", "rectangular"};
    static_assert(zembrel::FFT::Rectangular == 4);
    const int window = ParseChoice("--window", window_, windows);
    int index = 0;
    const long long length = ParseInteger("--len", length_, 0, 1LL << 40);
    while (index < 7 && zembrel::AnalyserFftLength(index) != length) {
        ++index;
    }
    if (index == 7) {
        throw UsageError(Quoted("--len", length_) + ": must be one of 1024, 2048, 4096, 8192, "
                                                    "16384, 32768, 65536");
    }
    const int channel = ParseChoice("--channel", channel_, {"left", "right"});
    const zembrel::SignalBase signal = ReadSignal(file_);
    if (channel == 1 && !signal.IsStereo()) {
        throw UsageError(Quoted("--channel", channel_) + ": " + file_ + " is mono");
    }

    const auto n = static_cast<std::int32_t>(length);
    const std::vector<double> levels = zembrel::ChannelLevels(signal, n, window, channel);
    if (json_) {
        nlohmann::json out = FileJson(file_, signal);
        out["fft_length"] = n;
        out["window"] = windows[window];
        out["channel"] = signal.IsStereo() ? (channel == 0 ? "left" : "right") : "mono";
        out["columns"] = {"frequency_hz", "level_db"};
        nlohmann::json bins = nlohmann::json::array();
        for (int k = 0; k < n / 2; ++k) {
            bins.push_back({zembrel::BinFrequency(signal.SampleRate, n, k), levels[k]});
        }
        out["bins"] = std::move(bins);
        Print(out.dump() + "\n");
        return kExitOk;
    }
    Print(zembrel::SpectrumRows(signal.SampleRate, n, levels, csv_ ? ',' : '\t', csv_));
    return kExitOk;
}

Commands MakeAnalysisCommands() {
    Commands commands;
    commands.push_back(std::make_unique<StatsCommand>());
    commands.push_back(std::make_unique<SpectrumCommand>());
    return commands;
}

} // namespace cli
