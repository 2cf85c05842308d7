#pragma once

#include <QApplication>

// The program's QApplication. An exception that escapes an event handler (a menu command, a
// button, a dialog's Import, a paint) is shown to the user in a message box, and the program
// goes on with the next event instead of ending. Handlers that change the signal restore it
// themselves before an exception leaves them.
class ZembrelApplication : public QApplication {
public:
    ZembrelApplication(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;

    // The message for an exception that stopped a command.
    static QString Describe(const std::exception& e);
};
