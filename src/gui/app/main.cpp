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

} // namespace

int main(int argc, char* argv[]) {
    ZembrelApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Zembrel"));
    QApplication::setOrganizationName(QStringLiteral("Zembrel")); // settings: ~/.config/Zembrel
    QApplication::setApplicationVersion(QStringLiteral(ZEMBREL_VERSION));
    // Ties the windows to the installed desktop entry (icon, name in the task bar).
    QGuiApplication::setDesktopFileName(QStringLiteral("zembrel"));
    QApplication::setWindowIcon(ProgramIcon());
    const CommandLine commandLine = ReadCommandLine(QApplication::arguments());
    if (commandLine.ExitStatus) {
        std::fputs(qPrintable(commandLine.Message), *commandLine.ExitStatus == 0 ? stdout : stderr);
        return *commandLine.ExitStatus;
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
