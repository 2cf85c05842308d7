#include "gui/generators/TFDlgFunctionGen.h"

#include "core/generators/Generate.h"
#include "core/generators/InputRules.h"
#include "core/generators/StringToDoubleConverter.h"
#include "core/generators/ToneInputRules.h"
#include "core/signal/SignalBase.h"
#include "gui/app/TMainform.h"
#include "gui/generators/ParameterForm.h"
#include "gui/generators/TCalcThread.h"
#include "gui/generators/TFDlgSineGen.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

using zembrel::SignalBase;

namespace {

// The function generator reads its fields with the plain C conversion: "1,5" is 1.
double ReadPlain(const QLineEdit* edit) {
    return zembrel::StringToDoubleConverter::Plain(edit->text().toStdString());
}

} // namespace

TFDlgFunctionGen::TFDlgFunctionGen(QWidget* owner, QString tempFileName, TMainform* mainform,
                                   SignalBase* signal)
    : GeneratorDialog(owner, std::move(tempFileName), mainform, signal) {
    setWindowTitle(QStringLiteral("Function Generator"));

    ParameterForm form(this, QStringLiteral("Function Parameters"));
    frequ = form.AddEdit("frequ", QStringLiteral("Frequency:"), QString(), QStringLiteral("Hz"));
    lev = form.AddEdit("lev", QStringLiteral("Level:"), QStringLiteral("0"), QStringLiteral("dB"));
    phase =
        form.AddEdit("phase", QStringLiteral("Phase:"), QStringLiteral("0"), QStringLiteral("DEG"));
    function = new QComboBox(form.Group());
    function->setObjectName(QStringLiteral("function"));
    function->addItems(
        {QStringLiteral("Square"), QStringLiteral("Triangle"), QStringLiteral("Sawtooth")});
    function->setCurrentIndex(0);
    form.AddField(function, QStringLiteral("Function:"));
    PhaseOffset = form.AddEdit("PhaseOffset", QStringLiteral("L/R Phase Offset:"),
                               QStringLiteral("0"), QStringLiteral("DEG"));
    PhaseOffset->setEnabled(signal->Channels == 2);

    BStartCalculation = MakeButton(this, "BStartCalculation", QStringLiteral("OK"));
    BCancelFunctionGenerator =
        MakeButton(this, "BCancelFunctionGenerator", QStringLiteral("Cancel"));
    SetOkButton(BStartCalculation);
    OnClick(BStartCalculation, &TFDlgFunctionGen::BStartCalculationClick);
    OnClick(BCancelFunctionGenerator, &TFDlgFunctionGen::BCancelFunctionGeneratorClick);

    PlaceBesideButtons(this, {form.Group()}, {BStartCalculation, BCancelFunctionGenerator});
}

void TFDlgFunctionGen::showEvent(QShowEvent* event) {
    GeneratorDialog::showEvent(event);
    frequ->setFocus();
}

void TFDlgFunctionGen::BStartCalculationClick() {
    if (CalculationRunning()) {
        return;
    }
    const double f = ReadPlain(frequ);
    const double p = ReadPlain(phase);
    const double offset = ReadPlain(PhaseOffset);
    const double level = ReadPlain(lev);
    const int waveform = function->currentIndex();
    const zembrel::FunctionCheck check = zembrel::CheckFunction(
        {static_cast<zembrel::Waveform>(waveform), f, p, offset, level}, signal_->SampleRate);
    if (!check.Valid()) {
        // A fundamental in 0 < f <= fs/2 may still be too low for its series.
        const auto shape = static_cast<zembrel::Waveform>(waveform);
        const bool tooLow = !check.Frequency && f > 0.0 &&
                            f < zembrel::LowestFundamental(shape, signal_->SampleRate);
        // Rounded up: the figure shown is accepted when typed in.
        const double limit = zembrel::LowestFundamentalRoundedUp(shape, signal_->SampleRate, 3);
        ShowError(TFDlgSineGen::ErrorText,
                  {{tooLow, QStringLiteral("Frequency must be at least %1 Hz at "
                                           "this sampling frequency.")
                                .arg(limit, 0, 'g', 3)},
                   {!check.Phase, NumberRange(QStringLiteral("Phase"))},
                   {!check.Offset, NumberRange(QStringLiteral("L/R Phase Offset"))}});
        EmptyRefused({{!check.Frequency, frequ},
                      {!check.Level, lev},
                      {!check.Phase, phase},
                      {!check.Offset, PhaseOffset}});
        return;
    }
    StartCalculation(
        [&](TFProcessState* processState) {
            return std::make_unique<TCalcThread>(true, f, p, offset, signal_, &Progress, waveform,
                                                 processState, level);
        },
        false);
}

void TFDlgFunctionGen::BCancelFunctionGeneratorClick() {
    reject();
}

void TFDlgFunctionGen::DeleteThread() {
    if (Progress == 100) {
        // The worker's GenerateFunction has scaled the sum to the level.
        ReleaseWorker();
        Commit(zembrel::GeneratorStatus::Finished);
    } else {
        AbortCalculation();
    }
}
