#include "gui/generators/TFDlgFunctionGen.h"

#include "core/generators/InputRules.h"
#include "core/generators/StringToDoubleConverter.h"
#include "core/generators/ToneInputRules.h"
#include "core/signal/SignalBase.h"
#include "gui/app/TMainform.h"
#include "gui/generators/ParameterForm.h"
#include "gui/generators/TCalcThread.h"
#include "gui/generators/TFDlgSineGen.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

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

    auto* group = new QGroupBox(QStringLiteral("Function Parameters"), this);
    auto* grid = new QGridLayout(group);
    const auto edit = [group](const char* name, const QString& text) {
        auto* e = new QLineEdit(text, group);
        e->setObjectName(QString::fromLatin1(name));
        return e;
    };
    frequ = edit("frequ", QString());
    lev = edit("lev", QStringLiteral("0"));
    phase = edit("phase", QStringLiteral("0"));
    PhaseOffset = edit("PhaseOffset", QStringLiteral("0"));
    function = new QComboBox(group);
    function->setObjectName(QStringLiteral("function"));
    function->addItems(
        {QStringLiteral("Square"), QStringLiteral("Triangle"), QStringLiteral("Sawtooth")});
    function->setCurrentIndex(0);
    const std::tuple<QString, QWidget*, QString> rows[] = {
        {QStringLiteral("Frequency:"), frequ, QStringLiteral("Hz")},
        {QStringLiteral("Level:"), lev, QStringLiteral("dB")},
        {QStringLiteral("Phase:"), phase, QStringLiteral("DEG")},
        {QStringLiteral("Function:"), function, QString()},
        {QStringLiteral("L/R Phase Offset:"), PhaseOffset, QStringLiteral("DEG")},
    };
    int row = 0;
    for (const auto& [caption, field, unit] : rows) {
        grid->addWidget(new QLabel(caption, group), row, 0);
        grid->addWidget(field, row, 1);
        grid->addWidget(new QLabel(unit, group), row, 2);
        ++row;
    }
    PhaseOffset->setEnabled(signal->Channels == 2);

    BStartCalculation = new QPushButton(QStringLiteral("OK"), this);
    BStartCalculation->setObjectName(QStringLiteral("BStartCalculation"));
    BStartCalculation->setAutoDefault(false);
    BCancelFunctionGenerator = new QPushButton(QStringLiteral("Cancel"), this);
    BCancelFunctionGenerator->setObjectName(QStringLiteral("BCancelFunctionGenerator"));
    BCancelFunctionGenerator->setAutoDefault(false);
    SetOkButton(BStartCalculation);
    connect(BStartCalculation, &QPushButton::clicked, this,
            &TFDlgFunctionGen::BStartCalculationClick);
    connect(BCancelFunctionGenerator, &QPushButton::clicked, this,
            &TFDlgFunctionGen::BCancelFunctionGeneratorClick);

    PlaceBesideButtons(this, {group}, {BStartCalculation, BCancelFunctionGenerator});
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
    const std::pair<bool, QLineEdit*> checks[] = {
        {!check.Frequency, frequ},
        {!check.Level, lev},
        {!check.Phase, phase},
        {!check.Offset, PhaseOffset},
    };
    bool invalid = false;
    for (const auto& [bad, field] : checks) {
        invalid = invalid || bad;
    }
    if (invalid) {
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
                   {checks[2].first, NumberRange(QStringLiteral("Phase"))},
                   {checks[3].first, NumberRange(QStringLiteral("L/R Phase Offset"))}});
        for (const auto& [bad, field] : checks) {
            if (bad) {
                field->clear();
            }
        }
        return;
    }
    level_ = level;
    StartCalculation(
        [&](TFProcessState* processState) {
            return std::make_unique<TCalcThread>(true, f, p, offset, signal_, &Progress, waveform,
                                                 processState);
        },
        false);
}

void TFDlgFunctionGen::BCancelFunctionGeneratorClick() {
    reject();
}

void TFDlgFunctionGen::DeleteThread() {
    if (Progress == 100) {
        ReleaseWorker();
        Commit(level_);
    } else {
        AbortCalculation();
    }
}
