#include "gui/generators/TFDlgAmplitudeModulationGen.h"

#include "core/generators/Generate.h"
#include "core/generators/InputMessages.h"
#include "core/generators/ModulationInputRules.h"
#include "core/signal/SignalBase.h"
#include "gui/generators/ParameterForm.h"

#include <QLineEdit>
#include <QPushButton>

using zembrel::SignalBase;

const QString TFDlgAmplitudeModulationGen::ErrorText =
    QString::fromLatin1(zembrel::kAmplitudeModulationErrorText);

TFDlgAmplitudeModulationGen::TFDlgAmplitudeModulationGen(QWidget* owner, QString tempFileName,
                                                         TMainform* mainform, SignalBase* signal)
    : GeneratorDialog(owner, std::move(tempFileName), mainform, signal) {
    setWindowTitle(QStringLiteral("Amplitude Modulation Generator"));

    ParameterForm form(this, QStringLiteral("Amplitude Modulation Parameters"));
    carrier_f = form.AddEdit("carrier_f", QStringLiteral("Carrier Frequency:"), QString(),
                             QStringLiteral("Hz"));
    mod_f = form.AddEdit("mod_f", QStringLiteral("Modulation Frequency:"), QString(),
                         QStringLiteral("Hz"));
    mod_phase = form.AddEdit("mod_phase", QStringLiteral("Mod Frequency Phase:"),
                             QStringLiteral("0"), QStringLiteral("DEG"));
    mod_index = form.AddEdit("mod_index", QStringLiteral("Modulation Index:"), QStringLiteral("1"),
                             QString());
    PhaseOffset = form.AddEdit("PhaseOffset", QStringLiteral("L/R Phase Offset:"),
                               QStringLiteral("0"), QStringLiteral("DEG"));
    lev = form.AddEdit("lev", QStringLiteral("Level:"), QStringLiteral("0"), QStringLiteral("dB"));
    PhaseOffset->setEnabled(signal->Channels == 2);

    BOK = MakeButton(this, "BOK", QStringLiteral("OK"));
    BCancel = MakeButton(this, "BCancel", QStringLiteral("Cancel"));
    OnClick(BOK, &TFDlgAmplitudeModulationGen::BOKClick);
    OnClick(BCancel, &TFDlgAmplitudeModulationGen::BCancelClick);
    SetOkButton(BOK);
    // Tab does not reach Cancel.
    BCancel->setFocusPolicy(Qt::ClickFocus);
    PlaceBesideButtons(this, {form.Group()}, {BOK, BCancel}, FormSize::Fixed);

    setTabOrder(carrier_f, mod_f);
    setTabOrder(mod_f, mod_phase);
    setTabOrder(mod_phase, mod_index);
    setTabOrder(mod_index, PhaseOffset);
    setTabOrder(PhaseOffset, lev);
    setTabOrder(lev, BOK);
}

void TFDlgAmplitudeModulationGen::showEvent(QShowEvent* event) {
    GeneratorDialog::showEvent(event);
    FormActivate();
}

void TFDlgAmplitudeModulationGen::FormActivate() {
    carrier_f->setFocus();
}

void TFDlgAmplitudeModulationGen::BOKClick() {
    const double fc = ReadNumber(carrier_f);
    const double fm = ReadNumber(mod_f);
    const double phase = ReadNumber(mod_phase);
    const double offset = ReadNumber(PhaseOffset);
    const double m = ReadNumber(mod_index);
    const double level = ReadNumber(lev);

    const zembrel::AmplitudeModulationInput input{fc, fm, phase, offset, m, level};
    const zembrel::AmplitudeModulationCheck check =
        zembrel::CheckAmplitudeModulation(input, signal_->SampleRate);
    if (!check.Valid()) {
        EmptyRefused({{!check.CarrierFrequency, carrier_f},
                      {!check.ModulationFrequency, mod_f},
                      {!check.ModulationPhase, mod_phase},
                      {!check.PhaseOffset, PhaseOffset},
                      {!check.ModulationIndex, mod_index},
                      {!check.Level, lev}});
        ShowError(ErrorText,
                  {{!check.ModulationPhase, NumberRange(QStringLiteral("Mod Frequency Phase"))},
                   {!check.PhaseOffset, NumberRange(QStringLiteral("L/R Phase Offset"))},
                   {!check.ModulationIndex && m > 0.0, UpperLimit(QStringLiteral("Mod Index"))}});
        FormActivate(); // the closing error window hands the activation back
        return;
    }
    Commit(zembrel::GenerateAmplitudeModulation(*signal_, input, OnGuiThread()));
}

void TFDlgAmplitudeModulationGen::BCancelClick() {
    reject();
}
