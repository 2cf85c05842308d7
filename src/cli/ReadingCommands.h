#pragma once

#include "cli/Command.h"

#include "core/signal/AudioFormat.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace CLI {
class App;
}

namespace zembrel {
class SignalBase;
}

namespace cli {

// analyze FILE [--fundamental HZ] [--band LO,HI] [--notch HZ] [--thd total] [--json]: every
// reading of every channel (harmonics, THD, THD+N, SINAD, noise floor, DC, crest factor,
// intermodulation of a twin tone, A/C/Z-weighted levels, sample peak) and the loudness of the
// whole file (integrated, range, maximum momentary and short-term, true peak).
class AnalyzeCommand : public Command {
public:
    CLI::App* AddTo(CLI::App& app) override;
    int Execute() override;

private:
    CLI::App* command_ = nullptr;
    std::string file_;
    std::string fundamental_;
    std::string band_ = "22,20000";
    std::string notch_;
    std::string convention_ = "fundamental";
    bool json_ = false;
};

// analyze and the test-tone generators (aes17, twin-tone, multitone).
Commands MakeReadingCommands();

} // namespace cli
