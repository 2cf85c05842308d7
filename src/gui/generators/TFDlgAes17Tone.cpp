#include "gui/generators/TFDlgAes17Tone.h"

#include "core/analysis/StatisticsText.h"
#include "core/generators/InputRules.h"
#include "core/generators/TestTones.h"
#include "core/signal/SignalBase.h"
#include "gui/generators/ParameterForm.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

TFDlgAes17Tone::TFDlgAes17Tone(QWidget* owner, QString tempFileName, TMainform* mainform,
                               zembrel::SignalBase* signal)
    : GeneratorDialog(owner, std::move(tempFileName), mainform, signal) {
    setWindowTitle(QStringLiteral("AES17 Test Tone"));

    ParameterForm form(this, QStringLiteral("Test Tone Parameters"));
    auto* frequency = form.Label(
        "Frequency", QString::fromStdString(zembrel::FixedText(zembrel::kAes17Frequency, 0)));
    form.AddField(frequency, QStringLiteral("Frequency:"), QStringLiteral("Hz"));
    lev = form.AddEdit("lev", QStringLiteral("Peak &Level:"), QStringLiteral("-1"),
                       QStringLiteral("dB"));

    BOK = MakeButton(this, "BOK", QStringLiteral("OK"));
    BCancel = MakeButton(this, "BCancel", QStringLiteral("Cancel"));
    OnClick(BOK, &TFDlgAes17Tone::BOKClick);
    OnClick(BCancel, &TFDlgAes17Tone::BCancelClick);
    SetOkButton(BOK);
    PlaceBesideButtons(this, {form.Group()}, {BOK, BCancel}, FormSize::Fixed);
    lev->setFocus();
}

void TFDlgAes17Tone::BOKClick() {
    const double level = ReadNumber(lev);
    if (!zembrel::IsValidLevel(level)) {
        ShowError(QString::fromLatin1(zembrel::kTestToneErrorText));
        EmptyRefused({{true, lev}});
        lev->setFocus();
        return;
    }
    Commit(zembrel::GenerateAes17Tone(*signal_, level, OnGuiThread()));
}

void TFDlgAes17Tone::BCancelClick() {
    reject();
}
