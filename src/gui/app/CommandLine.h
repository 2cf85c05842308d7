#pragma once

#include "gui/app/DialogFactories.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

class TMainform;

// The desktop program's command line: "zembrel [FILE.wav]", as a file manager or the desktop
// menu starts it, plus --help and --version.
struct CommandLine {
    // The file to open at start-up, absolute: a relative name is taken from the folder the
    // program was started in, before the main window makes its own folder the current one.
    // Empty for none.
    QString File;
    // Set when the program ends at once with this status after printing Message: 0 after
    // --help or --version, 2 for arguments it cannot take (Message then goes to stderr).
    std::optional<int> ExitStatus;
    QString Message;
};

// arguments as QCoreApplication::arguments() gives them: the program's name first, the
// toolkit's own options already taken out.
CommandLine ReadCommandLine(const QStringList& arguments);

// True when argv holds --help, -h, --help-all, --version or -v (before a "--"): those are
// answered without the toolkit's display, which the program cannot open on a terminal without
// one.
bool AsksForInformation(int argc, const char* const* argv);

// Makes and shows the main window; once the event loop runs, opens commandLine.File in it
// with TMainform::OpenFile, so a file named on the command line meets the same checks and
// messages as one chosen with File Open, and a refused file leaves the start-up signal.
std::unique_ptr<TMainform> StartMainWindow(const CommandLine& commandLine,
                                           DialogFactories dialogs = InstalledDialogs());
