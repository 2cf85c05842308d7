#include "core/generators/FrequencyListFile.h"

#include "core/generators/InputRules.h"

#include "core/generators/CNumber.h"

#include <cmath>
#include <fstream>
#include <iterator>
#include <sstream>

namespace zembrel {

ListFileError::ListFileError(const std::string& path, int line, const std::string& reason)
    : std::runtime_error(line > 0 ? path + ", line " + std::to_string(line) + ": " + reason
                                  : path + ": " + reason),
      line_(line) {}

namespace {

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

// A cursor over the file's text that reads the way a C++ text stream does.
class Scanner {
public:
    Scanner(std::string path, std::string text) : path_(std::move(path)), text_(std::move(text)) {}

    bool AtEnd() const { return pos_ >= text_.size(); }
    int Line() const { return line_; } // from 1

    // Skips blanks and line ends; false when the end of the file follows.
    bool SkipSpace() {
        while (!AtEnd() && IsSpace(text_[pos_])) {
            Advance(1);
        }
        return !AtEnd();
    }

    std::string Word() {
        const std::size_t start = pos_;
        while (!AtEnd() && !IsSpace(text_[pos_])) {
            Advance(1);
        }
        return text_.substr(start, pos_ - start);
    }

    void Integer() {
        const std::size_t n = CNumber::IntegerLength(Rest());
        if (n == 0) {
            Fail("cannot read \"" + Token() + "\" as a number");
        }
        Advance(n);
    }

    double Number() {
        const CNumber number = CNumber::Parse(Rest());
        if (number.Length == 0) {
            Fail("cannot read \"" + Token() + "\" as a number");
        }
        const std::string text = text_.substr(pos_, number.Length);
        if (!std::isfinite(number.Value)) {
            Fail("\"" + text + "\" is not a finite number");
        }
        // The values are taken as they stand, but only numbers the arithmetic can carry: a
        // frequency of 1e300 Hz would make the phase of a sine infinite.
        if (std::abs(number.Value) > kLargestMagnitude) {
            Fail("\"" + text + "\" is larger than 1e250");
        }
        Advance(number.Length);
        return number.Value;
    }

    // Exactly one character, whatever it is; false at the end of the file.
    bool Separator() {
        if (AtEnd()) {
            return false;
        }
        Advance(1);
        return true;
    }

    [[noreturn]] void Fail(const std::string& reason) const {
        throw ListFileError(path_, line_, reason);
    }

private:
    std::string_view Rest() const { return std::string_view(text_).substr(pos_); }

    std::string Token() const {
        std::size_t end = pos_;
        while (end < text_.size() && !IsSpace(text_[end]) && end - pos_ < 40) {
            ++end;
        }
        return text_.substr(pos_, end - pos_);
    }

    void Advance(std::size_t n) {
        for (std::size_t i = 0; i < n; ++i) {
            if (text_[pos_ + i] == '\n') {
                ++line_;
            }
        }
        pos_ += n;
    }

    std::string path_;
    std::string text_;
    std::size_t pos_ = 0;
    int line_ = 1;
};

// Reads one record into values and the line where it starts; returns false when the end of
// the file cut it short.
bool ReadRecord(Scanner& in, std::vector<double>& values, int& line) {
    const bool more = in.SkipSpace();
    line = in.Line();
    if (!more) {
        return false;
    }
    in.Integer();
    for (double& value : values) {
        if (!in.Separator() || !in.SkipSpace()) {
            return false;
        }
        value = in.Number();
    }
    return true;
}

} // namespace

FrequencyList ReadFrequencyList(const std::string& path, const std::vector<double>& resetValues) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        throw ListFileError(path, 0, "cannot open file for reading");
    }
    std::ostringstream contents;
    contents << file.rdbuf();
    if (file.bad()) {
        throw ListFileError(path, 0, "cannot read file");
    }
    Scanner in(path, contents.str());

    FrequencyList list;
    if (!in.SkipSpace()) {
        in.Fail("the file is empty: a header \"Level <dB> dB\" is expected");
    }
    in.Word();
    if (!in.SkipSpace()) {
        in.Fail("the header has no level");
    }
    list.Level = in.Number();
    if (in.SkipSpace()) {
        in.Word(); // the unit, read and not used
    }
    do {
        std::vector<double> values = resetValues;
        int line = 0;
        ReadRecord(in, values, line);
        list.Records.push_back(std::move(values));
        list.Lines.push_back(line);
    } while (!in.AtEnd());
    return list;
}

} // namespace zembrel
