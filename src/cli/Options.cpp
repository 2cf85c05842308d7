#include "cli/Options.h"

#include "core/generators/CNumber.h"
#include "core/signal/SignalFormatRules.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>

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
    command.add_option("--rate", Rate, "Sample rate in Hz, 0 < fs <= 48000")
        ->capture_default_str()
        ->type_name("HZ");
    command.add_option("--length", Length, "Length in seconds, 0 < t <= 180")
        ->capture_default_str()
        ->type_name("S");
    command.add_option("--bits", Bits, "Resolution: 8 or 16")
        ->capture_default_str()
        ->type_name("8|16");
    command
        .add_option("--norm", Norm,
                    "Amplitude of 0 dB in sample units, 0 < N <= 32768 (16 bit) or 128 (8 bit); "
                    "default the full scale")
        ->type_name("N");
    command.add_option("--channels", Channels, "1 (mono) or 2 (stereo)")
        ->capture_default_str()
        ->type_name("1|2");
}

zembrel::SignalFormatInput FormatOptions::Read() const {
    zembrel::SignalFormatInput input;
    input.Bits = ParseChoice("--bits", Bits, {"8", "16"}) == 0 ? 8 : 16;
    input.Channels = ParseChoice("--channels", Channels, {"1", "2"}) + 1;
    input.SampleRate = ParseNumber("--rate", Rate);
    input.Duration = ParseNumber("--length", Length);
    input.NormValue =
        Norm.empty() ? (input.Bits == 8 ? 128 : 32768)
                     : static_cast<long>(ParseInteger("--norm", Norm, -2147483648LL, 2147483647LL));
    const zembrel::SignalFormatErrors errors = zembrel::CheckSignalFormat(input);
    if (errors.Any()) {
        std::string named;
        const auto name = [&named](bool bad, const std::string& option, const std::string& text) {
            if (bad) {
                named += (named.empty() ? "" : ", ") + Quoted(option, text);
            }
        };
        name(errors.SampleRate, "--rate", Rate);
        name(errors.Duration, "--length", Length);
        name(errors.NormValue, "--norm", Norm.empty() ? std::to_string(input.NormValue) : Norm);
        throw UsageError("out of range: " + named, zembrel::kSignalFormatErrorText);
    }
    return input;
}

} // namespace cli
