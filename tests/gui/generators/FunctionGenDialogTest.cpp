#include "gui/generators/TFDlgFunctionGen.h"
#include "gui/generators/TFDlgSineGen.h"
#include "gui/generators/TFProcessState.h"
#include "tests/gui/app/MainformFixture.h"

#include "core/generators/CalculationProtocol.h"
#include "core/generators/FinishSignal.h"
#include "core/generators/FunctionGenerator.h"
#include "core/signal/SignalBase.h"

#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>

#include <functional>

using zembrel::SignalBase;

namespace {

class FunctionDialog : public MainformFixture {
protected:
    // Presses OK and records every value the progress window shows; onReport may act on each.
    std::vector<int> Run(TFDlgFunctionGen& d, const std::function<void(int)>& onReport = {}) {
        std::vector<int> reports;
        d.BStartCalculation->click();
        if (!d.CalculationRunning()) {
            return reports;
        }
        TFProcessState* progress = d.ProcessState();
        EXPECT_TRUE(progress->isVisible());
        QObject::connect(progress->ProgressBar1, &QProgressBar::valueChanged,
                         [&reports, &onReport, progress](int value) {
                             EXPECT_EQ(progress->Label1->text(), QString::number(value));
                             reports.push_back(value);
                             if (onReport) {
                                 onReport(value);
                             }
                         });
        EXPECT_TRUE(guitest::WaitUntilClosed(d)) << "the calculation did not end";
        EXPECT_FALSE(d.CalculationRunning());
        EXPECT_EQ(d.ProcessState(), nullptr);
        return reports;
    }
};

TEST_F(FunctionDialog, StartsWithSquareAndOffsetOnlyForStereo) {
    auto d = OpenDialog<TFDlgFunctionGen>();
    EXPECT_EQ(d->windowTitle(), "Function Generator");
    EXPECT_EQ(d->function->currentText(), "Square");
    EXPECT_EQ(d->function->count(), 3);
    EXPECT_EQ(d->frequ->text(), "");
    EXPECT_EQ(d->lev->text(), "0");
    EXPECT_EQ(d->phase->text(), "0");
    EXPECT_FALSE(d->PhaseOffset->isEnabled());
    d->close();
    Commit(SignalBase(44100.0, 0.1, 16, 32768, 2));
    EXPECT_TRUE(OpenDialog<TFDlgFunctionGen>()->PhaseOffset->isEnabled());
}

TEST_F(FunctionDialog, RejectsBadInputWithoutStartingAWorker) {
    auto d = OpenDialog<TFDlgFunctionGen>();
    struct Case {
        const char *f, *level;
        bool fEmptied, levelEmptied;
    };
    for (const Case& c : {Case{"22050.5", "0", true, false}, Case{"0", "0", true, false},
                          Case{"1000", "0.5", false, true}, Case{"-1", "1", true, true},
                          Case{"inf", "nan", true, true}}) {
        SCOPED_TRACE(c.f);
        errors.clear();
        d->frequ->setText(c.f);
        d->lev->setText(c.level);
        d->BStartCalculation->click();
        EXPECT_EQ(errors, QStringList{TFDlgSineGen::ErrorText});
        EXPECT_EQ(d->frequ->text().isEmpty(), c.fEmptied);
        EXPECT_EQ(d->lev->text().isEmpty(), c.levelEmptied);
        EXPECT_FALSE(d->CalculationRunning());
        EXPECT_TRUE(d->isVisible());
    }
}

TEST_F(FunctionDialog, ReportsEveryHarmonicAndCommitsTheScaledResult) {
    auto d = OpenDialog<TFDlgFunctionGen>();
    d->frequ->setText("1000");
    EXPECT_EQ(Run(*d), (std::vector<int>{9, 18, 27, 36, 45, 54, 63, 72, 81, 90, 100}));
    EXPECT_EQ(form->StatusText(), "Calculation finished.");
    EXPECT_EQ(d->result(), QDialog::Accepted);

    SignalBase expected(44100.0, 1.0, 16, 32768, 1);
    struct Silent : zembrel::CalculationObserver {
        bool StopRequested() const override { return false; }
        void Report(int) override {}
    } observer;
    int progress = 0;
    zembrel::RunFunctionGenerator(expected, zembrel::Waveform::Square, 1000.0, 0.0, 0.0, progress,
                                  observer);
    zembrel::FinishSignal(expected, 0.0);
    EXPECT_EQ(form->Signal()->Mono, expected.Mono);
}

TEST_F(FunctionDialog, OneHarmonicGivesASingleReportOf100AndCommaIsNoDecimalSeparator) {
    for (int waveform = 0; waveform < 3; ++waveform) {
        auto d = OpenDialog<TFDlgFunctionGen>();
        d->function->setCurrentIndex(waveform);
        // Read as 22050 Hz, the highest allowed; with a decimal comma it would be 22050.9 Hz
        // and rejected.
        d->frequ->setText("22050,9");
        EXPECT_EQ(Run(*d), std::vector<int>{100});
        EXPECT_TRUE(errors.isEmpty());
        EXPECT_EQ(form->StatusText(), "Calculation finished.");
    }
}

TEST_F(FunctionDialog, CancelBetweenReportsRestoresTheSignalAndCancelAfter100Keeps) {
    SignalBase before = guitest::Tone(44100.0, 1.0, 1, 16, 440.0, 0.0, 1000.0);
    zembrel::FinishSignal(before, -10.0);
    Commit(before);

    auto d = OpenDialog<TFDlgFunctionGen>();
    d->frequ->setText("1000");
    const auto reports = Run(*d, [&d](int value) {
        if (value == 45) {
            d->ProcessState()->Button1->click();
            d->ProcessState()->Button1->click(); // twice is harmless
        }
    });
    EXPECT_EQ(reports, (std::vector<int>{9, 18, 27, 36, 45}));
    EXPECT_EQ(form->StatusText(), "Calculation abortet.");
    EXPECT_EQ(d->result(), QDialog::Rejected);
    EXPECT_EQ(form->Signal()->Mono, before.Mono);

    auto late = OpenDialog<TFDlgFunctionGen>();
    late->frequ->setText("1000");
    Run(*late, [&late](int value) {
        if (value == 100) {
            late->ProcessState()->Button1->click();
        }
    });
    EXPECT_EQ(form->StatusText(), "Calculation finished.");
    EXPECT_NE(form->Signal()->Mono, before.Mono);
}

TEST_F(FunctionDialog, WhileRunningButtonsAreDisabledAndTheCloseBoxIsIgnored) {
    auto d = OpenDialog<TFDlgFunctionGen>();
    d->frequ->setText("10");
    d->function->setCurrentIndex(2); // 2205 harmonics
    bool checked = false;
    const auto reports = Run(*d, [&](int value) {
        if (value >= 5 && !checked) {
            checked = true;
            EXPECT_FALSE(d->BStartCalculation->isEnabled());
            EXPECT_FALSE(d->BCancelFunctionGenerator->isEnabled());
            d->close();
            QTest::keyClick(d.get(), Qt::Key_Escape);
            EXPECT_TRUE(d->isVisible());
            d->ProcessState()->close(); // only hides the progress window
            EXPECT_FALSE(d->ProcessState()->isVisible());
        }
    });
    EXPECT_TRUE(checked);
    EXPECT_EQ(reports.back(), 100);
    EXPECT_EQ(form->StatusText(), "Calculation finished.");
}

TEST_F(FunctionDialog, CloseBoxWithoutACalculationActsAsCancel) {
    const SignalBase before = *form->Signal();
    auto d = OpenDialog<TFDlgFunctionGen>();
    d->close();
    EXPECT_FALSE(d->isVisible());
    EXPECT_EQ(d->result(), QDialog::Rejected);
    EXPECT_EQ(form->Signal()->Mono, before.Mono);
}

} // namespace
