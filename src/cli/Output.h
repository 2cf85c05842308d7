#pragma once

#include <string>

namespace zembrel {
class SignalBase;
}

namespace cli {

// Writes the signal as a WAV file: to the file target, atomically (under a temporary name,
// renamed into place when complete), or to standard output when target is "-". On failure
// prints "<prefix>: <file>: <reason>" to standard error and returns false; a file that
// existed is then unchanged and no partial file is left.
bool WriteSignal(const std::string& target, const zembrel::SignalBase& signal,
                 const std::string& prefix);

} // namespace cli
