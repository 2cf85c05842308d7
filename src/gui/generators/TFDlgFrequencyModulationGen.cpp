#include "gui/generators/TFDlgFrequencyModulationGen.h"

#include "core/generators/Generate.h"
#include "core/generators/InputMessages.h"
#include "core/generators/ModulationInputRules.h"
#include "core/signal/SignalBase.h"
#include "gui/generators/ParameterForm.h"

#include <QLineEdit>
#include <QPushButton>

using zembrel::SignalBase;

const QString TFDlgFrequencyModulationGen::ErrorText =
    QString::fromLatin1(zembrel::kFrequencyModulationErrorText);

TFDlgFrequencyModulationGen::TFDlgFrequencyModulationGen(QWidget* owner, QString tempFileName,
                                                         TMainform* mainform, SignalBase* signal)
    : GeneratorDialog(owner, std::move(tempFileName), mainform, signal) {
    setWindowTitle(QStringLiteral("Frequency Modulation Generator"));

    // The texts FormActivate sets are there from the start as well.
    ParameterForm form(this, QStringLiteral("Frequency Modulation Parameters"));
    carrier_f = form.AddEdit("carrier_f", QStringLiteral("Carrier Frequency:"), QString(),
                             QStringLiteral("Hz"));
    mod_f = form.AddEdit("mod_f", QStringLiteral("Modulation Frequency:"), QString(),
                         QStringLiteral("Hz"));
    mod_index = form.AddEdit("mod_index", QStringLiteral("Modulation Index:"), QStringLiteral("1"),
                             QString());
    lev = form.AddEdit("lev", QStringLiteral("Level:"), QStringLiteral("0"), QStringLiteral("dB"));

    BOk = MakeButton(this, "BOk", QStringLiteral("OK"));
    BCancel = MakeButton(this, "BCancel", QStringLiteral("Cancel"));
    OnClick(BOk, &TFDlgFrequencyModulationGen::BOkClick);
    OnClick(BCancel, &TFDlgFrequencyModulationGen::BCancelClick);
    SetOkButton(BOk);
    // Tab does not reach Cancel.
    BCancel->setFocusPolicy(Qt::ClickFocus);
    PlaceBesideButtons(this, {form.Group()}, {BOk, BCancel}, FormSize::Fixed);

    setTabOrder(carrier_f, mod_f);
    setTabOrder(mod_f, mod_index);
    setTabOrder(mod_index, lev);
    setTabOrder(lev, BOk);
}

void TFDlgFrequencyModulationGen::showEvent(QShowEvent* event) {
    GeneratorDialog::showEvent(event);
    FormActivate();
}

void TFDlgFrequencyModulationGen::FormActivate() {
    carrier_f->setFocus();
    carrier_f->clear();
    mod_f->clear();
    mod_index->setText(QStringLiteral("1"));
}

void TFDlgFrequencyModulationGen::BOkClick() {
    const double fc = ReadNumber(carrier_f);
    const double fm = ReadNumber(mod_f);
    const double m = ReadNumber(mod_index);
    const double level = ReadNumber(lev);

    const zembrel::FrequencyModulationInput input{fc, fm, m, level};
    const zembrel::FrequencyModulationCheck check =
        zembrel::CheckFrequencyModulation(input, signal_->SampleRate);
    if (!check.Valid()) {
        const auto emptyFailed = [&] {
            EmptyRefused({{!check.CarrierFrequency, carrier_f},
                          {!check.ModulationFrequency, mod_f},
                          {!check.ModulationIndex, mod_index},
                          {!check.Level, lev}});
        };
        emptyFailed();
        // The text gives only the lower limits; a value refused above them is too large.
        ShowError(
            ErrorText,
            {{!check.ModulationFrequency && fm > 0.0, UpperLimit(QStringLiteral("Mod Frequency"))},
             {!check.ModulationIndex && m > 0.0, UpperLimit(QStringLiteral("Mod Index"))}});
        // The closing error window hands the activation back, which resets the frequencies
        // and the index; the fields in error stay empty.
        FormActivate();
        emptyFailed();
        return;
    }
    Commit(zembrel::GenerateFrequencyModulation(*signal_, input, OnGuiThread()));
}

void TFDlgFrequencyModulationGen::BCancelClick() {
    reject();
}
