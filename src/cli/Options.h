#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace CLI {
class App;
class Option;
} // namespace CLI

namespace zembrel {
struct AudioWriteOptions;
struct OutputFormatInput;
} // namespace zembrel

namespace cli {

// The exit statuses of zembrel-cli.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;     // anything else that went wrong (out of memory...)
inline constexpr int kExitBadInput = 2;    // an option, a list file or a WAV file was refused
inline constexpr int kExitWriteFailed = 3; // the result could not be written
inline constexpr int kExitInterrupted = 130;

// Input that cannot be taken. what() is one line naming the option or file and the reason;
// detail, when not empty, follows it on the lines below (a generator's error text).
class UsageError : public std::runtime_error {
public:
    explicit UsageError(const std::string& line, std::string detail = {})
        : std::runtime_error(line), detail_(std::move(detail)) {}
    const std::string& Detail() const { return detail_; }

private:
    std::string detail_;
};

// Numbers are read as a whole, in the C locale, whatever the process locale: an optional sign,
// digits, an optional point and digits, an optional exponent. Anything after the number, a
// value without a number, and one that is not finite (nan, inf, 1e999) are refused with a
// UsageError naming option and text.
double ParseNumber(const std::string& option, const std::string& text);

// An integer of optional sign and digits, as a whole, within [min, max].
long long ParseInteger(const std::string& option, const std::string& text, long long min,
                       long long max);

// A list of numbers separated by commas, as in --sine 1000,0.5,90: at least `required` and at
// most defaults.size() of them; the missing ones take the defaults.
std::vector<double> ParseNumberList(const std::string& option, const std::string& text,
                                    std::size_t required, const std::vector<double>& defaults);

// One of names, compared without regard to case; returns its index.
int ParseChoice(const std::string& option, const std::string& text,
                const std::vector<std::string>& names);

// CLI11 checks required options before it looks for unknown ones, so `sine --frequ 1000`
// would be told that --sine is missing rather than that --frequ is unknown. Options marked
// here are checked after parsing instead: CheckRequired throws a UsageError for the first one
// of command that was not given.
CLI::Option* Required(CLI::Option* option);
void CheckRequired(const CLI::App& command);

// An option that may be given several times, one value each time: --sine 1000 --sine 2000.
CLI::Option* Repeatable(CLI::Option* option);

// "--option value" for messages.
std::string Quoted(const std::string& option, const std::string& text);

// The signal format options every generating command has, with the start-up signal's values
// as defaults. --norm defaults to the full scale of the chosen bit depth.
struct FormatOptions {
    std::string Rate = "44100";
    std::string Length = "1.0";
    std::string Bits = "16";
    std::string Norm; // empty: 32768 for 16 bit, 128 for 8 bit
    std::string Channels = "1";
    std::string Format; // empty: from the output's extension
    std::string Dither = "none";

    void AddTo(CLI::App& command);

    // Reads the options for writing to output ("-" for standard output) and checks them; a
    // value out of range throws a UsageError naming the options and their actual limits. The
    // container comes from --format, else from output's extension (.wav, .flac); any other
    // extension is refused.
    zembrel::OutputFormatInput Read(const std::string& output) const;
};

// --bits, --format and --dither as every command that writes audio reads them; the container
// comes from --format, else from output's extension (.wav, .flac; "-": WAV), any other
// extension is refused. Throws a UsageError naming the option.
zembrel::AudioWriteOptions ReadWriteOptions(const std::string& bits, const std::string& format,
                                            const std::string& dither, const std::string& output);

} // namespace cli
