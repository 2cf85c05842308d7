#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
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
class AnalyzeCommand {
public:
    CLI::App* AddTo(CLI::App& app);
    int Execute();

private:
    CLI::App* command_ = nullptr;
    std::string file_;
    std::string fundamental_;
    std::string band_ = "22,20000";
    std::string notch_;
    std::string convention_ = "fundamental";
    bool json_ = false;
};

// The file reading of the analyses that take any format the program reads.
zembrel::SignalBase ReadAnalysisFile(const std::string& path);

// Adds analyze and the test-tone generators (aes17, twin-tone, multitone) to app; their runs join
// commands, as main's other subcommands.
void AddReadingCommands(CLI::App& app,
                        std::vector<std::pair<CLI::App*, std::function<int()>>>& commands);

} // namespace cli
