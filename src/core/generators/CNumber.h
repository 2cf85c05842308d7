#pragma once

#include <cstddef>
#include <string_view>

namespace zembrel {

// The longest prefix of text that forms a decimal number in the C locale (optional sign, digits,
// optional point and digits, optional exponent; also "inf" and "nan"), independent of the
// process locale. Length is 0 when text does not start with a number; then Value is 0.0. A
// number too large for a double reads as an infinity, one too small as zero.
struct CNumber {
    double Value = 0.0;
    std::size_t Length = 0;

    static CNumber Parse(std::string_view text);

    // Optional sign and digits only, as an integer field is read (the value is not kept).
    static std::size_t IntegerLength(std::string_view text);
};

} // namespace zembrel
