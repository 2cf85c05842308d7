#include "gui/app/ButtonIcons.h"
#include "gui/app/CommandLine.h"
#include "gui/app/TMainform.h"
#include "gui/app/ZembrelApplication.h"

#include <QApplication>
#include <QMessageBox>
#include <QSocketNotifier>

#include <csignal>
#include <cstdio>
#include <exception>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// SIGINT and SIGTERM end the program through the event loop, so the main window is destroyed
// normally and takes its temporary folder with it.
int quitPipe[2] = {-1, -1};

void RequestQuit(int) {
    const char byte = 1;
    [[maybe_unused]] const auto written = ::write(quitPipe[1], &byte, 1);
}

void QuitOnTerminationSignals(QApplication& app) {
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, quitPipe) != 0) {
        return;
    }
    auto* notifier = new QSocketNotifier(quitPipe[0], QSocketNotifier::Read, &app);
    QObject::connect(notifier, &QSocketNotifier::activated, &app, &QApplication::quit);
    struct sigaction action = {};
    action.sa_handler = RequestQuit;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

void SetApplicationNames() {
    QCoreApplication::setApplicationName(QStringLiteral("Zembrel"));
    QCoreApplication::setOrganizationName(QStringLiteral("Zembrel")); // ~/.config/Zembrel
    QCoreApplication::setApplicationVersion(QStringLiteral(ZEMBREL_VERSION));
}

// Prints the message of a command line that ends the program at once; its exit status.
int EndWith(const CommandLine& commandLine) {
    std::fputs(qPrintable(commandLine.Message), *commandLine.ExitStatus == 0 ? stdout : stderr);
    return *commandLine.ExitStatus;
}

} // namespace

int main(int argc, char* argv[]) {
    // --help and --version need no display: answered before QApplication opens one. Anything
    // else (a toolkit option beside them, say) goes the usual way.
    if (AsksForInformation(argc, argv)) {
        const QCoreApplication information(argc, argv);
        SetApplicationNames();
        const CommandLine commandLine = ReadCommandLine(QCoreApplication::arguments());
        if (commandLine.ExitStatus == 0) {
            return EndWith(commandLine);
        }
    }
    ZembrelApplication app(argc, argv);
    SetApplicationNames();
    // Ties the windows to the installed desktop entry (icon, name in the task bar).
    QGuiApplication::setDesktopFileName(QStringLiteral("zembrel"));
    QApplication::setWindowIcon(ProgramIcon());
    const CommandLine commandLine = ReadCommandLine(QApplication::arguments());
    if (commandLine.ExitStatus) {
        return EndWith(commandLine);
    }
    QuitOnTerminationSignals(app);
    try {
        const auto mainform = StartMainWindow(commandLine);
        return app.exec();
    } catch (const std::exception& e) {
        QMessageBox::critical(nullptr, QStringLiteral("Zembrel"), QString::fromLocal8Bit(e.what()));
    }
    return 1;
}
