#pragma once

#include "tests/gui/GuiTestSupport.h"

#include "gui/app/TMainform.h"
#include "gui/app/WaveformChart.h"

#include "core/signal/SignalBase.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QStringList>

#include <memory>

// A shown main window of 800 x 600 whose playback folder lies in a private TEMP. Its menu
// items open no dialogs unless a test hands it some, so commands such as File New run
// without a modal dialog in the way.
class MainformFixture : public ::testing::Test {
protected:
    void SetUp() override { MakeForm(); }

    void MakeForm(DialogFactories dialogs = DialogFactories()) {
        // Without a sound server the window starts with a message box; accept it.
        guitest::MessageBoxCatcher startupMessage;
        form = std::make_unique<TMainform>(std::move(dialogs));
        form->show();
        QApplication::processEvents();
    }

    // Makes signal the current one through the window's one commit: playback file, then
    // memory, then view.
    void Commit(const zembrel::SignalBase& signal) {
        ASSERT_TRUE(form->Document().Commit(zembrel::SignalBase(signal), {}, form.get()));
    }

    // A generator dialog as its menu item opens it: on the cleared current signal, shown unless
    // show is false, its error texts recorded in errors instead of a window.
    template <class Dialog> std::unique_ptr<Dialog> OpenDialog(bool show = true) {
        form->Signal()->Clear();
        auto d =
            std::make_unique<Dialog>(nullptr, form->TempFileName(), form.get(), form->Signal());
        d->ShowErrorMessage = [this](const QString& text) { errors.append(text); };
        if (show) {
            d->show();
            QApplication::processEvents();
        }
        return d;
    }

    guitest::ScopedTempEnv temp;
    std::unique_ptr<TMainform> form;
    QStringList errors;
};
