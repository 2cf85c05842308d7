#include "core/generators/CNumber.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <limits>

namespace zembrel {

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Decimal order of magnitude of a finite decimal literal that from_chars found out of range:
// positive means it overflowed, negative that it underflowed. The digits may be as long as the
// text (a run of a million leading zeros after the point), so the exponent is summed up to far
// beyond any such length before it saturates.
long long Magnitude(std::string_view s) {
    std::size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        ++i;
    }
    long long position = 0; // digits before the point, minus leading zeros after it
    bool significant = false;
    bool afterPoint = false;
    for (; i < s.size() && (IsDigit(s[i]) || s[i] == '.'); ++i) {
        if (s[i] == '.') {
            afterPoint = true;
        } else if (s[i] != '0' || significant) {
            if (!significant && afterPoint) {
                --position;
            }
            significant = true;
            if (!afterPoint) {
                ++position;
            }
        } else if (afterPoint) {
            --position;
        }
    }
    constexpr long long kSaturated = 1'000'000'000'000'000; // beyond every text length
    long long exponent = 0;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        ++i;
        const bool negative = i < s.size() && s[i] == '-';
        if (i < s.size() && (s[i] == '-' || s[i] == '+')) {
            ++i;
        }
        for (; i < s.size() && IsDigit(s[i]); ++i) {
            if (exponent < kSaturated) {
                exponent = exponent * 10 + (s[i] - '0');
            }
        }
        if (negative) {
            exponent = -exponent;
        }
    }
    return position + exponent;
}

} // namespace

CNumber CNumber::Parse(std::string_view text) {
    CNumber result;
    std::size_t skip = 0;
    bool negative = false;
    if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
        negative = text[0] == '-';
        skip = 1;
    }
    // from_chars takes no '+' and no sign before another sign, so the sign is handled here.
    if (skip < text.size() && (text[skip] == '+' || text[skip] == '-')) {
        return result;
    }
    const char* begin = text.data() + skip;
    const char* end = text.data() + text.size();
    double value = 0.0;
    const auto [ptr, ec] = std::from_chars(begin, end, value, std::chars_format::general);
    if (ptr == begin) {
        return result;
    }
    result.Length = static_cast<std::size_t>(ptr - text.data());
    if (ec == std::errc::result_out_of_range) {
        value = Magnitude(std::string_view(begin, static_cast<std::size_t>(ptr - begin))) > 0
                    ? std::numeric_limits<double>::infinity()
                    : 0.0;
    }
    result.Value = negative ? -value : value;
    return result;
}

std::size_t CNumber::IntegerLength(std::string_view text) {
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        ++i;
    }
    const std::size_t digitsStart = i;
    while (i < text.size() && IsDigit(text[i])) {
        ++i;
    }
    return i == digitsStart ? 0 : i;
}

} // namespace zembrel
