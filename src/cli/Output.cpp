#include "cli/Output.h"

#include "core/signal/WavError.h"
#include "core/signal/WavFileWrite.h"

#include <cstdio>

namespace cli {

bool WriteSignal(const std::string& target, const zembrel::SignalBase& signal,
                 const std::string& prefix) {
    try {
        if (target == "-") {
            zembrel::WriteWavStream(stdout, "standard output", signal);
        } else {
            zembrel::WavFileWrite(target, ".wav", signal);
        }
    } catch (const zembrel::WavError& e) {
        std::fprintf(stderr, "%s: cannot write %s\n", prefix.c_str(), e.what());
        return false;
    }
    return true;
}

} // namespace cli
