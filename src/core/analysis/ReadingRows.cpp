#include "core/analysis/ReadingRows.h"

#include "core/analysis/Intermodulation.h"
#include "core/analysis/SignalReadings.h"
#include "core/analysis/StatisticsText.h"

#include <charconv>
#include <cmath>

namespace zembrel {

namespace {

// A reading with an Ok status and a number that is not finite has no value either.
ReadingStatus Effective(ReadingStatus status, double value) {
    return status == ReadingStatus::Ok && !std::isfinite(value) ? ReadingStatus::NoSignal : status;
}

std::string Shortest(double value) {
    char buffer[40];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

// A field quoted when it holds a separator, a quote or a line break.
std::string Field(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos) {
        return text;
    }
    std::string quoted = "\"";
    for (char c : text) {
        quoted += c;
        if (c == '"') {
            quoted += '"';
        }
    }
    return quoted + "\"";
}

class CsvWriter {
public:
    explicit CsvWriter(std::string& out) : out_(out) {}
    std::string Channel;

    // One figure; frequency <= 0 leaves its column empty.
    void Row(const std::string& reading, double frequency, ReadingStatus status, double value,
             const char* unit, const std::string& note = std::string()) {
        status = Effective(status, value);
        const bool ok = status == ReadingStatus::Ok;
        out_ += Field(Channel) + "," + Field(reading) + "," +
                (frequency > 0.0 ? Shortest(frequency) : std::string()) + "," +
                (ok ? Shortest(value) : std::string()) + "," + Field(unit) + "," +
                Field(ok ? note : ReadingStatusText(status)) + "\n";
    }

private:
    std::string& out_;
};

} // namespace

std::string ReadingFigure(ReadingStatus status, double value, int decimals, const char* unit) {
    status = Effective(status, value);
    if (status != ReadingStatus::Ok) {
        return ReadingStatusText(status);
    }
    return FixedText(value, decimals) + " " + unit;
}

const char* ThdConventionText(ThdConvention convention) {
    return convention == ThdConvention::RelativeToFundamental
               ? "relative to the fundamental (IEC 60268-3)"
               : "relative to the total RMS (IEC 60268-3)";
}

std::string ThdNBandText(const NoiseAndDistortion& reading) {
    return FixedText(reading.BandLow, 0) + " ... " + FixedText(reading.BandHigh, 0) +
           " Hz, notch " + FixedText(reading.NotchWidth, 2) + " Hz wide";
}

std::string ReadingsCsv(const std::vector<ChannelReadings>& channels,
                        const std::vector<std::string>& names, ThdConvention convention) {
    std::string out = "channel,reading,frequency_hz,value,unit,note\n";
    CsvWriter csv(out);
    for (std::size_t c = 0; c < channels.size(); ++c) {
        const ChannelReadings& r = channels[c];
        csv.Channel = c < names.size() ? names[c] : std::to_string(c + 1);
        const double toneDbfs = r.Tone.Power > 0.0 ? 10.0 * std::log10(r.Tone.Power) : -HUGE_VAL;
        csv.Row("fundamental", r.Tone.Status == ReadingStatus::Ok ? r.Tone.Frequency : 0.0,
                r.Tone.Status, toneDbfs, "dBFS");
        for (const HarmonicReading& h : r.Harmonics.Harmonics) {
            const std::string name = "H" + std::to_string(h.Number);
            const std::string note = h.InBand ? std::string() : "outside the band";
            csv.Row(name, h.Frequency, r.Harmonics.Status, h.LevelDbc, "dBc", note);
            csv.Row(name, h.Frequency, r.Harmonics.Status, h.Percent, "%", note);
        }
        const std::string thdNote = ThdConventionText(convention);
        csv.Row("THD", 0.0, r.Harmonics.Status, r.Harmonics.Percent(convention), "%", thdNote);
        csv.Row("THD", 0.0, r.Harmonics.Status, r.Harmonics.Db(convention), "dB", thdNote);
        const std::string band = ThdNBandText(r.ThdN);
        csv.Row("THD+N", 0.0, r.ThdN.Status, r.ThdN.ThdNDb, "dB", band);
        csv.Row("THD+N", 0.0, r.ThdN.Status, r.ThdN.ThdNPercent, "%", band);
        csv.Row("SINAD", 0.0, r.ThdN.Status, r.ThdN.SinadDb, "dB", band);
        csv.Row("noise floor", 0.0, r.ThdN.Status, r.ThdN.NoiseFloorDbfs, "dBFS", band);
        if (r.Imd.Status == ReadingStatus::Ok) {
            const std::string standard = TwinToneOf(r.Imd.Standard).Name;
            csv.Row("IMD", 0.0, r.Imd.Status, r.Imd.Percent, "%", standard);
            csv.Row("IMD", 0.0, r.Imd.Status, r.Imd.Db, "dB", standard);
        }
        csv.Row("DC", 0.0, ReadingStatus::Ok, r.Dc * 100.0, "% of full scale");
        csv.Row("crest factor", 0.0, r.Crest.Status, r.Crest.Db, "dB");
        csv.Row("A-weighted RMS", 0.0, r.Weighted.Status, r.Weighted.ADbfs, "dBFS");
        csv.Row("C-weighted RMS", 0.0, r.Weighted.Status, r.Weighted.CDbfs, "dBFS");
        csv.Row("Z-weighted RMS", 0.0, r.Weighted.Status, r.Weighted.ZDbfs, "dBFS");
        csv.Row("sample peak", 0.0, r.PeakStatus, r.SamplePeakDbfs, "dBFS");
        csv.Row("clipped samples", 0.0, ReadingStatus::Ok, static_cast<double>(r.ClippedSamples),
                "samples");
    }
    return out;
}

} // namespace zembrel
