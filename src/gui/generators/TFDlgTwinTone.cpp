#include "gui/generators/TFDlgTwinTone.h"

#include "core/analysis/Intermodulation.h"
#include "core/generators/TestTones.h"
#include "core/signal/SignalBase.h"
#include "gui/generators/ParameterForm.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

namespace {

// "SMPTE (60 Hz + 7 kHz, 4:1)"
QString StandardCaption(const zembrel::TwinToneStandard& s) {
    const auto hz = [](double f) {
        return f >= 1000.0 ? QStringLiteral("%1 kHz").arg(f / 1000.0)
                           : QStringLiteral("%1 Hz").arg(f);
    };
    const bool equal = s.Ratio == 1.0;
    return QStringLiteral("%1 (%2 + %3, %4)")
        .arg(QString::fromLatin1(s.Name).toUpper(), hz(s.Low), hz(s.High),
             equal ? QStringLiteral("1:1") : QStringLiteral("%1:1").arg(s.Ratio));
}

} // namespace

TFDlgTwinTone::TFDlgTwinTone(QWidget* owner, QString tempFileName, TMainform* mainform,
                             zembrel::SignalBase* signal)
    : GeneratorDialog(owner, std::move(tempFileName), mainform, signal) {
    setWindowTitle(QStringLiteral("Twin Tone Generator"));

    ParameterForm form(this, QStringLiteral("Twin Tone Parameters"));
    Standard = new QComboBox(this);
    Standard->setObjectName(QStringLiteral("Standard"));
    for (const zembrel::TwinToneStandard& s : zembrel::TwinToneStandards()) {
        Standard->addItem(StandardCaption(s));
    }
    form.AddField(Standard, QStringLiteral("&Standard:"));
    lev = form.AddEdit("lev", QStringLiteral("Total Peak &Level:"), QStringLiteral("-1"),
                       QStringLiteral("dB"));

    BOK = MakeButton(this, "BOK", QStringLiteral("OK"));
    BCancel = MakeButton(this, "BCancel", QStringLiteral("Cancel"));
    OnClick(BOK, &TFDlgTwinTone::BOKClick);
    OnClick(BCancel, &TFDlgTwinTone::BCancelClick);
    SetOkButton(BOK);
    PlaceBesideButtons(this, {form.Group()}, {BOK, BCancel}, FormSize::Fixed);
    Standard->setFocus();
}

void TFDlgTwinTone::BOKClick() {
    const auto standard = zembrel::TwinToneStandards()
                              .at(static_cast<std::size_t>(Standard->currentIndex()))
                              .Standard;
    const double level = ReadNumber(lev);
    const zembrel::TwinToneCheck check =
        zembrel::CheckTwinTone(standard, level, signal_->SampleRate);
    if (!check.Valid()) {
        ShowError(QString::fromLatin1(zembrel::kTestToneErrorText));
        EmptyRefused({{!check.Level, lev}});
        (check.Level ? static_cast<QWidget*>(Standard) : lev)->setFocus();
        return;
    }
    Commit(zembrel::GenerateTwinTone(*signal_, standard, level, OnGuiThread()));
}

void TFDlgTwinTone::BCancelClick() {
    reject();
}
