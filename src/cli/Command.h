#pragma once

#include <memory>
#include <vector>

namespace CLI {
class App;
}

namespace cli {

// One subcommand of zembrel-cli. main adds every command to the parser, then runs the one the
// command line named. A file of subcommands hands them over in one Make...Commands function,
// which main lists once.
class Command {
public:
    virtual ~Command() = default;

    // Adds the subcommand and its options to app; returns it, to ask after parsing whether it
    // was named.
    virtual CLI::App* AddTo(CLI::App& app) = 0;

    // Runs the subcommand after a successful parse; returns the exit status.
    virtual int Execute() = 0;
};

using Commands = std::vector<std::unique_ptr<Command>>;

} // namespace cli
