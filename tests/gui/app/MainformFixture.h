#pragma once

#include "tests/gui/GuiTestSupport.h"

#include "gui/app/TMainform.h"
#include "gui/app/WaveformChart.h"

#include <gtest/gtest.h>

#include <QApplication>

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

    // Makes signal the current one the way a generator commits it: playback file, then view.
    void Commit(const zembrel::SignalBase& signal) {
        *form->Signal() = signal;
        ASSERT_TRUE(form->WriteTempFile(signal));
        form->ShowSignal(form->Signal());
        form->ArrangeCharts();
    }

    guitest::ScopedTempEnv temp;
    std::unique_ptr<TMainform> form;
};
