#include "gui/generators/TFDlgErrorMsg.h"
#include "gui/generators/TFDlgSineGen.h"
#include "tests/gui/GuiTestSupport.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTextEdit>

TEST(ErrorMessage, ShowsTheTextLineByLineReadOnlyWithAScrollBar) {
    TFDlgErrorMsg dialog(nullptr, TFDlgSineGen::ErrorText);
    EXPECT_EQ(dialog.windowTitle(), "Error Message");
    EXPECT_TRUE(dialog.RichEdit1->isReadOnly());
    EXPECT_EQ(dialog.RichEdit1->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_EQ(dialog.RichEdit1->document()->blockCount(), 6); // two of the six lines are empty
    EXPECT_EQ(dialog.RichEdit1->toPlainText(), TFDlgSineGen::ErrorText);
    EXPECT_FALSE(dialog.Image1->pixmap().isNull());
    EXPECT_EQ(dialog.Button1->text(), "OK");

    // Typing does not change the text; Return closes the window.
    dialog.show();
    QTest::keyClicks(dialog.RichEdit1, "xyz");
    EXPECT_EQ(dialog.RichEdit1->toPlainText(), TFDlgSineGen::ErrorText);
}

TEST(ErrorMessage, IsModalAndOkEndsTheWait) {
    bool answered = false;
    guitest::AnswerNextModal([&answered](QWidget* w) {
        auto* dialog = qobject_cast<TFDlgErrorMsg*>(w);
        ASSERT_NE(dialog, nullptr);
        answered = true;
        dialog->Button1->click();
    });
    TFDlgErrorMsg::Show(QString("line 1\n\nline 3"));
    EXPECT_TRUE(answered);
}
