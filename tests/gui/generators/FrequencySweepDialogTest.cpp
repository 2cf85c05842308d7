#include "generators/ModulationDialogFixture.h"
#include "generators/TFDlgFrequencySweepGen.h"

#include <QComboBox>
#include <QPushButton>

using zembrel::SignalBase;

namespace {

using FrequencySweepDialog = ModulationDialogFixture<TFDlgFrequencySweepGen>;

// Hz, from the zero crossings within +-1 ms of position x (0 ... 1) of a channel.
double FrequencyAt(const zembrel::SampleArray& y, double fs, double x) {
    const int centre = static_cast<int>(x * y.size());
    const int half = static_cast<int>(fs / 1000);
    double first = -1.0, last = -1.0;
    int count = 0;
    for (int i = std::max(0, centre - half); i < std::min<int>(y.size() - 1, centre + half); ++i) {
        if ((y[i] < 0.0) != (y[i + 1] < 0.0)) {
            const double at = i + y[i] / (y[i] - y[i + 1]);
            first = first < 0.0 ? at : first;
            last = at;
            ++count;
        }
    }
    return count < 3 ? 0.0 : (count - 1) / 2.0 / ((last - first) / fs);
}

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
    const Case cases[] = {
        {"22050", "22050", "0", false, false, false},
        {"5000", "100", "0", false, false, false}, // falling
        {"0", "1000", "0", true, false, false},
        {"22050.5", "1000", "0", true, false, false},
        {"1000", "0", "-1", false, true, false},
        {"1000", "22050,5", "0", false, true, false},
        {"1000", "2000", "0.1", false, false, true},
        {"", "", "1", true, true, true},
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
    UseStereo(1.0);
    struct Case {
        int index;
        double f1, f2;
        double (*shape)(double x); // the share of the span covered at x
    };
    const Case cases[] = {
        {0, 1000, 9000, [](double x) { return x; }},                            // lin
        {2, 1000, 10000, [](double x) { return (std::pow(10.0, x) - 1) / 9; }}, // exp10
        {4, 1000, 9000, [](double x) { return x * x * x; }},                    // cube
        {3, 9000, 1000, [](double x) { return x * x; }},                        // quad, falling
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.index);
        auto d = Open();
        d->start_f->setText(QString::number(c.f1));
        d->stop_f->setText(QString::number(c.f2));
        d->type->setCurrentIndex(c.index);
        d->Button2->click();
        ASSERT_EQ(d->result(), QDialog::Accepted);
        const SignalBase& s = *form->Signal();
        EXPECT_EQ(s.Left, s.Right);
        for (double x : {0.001, 0.5, 0.999}) {
            const double expected = c.f1 + c.shape(x) * (c.f2 - c.f1);
            EXPECT_NEAR(FrequencyAt(s.Left, 48000.0, x) / expected, 1.0, 0.005) << "x = " << x;
        }
    }
}

} // namespace
