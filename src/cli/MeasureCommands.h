#pragma once

#include "cli/Command.h"

#include <string>

namespace CLI {
class App;
}

namespace cli {

// The sweep's options as sync-sweep, deconvolve and measure take them.
struct SweepOptions {
    std::string Start;
    std::string Stop;
    std::string Length;
    std::string FadeIn = "0";
    std::string FadeOut = "0";
    std::string Pre = "0";
    std::string Post = "0";
    std::string Level = "0";
};

// The results deconvolve and measure write.
struct ResultOptions {
    std::string Ir;
    std::string Response;
    std::string Distortion;
    std::string Smooth = "0";
    bool Json = false;
};

// sync-sweep --start F1 --stop F2 --length T [...] -o FILE [--json]: the synchronized
// exponential sweep as a WAV file; --json prints the parameters a deconvolution needs.
class SyncSweepCommand : public Command {
public:
    CLI::App* AddTo(CLI::App& app) override;
    int Execute() override;

private:
    CLI::App* command_ = nullptr;
    SweepOptions sweep_;
    std::string rate_ = "48000";
    std::string bits_ = "16";
    std::string format_; // empty: from the output's extension
    std::string dither_ = "none";
    std::string seed_;
    std::string output_;
    bool json_ = false;
};

// deconvolve REC.wav (--start F1 --stop F2 --length T [--pre S] | --sweep-json FILE |
// --reference FILE) [--ir IR.wav] [--response R.csv] [--distortion D.csv] [--smooth N] [--json]
class DeconvolveCommand : public Command {
public:
    CLI::App* AddTo(CLI::App& app) override;
    int Execute() override;

private:
    CLI::App* command_ = nullptr;
    std::string recording_;
    SweepOptions sweep_;
    std::string sweepJson_;
    std::string reference_;
    ResultOptions results_;
};

// measure: plays the sweep on an output device while recording an input device, then
// deconvolves the recording as deconvolve does. --list-devices names the devices.
class MeasureCommand : public Command {
public:
    CLI::App* AddTo(CLI::App& app) override;
    int Execute() override;

private:
    CLI::App* command_ = nullptr;
    SweepOptions sweep_{"20", "20000", "5", "0", "0", "0.5", "0.5", "-6"};
    std::string rate_;
    std::string output_;
    std::string input_;
    std::string keep_;
    std::string timeout_ = "10";
    bool list_ = false;
    ResultOptions results_;
};

// sync-sweep, deconvolve and measure.
Commands MakeMeasureCommands();

} // namespace cli
