#include "gui/generators/TFDlgSineNoiseGen.h"

#include "core/generators/FrequencyListFile.h"
#include "core/generators/Generate.h"
#include "core/generators/InputRules.h"
#include "core/generators/PseudoNoiseList.h"
#include "core/generators/SineGenerator.h"
#include "core/generators/ToneInputRules.h"
#include "core/signal/SignalBase.h"
#include "gui/app/LocalPath.h"
#include "gui/generators/ParameterForm.h"
#include "gui/generators/TFDlgSineGen.h"

#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

TFDlgSineNoiseGen::TFDlgSineNoiseGen(QWidget* owner, QString tempFileName, TMainform* mainform,
                                     zembrel::SignalBase* signal)
    : GeneratorDialog(owner, std::move(tempFileName), mainform, signal) {
    setWindowTitle(QStringLiteral("Sine with pn_phase Generator"));

    ParameterForm sines(this, QStringLiteral("Sine with pn_phase Parameters"));
    Label11 = sines.Label("Label11", QStringLiteral("Sine  #:"));
    Label7 = sines.Label("Label7", QStringLiteral("1"));
    sines.AddField(Label7, Label11);
    frequ = sines.AddEdit("frequ", QStringLiteral("Frequency:"), QString(), QStringLiteral("Hz"));
    ampl = sines.AddEdit("ampl", QStringLiteral("Amplitude:"), QString(), QStringLiteral("V"));
    PhaseOffset = sines.AddEdit("PhaseOffset", QStringLiteral("L/R Phase Offset:"),
                                QStringLiteral("0"), QStringLiteral("DEG"));
    PhaseOffset->setEnabled(signal->Channels == 2);

    ParameterForm level(this, QStringLiteral("Signal Parameters"));
    lev = level.AddEdit("lev", QStringLiteral("Level:"), QStringLiteral("0"), QStringLiteral("dB"));

    BAddSine = MakeButton(this, "BAddSine", QStringLiteral("Add Sine..."));
    BImport = MakeButton(this, "BImport", QStringLiteral("Import..."));
    BImport->setToolTip(QStringLiteral("Reads signal data from file"));
    BOK = MakeButton(this, "BOK", QStringLiteral("OK"));
    BCancel = MakeButton(this, "BCancel", QStringLiteral("Cancel"));
    OnClick(BAddSine, &TFDlgSineNoiseGen::BAddSineClick);
    OnClick(BImport, &TFDlgSineNoiseGen::BImportClick);
    OnClick(BOK, &TFDlgSineNoiseGen::BOKClick);
    OnClick(BCancel, &TFDlgSineNoiseGen::BCancelClick);
    SetOkButton(BOK);

    PlaceBesideButtons(this, {sines.Group(), level.Group()}, {BAddSine, BImport, BOK, BCancel});

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
    if (!check.Valid()) {
        RefuseSine(check);
        frequ->setFocus();
        return;
    }
    ++counter_;
    Label7->setText(QString::number(counter_));
    // One step of the sum that GeneratePnSines builds: the sine is added at once (mono ignores
    // the offset).
    zembrel::AddPnSine(*signal_, {f, a, offset});
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
    if (!check.Valid()) {
        RefuseSine(check);
        return;
    }
    // The phases continue from the program's phase generator, as Add Sine's did.
    Commit(
        zembrel::GeneratePnSines(*signal_, {{f, a, offset}}, level, std::nullopt, OnGuiThread()));
}

void TFDlgSineNoiseGen::RefuseSine(const zembrel::PnSineCheck& check) {
    ShowError(TFDlgSineGen::ErrorText,
              {{!check.Amplitude, NumberRange(QStringLiteral("Amplitude"))},
               {!check.Offset, NumberRange(QStringLiteral("L/R Phase Offset"))}});
    // Every check is made, so every field in error is emptied (the level only after OK).
    EmptyRefused({{!check.Frequency, frequ},
                  {!check.Level, lev},
                  {!check.Amplitude, ampl},
                  {!check.Offset, PhaseOffset}});
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
    zembrel::GeneratorStatus status = zembrel::GeneratorStatus::Stopped;
    if (RunSynthesis([&] {
            status = zembrel::GeneratePnSineList(*signal_, list, std::nullopt, OnGuiThread());
        })) {
        Commit(status);
    }
}
