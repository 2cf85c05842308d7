#pragma once

#include <QPointer>
#include <QWidget>

#include <utility>

// Shows why a command failed: called inside a catch block, it describes the exception in hand
// in a message box on parent (or only on the terminal when even the message fails).
void ReportFailedCommand(QWidget* parent);

// Wraps a slot so that no exception leaves it: Qt leaves undefined what happens to an exception
// that passes through its signal delivery. A command that fails is reported on parent and the
// program goes on with the next event; a handler that changes the signal restores it itself
// before an exception leaves it.
template <class Slot> auto Guarded(QWidget* parent, Slot slot) {
    return [guard = QPointer<QWidget>(parent), slot = std::move(slot)]() {
        try {
            slot();
        } catch (...) {
            ReportFailedCommand(guard.data());
        }
    };
}

// connect(sender, signal, receiver, slot) for a slot without arguments, Guarded on receiver.
template <class Sender, class Signal, class Receiver>
QMetaObject::Connection ConnectGuarded(Sender* sender, Signal signal, Receiver* receiver,
                                       void (Receiver::*slot)()) {
    return QObject::connect(sender, signal, receiver,
                            Guarded(receiver, [receiver, slot] { (receiver->*slot)(); }));
}
