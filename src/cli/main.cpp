// zembrel-cli: the generators and analyses of the program from the command line, on the same
// core, with the same rules and messages as its dialogs. No GUI, no sound server.
#include "cli/AnalysisCommands.h"
#include "cli/GeneratorCommand.h"
#include "cli/MeasureCommands.h"
#include "cli/Options.h"
#include "cli/ReadingCommands.h"
#include "cli/Terminal.h"

#include "core/FailureText.h"

#include <CLI/CLI.hpp>

#include <cstdio>
#include <memory>
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

    // Every subcommand, in the order of --help: a file of subcommands adds its Make here.
    std::vector<std::pair<CLI::App*, std::unique_ptr<Command>>> commands;
    for (const auto make :
         {MakeGeneratorCommands, MakeAnalysisCommands, MakeReadingCommands, MakeMeasureCommands}) {
        for (auto& command : make()) {
            CLI::App* added = command->AddTo(app);
            commands.emplace_back(added, std::move(command));
        }
    }

    std::string name = "zembrel-cli";
    try {
        app.parse(argc, argv);
        for (auto& [parsed, command] : commands) {
            if (parsed->parsed()) {
                name += " " + parsed->get_name();
                return command->Execute();
            }
        }
        throw UsageError("a command is required; see zembrel-cli --help");
    } catch (const CLI::Success& e) {
        return app.exit(e); // --help, --version
    } catch (const CLI::ParseError& e) {
        const CLI::App* failed = &app;
        for (auto& [parsed, command] : commands) {
            if (parsed->parsed()) {
                name += " " + parsed->get_name();
                failed = parsed;
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
        std::fprintf(stderr, "%s: %s\n", name.c_str(),
                     zembrel::FailureText(zembrel::Failure::OutOfMemory));
        return kExitFailure;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s: %s\n", name.c_str(), e.what());
        return kExitFailure;
    } catch (...) {
        std::fprintf(stderr, "%s: %s\n", name.c_str(),
                     zembrel::FailureText(zembrel::Failure::Unknown));
        return kExitFailure;
    }
}
