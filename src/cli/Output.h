#pragma once

#include <string>

#include <cstdint>

namespace zembrel {
class SignalBase;
struct OutputFormatInput;
} // namespace zembrel

namespace cli {

// Writes the signal, synthesised for format, to the file target, atomically (under a temporary
// name, renamed into place when complete), or to standard output when target is "-": 8 and 16
// bit WAV without dither with the program's own writer (the desktop program's bytes), every
// other format through libsndfile. Samples clipped to an integer format are counted on standard
// error. On failure prints "<prefix>: cannot write <file>: <reason>" to standard error and
// returns false; a file that existed is then unchanged and no partial file is left.
bool WriteSignal(const std::string& target, const zembrel::SignalBase& signal,
                 const zembrel::OutputFormatInput& format, const std::string& prefix);

} // namespace cli
