#pragma once

#include <QString>
#include <QStringList>
#include <Qt>

#include <functional>
#include <memory>

class QTimer;
class QWidget;

// Input as a user gives it. Every event enters through the window system
// (QWindowSystemInterface), so modality, activation and keyboard focus decide which widget
// receives it, exactly as for a real mouse and keyboard: a click on a window that a modal
// dialog blocks is lost, and keys go to the window that has the focus.
namespace userinput {

// A left click at the centre of widget, in whatever window holds it.
void Click(QWidget* widget);

// Keys to the window that has the keyboard focus now.
void Press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
void Type(const QString& text);

// Clicks into an edit field, selects its whole text and types text over it.
void TypeInto(QWidget* field, const QString& text);

// Opens a menu of the main window and walks its items by their mnemonics, as Alt+G, N, P
// does: menuPath is the list of mnemonic letters, the first pressed with Alt.
void ChooseMenu(const QString& menuPath);

// The user works in another program for a moment, then clicks back into window: the window
// system takes the focus from every window of this program and then gives it to window.
void VisitAnotherProgram(QWidget* window);

// Serves events until done() holds; false when timeoutMs passed first.
bool WaitUntil(const std::function<bool()>& done, int timeoutMs = 10000);

// Runs steps from the event loop once condition holds (polled every 10 ms), for example
// inside the exec() of a dialog that a click of the test has opened. A failure is recorded
// when condition does not come true within timeoutMs.
void When(std::function<bool()> condition, std::function<void()> steps, int timeoutMs = 10000);

// Runs steps on the next modal dialog that appears, from the event loop of its own exec():
// the test triggers the command that opens it next. Several can be queued; each waits for a
// modal dialog other than the one it was queued from. A failure is recorded when none appears.
void OnNextModal(std::function<void(QWidget* dialog)> steps, int timeoutMs = 10000);

// Cancels every When()/OnNextModal() whose steps have not run yet and returns how many there
// were. A test ends with none: a pending one could act in a later test's dialog with captures
// of a finished test. The test program calls this after every test and fails the test then.
int CancelPendingInput();

// While it lives, any modal dialog that stays open for longer than its time is closed with a
// test failure, so a test whose input was lost fails instead of hanging.
class ModalWatchdog {
public:
    explicit ModalWatchdog(int timeoutMs = 60000);
    ~ModalWatchdog();

private:
    std::unique_ptr<QTimer> timer_;
};

} // namespace userinput
