#include "cli/AnalysisCommands.h"

#include "cli/Options.h"

#include "core/analysis/ChannelLevels.h"
#include "core/analysis/FFT.h"
#include "core/analysis/SignalStatistics.h"
#include "core/analysis/SineCalibration.h"
#include "core/analysis/StatisticsText.h"
#include "core/signal/AudioFileRead.h"
#include "core/signal/AudioFormat.h"
#include "core/signal/SignalBase.h"
#include "core/signal/WavError.h"
#include "core/signal/WavFileRead.h"

#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

namespace cli {

namespace {

// A file as the analyses take it: its format and one mono signal per channel.
struct LoadedFile {
    zembrel::AudioFormat Format;
    std::vector<zembrel::SignalBase> Channels;
};

// 8 and 16-bit WAV files the program's own reader takes keep its units (8 bit centred on 128),
// so their figures stay those of the desktop program; every other format comes through
// libsndfile on the 16-bit scale with its resolution kept.
LoadedFile ReadFile(const std::string& path, const std::string& prefix) {
    LoadedFile file;
    try {
        zembrel::WavFileRead reader(path);
        zembrel::SignalBase signal(reader);
        file.Format = {zembrel::AudioContainer::Wav,
                       signal.Bits,
                       false,
                       signal.SampleRate,
                       signal.Channels,
                       signal.SampleCount};
        if (!signal.IsStereo()) {
            file.Channels.push_back(std::move(signal));
            return file;
        }
        for (const zembrel::SampleArray* channel : signal.ChannelArrays()) {
            zembrel::SignalBase mono = signal;
            mono.Channels = 1;
            mono.Mono = *channel;
            zembrel::SampleArray().swap(mono.Left);
            zembrel::SampleArray().swap(mono.Right);
            file.Channels.push_back(std::move(mono));
        }
        return file;
    } catch (const zembrel::WavError&) {
        // Not one of the program's own formats: libsndfile's reader decides.
    }
    try {
        zembrel::AudioFileRead reader(path);
        if (!reader.Warning().empty()) {
            std::fprintf(stderr, "%s: %s: %s\n", prefix.c_str(), path.c_str(),
                         reader.Warning().c_str());
        }
        file.Format = reader.Format();
        file.Channels = zembrel::ReadChannelSignals(reader);
        return file;
    } catch (const zembrel::WavError& e) {
        throw UsageError(e.what());
    }
}

std::string ChannelName(const LoadedFile& file, int c) {
    if (file.Format.Channels == 1) {
        return "mono";
    }
    if (file.Format.Channels == 2) {
        return c == 0 ? "left" : "right";
    }
    return "channel " + std::to_string(c + 1);
}

const char* ContainerName(zembrel::AudioContainer container) {
    switch (container) {
    case zembrel::AudioContainer::Wav:
        return "wav";
    case zembrel::AudioContainer::WavExtensible:
        return "wav-extensible";
    case zembrel::AudioContainer::Rf64:
        return "rf64";
    case zembrel::AudioContainer::Flac:
        return "flac";
    case zembrel::AudioContainer::Aiff:
        return "aiff";
    default:
        return "other";
    }
}

// JSON has no infinity: a silent channel's dBFS figures are null.
nlohmann::json Finite(double value) {
    return std::isfinite(value) ? nlohmann::json(value) : nlohmann::json(nullptr);
}

void Print(const std::string& text) {
    std::fwrite(text.data(), 1, text.size(), stdout);
}

nlohmann::json FileJson(const std::string& path, const LoadedFile& file) {
    const zembrel::AudioFormat& f = file.Format;
    return {{"file", path},
            {"sample_rate", f.SampleRate},
            {"bits", f.Bits},
            {"float", f.Float},
            {"container", ContainerName(f.Container)},
            {"format", zembrel::DescribeFormat(f)},
            {"channels", f.Channels},
            {"frames", f.Frames},
            {"samples", f.Frames}};
}

} // namespace

CLI::App* StatsCommand::AddTo(CLI::App& app) {
    CLI::App* command = command_ = app.add_subcommand(
        "stats", "The Statistics dialog's figures of every channel of an audio file (WAV, "
                 "RF64, FLAC, AIFF; 8 to 32-bit PCM or float), with peak and RMS in dBFS. "
                 "Sample values are in 8 or 16-bit units; other formats on the 16-bit scale");
    Required(command->add_option("FILE", file_, "The audio file"));
    command->add_flag("--json", json_, "Write JSON instead of text");
    return command;
}

int StatsCommand::Execute() {
    CheckRequired(*command_);
    const LoadedFile file = ReadFile(file_, "zembrel-cli stats");
    std::vector<zembrel::SignalStatistics> figures;
    for (const zembrel::SignalBase& channel : file.Channels) {
        figures.emplace_back(channel);
    }
    const auto channels = static_cast<int>(file.Channels.size());

    if (json_) {
        nlohmann::json out = FileJson(file_, file);
        out["statistics"] = nlohmann::json::array();
        for (int c = 0; c < channels; ++c) {
            const zembrel::SignalStatistics& statistics = figures[static_cast<std::size_t>(c)];
            const int s = 0;
            out["statistics"].push_back({
                {"channel", ChannelName(file, c)},
                // Whole numbers, as the dialog shows them.
                {"max_sample_value", static_cast<long long>(std::trunc(statistics.Maximum(s)))},
                {"min_sample_value", static_cast<long long>(std::trunc(statistics.Minimum(s)))},
                {"dc_offset_percent", statistics.DCOffset(s)},
                {"arithmetic_mean_value", statistics.Mean(s)},
                {"average_rms_value", statistics.RMS(s)},
                {"crest_factor", statistics.CrestFactor(s)},
                {"peak_dbfs", Finite(statistics.PeakDbfs(s))},
                {"rms_dbfs", Finite(statistics.RmsDbfs(s))},
            });
        }
        Print(out.dump(2) + "\n");
        return kExitOk;
    }

    const zembrel::AudioFormat& f = file.Format;
    std::string text =
        file_ + ": " + zembrel::WholeText(f.SampleRate) + " Hz, " + std::to_string(f.Bits) +
        (f.Float ? " bit float, " : " bit, ") + std::to_string(f.Channels) +
        (f.Channels == 1 ? " channel, " : " channels, ") + std::to_string(f.Frames) + " samples\n";
    for (int c = 0; c < channels; ++c) {
        const zembrel::SignalStatistics& statistics = figures[static_cast<std::size_t>(c)];
        const int s = 0;
        // The figures as the dialog shows them, then the levels audio tools quote.
        const std::pair<const char*, std::string> rows[] = {
            {"Max Sample Value:", zembrel::WholeText(statistics.Maximum(s))},
            {"Min Sample Value:", zembrel::WholeText(statistics.Minimum(s))},
            {"DC Offset:", zembrel::FixedText(statistics.DCOffset(s), 3) + " %"},
            {"Arithmetic Mean Value:", zembrel::FixedText(statistics.Mean(s), 3)},
            {"Average RMS Value:", zembrel::FixedText(statistics.RMS(s), 1)},
            {"Crest Factor:", zembrel::FixedText(statistics.CrestFactor(s), 3)},
            {"Peak Level:", zembrel::FixedText(statistics.PeakDbfs(s), 3) + " dBFS"},
            {"RMS Level:", zembrel::FixedText(statistics.RmsDbfs(s), 3) + " dBFS"},
        };
        text += ChannelName(file, c) + "\n";
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
        "spectrum", "The Frequency Analyser's levels of one channel of an audio file (every format "
                    "stats reads): one row per bin, frequency in Hz and level in dB");
    Required(command->add_option("FILE", file_, "The audio file"));
    command->add_option("--len", length_, "FFT length: 1024, 2048, ..., 65536")
        ->capture_default_str()
        ->type_name("N");
    command
        ->add_option("--window", window_,
                     "hanning, hamming, blackman, blackman-harris, rectangular or flat-top")
        ->capture_default_str()
        ->type_name("NAME");
    command
        ->add_option("--channel", channel_,
                     "left or right (a mono file has left only); 1 ... N for more channels")
        ->capture_default_str()
        ->type_name("left|right");
    command
        ->add_option("--scale", scale_,
                     "analyser: the analyser's levels (noise-calibrated); dbfs: a sine of -6 "
                     "dBFS peak reads -6 dB (coherent gain corrected)")
        ->capture_default_str()
        ->type_name("analyser|dbfs");
    command->add_flag("--average", average_,
                      "Average the whole channel (Welch, 50 % overlap) instead of its first block");
    auto* csv = command->add_flag("--csv", csv_, "Write CSV with a header line");
    command->add_flag("--json", json_, "Write JSON")->excludes(csv);
    return command;
}

int SpectrumCommand::Execute() {
    CheckRequired(*command_);
    static const std::vector<std::string> windows = {"hanning",         "hamming",     "blackman",
                                                     "blackman-harris", "rectangular", "flat-top"};
    static_assert(zembrel::FFT::Rectangular == 4 && zembrel::FFT::FlatTop == 5);
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
    const bool dbfs = ParseChoice("--scale", scale_, {"analyser", "dbfs"}) == 1;
    const LoadedFile file = ReadFile(file_, "zembrel-cli spectrum");
    const int channels = file.Format.Channels;
    int channel = 0;
    if (channels <= 2) {
        channel = ParseChoice("--channel", channel_, {"left", "right"});
        if (channel == 1 && channels == 1) {
            throw UsageError(Quoted("--channel", channel_) + ": " + file_ + " is mono");
        }
    } else {
        channel = static_cast<int>(ParseInteger("--channel", channel_, 1, channels)) - 1;
    }
    const zembrel::SignalBase& signal = file.Channels[static_cast<std::size_t>(channel)];

    const auto n = static_cast<std::int32_t>(length);
    zembrel::AveragedLevels spectrum =
        average_ ? zembrel::AverageChannelLevels(signal, n, window, 0)
                 : zembrel::AveragedLevels{zembrel::ChannelLevels(signal, n, window, 0), 1};
    std::vector<double>& levels = spectrum.Levels;
    if (dbfs) {
        const double calibration = zembrel::SineCalibrationDb(window, n);
        for (double& level : levels) {
            level += calibration;
        }
    }
    if (json_) {
        nlohmann::json out = FileJson(file_, file);
        out["fft_length"] = n;
        out["window"] = windows[window];
        out["channel"] = ChannelName(file, channel);
        out["scale"] = dbfs ? "dbfs" : "analyser";
        out["blocks"] = spectrum.Blocks;
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
