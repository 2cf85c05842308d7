#include "core/generators/StringToDoubleConverter.h"

#include "core/generators/CNumber.h"

#include <algorithm>
#include <cmath>
#include <string_view>

namespace zembrel {

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

double Leading(std::string_view text) {
    const auto start = std::find_if_not(text.begin(), text.end(), IsBlank);
    return CNumber::Parse(text.substr(static_cast<std::size_t>(start - text.begin()))).Value;
}

} // namespace

StringToDoubleConverter::StringToDoubleConverter(const std::string& text) {
    std::string copy = text;
    std::replace(copy.begin(), copy.end(), ',', '.');
    value_ = Leading(copy);
}

bool StringToDoubleConverter::IsFinite() const {
    return std::isfinite(value_);
}

double StringToDoubleConverter::Plain(const std::string& text) {
    return Leading(text);
}

} // namespace zembrel
