#include "gui/app/ZembrelApplication.h"

#include "gui/app/SlotGuard.h"

#include <exception>
#include <new>

ZembrelApplication::ZembrelApplication(int& argc, char** argv) : QApplication(argc, argv) {}

QString ZembrelApplication::Describe(const std::exception& e) {
    if (dynamic_cast<const std::bad_alloc*>(&e) != nullptr) {
        return QStringLiteral("There is not enough memory for this command; it was not completed.");
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
