#include "gui/app/ZembrelApplication.h"

#include "core/FailureText.h"

#include <QMessageBox>

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
    QString message;
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        message = Describe(e);
    } catch (...) {
        message = QStringLiteral("The command could not be completed: %1.")
                      .arg(QString::fromLatin1(zembrel::FailureText(zembrel::Failure::Unknown)));
    }
    // Shown once the handler is left; a message that fails in turn is not shown again.
    static bool showing = false;
    if (!showing) {
        showing = true;
        try {
            QMessageBox::critical(activeWindow(), applicationName(), message);
        } catch (...) {
            qWarning("%s", qPrintable(message));
        }
        showing = false;
    } else {
        qWarning("%s", qPrintable(message));
    }
    return false;
}
