#pragma once

#include <QApplication>

// The program's QApplication. An exception that escapes an event handler (a key press, a paint)
// is shown to the user in a message box, and the program goes on with the next event instead of
// ending. Slots catch their own exceptions (Guarded in SlotGuard.h): Qt's signal delivery does
// not carry them. Handlers that change the signal restore it themselves before an exception
// leaves them.
class ZembrelApplication : public QApplication {
public:
    ZembrelApplication(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;

    // The message for an exception that stopped a command.
    static QString Describe(const std::exception& e);
};
