#include "cli/Options.h"

#include "core/generators/CNumber.h"
#include "core/signal/AudioFormat.h"
#include "core/signal/OutputFormatRules.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <filesystem>

namespace cli {

namespace {

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

} // namespace

namespace {

std::vector<const CLI::Option*>& RequiredOptions() {
    static std::vector<const CLI::Option*> options;
    return options;
}

} // namespace

CLI::Option* Required(CLI::Option* option) {
    RequiredOptions().push_back(option);
    option->description(option->get_description() + " (required)");
    return option;
}

void CheckRequired(const CLI::App& command) {
    for (const CLI::Option* option : command.get_options()) {
        const auto& required = RequiredOptions();
        if (option->count() == 0 &&
            std::find(required.begin(), required.end(), option) != required.end()) {
            throw UsageError(option->get_name() + " is required");
        }
    }
}

CLI::Option* Repeatable(CLI::Option* option) {
    return option->expected(1)->allow_extra_args(false)->multi_option_policy(
        CLI::MultiOptionPolicy::TakeAll);
}

std::string Quoted(const std::string& option, const std::string& text) {
    return option + " " + text;
}

double ParseNumber(const std::string& option, const std::string& text) {
    const zembrel::CNumber number = zembrel::CNumber::Parse(text);
    if (number.Length == 0) {
        throw UsageError(Quoted(option, "\"" + text + "\"") + ": not a number");
    }
    if (number.Length != text.size()) {
        throw UsageError(Quoted(option, "\"" + text + "\"") + ": text after the number \"" +
                         text.substr(0, number.Length) + "\"");
    }
    if (!std::isfinite(number.Value)) {
        throw UsageError(Quoted(option, text) + ": not a finite number");
    }
    return number.Value;
}

long long ParseInteger(const std::string& option, const std::string& text, long long min,
                       long long max) {
    const std::size_t length = zembrel::CNumber::IntegerLength(text);
    if (length == 0) {
        throw UsageError(Quoted(option, "\"" + text + "\"") + ": not a whole number");
    }
    if (length != text.size()) {
        throw UsageError(Quoted(option, "\"" + text + "\"") + ": text after the number \"" +
                         text.substr(0, length) + "\"");
    }
    const char* begin = text.data() + (text[0] == '+' ? 1 : 0);
    long long value = 0;
    const auto [ptr, ec] = std::from_chars(begin, text.data() + text.size(), value);
    if (ec != std::errc() || value < min || value > max) {
        throw UsageError(Quoted(option, text) + ": must lie between " + std::to_string(min) +
                         " and " + std::to_string(max));
    }
    return value;
}

std::vector<double> ParseNumberList(const std::string& option, const std::string& text,
                                    std::size_t required, const std::vector<double>& defaults) {
    std::vector<std::string> fields;
    std::size_t start = 0;
    while (true) {
        const std::size_t comma = text.find(',', start);
        fields.push_back(text.substr(start, comma == std::string::npos ? comma : comma - start));
        if (comma == std::string::npos) {
            break;
        }
        start = comma + 1;
    }
    if (fields.size() < required || fields.size() > defaults.size()) {
        throw UsageError(Quoted(option, "\"" + text + "\"") + ": expected " +
                         std::to_string(required) + " to " + std::to_string(defaults.size()) +
                         " numbers separated by commas");
    }
    std::vector<double> values = defaults;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        try {
            values[i] = ParseNumber(option, fields[i]);
        } catch (const UsageError& e) {
            // Name the whole value, then what is wrong with the field.
            const std::string what = e.what();
            throw UsageError(Quoted(option, text) + ": field " + std::to_string(i + 1) +
                             what.substr(what.rfind(':')));
        }
    }
    return values;
}

int ParseChoice(const std::string& option, const std::string& text,
                const std::vector<std::string>& names) {
    const std::string wanted = Lower(text);
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (Lower(names[i]) == wanted) {
            return static_cast<int>(i);
        }
    }
    std::string list;
    for (const std::string& name : names) {
        list += (list.empty() ? "" : ", ") + name;
    }
    throw UsageError(Quoted(option, "\"" + text + "\"") + ": must be one of " + list);
}

void FormatOptions::AddTo(CLI::App& command) {
    command.add_option("--rate", Rate, "Sample rate in Hz, 1 ... 768000")
        ->capture_default_str()
        ->type_name("HZ");
    command.add_option("--length", Length, "Length in seconds, > 0; as long as memory holds")
        ->capture_default_str()
        ->type_name("S");
    command
        .add_option("--bits", Bits,
                    "Sample format: 8, 16, 24, 32 bit PCM, or 32f, 64f float (FLAC: 16, 24)")
        ->capture_default_str()
        ->type_name("8|16|24|32|32f|64f");
    command
        .add_option("--norm", Norm,
                    "Amplitude of 0 dB in sample units, 0 < N <= 32768 (16 bit) or 128 (8 bit); "
                    "default the full scale")
        ->type_name("N");
    command.add_option("--channels", Channels, "1 (mono) or 2 (stereo)")
        ->capture_default_str()
        ->type_name("1|2");
    command
        .add_option("--format", Format,
                    "File format: wav or flac; default from the output's extension")
        ->type_name("wav|flac");
    command
        .add_option("--dither", Dither,
                    "none, or tpdf (2 LSB peak-to-peak) before rounding; integer formats only")
        ->capture_default_str()
        ->type_name("none|tpdf");
}

namespace {

std::string Extension(const std::string& path) {
    const std::string name = std::filesystem::path(path).filename().string();
    const auto dot = name.rfind('.');
    return dot == std::string::npos || dot == 0 ? std::string() : Lower(name.substr(dot));
}

} // namespace

zembrel::AudioWriteOptions ReadWriteOptions(const std::string& bits, const std::string& format,
                                            const std::string& dither, const std::string& output) {
    zembrel::AudioWriteOptions write;
    static const std::vector<std::string> kBits = {"8", "16", "24", "32", "32f", "64f"};
    const int chosen = ParseChoice("--bits", bits, kBits);
    zembrel::ParseSampleFormat(kBits[static_cast<std::size_t>(chosen)], write.Bits, write.Float);
    write.Dither = ParseChoice("--dither", dither, {"none", "tpdf"}) == 0
                       ? zembrel::DitherKind::None
                       : zembrel::DitherKind::Tpdf;
    if (!format.empty()) {
        write.Container = ParseChoice("--format", format, {"wav", "flac"}) == 0
                              ? zembrel::AudioContainer::Wav
                              : zembrel::AudioContainer::Flac;
    } else if (output != "-") {
        const std::string extension = Extension(output);
        if (extension == ".flac") {
            write.Container = zembrel::AudioContainer::Flac;
        } else if (extension != ".wav") {
            throw UsageError(Quoted("-o", output) + ": writes .wav or .flac files (or name the " +
                             "format with --format wav|flac)");
        }
    }
    return write;
}

zembrel::OutputFormatInput FormatOptions::Read(const std::string& output) const {
    zembrel::OutputFormatInput input;
    input.Write = ReadWriteOptions(Bits, Format, Dither, output);
    input.Channels = ParseChoice("--channels", Channels, {"1", "2"}) + 1;
    input.SampleRate = ParseNumber("--rate", Rate);
    input.Duration = ParseNumber("--length", Length);
    input.NormValue =
        Norm.empty() ? 0
                     : static_cast<long>(ParseInteger("--norm", Norm, -2147483648LL, 2147483647LL));
    // A norm of 0 is out of range, not "the default".
    const bool zeroNorm = !Norm.empty() && input.NormValue == 0;
    if (zeroNorm) {
        input.NormValue = -1;
    }
    std::string named;
    const std::pair<const char*, const std::string*> fields[] = {{"rate", &Rate},
                                                                 {"length", &Length},
                                                                 {"norm", &Norm},
                                                                 {"bits", &Bits},
                                                                 {"dither", &Dither}};
    for (const zembrel::OutputFormatProblem& problem : zembrel::CheckOutputFormat(input)) {
        for (const auto& [field, text] : fields) {
            if (problem.Field == field) {
                named += (named.empty() ? "" : ", ") + Quoted("--" + problem.Field, *text) + " (" +
                         problem.Reason + ")";
            }
        }
    }
    if (!named.empty()) {
        throw UsageError("out of range: " + named);
    }
    return input;
}

} // namespace cli
