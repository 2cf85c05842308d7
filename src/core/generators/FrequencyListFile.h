#pragma once

#include <stdexcept>
#include <string>
#include <vector>

namespace zembrel {

// A frequency-list text file could not be read. what() names the file, the line and the text.
class ListFileError : public std::runtime_error {
public:
    ListFileError(const std::string& path, int line, const std::string& reason);
    int Line() const { return line_; }

private:
    int line_;
};

// The contents of a frequency-list file:
//
//     Level -6 dB
//     1;1000;1.0;0
//     2;3000;0.333;90
//
// A header of a word, the level in dB and a word, then records of an index and a fixed number
// of values, each followed by exactly one separator character (blank, tab, ';', ','...). Numbers
// are in the C locale; blanks and line ends before a word or number are skipped, lines as such
// have no meaning. Records are read until the end of the file, tested after each record; a
// record cut short by the end keeps its reset values for the fields not read, so a final line
// break yields one more record of reset values.
struct FrequencyList {
    double Level = 0.0;                       // dB, as written; not validated
    std::vector<std::vector<double>> Records; // the values after the index, in file order
    std::vector<int> Lines; // per record, the line (from 1) where it starts, for messages
};

// Reads a list whose records hold resetValues.size() values after the index. A token that is
// not a number, a header without a level or a non-finite value throws ListFileError; so does a
// file that cannot be opened. Nothing read is returned then.
FrequencyList ReadFrequencyList(const std::string& path, const std::vector<double>& resetValues);

// Reset values of the three list kinds: frequency, amplitude, phase (sine list); frequency,
// amplitude (pn-phase list); start, stop, step, amplitude (band list).
inline const std::vector<double> kSineListReset = {1.0, 0.0, 0.0};
inline const std::vector<double> kPnPhaseListReset = {1.0, 0.0};
inline const std::vector<double> kBandListReset = {10.0, 20.0, 1.0, 0.0};

} // namespace zembrel
