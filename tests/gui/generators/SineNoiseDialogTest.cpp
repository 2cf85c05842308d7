#include "gui/generators/TFDlgSineGen.h"
#include "gui/generators/TFDlgSineNoiseGen.h"
#include "tests/gui/app/MainformFixture.h"

#include "core/generators/FinishSignal.h"
#include "core/generators/RandomNumberGenerator.h"
#include "core/generators/SineGenerator.h"
#include "core/signal/SignalBase.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <cmath>

using zembrel::RandomNumberGenerator;
using zembrel::SignalBase;

namespace {

double Radians(int degrees) {
    return 2.0 * M_PI * degrees / 360.0;
}

class SineNoiseDialog : public MainformFixture {
protected:
    static void Enter(TFDlgSineNoiseGen& d, const QString& f, const QString& a) {
        d.frequ->setText(f);
        d.ampl->setText(a);
    }
};

TEST_F(SineNoiseDialog, StartsWithSineOneAndOffsetOnlyForStereo) {
    auto d = OpenDialog<TFDlgSineNoiseGen>();
    EXPECT_EQ(d->windowTitle(), "Sine with pn_phase Generator");
    EXPECT_EQ(d->Label7->text(), "1");
    EXPECT_EQ(d->frequ->text(), "");
    EXPECT_EQ(d->ampl->text(), "");
    EXPECT_EQ(d->lev->text(), "0");
    EXPECT_EQ(d->PhaseOffset->text(), "0");
    EXPECT_FALSE(d->PhaseOffset->isEnabled());
    d->close();
    Commit(SignalBase(44100.0, 0.1, 16, 32768, 2));
    EXPECT_TRUE(OpenDialog<TFDlgSineNoiseGen>()->PhaseOffset->isEnabled());
}

TEST_F(SineNoiseDialog, AddSineRejectsBadInputAndAddsNothing) {
    auto d = OpenDialog<TFDlgSineNoiseGen>();
    struct Case {
        const char *f, *a;
        bool fBad, aBad;
    };
    for (const Case& c :
         {Case{"22050.5", "1", true, false}, Case{"0", "1", true, false},
          Case{"-5", "1", true, false}, Case{"", "1", true, false}, Case{"nan", "1", true, false},
          Case{"1000", "inf", false, true}, Case{"1e999", "nan", true, true}}) {
        SCOPED_TRACE(testing::Message() << c.f << " Hz, " << c.a);
        errors.clear();
        Enter(*d, c.f, c.a);
        d->BAddSine->click();
        // The error text speaks of frequency and level only; a refused amplitude is named.
        EXPECT_EQ(
            errors,
            QStringList{TFDlgSineGen::ErrorText +
                        (c.aBad ? "\n\nAmplitude must be a number from -1e250 to 1e250." : "")});
        EXPECT_EQ(d->frequ->text().isEmpty(), c.fBad);
        EXPECT_EQ(d->ampl->text().isEmpty(), c.aBad);
        EXPECT_EQ(d->Label7->text(), "1");
    }
    for (double v : form->Signal()->Mono) {
        ASSERT_EQ(v, 0.0);
    }
}

TEST_F(SineNoiseDialog, EachSineGetsTheNextDrawnPhase) {
    auto d = OpenDialog<TFDlgSineNoiseGen>();
    // From state 1 the phases are 3, 1 and 120 degrees.
    RandomNumberGenerator::Seed(1);
    Enter(*d, "22050", "1");
    d->BAddSine->click();
    EXPECT_TRUE(errors.isEmpty());
    EXPECT_EQ(d->Label7->text(), "2");
    EXPECT_EQ(d->frequ->text(), "");
    EXPECT_EQ(d->ampl->text(), "");
    EXPECT_NEAR(form->Signal()->Mono[0], std::sin(Radians(3)), 1e-15);

    // A comma is a decimal separator: 1000,5 Hz with amplitude 0.25.
    const SignalBase one = *form->Signal();
    Enter(*d, "1000,5", "0,25");
    d->BAddSine->click();
    EXPECT_EQ(d->Label7->text(), "3");
    const SignalBase& s = *form->Signal();
    for (int i = 0; i < s.SampleCount; i += 97) {
        const double added = 0.25 * std::sin(i * s.SamplePeriod * 2 * M_PI * 1000.5 + Radians(1));
        ASSERT_NEAR(s.Mono[i] - one.Mono[i], added, 1e-12) << i;
    }
}

TEST_F(SineNoiseDialog, StereoOffsetMakesTheRightChannelLeadWhateverPhaseIsDrawn) {
    Commit(SignalBase(44100.0, 0.05, 16, 32768, 2));
    auto d = OpenDialog<TFDlgSineNoiseGen>();
    d->PhaseOffset->setText("90");
    RandomNumberGenerator::Seed(1);
    for (int degrees : {3, 1, 120}) {
        form->Signal()->Clear();
        Enter(*d, "1000", "1");
        d->BAddSine->click();
        const SignalBase& s = *form->Signal();
        for (int i = 0; i < s.SampleCount; ++i) {
            const double w = i * s.SamplePeriod * 2 * M_PI * 1000;
            ASSERT_NEAR(s.Left[i], std::sin(w + Radians(degrees)), 1e-12) << i;
            ASSERT_NEAR(s.Right[i], std::sin(w + Radians(degrees + 90)), 1e-12) << i;
        }
    }
    EXPECT_EQ(d->PhaseOffset->text(), "90"); // kept for the next sine
}

TEST_F(SineNoiseDialog, OkChecksFrequencyAndLevelThenScalesTheSum) {
    auto d = OpenDialog<TFDlgSineNoiseGen>();
    RandomNumberGenerator::Seed(1000);
    Enter(*d, "1000", "1");
    d->BAddSine->click();
    const SignalBase afterOne = *form->Signal();

    struct Case {
        const char *f, *level;
        bool fBad, levelBad;
    };
    for (const Case& c : {Case{"1000", "3", false, true}, Case{"30000", "0", true, false},
                          Case{"0", "0.1", true, true}, Case{"1000", "nan", false, true}}) {
        SCOPED_TRACE(testing::Message() << c.f << " Hz, " << c.level << " dB");
        errors.clear();
        Enter(*d, c.f, "1");
        d->lev->setText(c.level);
        d->BOK->click();
        EXPECT_EQ(errors.size(), 1);
        EXPECT_EQ(d->frequ->text().isEmpty(), c.fBad);
        EXPECT_EQ(d->lev->text().isEmpty(), c.levelBad);
        EXPECT_EQ(form->Signal()->Mono, afterOne.Mono);
        EXPECT_TRUE(d->isVisible());
    }

    Enter(*d, "3000", "0.5");
    d->lev->setText("-6");
    d->BOK->click();
    EXPECT_EQ(d->result(), QDialog::Accepted);
    EXPECT_EQ(form->StatusText(), "Calculation finished.");
    SignalBase expected(44100.0, 1.0, 16, 32768, 1);
    RandomNumberGenerator::Seed(1000);
    zembrel::SineGenerator(expected, 1000.0, 1.0, true, 0.0);
    zembrel::SineGenerator(expected, 3000.0, 0.5, true, 0.0);
    zembrel::FinishSignal(expected, -6.0);
    EXPECT_EQ(form->Signal()->Mono, expected.Mono);
}

TEST_F(SineNoiseDialog, ImportAddsTheListedSinesWithEqualChannels) {
    Commit(SignalBase(44100.0, 0.5, 16, 32768, 2));
    auto d = OpenDialog<TFDlgSineNoiseGen>();
    d->PhaseOffset->setText("90"); // plays no part in the import
    Enter(*d, "5000", "1");
    d->BAddSine->click(); // discarded by the import

    RandomNumberGenerator::Seed(555);
    d->OpenDialog1 = [] { return QString(ZEMBREL_TEST_DATA_DIR "/pn_list.txt"); };
    d->BImport->click();
    const std::uint32_t stateAfterImport = RandomNumberGenerator::State();
    EXPECT_EQ(d->result(), QDialog::Accepted);
    EXPECT_EQ(form->StatusText(), "Calculation finished.");

    SignalBase expected(44100.0, 0.5, 16, 32768, 2);
    RandomNumberGenerator::Seed(555);
    zembrel::SineGenerator(expected, 1000.0, 1.0);
    zembrel::SineGenerator(expected, 3000.0, 0.333);
    zembrel::FinishSignal(expected, -6.0);
    const SignalBase& s = *form->Signal();
    EXPECT_EQ(s.Left, expected.Left);
    EXPECT_EQ(s.Right, s.Left);
    // The silent sine of the final line break draws a phase as well.
    zembrel::SineGenerator::PseudoNoisePhase();
    EXPECT_EQ(RandomNumberGenerator::State(), stateAfterImport);
}

TEST_F(SineNoiseDialog, FailedImportNamesTheProblemAndKeepsTheSignal) {
    auto d = OpenDialog<TFDlgSineNoiseGen>();
    Enter(*d, "5000", "1");
    d->BAddSine->click();
    const SignalBase withSine = *form->Signal();
    for (const char* file : {"pn_list_bad_token.txt", "missing.txt"}) {
        SCOPED_TRACE(file);
        guitest::MessageBoxCatcher boxes;
        d->OpenDialog1 = [file] { return QString(ZEMBREL_TEST_DATA_DIR "/") + file; };
        d->BImport->click();
        ASSERT_EQ(boxes.Texts().size(), 1);
        EXPECT_TRUE(boxes.Texts()[0].contains(file)) << boxes.Texts()[0].toStdString();
        EXPECT_EQ(form->Signal()->Mono, withSine.Mono);
        EXPECT_TRUE(d->isVisible());
    }
}

TEST_F(SineNoiseDialog, CancelAndCloseBoxRestoreTheCommittedSignal) {
    SignalBase before = guitest::Tone(44100.0, 0.1, 1, 16, 440.0, 0.0, 20000.0);
    zembrel::FinishSignal(before, -3.0);
    Commit(before);
    const QString status = form->StatusText();
    for (bool closeBox : {false, true}) {
        auto d = OpenDialog<TFDlgSineNoiseGen>();
        Enter(*d, "1000", "1");
        d->BAddSine->click();
        closeBox ? (void)d->close() : d->BCancel->click();
        EXPECT_FALSE(d->isVisible());
        EXPECT_EQ(d->result(), QDialog::Rejected);
        EXPECT_EQ(form->Signal()->Mono, before.Mono);
        EXPECT_EQ(form->StatusText(), status);
    }
}

} // namespace
