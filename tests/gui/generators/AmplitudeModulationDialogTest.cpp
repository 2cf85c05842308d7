#include "gui/generators/TFDlgAmplitudeModulationGen.h"
#include "tests/gui/generators/ModulationDialogFixture.h"

#include <QPushButton>
#include <QTest>

using zembrel::SignalBase;

namespace {

using AmplitudeModulationDialog = ModulationDialogFixture<TFDlgAmplitudeModulationGen>;

TEST_F(AmplitudeModulationDialog, StartsWithItsTextsTabOrderAndOffsetOnlyForStereo) {
    auto d = Open();
    EXPECT_EQ(d->windowTitle(), "Amplitude Modulation Generator");
    EXPECT_EQ(d->carrier_f->text(), "");
    EXPECT_EQ(d->mod_f->text(), "");
    EXPECT_EQ(d->mod_phase->text(), "0");
    EXPECT_EQ(d->mod_index->text(), "1");
    EXPECT_EQ(d->PhaseOffset->text(), "0");
    EXPECT_EQ(d->lev->text(), "0");
    EXPECT_FALSE(d->PhaseOffset->isEnabled());
    EXPECT_EQ(d->focusWidget(), d->carrier_f);

    UseStereo();
    auto stereo = Open();
    EXPECT_TRUE(stereo->PhaseOffset->isEnabled());
    EXPECT_EQ(stereo->PhaseOffset->text(), "0");
    // Tab walks the edits in order and goes past Cancel.
    stereo->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(stereo.get()));
    stereo->carrier_f->setFocus();
    std::vector<QWidget*> order;
    for (int i = 0; i < 8; ++i) {
        order.push_back(QApplication::focusWidget());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    const std::vector<QWidget*> expected = {
        stereo->carrier_f,   stereo->mod_f, stereo->mod_phase, stereo->mod_index,
        stereo->PhaseOffset, stereo->lev,   stereo->BOK,       stereo->carrier_f};
    EXPECT_EQ(order, expected);
}

TEST_F(AmplitudeModulationDialog, ChecksEachFieldAndEmptiesOnlyThoseInError) {
    struct Case {
        const char *fc, *fm, *m, *level;
        bool fcBad, fmBad, mBad, levelBad;
        const char* line = ""; // below the fixed text
    };
    // The ranges themselves are checked in core; here: which fields are emptied, and when.
    const Case cases[] = {
        {"22050", "", "1", "0", false, false, false, false},    // fm empty reads as 0
        {"15000", "8000", "1", "0", false, true, false, false}, // upper sideband 23000 Hz
        {"1000", "100", "0,5", "0.1", false, false, false, true},
        {"", "100", "", "3", true, true, true, true},
        {"1000", "100", "1e300", "0", false, false, true, false,
         "\n\nMod Index must be at most 1e250."}, // the text says m > 0
    };
    // 0.1 s at 44100 Hz.
    Commit(SignalBase(44100.0, 0.1, 16, 32768, 1));
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << c.fc << " / " << c.fm << " / " << c.m << " / " << c.level);
        auto d = Open();
        d->carrier_f->setText(c.fc);
        d->mod_f->setText(c.fm);
        d->mod_phase->setText("45");
        d->mod_index->setText(c.m);
        d->lev->setText(c.level);
        d->BOK->click();
        const bool anyBad = c.fcBad || c.fmBad || c.mBad || c.levelBad;
        if (!anyBad) {
            EXPECT_TRUE(errors.isEmpty());
            EXPECT_EQ(d->result(), QDialog::Accepted);
            continue;
        }
        ASSERT_EQ(errors.size(), 1);
        EXPECT_EQ(errors[0], TFDlgAmplitudeModulationGen::ErrorText + c.line);
        errors.clear();
        // Emptied before the message, and still so afterwards; the rest as typed.
        for (const auto& [edit, bad, typed] : {std::tuple{d->carrier_f, c.fcBad, c.fc},
                                               {d->mod_f, c.fmBad, c.fm},
                                               {d->mod_index, c.mBad, c.m},
                                               {d->lev, c.levelBad, c.level}}) {
            SCOPED_TRACE(edit->objectName().toStdString());
            EXPECT_EQ(atMessage[edit->objectName()], bad ? "" : typed);
            EXPECT_EQ(edit->text(), bad ? "" : typed);
        }
        EXPECT_EQ(d->mod_phase->text(), "45");
        EXPECT_EQ(d->focusWidget(), d->carrier_f);
        EXPECT_TRUE(d->isVisible());
        EXPECT_TRUE(IsSilent());
    }
}

TEST_F(AmplitudeModulationDialog, StereoOffsetOpposesTheEnvelopesOverOneCarrier) {
    UseStereo(0.1);
    auto d = Open();
    d->carrier_f->setText("1000");
    d->mod_f->setText("100");
    d->PhaseOffset->setText("180");
    d->BOK->click();
    ASSERT_EQ(d->result(), QDialog::Accepted);
    const SignalBase& s = *form->Signal();
    // With m = 1 the two envelopes add up to 1, so left + right is the bare carrier: the left
    // envelope is at its minimum where the right one is at its maximum. At 0.25 ms the carrier
    // has its first crest, where the right envelope stands at 1 - (1 - cos(2 pi 100 Hz 0.25 ms))/2
    // and makes the joint peak.
    const double right = 0.5 + 0.5 * std::cos(2 * M_PI * 100 * 0.00025);
    const double scale = 32768.0 / right;
    for (int i = 0; i < s.SampleCount; ++i) {
        const double carrier = std::sin(2 * M_PI * 1000 * i / 48000.0);
        // Each channel is truncated to whole file units on its own.
        ASSERT_NEAR(s.Left[i] + s.Right[i], scale * carrier, 3.0) << i;
    }
    EXPECT_EQ(s.Right[12], 32767.0);
    EXPECT_NEAR(s.Left[12], scale * (1.0 - right), 1.5);
}

} // namespace
