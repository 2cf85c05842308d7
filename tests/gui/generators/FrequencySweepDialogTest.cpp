#include "gui/generators/TFDlgFrequencySweepGen.h"
#include "tests/gui/generators/ModulationDialogFixture.h"

#include "core/generators/FinishSignal.h"
#include "core/generators/FrequencySweepGenerator.h"

#include <QComboBox>
#include <QPushButton>

using zembrel::SignalBase;

namespace {

using FrequencySweepDialog = ModulationDialogFixture<TFDlgFrequencySweepGen>;

TEST_F(FrequencySweepDialog, ShowingResetsAllFourInputs) {
    auto d = Open(false);
    EXPECT_EQ(d->type->count(), 6);
    const QStringList names = {"lin", "exp", "exp10 ", "quad", "cube", "bi-quad"};
    for (int i = 0; i < names.size(); ++i) {
        EXPECT_EQ(d->type->itemText(i), names[i]);
    }
    EXPECT_FALSE(d->type->isEditable());
    d->start_f->setText("100");
    d->stop_f->setText("200");
    d->lev->setText("-3");
    d->type->setCurrentIndex(4);
    d->show();
    EXPECT_EQ(d->windowTitle(), "Frequency Sweep Generator");
    EXPECT_EQ(d->start_f->text(), "");
    EXPECT_EQ(d->stop_f->text(), "");
    EXPECT_EQ(d->lev->text(), "0");
    EXPECT_EQ(d->type->currentText(), "lin");
    EXPECT_EQ(d->focusWidget(), d->start_f);
    EXPECT_EQ(d->Button1->text(), "Cancel");
    EXPECT_EQ(d->Button1->focusPolicy() & Qt::TabFocus, 0);
}

TEST_F(FrequencySweepDialog, AfterAnErrorAllInputsAreResetAndTheFieldsInErrorEmpty) {
    struct Case {
        const char *f1, *f2, *level;
        bool f1Bad, f2Bad, levelBad;
    };
    // The ranges themselves are checked in core; here: which fields are emptied or reset.
    const Case cases[] = {
        {"5000", "100", "0", false, false, false}, // falling
        {"22050.5", "1000", "0", true, false, false}, {"1000", "22050,5", "-1", false, true, false},
        {"1000", "2000", "0.1", false, false, true},  {"", "", "1", true, true, true},
    };
    Commit(SignalBase(44100.0, 0.1, 16, 32768, 1));
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.f1 << " / " << c.f2 << " / " << c.level);
        auto d = Open();
        d->start_f->setText(c.f1);
        d->stop_f->setText(c.f2);
        d->lev->setText(c.level);
        d->type->setCurrentIndex(5);
        d->Button2->click();
        if (!(c.f1Bad || c.f2Bad || c.levelBad)) {
            EXPECT_TRUE(errors.isEmpty());
            EXPECT_EQ(d->result(), QDialog::Accepted);
            continue;
        }
        ASSERT_EQ(errors.size(), 1);
        EXPECT_EQ(errors[0], TFDlgFrequencySweepGen::ErrorText);
        errors.clear();
        EXPECT_EQ(atMessage["start_f"], c.f1Bad ? "" : c.f1);
        EXPECT_EQ(atMessage["stop_f"], c.f2Bad ? "" : c.f2);
        EXPECT_EQ(atMessage["lev"], c.levelBad ? "" : c.level);
        EXPECT_EQ(d->start_f->text(), "");
        EXPECT_EQ(d->stop_f->text(), "");
        EXPECT_EQ(d->type->currentText(), "lin");
        EXPECT_EQ(d->lev->text(), c.levelBad ? "" : "0");
        EXPECT_EQ(d->focusWidget(), d->start_f);
        EXPECT_TRUE(IsSilent());
    }
}

TEST_F(FrequencySweepDialog, SweepsAlongTheChosenCharacteristicInBothChannels) {
    // How each characteristic sweeps is measured in core; here: the dialog hands over the
    // frequencies and the list's choice, rising and falling.
    UseStereo(0.5);
    struct Case {
        int index;
        double f1, f2;
    };
    for (const Case& c : {Case{0, 1000, 9000}, Case{2, 20, 24000}, Case{4, 9000, 1000}}) {
        SCOPED_TRACE(c.index);
        auto d = Open();
        d->start_f->setText(QString::number(c.f1));
        d->stop_f->setText(QString::number(c.f2));
        d->type->setCurrentIndex(c.index);
        d->lev->setText("-1");
        d->Button2->click();
        ASSERT_EQ(d->result(), QDialog::Accepted);
        SignalBase expected(48000.0, 0.5, 16, 32768, 2);
        zembrel::FrequencySweepGenerator(expected, c.f1, c.f2, c.index);
        zembrel::FinishSignal(expected, -1.0);
        EXPECT_EQ(form->Signal()->Left, expected.Left);
        EXPECT_EQ(form->Signal()->Right, expected.Left);
    }
}

} // namespace
