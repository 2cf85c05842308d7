#pragma once

#include <string>

namespace zembrel {

// How the statistics figures are written, in the C locale (point as decimal separator, no
// grouping); a caller with another decimal separator replaces the point.

// Fixed-point with the given decimals; a value that rounds to zero is written without a sign
// ("0.000", not "-0.000").
std::string FixedText(double value, int decimals);

// Truncated toward zero and written as a whole number (the extremes).
std::string WholeText(double value);

} // namespace zembrel
