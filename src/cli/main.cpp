// zembrel-cli: the generators and analyses of the program from the command line, on the same
// core, with the same rules and messages as its dialogs. No GUI, no sound server.
#include "cli/AnalysisCommands.h"
#include "cli/GeneratorCommand.h"
#include "cli/MeasureCommands.h"
#include "cli/Options.h"
#include "cli/Terminal.h"

#include <CLI/CLI.hpp>

#include <cstdio>
#include <functional>
#include <new>
#include <utility>
#include <vector>

int main(int argc, char** argv) {
    using namespace cli;
    InstallInterruptHandler();

    CLI::App app("Test signals for audio work: every generator and analysis of Zembrel, for "
                 "scripts and test rigs.",
                 "zembrel-cli");
    app.set_version_flag("--version", ZEMBREL_VERSION);
    app.require_subcommand(0, 1);

    std::vector<std::pair<CLI::App*, std::function<int()>>> commands;
    auto generators = MakeGeneratorCommands();
    for (auto& generator : generators) {
        commands.emplace_back(generator->AddTo(app), [&generator] { return generator->Execute(); });
    }
    StatsCommand stats;
    commands.emplace_back(stats.AddTo(app), [&stats] { return stats.Execute(); });
    SpectrumCommand spectrum;
    commands.emplace_back(spectrum.AddTo(app), [&spectrum] { return spectrum.Execute(); });
    SyncSweepCommand syncSweep;
    commands.emplace_back(syncSweep.AddTo(app), [&syncSweep] { return syncSweep.Execute(); });
    DeconvolveCommand deconvolve;
    commands.emplace_back(deconvolve.AddTo(app), [&deconvolve] { return deconvolve.Execute(); });
    MeasureCommand measure;
    commands.emplace_back(measure.AddTo(app), [&measure] { return measure.Execute(); });

    std::string name = "zembrel-cli";
    try {
        app.parse(argc, argv);
        for (auto& [command, execute] : commands) {
            if (command->parsed()) {
                name += " " + command->get_name();
                return execute();
            }
        }
        throw UsageError("a command is required; see zembrel-cli --help");
    } catch (const CLI::Success& e) {
        return app.exit(e); // --help, --version
    } catch (const CLI::ParseError& e) {
        const CLI::App* failed = &app;
        for (auto& [command, execute] : commands) {
            if (command->parsed()) {
                name += " " + command->get_name();
                failed = command;
                break;
            }
        }
        std::string message = e.what();
        if (dynamic_cast<const CLI::ExtrasError*>(&e)) {
            // In the order they were given (CLI11 lists them from the last).
            message = "not expected:";
            for (const std::string& argument : failed->remaining()) {
                message += " " + argument;
            }
        }
        std::fprintf(stderr, "%s: %s\n", name.c_str(), message.c_str());
        return kExitBadInput;
    } catch (const UsageError& e) {
        std::fprintf(stderr, "%s: %s\n", name.c_str(), e.what());
        if (!e.Detail().empty()) {
            std::fprintf(stderr, "%s\n", e.Detail().c_str());
        }
        return kExitBadInput;
    } catch (const std::bad_alloc&) {
        std::fprintf(stderr, "%s: not enough memory for a signal of this format\n", name.c_str());
        return kExitFailure;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s: %s\n", name.c_str(), e.what());
        return kExitFailure;
    }
}
