#include "core/signal/SignalFormatRules.h"

#include "core/generators/StringToDoubleConverter.h"

#include <cctype>
#include <cmath>
#include <limits>

namespace zembrel {

SignalFormatErrors CheckSignalFormat(const SignalFormatInput& input) {
    SignalFormatErrors errors;
    const auto inRange = [](double v, double max) {
        return std::isfinite(v) && v > 0.0 && v <= max;
    };
    // The WAV header holds the rate in whole hertz: below 1 Hz it would read 0.
    errors.SampleRate = !inRange(input.SampleRate, 48000.0) || input.SampleRate < 1.0;
    errors.Duration = !inRange(input.Duration, 180.0);
    const long maxNorm = input.Bits == 8 ? 128 : 32768;
    errors.NormValue = !(input.NormValue > 0 && input.NormValue <= maxNorm);
    return errors;
}

long LeadingInteger(const std::string& text) {
    std::size_t i = 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    long value = 0;
    constexpr long limit = std::numeric_limits<long>::max() / 10 - 1;
    for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
        value = value < limit ? value * 10 + (text[i] - '0') : std::numeric_limits<long>::max();
    }
    return negative ? -value : value;
}

SignalFormatInput ReadSignalFormat(const std::string& bits, const std::string& sampleRate,
                                   const std::string& duration, const std::string& normValue,
                                   const std::string& channels) {
    SignalFormatInput input;
    input.Bits = LeadingInteger(bits) == 8 ? 8 : 16;
    input.SampleRate = StringToDoubleConverter::Plain(sampleRate);
    input.Duration = StringToDoubleConverter::Plain(duration);
    input.NormValue = LeadingInteger(normValue);
    input.Channels = LeadingInteger(channels) == 2 ? 2 : 1;
    return input;
}

} // namespace zembrel
