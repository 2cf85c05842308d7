#include "core/analysis/StatisticsText.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace zembrel {

std::string FixedText(double value, int decimals) {
    // std::to_chars ignores the process locale, which a GUI toolkit may have set.
    char buffer[400]; // the largest double has 309 digits before the point
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    std::string text(buffer, result.ptr);
    if (!text.empty() && text[0] == '-' &&
        std::all_of(text.begin() + 1, text.end(), [](char c) { return c == '0' || c == '.'; })) {
        text.erase(0, 1);
    }
    return text;
}

std::string WholeText(double value) {
    return std::to_string(static_cast<long long>(std::trunc(value)));
}

} // namespace zembrel
