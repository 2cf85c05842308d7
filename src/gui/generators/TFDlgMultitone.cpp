#include "gui/generators/TFDlgMultitone.h"

#include "core/analysis/StatisticsText.h"
#include "core/generators/TestTones.h"
#include "core/signal/SignalBase.h"
#include "gui/app/TMainform.h"
#include "gui/generators/ParameterForm.h"

#include <QComboBox>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>

namespace {

constexpr int kShortestLength = 10; // 2^10 samples
constexpr int kLongestLength = 20;  // 2^20 samples
constexpr int kDefaultLength = 16;  // 65536 samples

} // namespace

TFDlgMultitone::TFDlgMultitone(QWidget* owner, QString tempFileName, TMainform* mainform,
                               zembrel::SignalBase* signal)
    : GeneratorDialog(owner, std::move(tempFileName), mainform, signal) {
    setWindowTitle(QStringLiteral("Multitone Generator"));

    const zembrel::MultitoneInput defaults;
    ParameterForm tones(this, QStringLiteral("Multitone Parameters"));
    f_low = tones.AddEdit("f_low", QStringLiteral("&Lowest Tone:"), QString::number(defaults.Low),
                          QStringLiteral("Hz"));
    f_high = tones.AddEdit("f_high", QStringLiteral("&Highest Tone:"),
                           QString::number(defaults.High), QStringLiteral("Hz"));
    perOctave = tones.AddEdit("perOctave", QStringLiteral("Tones per &Octave:"),
                              QString::number(defaults.TonesPerOctave));
    length = new QComboBox(this);
    length->setObjectName(QStringLiteral("length"));
    for (int power = kShortestLength; power <= kLongestLength; ++power) {
        length->addItem(QString::number(1 << power), 1 << power);
    }
    length->setCurrentIndex(kDefaultLength - kShortestLength);
    length->setToolTip(QStringLiteral("Every tone lies on a bin centre of an FFT this long"));
    tones.AddField(length, QStringLiteral("&Analysis Length:"), QStringLiteral("samples"));
    phases = new QComboBox(this);
    phases->setObjectName(QStringLiteral("phases"));
    phases->addItems({QStringLiteral("low crest (searched)"), QStringLiteral("Newman"),
                      QStringLiteral("Schroeder"), QStringLiteral("random")});
    tones.AddField(phases, QStringLiteral("&Phases:"));

    ParameterForm level(this, QStringLiteral("Signal Parameters"));
    lev = level.AddEdit("lev", QStringLiteral("Peak L&evel:"), QStringLiteral("-1"),
                        QStringLiteral("dB"));

    BOK = MakeButton(this, "BOK", QStringLiteral("OK"));
    BCancel = MakeButton(this, "BCancel", QStringLiteral("Cancel"));
    OnClick(BOK, &TFDlgMultitone::BOKClick);
    OnClick(BCancel, &TFDlgMultitone::BCancelClick);
    SetOkButton(BOK);
    PlaceBesideButtons(this, {tones.Group(), level.Group()}, {BOK, BCancel}, FormSize::Fixed);
    f_low->setFocus();
}

void TFDlgMultitone::BOKClick() {
    zembrel::MultitoneInput input;
    input.Low = ReadNumber(f_low);
    input.High = ReadNumber(f_high);
    input.TonesPerOctave = ReadNumber(perOctave);
    input.AnalysisLength = length->currentData().toInt();
    input.Phases = static_cast<zembrel::MultitonePhases>(phases->currentIndex());
    input.Level = ReadNumber(lev);
    const zembrel::MultitoneCheck check = zembrel::CheckMultitone(input, signal_->SampleRate);
    if (!check.Valid()) {
        ShowError(QString::fromLatin1(zembrel::kTestToneErrorText));
        EmptyRefused({{!check.Low, f_low},
                      {!check.High, f_high},
                      {!check.TonesPerOctave, perOctave},
                      {!check.Level, lev}});
        return;
    }
    const zembrel::GeneratorStatus status =
        zembrel::GenerateMultitone(*signal_, input, std::nullopt, OnGuiThread(), &crestFactorDb_);
    Commit(status);
    if (result() == QDialog::Accepted) {
        mainform_->SetStatusText(
            QStringLiteral("Calculation finished. Crest factor %1 dB.")
                .arg(QString::fromStdString(zembrel::FixedText(crestFactorDb_, 2))
                         .replace(QLatin1Char('.'), QLocale::system().decimalPoint())));
    }
}

void TFDlgMultitone::BCancelClick() {
    reject();
}
