#include "gui/generators/TFDlgFrequencyModulationGen.h"
#include "tests/gui/generators/ModulationDialogFixture.h"

#include <QPushButton>

#include <numbers>

using zembrel::SignalBase;

namespace {

using FrequencyModulationDialog = ModulationDialogFixture<TFDlgFrequencyModulationGen>;

TEST_F(FrequencyModulationDialog, ShowingResetsTheFrequenciesAndTheIndexButNotTheLevel) {
    auto d = Open(false);
    d->carrier_f->setText("1000");
    d->mod_f->setText("10");
    d->mod_index->setText("3");
    d->lev->setText("-3");
    d->show();
    EXPECT_EQ(d->windowTitle(), "Frequency Modulation Generator");
    EXPECT_EQ(d->carrier_f->text(), "");
    EXPECT_EQ(d->mod_f->text(), "");
    EXPECT_EQ(d->mod_index->text(), "1");
    EXPECT_EQ(d->lev->text(), "-3");
    EXPECT_EQ(d->focusWidget(), d->carrier_f);
    EXPECT_EQ(d->BCancel->focusPolicy() & Qt::TabFocus, 0);
}

TEST_F(FrequencyModulationDialog, AfterAnErrorTheInputsAreResetAndTheFieldsInErrorEmpty) {
    struct Case {
        const char *fc, *fm, *m, *level;
        bool fcBad, fmBad, mBad, levelBad;
    };
    // The ranges themselves are checked in core; here: which fields are emptied or reset.
    const Case cases[] = {
        {"20000", "5000", "10", "0", false, false, false, false}, // sidebands beyond fs/2
        {"22050.5", "100", "1", "0", true, false, false, false},
        {"1000", "100", "2", "0.1", false, false, false, true},
        {"1000", "100", "", "5", false, false, true, true},
        {"", "", "1", "-1", true, true, false, false},
    };
    Commit(SignalBase(44100.0, 0.1, 16, 32768, 1));
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << c.fc << " / " << c.fm << " / " << c.m << " / " << c.level);
        auto d = Open();
        d->carrier_f->setText(c.fc);
        d->mod_f->setText(c.fm);
        d->mod_index->setText(c.m);
        d->lev->setText(c.level);
        d->BOk->click();
        if (!(c.fcBad || c.fmBad || c.mBad || c.levelBad)) {
            EXPECT_TRUE(errors.isEmpty());
            EXPECT_EQ(d->result(), QDialog::Accepted);
            continue;
        }
        ASSERT_EQ(errors.size(), 1);
        EXPECT_EQ(errors[0], TFDlgFrequencyModulationGen::ErrorText);
        errors.clear();
        // While the message is up only the fields in error are empty.
        EXPECT_EQ(atMessage["carrier_f"], c.fcBad ? "" : c.fc);
        EXPECT_EQ(atMessage["mod_f"], c.fmBad ? "" : c.fm);
        EXPECT_EQ(atMessage["mod_index"], c.mBad ? "" : c.m);
        // Afterwards both frequencies must be typed again; the index is back at 1 unless it
        // was wrong, the level as typed unless it was wrong.
        EXPECT_EQ(d->carrier_f->text(), "");
        EXPECT_EQ(d->mod_f->text(), "");
        EXPECT_EQ(d->mod_index->text(), c.mBad ? "" : "1");
        EXPECT_EQ(d->lev->text(), c.levelBad ? "" : c.level);
        EXPECT_EQ(d->focusWidget(), d->carrier_f);
        EXPECT_TRUE(IsSilent());
    }
}

TEST_F(FrequencyModulationDialog, WritesTheSameModulatedSineIntoBothChannels) {
    UseStereo(0.2);
    auto d = Open();
    // fm = fs/4 and m = pi/2: at sample 1 the phase is pi/2 + 2 pi fc/fs.
    d->carrier_f->setText("1000");
    d->mod_f->setText("12000");
    d->mod_index->setText(QString::number(std::numbers::pi / 2, 'g', 17));
    d->BOk->click();
    ASSERT_EQ(d->result(), QDialog::Accepted);
    const SignalBase& s = *form->Signal();
    EXPECT_EQ(s.Left, s.Right);
    EXPECT_EQ(s.Left[0], 0.0);
    // The peak reaches 1 within the signal, so the scale is 32768 per unit.
    EXPECT_NEAR(s.Left[1], 32768 * std::sin(std::numbers::pi / 2 + 2 * std::numbers::pi / 48), 1.5);
}

} // namespace
