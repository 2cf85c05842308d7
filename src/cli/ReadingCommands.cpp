#include "cli/ReadingCommands.h"

#include "cli/GeneratorCommand.h"
#include "cli/Options.h"
#include "cli/TestToneCommands.h"

#include "core/analysis/FileReadings.h"
#include "core/analysis/ReadingRows.h"
#include "core/analysis/SignalReadings.h"
#include "core/analysis/StatisticsText.h"
#include "core/signal/AudioFileRead.h"
#include "core/signal/AudioFormat.h"
#include "core/signal/SignalBase.h"
#include "core/signal/WavError.h"

#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include <cmath>
#include <cstdio>

namespace cli {

namespace {

using zembrel::ReadingStatus;

void Print(const std::string& text) {
    std::fwrite(text.data(), 1, text.size(), stdout);
}

// A figure in JSON: its value when the reading has one, else null with the reason in reasons.
void Put(nlohmann::json& object, nlohmann::json& reasons, const std::string& name,
         ReadingStatus status, double value) {
    if (status == ReadingStatus::Ok && std::isfinite(value)) {
        object[name] = value;
    } else {
        object[name] = nullptr;
        reasons[name] = zembrel::ReadingStatusText(
            status == ReadingStatus::Ok ? ReadingStatus::NoSignal : status);
    }
}

nlohmann::json ChannelJson(const zembrel::ChannelReadings& r, const std::string& name,
                           zembrel::ThdConvention convention) {
    nlohmann::json reasons = nlohmann::json::object();
    nlohmann::json c = {{"channel", name}};
    Put(c, reasons, "fundamental_hz", r.Tone.Status, r.Tone.Frequency);
    c["harmonics"] = nlohmann::json::array();
    for (const zembrel::HarmonicReading& h : r.Harmonics.Harmonics) {
        c["harmonics"].push_back({{"n", h.Number},
                                  {"frequency_hz", h.Frequency},
                                  {"level_dbc", h.LevelDbc},
                                  {"percent", h.Percent},
                                  {"in_band", h.InBand}});
    }
    Put(c, reasons, "thd_percent", r.Harmonics.Status, r.Harmonics.Percent(convention));
    Put(c, reasons, "thd_db", r.Harmonics.Status, r.Harmonics.Db(convention));
    c["thd_convention"] =
        convention == zembrel::ThdConvention::RelativeToFundamental ? "fundamental" : "total";
    Put(c, reasons, "thd_n_db", r.ThdN.Status, r.ThdN.ThdNDb);
    Put(c, reasons, "thd_n_percent", r.ThdN.Status, r.ThdN.ThdNPercent);
    Put(c, reasons, "sinad_db", r.ThdN.Status, r.ThdN.SinadDb);
    Put(c, reasons, "noise_floor_dbfs", r.ThdN.Status, r.ThdN.NoiseFloorDbfs);
    c["band_hz"] = {r.ThdN.BandLow, r.ThdN.BandHigh};
    c["notch_width_hz"] = r.ThdN.NotchWidth;
    c["dc"] = r.Dc;
    Put(c, reasons, "crest_factor_db", r.Crest.Status, r.Crest.Db);
    Put(c, reasons, "a_weighted_dbfs", r.Weighted.Status, r.Weighted.ADbfs);
    Put(c, reasons, "c_weighted_dbfs", r.Weighted.Status, r.Weighted.CDbfs);
    Put(c, reasons, "z_weighted_dbfs", r.Weighted.Status, r.Weighted.ZDbfs);
    Put(c, reasons, "sample_peak_dbfs", r.PeakStatus, r.SamplePeakDbfs);
    c["clipped_samples"] = r.ClippedSamples;
    if (r.Imd.Status == ReadingStatus::Ok) {
        nlohmann::json products = nlohmann::json::array();
        for (const zembrel::ImdProduct& p : r.Imd.Products) {
            products.push_back({{"frequency_hz", p.Frequency}, {"level_db", p.LevelDb}});
        }
        c["imd"] = {{"standard", zembrel::TwinToneOf(r.Imd.Standard).Name},
                    {"low_hz", r.Imd.Low},
                    {"high_hz", r.Imd.High},
                    {"imd_percent", r.Imd.Percent},
                    {"imd_db", r.Imd.Db},
                    {"products", products}};
    }
    c["reasons"] = reasons;
    return c;
}

nlohmann::json LoudnessJson(const zembrel::Loudness& l) {
    nlohmann::json reasons = nlohmann::json::object();
    nlohmann::json out = nlohmann::json::object();
    Put(out, reasons, "integrated_lufs", l.Status, l.IntegratedLufs);
    Put(out, reasons, "range_lu", l.Status, l.RangeLu);
    Put(out, reasons, "momentary_max_lufs", l.MomentaryStatus, l.MomentaryMaxLufs);
    Put(out, reasons, "short_term_max_lufs", l.ShortTermStatus, l.ShortTermMaxLufs);
    Put(out, reasons, "true_peak_dbtp", l.PeakStatus, l.TruePeakDbtp);
    Put(out, reasons, "sample_peak_dbfs", l.PeakStatus, l.SamplePeakDbfs);
    out["reasons"] = reasons;
    return out;
}

std::string ChannelText(const zembrel::ChannelReadings& r, const std::string& name,
                        zembrel::ThdConvention convention) {
    std::string text = name + "\n";
    auto row = [&text](const std::string& caption, const std::string& value) {
        char line[200];
        std::snprintf(line, sizeof line, "  %-24s %s\n", caption.c_str(), value.c_str());
        text += line;
    };
    row("Fundamental:", zembrel::ReadingFigure(r.Tone.Status, r.Tone.Frequency, 3, "Hz"));
    for (const zembrel::HarmonicReading& h : r.Harmonics.Harmonics) {
        row("H" + std::to_string(h.Number) + " (" + zembrel::FixedText(h.Frequency, 1) + " Hz):",
            zembrel::FixedText(h.LevelDbc, 2) + " dBc, " + zembrel::FixedText(h.Percent, 5) + " %" +
                (h.InBand ? "" : " (outside the band)"));
    }
    row("THD:", r.Harmonics.Status == ReadingStatus::Ok
                    ? zembrel::FixedText(r.Harmonics.Percent(convention), 5) + " % (" +
                          zembrel::FixedText(r.Harmonics.Db(convention), 2) + " dB), " +
                          zembrel::ThdConventionText(convention)
                    : zembrel::ReadingFigure(r.Harmonics.Status, 0.0, 0, ""));
    row("THD+N:", r.ThdN.Status == ReadingStatus::Ok
                      ? zembrel::FixedText(r.ThdN.ThdNDb, 2) + " dB (" +
                            zembrel::FixedText(r.ThdN.ThdNPercent, 5) + " %), " +
                            zembrel::ThdNBandText(r.ThdN)
                      : zembrel::ReadingFigure(r.ThdN.Status, 0.0, 0, ""));
    row("SINAD:", zembrel::ReadingFigure(r.ThdN.Status, r.ThdN.SinadDb, 2, "dB"));
    row("Noise floor:", zembrel::ReadingFigure(r.ThdN.Status, r.ThdN.NoiseFloorDbfs, 2, "dBFS"));
    if (r.Imd.Status == ReadingStatus::Ok) {
        row(std::string("IMD (") + zembrel::TwinToneOf(r.Imd.Standard).Name + "):",
            zembrel::FixedText(r.Imd.Percent, 5) + " % (" + zembrel::FixedText(r.Imd.Db, 2) +
                " dB)");
    }
    row("DC:", zembrel::FixedText(r.Dc * 100.0, 4) + " % of full scale");
    row("Crest factor:", zembrel::ReadingFigure(r.Crest.Status, r.Crest.Db, 2, "dB"));
    row("A-weighted RMS:", zembrel::ReadingFigure(r.Weighted.Status, r.Weighted.ADbfs, 2, "dBFS"));
    row("C-weighted RMS:", zembrel::ReadingFigure(r.Weighted.Status, r.Weighted.CDbfs, 2, "dBFS"));
    row("Z-weighted RMS:", zembrel::ReadingFigure(r.Weighted.Status, r.Weighted.ZDbfs, 2, "dBFS"));
    row("Sample peak:", zembrel::ReadingFigure(r.PeakStatus, r.SamplePeakDbfs, 2, "dBFS"));
    return text;
}

std::string LoudnessText(const zembrel::Loudness& l) {
    std::string text = "loudness\n";
    const std::pair<const char*, std::string> rows[] = {
        {"Integrated:", zembrel::ReadingFigure(l.Status, l.IntegratedLufs, 1, "LUFS")},
        {"Loudness range:", zembrel::ReadingFigure(l.Status, l.RangeLu, 1, "LU")},
        {"Max momentary:",
         zembrel::ReadingFigure(l.MomentaryStatus, l.MomentaryMaxLufs, 1, "LUFS")},
        {"Max short-term:",
         zembrel::ReadingFigure(l.ShortTermStatus, l.ShortTermMaxLufs, 1, "LUFS")},
        {"True peak:", zembrel::ReadingFigure(l.PeakStatus, l.TruePeakDbtp, 2, "dBTP")},
        {"Sample peak:", zembrel::ReadingFigure(l.PeakStatus, l.SamplePeakDbfs, 2, "dBFS")},
    };
    for (const auto& [caption, value] : rows) {
        char line[200];
        std::snprintf(line, sizeof line, "  %-24s %s\n", caption, value.c_str());
        text += line;
    }
    return text;
}

} // namespace

CLI::App* AnalyzeCommand::AddTo(CLI::App& app) {
    CLI::App* command = command_ = app.add_subcommand(
        "analyze", "Distortion, noise, intermodulation and levels of every channel of a file, and "
                   "the loudness of the whole");
    Required(command->add_option("FILE", file_, "The audio file"));
    command
        ->add_option("--fundamental", fundamental_,
                     "Frequency of the tone in Hz; default: the strongest tone in the band")
        ->type_name("HZ");
    command
        ->add_option("--band", band_,
                     "Band of THD, THD+N and noise in Hz (AES17: 22 ... 20000, limited to fs/2)")
        ->capture_default_str()
        ->type_name("LO,HI");
    command
        ->add_option("--notch", notch_,
                     "Width in Hz of the notch that removes the fundamental for THD+N; default "
                     "and least: the analysis window's main lobe")
        ->type_name("HZ");
    command
        ->add_option("--thd", convention_,
                     "THD relative to the fundamental or to the total RMS (IEC 60268-3)")
        ->capture_default_str()
        ->type_name("fundamental|total");
    command->add_flag("--json", json_, "Write JSON instead of text");
    return command;
}

int AnalyzeCommand::Execute() {
    CheckRequired(*command_);
    zembrel::DistortionSettings settings;
    if (!fundamental_.empty()) {
        settings.Fundamental = ParseNumber("--fundamental", fundamental_);
    }
    const std::vector<double> band = ParseNumberList("--band", band_, 2, {0.0, 0.0});
    settings.BandLow = band[0];
    settings.BandHigh = band[1];
    if (!notch_.empty()) {
        settings.NotchWidth = ParseNumber("--notch", notch_);
    }
    // The Distortion window's rules; the band against the rate once the file is read.
    const auto refuse = [&](double sampleRate) {
        const zembrel::DistortionSettingsCheck check =
            zembrel::CheckDistortionSettings(settings, sampleRate);
        if (!check.Fundamental) {
            throw UsageError(Quoted("--fundamental", fundamental_) + ": must be above 0 Hz");
        }
        if (!check.Notch) {
            throw UsageError(Quoted("--notch", notch_) + ": must be at least 0 Hz");
        }
        if (!check.Band) {
            throw UsageError(Quoted("--band", band_) +
                             (std::isinf(sampleRate) ? ": needs 0 <= LO < HI"
                                                     : ": starts above half the sample rate"));
        }
    };
    refuse(HUGE_VAL);
    const auto convention = ParseChoice("--thd", convention_, {"fundamental", "total"}) == 0
                                ? zembrel::ThdConvention::RelativeToFundamental
                                : zembrel::ThdConvention::RelativeToTotal;

    std::vector<std::vector<double>> channels;
    zembrel::SignalReadings readings;
    std::string header;
    double rate = 0.0;
    try {
        zembrel::AudioFileRead reader(file_);
        if (!reader.Warning().empty()) {
            std::fprintf(stderr, "zembrel-cli analyze: warning: %s\n", reader.Warning().c_str());
        }
        const zembrel::AudioFormat& format = reader.Format();
        rate = format.SampleRate;
        refuse(rate);
        settings.ClipLevel = zembrel::ClipLevelOf(format.Bits, format.Float);
        header = file_ + ": " + zembrel::DescribeFormat(format) + ", " +
                 std::to_string(format.Frames) + " samples\n";
        readings = zembrel::ReadFile(reader, settings, channels);
    } catch (const zembrel::WavError& e) {
        throw UsageError(e.what());
    }
    std::vector<std::string> names{"mono"};
    if (channels.size() == 2) {
        names = {"left", "right"};
    } else if (channels.size() > 2) {
        names.clear();
        for (std::size_t c = 0; c < channels.size(); ++c) {
            names.push_back(std::to_string(c + 1));
        }
    }
    for (std::size_t c = 0; c < channels.size(); ++c) {
        if (readings.Channels[c].ClippedSamples > 0) {
            std::fprintf(stderr,
                         "zembrel-cli analyze: warning: %s: %zu samples at full scale in runs, "
                         "the signal looks clipped\n",
                         names[c].c_str(), readings.Channels[c].ClippedSamples);
        }
    }

    if (json_) {
        nlohmann::json out = {{"file", file_}, {"sample_rate", rate}};
        out["channels"] = nlohmann::json::array();
        for (std::size_t c = 0; c < channels.size(); ++c) {
            out["channels"].push_back(ChannelJson(readings.Channels[c], names[c], convention));
        }
        out["loudness"] = LoudnessJson(readings.FileLoudness);
        Print(out.dump(2) + "\n");
        return kExitOk;
    }
    std::string text = header;
    for (std::size_t c = 0; c < channels.size(); ++c) {
        text += ChannelText(readings.Channels[c], names[c], convention);
    }
    text += LoudnessText(readings.FileLoudness);
    Print(text);
    return kExitOk;
}

Commands MakeReadingCommands() {
    Commands commands;
    commands.push_back(std::make_unique<AnalyzeCommand>());
    for (auto& tone : MakeTestToneCommands()) {
        commands.push_back(std::move(tone));
    }
    return commands;
}

} // namespace cli
