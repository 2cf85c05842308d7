#include "gui/generators/TFDlgSineNoiseGen.h"

#include "core/generators/FrequencyListFile.h"
#include "core/generators/InputRules.h"
#include "core/generators/PseudoNoiseList.h"
#include "core/generators/SineGenerator.h"
#include "core/generators/ToneInputRules.h"
#include "core/signal/SignalBase.h"
#include "gui/app/LocalPath.h"
#include "gui/generators/NoiseDialogFields.h"
#include "gui/generators/ParameterForm.h"
#include "gui/generators/TFDlgSineGen.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QMessageBox>
#include <QVBoxLayout>

using namespace noisedialog;

TFDlgSineNoiseGen::TFDlgSineNoiseGen(QWidget* owner, QString tempFileName, TMainform* mainform,
                                     zembrel::SignalBase* signal)
    : GeneratorDialog(owner, std::move(tempFileName), mainform, signal) {
    setWindowTitle(QStringLiteral("Sine with pn_phase Generator"));

    auto* sineGroup = new QGroupBox(QStringLiteral("Sine with pn_phase Parameters"), this);
    auto* grid = new QGridLayout(sineGroup);
    Label11 = new QLabel(QStringLiteral("Sine  #:"), sineGroup);
    Label11->setObjectName(QStringLiteral("Label11"));
    Label7 = new QLabel(QStringLiteral("1"), sineGroup);
    Label7->setObjectName(QStringLiteral("Label7"));
    grid->addWidget(Label11, 0, 0);
    grid->addWidget(Label7, 0, 1);
    frequ = Edit(sineGroup, "frequ");
    ampl = Edit(sineGroup, "ampl");
    PhaseOffset = Edit(sineGroup, "PhaseOffset", QStringLiteral("0"));
    Row(grid, QStringLiteral("Frequency:"), frequ, QStringLiteral("Hz"));
    Row(grid, QStringLiteral("Amplitude:"), ampl, QStringLiteral("V"));
    Row(grid, QStringLiteral("L/R Phase Offset:"), PhaseOffset, QStringLiteral("DEG"));
    PhaseOffset->setEnabled(signal->Channels == 2);

    auto* levelGroup = new QGroupBox(QStringLiteral("Signal Parameters"), this);
    auto* levelGrid = new QGridLayout(levelGroup);
    lev = Edit(levelGroup, "lev", QStringLiteral("0"));
    Row(levelGrid, QStringLiteral("Level:"), lev, QStringLiteral("dB"));

    BAddSine = Button(this, "BAddSine", QStringLiteral("Add Sine..."));
    BImport = Button(this, "BImport", QStringLiteral("Import..."));
    BImport->setToolTip(QStringLiteral("Reads signal data from file"));
    BOK = Button(this, "BOK", QStringLiteral("OK"));
    BCancel = Button(this, "BCancel", QStringLiteral("Cancel"));
    connect(BAddSine, &QPushButton::clicked, this, &TFDlgSineNoiseGen::BAddSineClick);
    connect(BImport, &QPushButton::clicked, this, &TFDlgSineNoiseGen::BImportClick);
    connect(BOK, &QPushButton::clicked, this, &TFDlgSineNoiseGen::BOKClick);
    connect(BCancel, &QPushButton::clicked, this, &TFDlgSineNoiseGen::BCancelClick);
    SetOkButton(BOK);

    PlaceBesideButtons(this, {sineGroup, levelGroup}, {BAddSine, BImport, BOK, BCancel});

    setTabOrder(frequ, ampl);
    setTabOrder(ampl, PhaseOffset);
    setTabOrder(PhaseOffset, lev);

    OpenDialog1 = [this] { return ChooseImportFile(); };
}

void TFDlgSineNoiseGen::showEvent(QShowEvent* event) {
    GeneratorDialog::showEvent(event);
    frequ->setFocus();
}

void TFDlgSineNoiseGen::BAddSineClick() {
    const double f = ReadNumber(frequ);
    const double a = ReadNumber(ampl);
    const double offset = ReadNumber(PhaseOffset);
    const zembrel::PnSineCheck check = zembrel::CheckPnSine({f, a, offset}, signal_->SampleRate);
    const auto checks = {std::pair{!check.Frequency, frequ}, std::pair{!check.Amplitude, ampl},
                         std::pair{!check.Offset, PhaseOffset}};
    if (AnyInvalid(checks)) {
        ShowError(TFDlgSineGen::ErrorText,
                  {{!check.Amplitude, NumberRange(QStringLiteral("Amplitude"))},
                   {!check.Offset, NumberRange(QStringLiteral("L/R Phase Offset"))}});
        EmptyInvalid(checks);
        frequ->setFocus();
        return;
    }
    ++counter_;
    Label7->setText(QString::number(counter_));
    zembrel::AddPnSine(*signal_, {f, a, offset}); // mono ignores the offset
    frequ->clear();
    ampl->clear();
    frequ->setFocus();
}

void TFDlgSineNoiseGen::BOKClick() {
    const double f = ReadNumber(frequ);
    const double a = ReadNumber(ampl);
    const double level = ReadNumber(lev);
    const double offset = ReadNumber(PhaseOffset);
    // Every check is made, so every field in error is emptied.
    const zembrel::PnSineCheck check =
        zembrel::CheckPnSine({f, a, offset}, signal_->SampleRate, level);
    const auto checks = {std::pair{!check.Frequency, frequ}, std::pair{!check.Level, lev},
                         std::pair{!check.Amplitude, ampl}, std::pair{!check.Offset, PhaseOffset}};
    if (AnyInvalid(checks)) {
        ShowError(TFDlgSineGen::ErrorText,
                  {{!check.Amplitude, NumberRange(QStringLiteral("Amplitude"))},
                   {!check.Offset, NumberRange(QStringLiteral("L/R Phase Offset"))}});
        EmptyInvalid(checks);
        return;
    }
    zembrel::AddPnSine(*signal_, {f, a, offset});
    Commit(level);
}

void TFDlgSineNoiseGen::BCancelClick() {
    reject();
}

void TFDlgSineNoiseGen::BImportClick() {
    const QString fileName = OpenDialog1();
    if (fileName.isEmpty()) {
        return;
    }
    // The whole file is read before the signal is touched: a file that cannot be read leaves
    // the sines added so far as they are, and no sine is made from a value that was not read.
    zembrel::FrequencyList list;
    try {
        list = zembrel::ReadFrequencyList(LocalPath(fileName), zembrel::kPnPhaseListReset);
    } catch (const zembrel::ListFileError& e) {
        QMessageBox::warning(this, QStringLiteral("Import"),
                             QStringLiteral("The pn-phase list could not be imported:\n%1")
                                 .arg(FromLocalPath(e.what())));
        return;
    }
    // One drawn phase per record, the same in both channels: the list has no offset.
    if (RunSynthesis([&] { zembrel::AddPnSineList(*signal_, list); })) {
        Commit(list.Level);
    }
}
