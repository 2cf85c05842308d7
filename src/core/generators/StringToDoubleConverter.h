#pragma once

#include <string>

namespace zembrel {

// Reads a number from an edit field's text the way every generator dialog does: commas become
// points, leading blanks are skipped, the longest decimal prefix is taken and the rest ignored;
// text without a number reads as 0.0. "1,5" and "1.5" give 1.5, "" gives 0.0. Non-finite input
// ("nan", "inf", "1e999") is reported by IsFinite() so that dialogs can refuse it.
class StringToDoubleConverter {
public:
    explicit StringToDoubleConverter(const std::string& text);

    double Value() const { return value_; }
    bool IsFinite() const;

    // The plain C conversion: the same, but a comma is not a decimal separator ("1,5" -> 1).
    static double Plain(const std::string& text);

private:
    double value_ = 0.0;
};

} // namespace zembrel
