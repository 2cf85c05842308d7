#include "gui/generators/TFDlgSineGen.h"

#include "core/generators/FrequencyListFile.h"
#include "core/generators/Generate.h"
#include "core/generators/InputMessages.h"
#include "core/generators/InputRules.h"
#include "core/generators/SineGenerator.h"
#include "core/generators/ToneInputRules.h"
#include "core/signal/SignalBase.h"
#include "gui/app/LocalPath.h"
#include "gui/app/TMainform.h"
#include "gui/generators/ParameterForm.h"

#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

using zembrel::SignalBase;

const QString TFDlgSineGen::ErrorText = QString::fromLatin1(zembrel::kSineErrorText);

TFDlgSineGen::TFDlgSineGen(QWidget* owner, QString tempFileName, TMainform* mainform,
                           SignalBase* signal)
    : GeneratorDialog(owner, std::move(tempFileName), mainform, signal) {
    setWindowTitle(QStringLiteral("Sine Generator"));

    ParameterForm sines(this, QStringLiteral("Sine Parameters"));
    Label11 = sines.Label("Label11", QStringLiteral("Sine  #:"));
    Label2 = sines.Label("Label2", QStringLiteral("1"));
    sines.AddField(Label2, Label11);
    frequ = sines.AddEdit("frequ", QStringLiteral("Frequency:"), QString(), QStringLiteral("Hz"));
    ampl = sines.AddEdit("ampl", QStringLiteral("Amplitude:"), QString(), QStringLiteral("V"));
    deg = sines.AddEdit("deg", QStringLiteral("Phase:"), QString(), QStringLiteral("DEG"));
    PhaseOffset = sines.AddEdit("PhaseOffset", QStringLiteral("L/R Phase Offset:"),
                                QStringLiteral("0"), QStringLiteral("DEG"));
    PhaseOffset->setEnabled(signal->Channels == 2);

    ParameterForm level(this, QStringLiteral("Signal Parameter"));
    lev = level.AddEdit("lev", QStringLiteral("Level:"), QStringLiteral("0"), QStringLiteral("dB"));

    BAddSine = MakeButton(this, "BAddSine", QStringLiteral("Add Sine..."));
    BImport = MakeButton(this, "BImport", QStringLiteral("Import..."));
    BImport->setToolTip(QStringLiteral("Reads signal data from file"));
    BOK = MakeButton(this, "BOK", QStringLiteral("OK"));
    BCancel = MakeButton(this, "BCancel", QStringLiteral("Cancel"));
    OnClick(BAddSine, &TFDlgSineGen::BAddSineClick);
    OnClick(BImport, &TFDlgSineGen::BImportClick);
    OnClick(BOK, &TFDlgSineGen::BOKClick);
    OnClick(BCancel, &TFDlgSineGen::BCancelClick);
    SetOkButton(BOK);

    PlaceBesideButtons(this, {sines.Group(), level.Group()}, {BAddSine, BImport, BOK, BCancel});

    setTabOrder(frequ, ampl);
    setTabOrder(ampl, deg);
    setTabOrder(deg, PhaseOffset);
    setTabOrder(PhaseOffset, lev);

    OpenDialog1 = [this] { return ChooseImportFile(); };
}

void TFDlgSineGen::showEvent(QShowEvent* event) {
    GeneratorDialog::showEvent(event);
    frequ->setFocus();
}

void TFDlgSineGen::BAddSineClick() {
    const double f = ReadNumber(frequ);
    const double a = ReadNumber(ampl);
    const double p = ReadNumber(deg);
    const double offset = ReadNumber(PhaseOffset);

    const zembrel::SineCheck check = zembrel::CheckSine({f, a, p, offset}, signal_->SampleRate);
    if (!check.Valid()) {
        RefuseSine(check);
        frequ->setFocus();
        return;
    }
    ++counter_;
    Label2->setText(QString::number(counter_));
    // One step of the sum that GenerateSines builds: the sine is added at once.
    zembrel::AddSine(*signal_, {f, a, p, offset});
    frequ->clear();
    ampl->clear();
    deg->clear();
    frequ->setFocus();
}

void TFDlgSineGen::BOKClick() {
    const double f = ReadNumber(frequ);
    const double a = ReadNumber(ampl);
    const double p = ReadNumber(deg);
    const double offset = ReadNumber(PhaseOffset);
    const double level = ReadNumber(lev);

    // Every check is made, so every field in error is emptied.
    const zembrel::SineCheck check =
        zembrel::CheckSine({f, a, p, offset}, signal_->SampleRate, level);
    if (!check.Valid()) {
        RefuseSine(check);
        return;
    }
    // The last sine joins the sum of those added so far, which is then scaled to the level.
    Commit(zembrel::GenerateSines(*signal_, {{f, a, p, offset}}, level, OnGuiThread()));
}

void TFDlgSineGen::RefuseSine(const zembrel::SineCheck& check) {
    ShowError(ErrorText, {{!check.Amplitude, NumberRange(QStringLiteral("Amplitude"))},
                          {!check.Phase, NumberRange(QStringLiteral("Phase"))},
                          {!check.Offset, NumberRange(QStringLiteral("L/R Phase Offset"))}});
    // Every check is made, so every field in error is emptied (the level only after OK).
    EmptyRefused({{!check.Frequency, frequ},
                  {!check.Level, lev},
                  {!check.Amplitude, ampl},
                  {!check.Phase, deg},
                  {!check.Offset, PhaseOffset}});
}

void TFDlgSineGen::BCancelClick() {
    reject();
}

void TFDlgSineGen::BImportClick() {
    const QString fileName = OpenDialog1();
    if (fileName.isEmpty()) {
        return;
    }
    // The whole file is read before the signal is touched: a file that cannot be read leaves
    // the sines added so far as they are.
    zembrel::FrequencyList list;
    try {
        list = zembrel::ReadFrequencyList(LocalPath(fileName), zembrel::kSineListReset);
    } catch (const zembrel::ListFileError& e) {
        QMessageBox::warning(this, QStringLiteral("Import"),
                             QStringLiteral("The sine list could not be imported:\n%1")
                                 .arg(FromLocalPath(e.what())));
        return;
    }
    zembrel::GeneratorStatus status = zembrel::GeneratorStatus::Stopped;
    if (RunSynthesis([&] { status = zembrel::GenerateSineList(*signal_, list, OnGuiThread()); })) {
        Commit(status);
    }
}
