// The main window on a machine without sound output. CTest runs this suite in a process whose
// PulseAudio server address leads nowhere, so no output device exists.

#include "tests/gui/GuiTestSupport.h"

#include "gui/app/TMainform.h"
#include "gui/app/WaveformChart.h"

#include <gtest/gtest.h>

#include <QAudioDevice>
#include <QFileInfo>
#include <QMediaDevices>
#include <QPushButton>
#include <QTimer>

namespace {

TEST(NoSoundDevice, StartupWarnsOnceThenPlayButtonsReportAndStopIsSilent) {
    ASSERT_TRUE(QMediaDevices::audioOutputs().isEmpty())
        << "run this suite with PULSE_SERVER pointing to no server";
    guitest::ScopedTempEnv temp;

    std::unique_ptr<TMainform> form;
    QStringList startup;
    {
        guitest::MessageBoxCatcher boxes;
        form = std::make_unique<TMainform>(DialogFactories());
        form->show();
        startup = boxes.Texts();
    }
    EXPECT_EQ(startup, QStringList({"No sounddevice installed"}));
    // Then the normal window.
    EXPECT_EQ(form->SoundDevices(), 0);
    EXPECT_TRUE(form->Ready());
    EXPECT_TRUE(QFileInfo::exists(form->TempFileName()));
    EXPECT_EQ(form->Chart1->isVisible(), true);

    form->SetStatusText("unchanged");
    {
        guitest::MessageBoxCatcher boxes;
        form->BPlay->click();
        form->BPlayLoop->click();
        EXPECT_EQ(boxes.Texts(),
                  QStringList({"No sound device installed", "No sound device installed"}));
    }
    EXPECT_EQ(form->StatusText(), "unchanged");
    EXPECT_FALSE(form->Timer1->isActive());
    {
        guitest::MessageBoxCatcher boxes;
        form->BStopPlaying->click();
        EXPECT_TRUE(boxes.Texts().isEmpty());
    }
    EXPECT_EQ(form->StatusText(), "unchanged");

    // Commands that stop playback work on as usual.
    form->New1Click();
    EXPECT_EQ(form->StatusText(), "New signal created.");
}

} // namespace
