#pragma once

#include "cli/Command.h"

#include <string>

namespace cli {

// stats FILE [--json]: the Statistics dialog's six figures of every channel of a WAV file, plus
// peak and RMS in dBFS.
class StatsCommand : public Command {
public:
    CLI::App* AddTo(CLI::App& app) override;
    int Execute() override;

private:
    CLI::App* command_ = nullptr;
    std::string file_;
    bool json_ = false;
};

// spectrum FILE [--len N] [--window NAME] [--channel left|right] [--scale analyser|dbfs]
// [--average] [--csv|--json]: the Frequency Analyser's levels, bin by bin, with its defaults
// (32768 points, Blackman Harris, left, the analyser's scale, the file's first block).
class SpectrumCommand : public Command {
public:
    CLI::App* AddTo(CLI::App& app) override;
    int Execute() override;

private:
    CLI::App* command_ = nullptr;
    std::string file_;
    std::string length_ = "32768";
    std::string window_ = "blackman-harris";
    std::string channel_ = "left";
    std::string scale_ = "analyser";
    bool average_ = false;
    bool csv_ = false;
    bool json_ = false;
};

// stats and spectrum, in this order.
Commands MakeAnalysisCommands();

} // namespace cli
