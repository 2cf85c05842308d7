#include "gui/generators/TFDlgFrequencySweepGen.h"

#include "core/generators/FrequencySweepGenerator.h"
#include "core/generators/Generate.h"
#include "core/generators/InputMessages.h"
#include "core/generators/ModulationInputRules.h"
#include "core/signal/SignalBase.h"
#include "gui/generators/ParameterForm.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>

using zembrel::SignalBase;

const QString TFDlgFrequencySweepGen::ErrorText =
    QString::fromLatin1(zembrel::kFrequencySweepErrorText);

TFDlgFrequencySweepGen::TFDlgFrequencySweepGen(QWidget* owner, QString tempFileName,
                                               TMainform* mainform, SignalBase* signal)
    : GeneratorDialog(owner, std::move(tempFileName), mainform, signal) {
    setWindowTitle(QStringLiteral("Frequency Sweep Generator"));

    // The texts FormActivate sets are there from the start as well.
    ParameterForm form(this, QStringLiteral("Frequency Sweep Parameters"));
    start_f = form.AddEdit("start_f", QStringLiteral("Start Frequency:"), QString(),
                           QStringLiteral("Hz"));
    stop_f =
        form.AddEdit("stop_f", QStringLiteral("Stop Frequency:"), QString(), QStringLiteral("Hz"));
    type = new QComboBox(form.Group());
    type->setObjectName(QStringLiteral("type"));
    // In the order of zembrel::SweepCharacteristic; "exp10 " has its trailing blank.
    type->addItems({QStringLiteral("lin"), QStringLiteral("exp"), QStringLiteral("exp10 "),
                    QStringLiteral("quad"), QStringLiteral("cube"), QStringLiteral("bi-quad")});
    type->setCurrentIndex(zembrel::SweepLin);
    form.AddField(type, QStringLiteral("Sweep Caracteristic:"));
    lev = form.AddEdit("lev", QStringLiteral("Level:"), QStringLiteral("0"), QStringLiteral("dB"));

    Button2 = MakeButton(this, "Button2", QStringLiteral("OK"));
    Button1 = MakeButton(this, "Button1", QStringLiteral("Cancel"));
    OnClick(Button2, &TFDlgFrequencySweepGen::Button2Click);
    OnClick(Button1, &TFDlgFrequencySweepGen::Button1Click);
    SetOkButton(Button2);
    // Tab does not reach Cancel.
    Button1->setFocusPolicy(Qt::ClickFocus);
    PlaceBesideButtons(this, {form.Group()}, {Button2, Button1}, FormSize::Fixed);

    setTabOrder(start_f, stop_f);
    setTabOrder(stop_f, type);
    setTabOrder(type, lev);
    setTabOrder(lev, Button2);
}

void TFDlgFrequencySweepGen::showEvent(QShowEvent* event) {
    GeneratorDialog::showEvent(event);
    FormActivate();
}

void TFDlgFrequencySweepGen::FormActivate() {
    start_f->setFocus();
    start_f->clear();
    stop_f->clear();
    lev->setText(QStringLiteral("0"));
    type->setCurrentIndex(zembrel::SweepLin);
}

void TFDlgFrequencySweepGen::Button2Click() {
    const double f1 = ReadNumber(start_f);
    const double f2 = ReadNumber(stop_f);
    const double level = ReadNumber(lev);

    const zembrel::FrequencySweepInput input{f1, f2, type->currentIndex(), level};
    const zembrel::FrequencySweepCheck check =
        zembrel::CheckFrequencySweep(input, signal_->SampleRate);
    if (!check.Valid()) {
        const auto emptyFailed = [&] {
            EmptyRefused({{!check.StartFrequency, start_f},
                          {!check.StopFrequency, stop_f},
                          {!check.Level, lev}});
        };
        emptyFailed();
        ShowError(ErrorText);
        // The closing error window hands the activation back, which resets all four inputs;
        // the fields in error stay empty.
        FormActivate();
        emptyFailed();
        return;
    }
    Commit(zembrel::GenerateFrequencySweep(*signal_, input, OnGuiThread()));
}

void TFDlgFrequencySweepGen::Button1Click() {
    reject();
}
