#include "gui/generators/TFDlgPinkNoise.h"

#include "core/generators/InputRules.h"
#include "core/generators/NoiseGenerator.h"
#include "core/generators/NoiseInputRules.h"
#include "core/signal/SignalBase.h"
#include "gui/generators/NoiseDialogFields.h"
#include "gui/generators/ParameterForm.h"
#include "gui/generators/TFDlgBandNoiseGen.h"
#include "gui/generators/TNoiseCalcThread.h"

#include <QEvent>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QVBoxLayout>
#include <QWindow>

using namespace noisedialog;

TFDlgPinkNoise::TFDlgPinkNoise(QWidget* owner, QString tempFileName, TMainform* mainform,
                               zembrel::SignalBase* signal)
    : GeneratorDialog(owner, std::move(tempFileName), mainform, signal) {
    setWindowTitle(QStringLiteral("Pink Noise Generator"));

    auto* bandGroup = new QGroupBox(QStringLiteral("Pink Noise Parameters"), this);
    auto* grid = new QGridLayout(bandGroup);
    f_start = Edit(bandGroup, "f_start");
    f_stop = Edit(bandGroup, "f_stop");
    step = Edit(bandGroup, "step");
    PhaseOffset = Edit(bandGroup, "PhaseOffset");
    Row(grid, QStringLiteral("Start Frequency:"), f_start, QStringLiteral("Hz"));
    Row(grid, QStringLiteral("Stop Frequency:"), f_stop, QStringLiteral("Hz"));
    Row(grid, QStringLiteral("Step Size:"), step, QStringLiteral("Hz"));
    Row(grid, QStringLiteral("L/R Phase Offset:"), PhaseOffset, QStringLiteral("DEG"));
    PhaseOffset->setEnabled(signal->Channels == 2);

    auto* levelGroup = new QGroupBox(QStringLiteral("Signal Parameters"), this);
    auto* levelGrid = new QGridLayout(levelGroup);
    lev = Edit(levelGroup, "lev");
    Row(levelGrid, QStringLiteral("Level:"), lev, QStringLiteral("dB"));

    BOK = Button(this, "BOK", QStringLiteral("OK"));
    Button1 = Button(this, "Button1", QStringLiteral("Cancel"));
    connect(BOK, &QPushButton::clicked, this, &TFDlgPinkNoise::BOKClick);
    connect(Button1, &QPushButton::clicked, this, &TFDlgPinkNoise::Button1Click);
    SetOkButton(BOK);

    PlaceBesideButtons(this, {bandGroup, levelGroup}, {BOK, Button1});

    setTabOrder(f_start, f_stop);
    setTabOrder(f_stop, step);
    setTabOrder(step, PhaseOffset);
    setTabOrder(PhaseOffset, lev);

    // Only a window of this program that took the focus makes the fields start afresh when the
    // dialog is active again; coming back from another program keeps what was typed.
    connect(qApp, &QGuiApplication::focusWindowChanged, this, [this](QWindow* window) {
        if (window != nullptr && window != windowHandle()) {
            otherWindowHadFocus_ = true;
        }
    });
}

void TFDlgPinkNoise::FormActivate() {
    f_start->setFocus();
    f_start->clear();
    f_stop->clear();
    step->clear();
    PhaseOffset->setText(QStringLiteral("0"));
    lev->setText(QStringLiteral("0"));
}

// The fields are filled when the dialog is shown (also where the window system does not make
// it active) and again whenever it becomes active after another window of the program had the
// focus.
void TFDlgPinkNoise::showEvent(QShowEvent* event) {
    GeneratorDialog::showEvent(event);
    FormActivate();
    otherWindowHadFocus_ = false;
}

void TFDlgPinkNoise::changeEvent(QEvent* event) {
    GeneratorDialog::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && otherWindowHadFocus_) {
        otherWindowHadFocus_ = false;
        FormActivate();
    }
}

void TFDlgPinkNoise::BOKClick() {
    if (CalculationRunning()) {
        return;
    }
    start_ = ReadNumber(f_start);
    stop_ = ReadNumber(f_stop);
    step_ = ReadNumber(step);
    level_ = ReadNumber(lev);
    offset_ = ReadNumber(PhaseOffset);

    const zembrel::NoiseCheck check =
        zembrel::CheckPinkNoise({start_, stop_, step_, offset_, level_}, signal_->SampleRate);
    const auto checks = {std::pair{!check.Start, f_start}, std::pair{!check.Stop, f_stop},
                         std::pair{!check.Step, step}, std::pair{!check.Level, lev},
                         std::pair{!check.Offset, PhaseOffset}};
    if (AnyInvalid(checks)) {
        ShowError(TFDlgBandNoiseGen::ErrorText,
                  {{!check.Offset, NumberRange(QStringLiteral("L/R Phase Offset"))}});
        // The closing error window hands the activation back, which starts the fields afresh;
        // then the fields in error are emptied. Done here, so it does not depend on when the
        // window system reports the activation.
        FormActivate();
        otherWindowHadFocus_ = false;
        EmptyInvalid(checks);
        return;
    }
    StartCalculation(
        [&](TFProcessState* processState) {
            // Amplitude 1.0 is not used in mode 1: each line gets 1/sqrt(f).
            return std::make_unique<TNoiseCalcThread>(true, start_, stop_, step_, 1.0, offset_,
                                                      signal_, &Progress, 1, processState);
        },
        /*noise=*/true);
}

void TFDlgPinkNoise::Button1Click() {
    reject(); // ignored while the band is computed
}

void TFDlgPinkNoise::DeleteThread() {
    if (Progress == 100) {
        ReleaseWorker();
        Commit(level_);
    } else {
        AbortCalculation();
    }
}
