#include "gui/app/SlotGuard.h"

#include "gui/app/ZembrelApplication.h"

#include "core/FailureText.h"

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
        message = QStringLiteral("The command could not be completed: %1.")
                      .arg(QString::fromLatin1(zembrel::FailureText(zembrel::Failure::Unknown)));
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
