#include "gui/generators/TFDlgBandNoiseGen.h"
#include "tests/gui/UserInput.h"
#include "tests/gui/app/MainformFixture.h"
#include "tests/gui/generators/NoiseTestSupport.h"

#include "core/generators/FinishSignal.h"
#include "core/generators/NoiseGenerator.h"
#include "core/generators/RandomNumberGenerator.h"
#include "core/signal/SignalBase.h"
#include "core/signal/WavFileRead.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>

#include <stdexcept>

using zembrel::NoiseMode;
using zembrel::RandomNumberGenerator;
using zembrel::SignalBase;

namespace {

struct Band {
    double start, stop, step, amplitude;
};

// What the core makes of bands from a given state of the phase generator.
SignalBase Expected(SignalBase signal, std::uint32_t seed, const std::vector<Band>& bands,
                    double offset, double level) {
    RandomNumberGenerator::Seed(seed);
    signal.Clear();
    noisetest::Silent observer;
    for (const Band& b : bands) {
        int progress = 0;
        zembrel::RunNoiseBand(signal, b.start, b.stop, b.step, b.amplitude, offset,
                              NoiseMode::White, progress, observer);
    }
    if (!std::isnan(level)) {
        zembrel::FinishSignal(signal, level);
    }
    return signal;
}

class BandNoiseDialog : public MainformFixture {
protected:
    // The status texts in the order they appear (a repeated text is not seen again).
    void SetUp() override {
        MainformFixture::SetUp();
        QObject::connect(form->StatusBar1, &QStatusBar::messageChanged,
                         [this](const QString& text) {
                             if (!text.isEmpty()) {
                                 statuses.append(text);
                             }
                         });
    }

    static void Enter(TFDlgBandNoiseGen& d, const QString& start, const QString& stop,
                      const QString& step, const QString& amplitude) {
        d.f_start->setText(start);
        d.f_stop->setText(stop);
        d.step->setText(step);
        d.ampl->setText(amplitude);
    }

    // A committed tone that Cancel must bring back.
    SignalBase CommitTone(int channels = 1, double duration = 1.0) {
        SignalBase before = guitest::Tone(44100.0, duration, channels, 16, 440.0, 660.0, 1000.0);
        zembrel::FinishSignal(before, -10.0);
        Commit(before);
        return before;
    }

    QStringList statuses;
};

TEST_F(BandNoiseDialog, StartsWithBandOneAndOffsetOnlyForStereo) {
    auto d = OpenDialog<TFDlgBandNoiseGen>();
    EXPECT_EQ(d->windowTitle(), "White Noise Generator");
    EXPECT_EQ(d->LNumBand->text(), "1");
    for (QLineEdit* e : {d->f_start, d->f_stop, d->step, d->ampl}) {
        EXPECT_EQ(e->text(), "") << e->objectName().toStdString();
    }
    EXPECT_EQ(d->lev->text(), "0");
    EXPECT_EQ(d->PhaseOffset->text(), "0");
    EXPECT_FALSE(d->PhaseOffset->isEnabled());
    d->close();
    Commit(SignalBase(44100.0, 0.1, 16, 32768, 2));
    auto stereo = OpenDialog<TFDlgBandNoiseGen>();
    EXPECT_TRUE(stereo->PhaseOffset->isEnabled());
    EXPECT_EQ(stereo->PhaseOffset->text(), "0");
}

TEST_F(BandNoiseDialog, AddBandChecksEdgesAndStepAndEmptiesEachFieldInError) {
    Commit(SignalBase(44100.0, 0.01, 16, 32768, 1));
    auto d = OpenDialog<TFDlgBandNoiseGen>();
    struct Case {
        const char *start, *stop, *step, *amplitude;
        bool startBad, stopBad, stepBad, amplitudeBad;
    };
    const Case cases[] = {
        {"22050", "22050", "22050", "1", false, false, false, false},
        {"100", "100,5", "0,001", "1", false, false, false, false}, // 501 lines
        {"22050.5", "100", "1", "1", true, false, false, false},
        {"100", "0", "1", "1", false, true, false, false},
        {"-5", "", "1", "1", true, true, false, false},
        {"100", "200", "0", "1", false, false, true, false},
        {"100", "200", "22051", "1", false, false, true, false},
        {"20", "20000", "0.000001", "1", false, false, true, false}, // too many lines to count
        {"nan", "200", "inf", "nan", true, false, true, true},
    };
    int counter = 1;
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.start << " ... " << c.stop << " / " << c.step);
        errors.clear();
        Enter(*d, c.start, c.stop, c.step, c.amplitude);
        d->BAddBand->click();
        const bool bad = c.startBad || c.stopBad || c.stepBad || c.amplitudeBad;
        const QString named =
            c.amplitudeBad ? "\n\nAmplitude must be a number from -1e250 to 1e250." : "";
        EXPECT_EQ(errors, bad ? QStringList{TFDlgBandNoiseGen::ErrorText + named} : QStringList{});
        EXPECT_EQ(d->CalculationRunning(), !bad);
        noisetest::WaitForWorker(*d);
        counter += bad ? 0 : 1;
        EXPECT_EQ(d->LNumBand->text(), QString::number(counter));
        if (bad) {
            EXPECT_EQ(d->f_start->text().isEmpty(), c.startBad);
            EXPECT_EQ(d->f_stop->text().isEmpty(), c.stopBad);
            EXPECT_EQ(d->step->text().isEmpty(), c.stepBad);
            EXPECT_EQ(d->ampl->text().isEmpty(), c.amplitudeBad);
        }
    }
    EXPECT_TRUE(d->isVisible());
}

TEST_F(BandNoiseDialog, AddBandReturnsAtOnceAndAddsTheBandUnscaled) {
    Commit(SignalBase(44100.0, 0.2, 16, 32768, 2));
    auto d = OpenDialog<TFDlgBandNoiseGen>();
    RandomNumberGenerator::Seed(2024);
    d->PhaseOffset->setText("90");
    d->lev->setText("-3");
    Enter(*d, "100", "200", "1", "0,5");
    noisetest::ProgressWatcher watcher;
    d->BAddBand->click();
    // The worker runs on; the dialog is ready for the next band but refuses to act meanwhile.
    EXPECT_TRUE(d->CalculationRunning());
    EXPECT_EQ(d->LNumBand->text(), "2");
    for (QLineEdit* e : {d->f_start, d->f_stop, d->step, d->ampl}) {
        EXPECT_EQ(e->text(), "") << e->objectName().toStdString();
    }
    EXPECT_EQ(d->PhaseOffset->text(), "90");
    EXPECT_EQ(d->lev->text(), "-3");
    for (QPushButton* b : {d->BAddBand, d->BImport, d->BOK, d->BCancel}) {
        EXPECT_FALSE(b->isEnabled()) << b->objectName().toStdString();
    }
    d->close();
    QTest::keyClick(d.get(), Qt::Key_Escape);
    EXPECT_TRUE(d->isVisible());

    noisetest::WaitForWorker(*d);
    EXPECT_EQ(watcher.reports, std::vector<int>{101});
    EXPECT_EQ(statuses.last(), "Calculation of frequency band finished.");
    EXPECT_TRUE(d->isVisible());
    EXPECT_TRUE(d->BOK->isEnabled());
    const SignalBase expected =
        Expected(*form->Signal(), 2024, {{100, 200, 1, 0.5}}, 90.0, std::nan(""));
    EXPECT_EQ(form->Signal()->Left, expected.Left);
    EXPECT_EQ(form->Signal()->Right, expected.Right);
}

TEST_F(BandNoiseDialog, OkAfterTwoBandsScalesAllThreeTogether) {
    Commit(SignalBase(44100.0, 0.1, 16, 32768, 1));
    auto d = OpenDialog<TFDlgBandNoiseGen>();
    RandomNumberGenerator::Seed(77);
    Enter(*d, "100", "200", "1", "1");
    d->BAddBand->click();
    noisetest::WaitForWorker(*d);
    Enter(*d, "2000", "1000", "10", "0.5"); // exchanged edges
    d->BAddBand->click();
    noisetest::WaitForWorker(*d);
    const SignalBase twoBands = *form->Signal();

    // An invalid level empties only the level and starts nothing.
    Enter(*d, "5000", "5100", "5", "0.25");
    d->lev->setText("0.1");
    d->BOK->click();
    EXPECT_EQ(errors, QStringList{TFDlgBandNoiseGen::ErrorText});
    EXPECT_EQ(d->lev->text(), "");
    EXPECT_EQ(d->f_start->text(), "5000");
    EXPECT_FALSE(d->CalculationRunning());
    EXPECT_EQ(form->Signal()->Mono, twoBands.Mono);

    d->lev->setText("-6");
    d->BOK->click();
    noisetest::WaitForWorker(*d);
    EXPECT_FALSE(d->isVisible());
    EXPECT_EQ(d->result(), QDialog::Accepted);
    EXPECT_EQ(statuses.last(), "Calculation finished.");
    const SignalBase expected =
        Expected(*form->Signal(), 77,
                 {{100, 200, 1, 1}, {2000, 1000, 10, 0.5}, {5000, 5100, 5, 0.25}}, 0.0, -6.0);
    EXPECT_EQ(form->Signal()->Mono, expected.Mono);
    zembrel::WavFileRead file(form->TempFileName().toStdString());
    EXPECT_EQ(SignalBase(file).Mono, expected.Mono);
}

TEST_F(BandNoiseDialog, CancelInTheProgressWindowRestoresTheSignalAndCloses) {
    const SignalBase before = CommitTone();
    auto d = OpenDialog<TFDlgBandNoiseGen>();
    Enter(*d, "100", "1100", "1", "1");
    d->BAddBand->click();
    noisetest::WaitForWorker(*d);
    ASSERT_EQ(statuses.last(), "Calculation of frequency band finished.");

    noisetest::ProgressWatcher watcher([](TFProcessState* window, int, int report) {
        if (report == 3) {
            window->Button1->click();
            window->Button1->click(); // twice is harmless
        }
    });
    Enter(*d, "100", "1100", "1", "1");
    d->BAddBand->click();
    noisetest::WaitForWorker(*d);
    EXPECT_EQ(watcher.reports, std::vector<int>{3});
    EXPECT_EQ(statuses.last(), "Calculation abortet.");
    EXPECT_FALSE(d->isVisible());
    EXPECT_EQ(d->result(), QDialog::Rejected);
    EXPECT_EQ(form->Signal()->Mono, before.Mono); // both bands are gone
}

TEST_F(BandNoiseDialog, CancelAndCloseBoxWithoutAWorkerRestore) {
    const SignalBase before = CommitTone(1, 0.1);
    for (bool closeBox : {false, true}) {
        auto d = OpenDialog<TFDlgBandNoiseGen>();
        Enter(*d, "100", "200", "1", "1");
        d->BAddBand->click();
        noisetest::WaitForWorker(*d);
        closeBox ? (void)d->close() : d->BCancel->click();
        EXPECT_FALSE(d->isVisible());
        EXPECT_EQ(d->result(), QDialog::Rejected);
        EXPECT_EQ(form->Signal()->Mono, before.Mono);
    }
}

TEST_F(BandNoiseDialog, ImportComputesTheListedBandsAndScalesThemToTheFileLevel) {
    Commit(SignalBase(44100.0, 0.2, 16, 32768, 2));
    auto d = OpenDialog<TFDlgBandNoiseGen>();
    Enter(*d, "5000", "5010", "1", "1");
    d->BAddBand->click(); // discarded by the import
    noisetest::WaitForWorker(*d);
    d->lev->setText("-20");        // not used by the import
    d->PhaseOffset->setText("90"); // neither

    RandomNumberGenerator::Seed(31337);
    form->SetStatusText("before the import");
    QStringList statusAtBandStart;
    noisetest::ProgressWatcher watcher([&](TFProcessState*, int, int report) {
        if (report == 1) {
            statusAtBandStart.append(form->StatusText());
        }
    });
    d->OpenDialog1 = [] { return QString(ZEMBREL_TEST_DATA_DIR "/band_list.txt"); };
    d->BImport->click();
    // 101 and 11 sines, then the line break's silent band of 10 ... 20 Hz.
    EXPECT_EQ(watcher.reports, (std::vector<int>{101, 11, 11}));
    EXPECT_EQ(statusAtBandStart,
              (QStringList{"before the import", "Calculation of frequency band finished.",
                           "Calculation of frequency band finished."}));
    EXPECT_EQ(statuses.last(), "Calculation finished.");
    EXPECT_FALSE(d->isVisible());
    EXPECT_EQ(d->result(), QDialog::Accepted);

    const SignalBase& s = *form->Signal();
    const SignalBase expected = Expected(
        s, 31337, {{100, 200, 1, 0.5}, {1000, 1100, 10, 0.2}, {10, 20, 1, 0.0}}, 0.0, -6.0);
    EXPECT_EQ(s.Left, expected.Left);
    EXPECT_EQ(s.Left, s.Right);
    double peak = 0.0;
    for (double v : s.Left) {
        peak = std::max(peak, std::abs(v));
    }
    EXPECT_NEAR(peak, 32768.0 * std::pow(10.0, -6.0 / 20.0), 1.0);
}

TEST_F(BandNoiseDialog, ABandCancelledDuringTheImportEndsIt) {
    const SignalBase before = CommitTone();
    auto d = OpenDialog<TFDlgBandNoiseGen>();
    noisetest::ProgressWatcher watcher([](TFProcessState* window, int, int report) {
        if (report == 2) {
            window->Button1->click();
        }
    });
    d->OpenDialog1 = [] { return QString(ZEMBREL_TEST_DATA_DIR "/band_list.txt"); };
    d->BImport->click();
    EXPECT_EQ(watcher.reports, std::vector<int>{2}); // no second band was started
    EXPECT_EQ(statuses.last(), "Calculation abortet.");
    EXPECT_FALSE(d->isVisible());
    EXPECT_EQ(d->result(), QDialog::Rejected);
    EXPECT_EQ(form->Signal()->Mono, before.Mono);
}

// An exception at the end of an imported band (here from the status line) ends the import's
// wait: the dialog is not left waiting with its buttons held.
TEST_F(BandNoiseDialog, AnExceptionAtTheEndOfAnImportedBandReleasesTheDialog) {
    CommitTone();
    guitest::MessageBoxCatcher boxes;
    auto d = OpenDialog<TFDlgBandNoiseGen>();
    QObject::connect(form->StatusBar1, &QStatusBar::messageChanged, [](const QString& text) {
        if (text == "Calculation of frequency band finished.") {
            throw std::runtime_error("the status line broke");
        }
    });
    d->OpenDialog1 = [] { return QString(ZEMBREL_TEST_DATA_DIR "/band_list.txt"); };
    userinput::Click(d->BImport);
    ASSERT_TRUE(userinput::WaitUntil([&] { return d->BOK->isEnabled(); }));
    EXPECT_TRUE(d->isVisible());
    ASSERT_EQ(boxes.Texts().size(), 1);
    EXPECT_TRUE(boxes.Texts()[0].contains("the status line broke"));
}

TEST_F(BandNoiseDialog, AnUnusableListIsRefusedBeforeAnyBandIsComputed) {
    Commit(SignalBase(44100.0, 0.1, 16, 32768, 1));
    auto d = OpenDialog<TFDlgBandNoiseGen>();
    Enter(*d, "300", "310", "1", "1");
    d->BAddBand->click();
    noisetest::WaitForWorker(*d);
    const SignalBase withBand = *form->Signal();
    struct Case {
        const char* file;
        const char* mentions;
    };
    const Case cases[] = {
        {"band_list_bad_step.txt", "line 3: the step 0 Hz is not positive"},
        {"band_list_huge_count.txt", "line 4: the band from 20 Hz to 20000 Hz"},
        {"band_list_bad_token.txt", "line 3: cannot read \"x1100;10;0.2\""},
        {"missing.txt", "cannot open"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        guitest::MessageBoxCatcher boxes;
        noisetest::ProgressWatcher watcher;
        d->OpenDialog1 = [&c] { return QString(ZEMBREL_TEST_DATA_DIR "/") + c.file; };
        d->BImport->click();
        ASSERT_EQ(boxes.Texts().size(), 1);
        EXPECT_TRUE(boxes.Texts()[0].contains(c.file)) << boxes.Texts()[0].toStdString();
        EXPECT_TRUE(boxes.Texts()[0].contains(c.mentions)) << boxes.Texts()[0].toStdString();
        EXPECT_TRUE(watcher.reports.empty());
        EXPECT_EQ(form->Signal()->Mono, withBand.Mono);
        EXPECT_TRUE(d->isVisible());
    }
}

} // namespace
