#include "gui/generators/TFDlgBandNoiseGen.h"
#include "gui/generators/TFDlgPinkNoise.h"
#include "tests/gui/UserInput.h"
#include "tests/gui/app/MainformFixture.h"
#include "tests/gui/generators/NoiseTestSupport.h"

#include "core/generators/FinishSignal.h"
#include "core/signal/SignalBase.h"
#include "core/signal/WavFileRead.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <ctime>

using zembrel::SignalBase;

namespace {

class PinkNoiseDialog : public MainformFixture {
protected:
    static void Enter(TFDlgPinkNoise& d, const QString& start, const QString& stop,
                      const QString& step, const QString& level = "0") {
        d.f_start->setText(start);
        d.f_stop->setText(stop);
        d.step->setText(step);
        d.lev->setText(level);
    }
};

TEST_F(PinkNoiseDialog, FieldsStartAfreshAtEveryActivation) {
    auto d = OpenDialog<TFDlgPinkNoise>();
    EXPECT_EQ(d->windowTitle(), "Pink Noise Generator");
    const auto expectInitial = [&d] {
        EXPECT_EQ(d->f_start->text(), "");
        EXPECT_EQ(d->f_stop->text(), "");
        EXPECT_EQ(d->step->text(), "");
        EXPECT_EQ(d->PhaseOffset->text(), "0");
        EXPECT_EQ(d->lev->text(), "0");
    };
    expectInitial();
    EXPECT_FALSE(d->PhaseOffset->isEnabled());

    // Another window of the program takes the focus; coming back resets the fields.
    ASSERT_TRUE(QTest::qWaitForWindowActive(d.get()));
    Enter(*d, "100", "200", "1", "-3");
    d->PhaseOffset->setText("45");
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    EXPECT_EQ(d->f_start->text(), "100"); // untouched while inactive
    d->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(d.get()));
    expectInitial();
    EXPECT_TRUE(d->f_start->hasFocus());

    // Coming back from another program keeps what was typed.
    Enter(*d, "100", "200", "1", "-3");
    userinput::VisitAnotherProgram(d.get());
    EXPECT_EQ(d->f_start->text(), "100");
    EXPECT_EQ(d->lev->text(), "-3");
    d->close();

    Commit(SignalBase(44100.0, 0.1, 16, 32768, 2));
    EXPECT_TRUE(OpenDialog<TFDlgPinkNoise>()->PhaseOffset->isEnabled());
}

TEST_F(PinkNoiseDialog, OkChecksEveryFieldAndEmptiesThoseInError) {
    auto d = OpenDialog<TFDlgPinkNoise>();
    struct Case {
        const char *start, *stop, *step, *level;
        bool startBad, stopBad, stepBad, levelBad;
    };
    const Case cases[] = {
        {"22050.5", "100", "1", "0", true, false, false, false},
        {"100", "0", "1", "0", false, true, false, false},
        {"-5", "100", "0", "0.1", true, false, true, true},
        {"100", "200", "22051", "0", false, false, true, false},
        {"20", "20000", "1e-6", "0", false, false, true, false},
        {"100", "200", "1", "nan", false, false, false, true},
        {"inf", "200", "nan", "-inf", true, false, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.start << " ... " << c.stop << " / " << c.step << ", "
                                        << c.level << " dB");
        errors.clear();
        Enter(*d, c.start, c.stop, c.step, c.level);
        d->BOK->click();
        EXPECT_EQ(errors, QStringList{TFDlgBandNoiseGen::ErrorText});
        EXPECT_FALSE(d->CalculationRunning());
        // The closing error window starts the fields afresh, then those in error are emptied:
        // the band is to be typed again, the level keeps "0" unless it was refused.
        EXPECT_EQ(d->f_start->text(), "");
        EXPECT_EQ(d->f_stop->text(), "");
        EXPECT_EQ(d->step->text(), "");
        EXPECT_EQ(d->lev->text(), c.levelBad ? "" : "0");
        EXPECT_EQ(d->PhaseOffset->text(), "0");
        EXPECT_TRUE(d->isVisible());
    }
    errors.clear();
    d->PhaseOffset->setText("nan");
    Enter(*d, "100", "200", "1");
    d->BOK->click();
    EXPECT_EQ(errors, QStringList{TFDlgBandNoiseGen::ErrorText +
                                  "\n\nL/R Phase Offset must be a number from -1e250 to 1e250."});
    EXPECT_EQ(d->PhaseOffset->text(), "");
}

// Ten lines at 100 ... 1000 Hz with amplitudes 1/sqrt(f), the right channel leading by the
// offset; every run seeds the phases from the time in whole seconds, so two runs in the same
// second agree, whichever way the band is given.
TEST_F(PinkNoiseDialog, RunsOneBandWithAmplitudesOneOverRootF) {
    Commit(SignalBase(44100.0, 1.0, 16, 32768, 2));
    bool compared = false;
    for (int attempt = 0; attempt < 5 && !compared; ++attempt) {
        const std::time_t second = std::time(nullptr);
        std::vector<SignalBase> runs;
        for (const char* edges : {"100 1000", "1000 100"}) {
            auto d = OpenDialog<TFDlgPinkNoise>();
            const QStringList e = QString(edges).split(' ');
            Enter(*d, e[0], e[1], "100", "-1");
            d->PhaseOffset->setText("90");
            noisetest::ProgressWatcher watcher;
            d->BOK->click();
            EXPECT_TRUE(d->CalculationRunning());
            EXPECT_FALSE(d->BOK->isEnabled());
            EXPECT_FALSE(d->Button1->isEnabled());
            d->close(); // ignored while the band is computed
            EXPECT_TRUE(d->isVisible());
            noisetest::WaitForWorker(*d);
            EXPECT_EQ(watcher.reports, std::vector<int>{10});
            EXPECT_FALSE(d->isVisible());
            EXPECT_EQ(d->result(), QDialog::Accepted);
            EXPECT_EQ(form->StatusText(), "Calculation finished.");
            runs.push_back(*form->Signal());
        }
        if (std::time(nullptr) != second) {
            continue;
        }
        compared = true;
        EXPECT_EQ(runs[0].Left, runs[1].Left);
        EXPECT_EQ(runs[0].Right, runs[1].Right);
    }
    ASSERT_TRUE(compared) << "the clock kept changing";

    const SignalBase& s = *form->Signal();
    zembrel::WavFileRead file(form->TempFileName().toStdString());
    EXPECT_EQ(SignalBase(file).Left, s.Left);
    double peak = 0.0;
    for (const auto* channel : s.ChannelArrays()) {
        for (double v : *channel) {
            peak = std::max(peak, std::abs(v));
        }
    }
    EXPECT_NEAR(peak, 32768.0 * std::pow(10.0, -1.0 / 20.0), 1.0);
    const double at100 = std::abs(noisetest::Bin(s.Left, 100));
    for (int f = 100; f <= 1000; f += 100) {
        const auto left = noisetest::Bin(s.Left, f);
        EXPECT_NEAR(std::abs(left) / at100, std::sqrt(100.0 / f), 1e-3) << f << " Hz";
        EXPECT_NEAR(std::arg(noisetest::Bin(s.Right, f) / left) * 180.0 / M_PI, 90.0, 0.5)
            << f << " Hz";
    }
    EXPECT_LT(std::abs(noisetest::Bin(s.Left, 150)) / at100, 1e-3);
}

TEST_F(PinkNoiseDialog, CancelInTheProgressWindowRestoresTheSignal) {
    SignalBase before = guitest::Tone(44100.0, 1.0, 1, 16, 440.0, 0.0, 1000.0);
    zembrel::FinishSignal(before, -10.0);
    Commit(before);
    auto d = OpenDialog<TFDlgPinkNoise>();
    Enter(*d, "20", "20000", "1");
    noisetest::ProgressWatcher watcher([](TFProcessState* window, int, int report) {
        if (report == 5) {
            window->Button1->click();
        }
    });
    d->BOK->click();
    noisetest::WaitForWorker(*d);
    EXPECT_EQ(watcher.reports, std::vector<int>{5});
    EXPECT_EQ(form->StatusText(), "Calculation abortet.");
    EXPECT_FALSE(d->isVisible());
    EXPECT_EQ(d->result(), QDialog::Rejected);
    EXPECT_EQ(form->Signal()->Mono, before.Mono);

    // Cancel and the close box before OK restore as well.
    for (bool closeBox : {false, true}) {
        auto again = OpenDialog<TFDlgPinkNoise>();
        closeBox ? (void)again->close() : again->Button1->click();
        EXPECT_EQ(again->result(), QDialog::Rejected);
        EXPECT_EQ(form->Signal()->Mono, before.Mono);
    }
}

} // namespace
