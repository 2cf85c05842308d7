// The number reading of the dialogs on any text: edit fields (comma or point), the plain C
// reading, the C-locale prefix and the parameter dialog's fields with their checks.

#include "core/generators/CNumber.h"
#include "core/generators/StringToDoubleConverter.h"
#include "core/signal/SignalBase.h"
#include "core/signal/SignalFormatRules.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);

    const zembrel::StringToDoubleConverter field(text);
    if (field.IsFinite() != std::isfinite(field.Value())) {
        std::abort();
    }
    (void)zembrel::StringToDoubleConverter::Plain(text);

    const zembrel::CNumber number = zembrel::CNumber::Parse(text);
    if (number.Length > text.size() || (number.Length == 0 && number.Value != 0.0)) {
        std::abort();
    }
    // The number read is the whole number: reading just its text gives the same.
    const zembrel::CNumber again = zembrel::CNumber::Parse(text.substr(0, number.Length));
    if (again.Length != number.Length ||
        !(again.Value == number.Value || (std::isnan(again.Value) && std::isnan(number.Value)))) {
        std::abort();
    }
    if (zembrel::CNumber::IntegerLength(text) > text.size()) {
        std::abort();
    }

    // The parameter dialog: the five fields cut from the text at its first four ';'.
    std::string parts[5];
    std::size_t part = 0;
    for (char c : text) {
        if (c == ';' && part < 4) {
            ++part;
        } else {
            parts[part] += c;
        }
    }
    const zembrel::SignalFormatInput in =
        zembrel::ReadSignalFormat(parts[0], parts[1], parts[2], parts[3], parts[4]);
    if (!zembrel::CheckSignalFormat(in).Any()) {
        // An accepted format always makes a signal whose size fits the sample count.
        const double count = zembrel::SignalBase::ExactSampleCount(in.SampleRate, in.Duration);
        if (!(count >= 0.0 &&
              count < static_cast<double>(std::numeric_limits<std::int32_t>::max()))) {
            std::abort();
        }
    }
    return 0;
}
