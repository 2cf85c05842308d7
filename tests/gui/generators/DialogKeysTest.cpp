// Return presses the button that has the keyboard focus; from an edit field it presses the
// dialog's default button (OK).

#include "tests/gui/UserInput.h"
#include "tests/gui/app/MainformFixture.h"

#include "gui/app/DialogFactories.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

using namespace userinput;

struct FocusedButton {
    const char* name;
    const char* menu;
    const char* button;
    // What Return on the button leaves: the dialog open with this counter text, or (empty)
    // the dialog closed.
    const char* counter;
};

void PrintTo(const FocusedButton& c, std::ostream* os) {
    *os << c.name;
}

class ReturnOnAFocusedButton : public MainformFixture,
                               public testing::WithParamInterface<FocusedButton> {
protected:
    void SetUp() override { MakeForm(InstalledDialogs()); }
};

TEST_P(ReturnOnAFocusedButton, PressesThatButtonNotOk) {
    const FocusedButton& c = GetParam();
    const QByteArray fileBefore = guitest::ReadBytes(form->TempFileName());
    bool stayedOpen = false;
    QString counter;
    OnNextModal([&](QWidget* dialog) {
        // Valid fields, so that a wrongly pressed OK would commit.
        for (QLineEdit* edit : dialog->findChildren<QLineEdit*>()) {
            if (edit->isEnabled() && edit->text().isEmpty()) {
                TypeInto(edit, edit->objectName() == "f_stop" ? "2000" : "1000");
            }
        }
        auto* button = dialog->findChild<QPushButton*>(c.button);
        ASSERT_NE(button, nullptr);
        for (int tabs = 0; tabs < 20 && QApplication::focusWidget() != button; ++tabs) {
            Press(Qt::Key_Tab);
        }
        ASSERT_EQ(QApplication::focusWidget(), button);
        Press(Qt::Key_Return);
        stayedOpen = dialog->isVisible();
        for (const char* name : {"Label2", "LNumBand"}) {
            if (auto* label = dialog->findChild<QLabel*>(name)) {
                counter = label->text();
            }
        }
        if (stayedOpen) {
            Press(Qt::Key_Escape);
        }
    });
    ChooseMenu(c.menu);
    ASSERT_TRUE(WaitUntil([] { return QApplication::activeModalWidget() == nullptr; }, 30000));
    EXPECT_EQ(stayedOpen, *c.counter != '\0');
    if (stayedOpen) {
        EXPECT_EQ(counter, c.counter);
    }
    EXPECT_NE(form->StatusText(), "Calculation finished.");
    EXPECT_EQ(guitest::ReadBytes(form->TempFileName()), fileBefore);
}

INSTANTIATE_TEST_SUITE_P(
    Dialogs, ReturnOnAFocusedButton,
    testing::Values(FocusedButton{"SineCancel", "GS", "BCancel", ""},
                    FocusedButton{"SineAddSine", "GS", "BAddSine", "2"},
                    FocusedButton{"FunctionCancel", "GFS", "BCancelFunctionGenerator", ""},
                    FocusedButton{"WhiteNoiseCancel", "GNW", "BCancel", ""}),
    [](const testing::TestParamInfo<FocusedButton>& info) { return info.param.name; });

} // namespace
