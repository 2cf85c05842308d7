#include "tests/gui/UserInput.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QDeadlineTimer>
#include <QDialog>
#include <QElapsedTimer>
#include <QMainWindow>
#include <QPointer>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <qpa/qwindowsysteminterface.h>

#include <vector>

namespace userinput {

namespace {

// The window the keyboard talks to, as the window system sees it. When a window has closed and
// none holds the focus, this stands in for the window manager, which hands the focus to the
// modal dialog on top or else to the main window (the offscreen platform has no manager).
QWindow* KeyboardWindow() {
    const auto focused = [] { return QGuiApplication::focusWindow() != nullptr; };
    if (!QTest::qWaitFor(focused, 200)) {
        QWidget* next = QApplication::activeModalWidget();
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (next == nullptr && qobject_cast<QMainWindow*>(w) && w->isVisible()) {
                next = w;
            }
        }
        if (next != nullptr && next->windowHandle() != nullptr) {
            next->windowHandle()->requestActivate();
            (void)QTest::qWaitFor(focused, 2000);
        }
    }
    QWindow* window = QGuiApplication::focusWindow();
    if (window == nullptr) {
        ADD_FAILURE() << "no window has the keyboard focus";
    }
    return window;
}

// Every poll of When() since the last CancelPendingInput(); an empty function is one that ran,
// timed out or was cancelled.
std::vector<std::shared_ptr<std::function<void()>>>& PendingPolls() {
    static std::vector<std::shared_ptr<std::function<void()>>> polls;
    return polls;
}

} // namespace

void Click(QWidget* widget) {
    ASSERT_NE(widget, nullptr);
    ASSERT_TRUE(widget->isVisible()) << widget->objectName().toStdString() << " is not shown";
    // A radio button or check box takes a click only on its mark or its text, which may end
    // well before the middle of a wide widget: the user clicks the mark.
    QPoint at = widget->rect().center();
    QStyleOptionButton option;
    option.initFrom(widget);
    if (qobject_cast<QRadioButton*>(widget)) {
        at = widget->style()
                 ->subElementRect(QStyle::SE_RadioButtonIndicator, &option, widget)
                 .center();
    } else if (qobject_cast<QCheckBox*>(widget)) {
        at =
            widget->style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, widget).center();
    }
    QWidget* top = widget->window();
    QTest::mouseClick(top->windowHandle(), Qt::LeftButton, Qt::NoModifier, widget->mapTo(top, at));
}

void Press(Qt::Key key, Qt::KeyboardModifiers modifiers) {
    if (QWindow* window = KeyboardWindow()) {
        QTest::keyClick(window, key, modifiers);
    }
}

void Type(const QString& text) {
    for (const QChar c : text) {
        QWindow* window = KeyboardWindow();
        if (window == nullptr) {
            return;
        }
        QTest::keyClick(window, c.toLatin1());
    }
}

void TypeInto(QWidget* field, const QString& text) {
    Click(field);
    Press(Qt::Key_A, Qt::ControlModifier);
    Press(Qt::Key_Backspace);
    Type(text);
}

void ChooseMenu(const QString& menuPath) {
    ASSERT_FALSE(menuPath.isEmpty());
    const auto key = [](QChar c) { return Qt::Key(Qt::Key_A + (c.toUpper().unicode() - 'A')); };
    Press(key(menuPath[0]), Qt::AltModifier);
    for (qsizetype i = 1; i < menuPath.size(); ++i) {
        // Each letter goes to the menu that the previous one opened.
        QWindow* window = KeyboardWindow();
        ASSERT_NE(window, nullptr);
        QTest::keyClick(window, menuPath[i].toLower().toLatin1());
    }
}

void VisitAnotherProgram(QWidget* window) {
    using Wsi = QWindowSystemInterface;
    Wsi::handleWindowActivated<Wsi::SynchronousDelivery>(nullptr, Qt::ActiveWindowFocusReason);
    EXPECT_EQ(QGuiApplication::focusWindow(), nullptr);
    Wsi::handleWindowActivated<Wsi::SynchronousDelivery>(window->windowHandle(),
                                                         Qt::ActiveWindowFocusReason);
    EXPECT_TRUE(QTest::qWaitForWindowActive(window));
}

bool WaitUntil(const std::function<bool()>& done, int timeoutMs) {
    return QTest::qWaitFor(done, timeoutMs);
}

void When(std::function<bool()> condition, std::function<void()> steps, int timeoutMs) {
    auto deadline = std::make_shared<QDeadlineTimer>(timeoutMs);
    auto poll = std::make_shared<std::function<void()>>();
    PendingPolls().push_back(poll);
    *poll = [condition = std::move(condition), steps = std::move(steps), deadline, poll]() {
        if (condition()) {
            const auto run = steps;
            *poll = nullptr; // breaks the self-reference before the steps run
            run();
            return;
        }
        if (deadline->hasExpired()) {
            ADD_FAILURE() << "the awaited state did not come";
            *poll = nullptr;
            return;
        }
        QTimer::singleShot(10, [poll] {
            if (*poll) {
                (*poll)();
            }
        });
    };
    QTimer::singleShot(0, [poll] {
        if (*poll) {
            (*poll)();
        }
    });
}

int CancelPendingInput() {
    int pending = 0;
    for (const auto& poll : PendingPolls()) {
        if (*poll) {
            ++pending;
            *poll = nullptr; // drops the captures; a queued timer then finds nothing to run
        }
    }
    PendingPolls().clear();
    return pending;
}

void OnNextModal(std::function<void(QWidget* dialog)> steps, int timeoutMs) {
    const QPointer<QWidget> from = QApplication::activeModalWidget();
    // The dialog must also be the active window, so that keys reach it.
    const auto isNew = [from] {
        QWidget* modal = QApplication::activeModalWidget();
        return modal != nullptr && modal != from && modal->isVisible() && modal->isActiveWindow();
    };
    When(
        isNew, [steps = std::move(steps)] { steps(QApplication::activeModalWidget()); }, timeoutMs);
}

ModalWatchdog::ModalWatchdog(int timeoutMs) : timer_(std::make_unique<QTimer>()) {
    auto watched = std::make_shared<QPointer<QWidget>>();
    auto since = std::make_shared<QElapsedTimer>();
    QObject::connect(timer_.get(), &QTimer::timeout, [watched, since, timeoutMs] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal != watched->data()) {
            *watched = modal;
            since->start();
            return;
        }
        if (modal != nullptr && since->elapsed() > timeoutMs) {
            ADD_FAILURE() << "the modal window \"" << modal->windowTitle().toStdString()
                          << "\" stayed open; it is closed now";
            if (auto* dialog = qobject_cast<QDialog*>(modal)) {
                dialog->done(QDialog::Rejected);
            } else {
                modal->close();
            }
            since->start();
        }
    });
    timer_->start(100);
}

ModalWatchdog::~ModalWatchdog() = default;

} // namespace userinput
