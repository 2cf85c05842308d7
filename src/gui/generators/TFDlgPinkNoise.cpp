#include "gui/generators/TFDlgPinkNoise.h"

#include "core/generators/Generate.h"
#include "core/generators/InputRules.h"
#include "core/generators/NoiseGenerator.h"
#include "core/generators/NoiseInputRules.h"
#include "core/signal/SignalBase.h"
#include "gui/generators/ParameterForm.h"
#include "gui/generators/TFDlgBandNoiseGen.h"
#include "gui/generators/TNoiseCalcThread.h"

#include <QEvent>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QWindow>

TFDlgPinkNoise::TFDlgPinkNoise(QWidget* owner, QString tempFileName, TMainform* mainform,
                               zembrel::SignalBase* signal)
    : GeneratorDialog(owner, std::move(tempFileName), mainform, signal) {
    setWindowTitle(QStringLiteral("Pink Noise Generator"));

    ParameterForm band(this, QStringLiteral("Pink Noise Parameters"));
    f_start = band.AddEdit("f_start", QStringLiteral("Start Frequency:"), QString(),
                           QStringLiteral("Hz"));
    f_stop =
        band.AddEdit("f_stop", QStringLiteral("Stop Frequency:"), QString(), QStringLiteral("Hz"));
    step = band.AddEdit("step", QStringLiteral("Step Size:"), QString(), QStringLiteral("Hz"));
    PhaseOffset = band.AddEdit("PhaseOffset", QStringLiteral("L/R Phase Offset:"), QString(),
                               QStringLiteral("DEG"));
    PhaseOffset->setEnabled(signal->Channels == 2);

    ParameterForm level(this, QStringLiteral("Signal Parameters"));
    lev = level.AddEdit("lev", QStringLiteral("Level:"), QString(), QStringLiteral("dB"));

    BOK = MakeButton(this, "BOK", QStringLiteral("OK"));
    Button1 = MakeButton(this, "Button1", QStringLiteral("Cancel"));
    OnClick(BOK, &TFDlgPinkNoise::BOKClick);
    OnClick(Button1, &TFDlgPinkNoise::Button1Click);
    SetOkButton(BOK);

    PlaceBesideButtons(this, {band.Group(), level.Group()}, {BOK, Button1});

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
    if (!check.Valid()) {
        ShowError(TFDlgBandNoiseGen::ErrorText,
                  {{!check.Offset, NumberRange(QStringLiteral("L/R Phase Offset"))}});
        // The closing error window hands the activation back, which starts the fields afresh;
        // then the fields in error are emptied. Done here, so it does not depend on when the
        // window system reports the activation.
        FormActivate();
        otherWindowHadFocus_ = false;
        EmptyRefused({{!check.Start, f_start},
                      {!check.Stop, f_stop},
                      {!check.Step, step},
                      {!check.Level, lev},
                      {!check.Offset, PhaseOffset}});
        return;
    }
    StartCalculation(
        [&](TFProcessState* processState) {
            // Amplitude 1.0 is not used in mode 1: each line gets 1/sqrt(f). The worker's
            // GeneratePinkNoise scales the band to the level.
            return std::make_unique<TNoiseCalcThread>(true, start_, stop_, step_, 1.0, offset_,
                                                      signal_, &Progress, 1, processState, level_);
        },
        /*noise=*/true);
}

void TFDlgPinkNoise::Button1Click() {
    reject(); // ignored while the band is computed
}

void TFDlgPinkNoise::DeleteThread() {
    if (Progress == 100) {
        ReleaseWorker();
        Commit(zembrel::GeneratorStatus::Finished);
    } else {
        AbortCalculation();
    }
}
