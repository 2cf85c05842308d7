#include "gui/app/SlotGuard.h"

#include "gui/app/ZembrelApplication.h"

#include <QCoreApplication>
#include <QMessageBox>

#include <exception>

void ReportFailedCommand(QWidget* parent) {
    QString message;
    try {
        throw;
    } catch (const std::exception& e) {
        message = ZembrelApplication::Describe(e);
    } catch (...) {
        message = QStringLiteral("The command could not be completed: an unknown error occurred.");
    }
    // A message that fails in turn is not shown again.
    static bool showing = false;
    if (showing) {
        qWarning("%s", qPrintable(message));
        return;
    }
    showing = true;
    try {
        QMessageBox::critical(parent, QCoreApplication::applicationName(), message);
    } catch (...) {
        qWarning("%s", qPrintable(message));
    }
    showing = false;
}
