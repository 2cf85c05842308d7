#include "gui/app/ZembrelApplication.h"

#include "core/FailureText.h"
#include "gui/app/SlotGuard.h"

#include <exception>
#include <new>

ZembrelApplication::ZembrelApplication(int& argc, char** argv) : QApplication(argc, argv) {
    // The sound server lists the program's playback under this name (not "QtPulseAudio:<pid>",
    // the name Qt gives its connection). Read when the first connection is made, so set before
    // any audio device is asked for; a name given in the environment is kept.
    if (!qEnvironmentVariableIsSet("PULSE_PROP_OVERRIDE_application.name")) {
        qputenv("PULSE_PROP_OVERRIDE_application.name", "Zembrel");
        qputenv("PULSE_PROP_OVERRIDE_application.icon_name", "zembrel");
    }
}

QString ZembrelApplication::Describe(const std::exception& e) {
    if (dynamic_cast<const std::bad_alloc*>(&e) != nullptr) {
        return QStringLiteral("There is %1 for this command; it was not completed.")
            .arg(QString::fromLatin1(zembrel::FailureText(zembrel::Failure::OutOfMemory)));
    }
    return QStringLiteral("The command could not be completed:\n%1")
        .arg(QString::fromLocal8Bit(e.what()));
}

bool ZembrelApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        // Shown once the handler is left.
        ReportFailedCommand(activeWindow());
    }
    return false;
}
