#include "gui/generators/TFDlgBandNoiseGen.h"

#include "core/generators/FrequencyListFile.h"
#include "core/generators/Generate.h"
#include "core/generators/InputMessages.h"
#include "core/generators/InputRules.h"
#include "core/generators/NoiseGenerator.h"
#include "core/generators/NoiseInputRules.h"
#include "core/signal/SignalBase.h"
#include "gui/app/LocalPath.h"
#include "gui/app/TMainform.h"
#include "gui/generators/ParameterForm.h"
#include "gui/generators/TNoiseCalcThread.h"

#include <QEventLoop>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScopeGuard>

#include <exception>

const QString TFDlgBandNoiseGen::ErrorText = QString::fromLatin1(zembrel::kNoiseErrorText);

TFDlgBandNoiseGen::TFDlgBandNoiseGen(QWidget* owner, QString tempFileName, TMainform* mainform,
                                     zembrel::SignalBase* signal)
    : GeneratorDialog(owner, std::move(tempFileName), mainform, signal) {
    setWindowTitle(QStringLiteral("White Noise Generator"));

    ParameterForm band(this, QStringLiteral("White Noise Parameters"));
    Label11 = band.Label("Label11", QStringLiteral("Band  #:"));
    LNumBand = band.Label("LNumBand", QStringLiteral("1"));
    band.AddField(LNumBand, Label11);
    f_start = band.AddEdit("f_start", QStringLiteral("Start Frequency:"), QString(),
                           QStringLiteral("Hz"));
    f_stop =
        band.AddEdit("f_stop", QStringLiteral("Stop Frequency:"), QString(), QStringLiteral("Hz"));
    step = band.AddEdit("step", QStringLiteral("Stepsize:"), QString(), QStringLiteral("Hz"));
    ampl = band.AddEdit("ampl", QStringLiteral("Amplitude:"), QString(), QStringLiteral("V"));
    PhaseOffset = band.AddEdit("PhaseOffset", QStringLiteral("L/R Phase Offset:"),
                               QStringLiteral("0"), QStringLiteral("DEG"));
    PhaseOffset->setEnabled(signal->Channels == 2);

    ParameterForm level(this, QStringLiteral("Signal Parameter"));
    lev = level.AddEdit("lev", QStringLiteral("Level:"), QStringLiteral("0"), QStringLiteral("dB"));

    BAddBand = MakeButton(this, "BAddBand", QStringLiteral("Add Band..."));
    BImport = MakeButton(this, "BImport", QStringLiteral("Import..."));
    BImport->setToolTip(QStringLiteral("Reads signal data from file"));
    BOK = MakeButton(this, "BOK", QStringLiteral("OK"));
    BCancel = MakeButton(this, "BCancel", QStringLiteral("Cancel"));
    OnClick(BAddBand, &TFDlgBandNoiseGen::BAddBandClick);
    OnClick(BImport, &TFDlgBandNoiseGen::BImportClick);
    OnClick(BOK, &TFDlgBandNoiseGen::BOKClick);
    OnClick(BCancel, &TFDlgBandNoiseGen::BCancelClick);
    SetOkButton(BOK);

    PlaceBesideButtons(this, {band.Group(), level.Group()}, {BAddBand, BImport, BOK, BCancel});

    setTabOrder(f_start, f_stop);
    setTabOrder(f_stop, step);
    setTabOrder(step, ampl);
    setTabOrder(ampl, PhaseOffset);
    setTabOrder(PhaseOffset, lev);

    OpenDialog1 = [this] { return ChooseImportFile(); };
}

void TFDlgBandNoiseGen::showEvent(QShowEvent* event) {
    GeneratorDialog::showEvent(event);
    f_start->setFocus();
}

bool TFDlgBandNoiseGen::ReadBand(bool withLevel) {
    start_ = ReadNumber(f_start);
    stop_ = ReadNumber(f_stop);
    step_ = ReadNumber(step);
    amplitude_ = ReadNumber(ampl);
    if (withLevel) {
        level_ = ReadNumber(lev);
    }
    offset_ = ReadNumber(PhaseOffset);

    const zembrel::NoiseCheck check = zembrel::CheckWhiteNoiseBand(
        {start_, stop_, step_, amplitude_, offset_}, signal_->SampleRate,
        withLevel ? std::optional(level_) : std::nullopt);
    if (!check.Valid()) {
        ShowError(ErrorText, {{!check.Amplitude, NumberRange(QStringLiteral("Amplitude"))},
                              {!check.Offset, NumberRange(QStringLiteral("L/R Phase Offset"))}});
        EmptyRefused({{!check.Start, f_start},
                      {!check.Stop, f_stop},
                      {!check.Step, step},
                      {!check.Level, lev},
                      {!check.Amplitude, ampl},
                      {!check.Offset, PhaseOffset}});
        return false;
    }
    return true;
}

void TFDlgBandNoiseGen::StartBand(double start, double stop, double stepSize, double amplitude,
                                  double offset, bool finalBand) {
    finalBand_ = finalBand;
    StartCalculation(
        [&](TFProcessState* processState) {
            // The final band completes the sum and scales it to the level (GenerateWhiteNoise);
            // any other band is added as one step of that sum.
            return std::make_unique<TNoiseCalcThread>(
                true, start, stop, stepSize, amplitude, offset, signal_, &Progress, 0, processState,
                finalBand ? std::optional(level_) : std::nullopt);
        },
        /*noise=*/true);
}

void TFDlgBandNoiseGen::BAddBandClick() {
    if (CalculationRunning() || !ReadBand(false)) {
        return;
    }
    StartBand(start_, stop_, step_, amplitude_, offset_, false);
    // The band runs on; the dialog is ready for the next one at once.
    ++counter_;
    LNumBand->setText(QString::number(counter_));
    f_start->clear();
    f_stop->clear();
    step->clear();
    ampl->clear();
    f_start->setFocus();
}

void TFDlgBandNoiseGen::BOKClick() {
    if (CalculationRunning() || !ReadBand(true)) {
        return;
    }
    StartBand(start_, stop_, step_, amplitude_, offset_, true);
}

void TFDlgBandNoiseGen::BCancelClick() {
    reject(); // ignored while a band is computed
}

void TFDlgBandNoiseGen::DeleteThread() {
    // The import waits for this band: its wait ends however this handler ends, also by an
    // exception, so the import can release the dialog's buttons.
    const auto endWait = qScopeGuard([this] {
        if (importWait_) {
            bandAborted_ = bandAborted_ || std::uncaught_exceptions() > 0;
            importWait_->quit();
        }
    });
    if (Progress != 100) {
        // Stopped with Cancel in the progress window: every band of this dialog is discarded.
        bandAborted_ = true;
        AbortCalculation();
    } else if (finalBand_) {
        ReleaseWorker();
        Commit(zembrel::GeneratorStatus::Finished);
    } else {
        ReleaseWorker();
        mainform_->SetStatusText(QStringLiteral("Calculation of frequency band finished."));
    }
}

void TFDlgBandNoiseGen::BImportClick() {
    if (CalculationRunning()) {
        return;
    }
    const QString fileName = OpenDialog1();
    if (fileName.isEmpty()) {
        return;
    }
    const auto refuse = [this](const QString& reason) {
        QMessageBox::warning(
            this, QStringLiteral("Import"),
            QStringLiteral("The band list could not be imported:\n%1").arg(reason));
    };
    // The whole file is read and every band checked before the signal is touched: a file that
    // cannot be read, or a band that cannot be walked, leaves the signal as it is.
    zembrel::FrequencyList list;
    try {
        list = zembrel::ReadBandList(LocalPath(fileName));
    } catch (const zembrel::ListFileError& e) {
        refuse(FromLocalPath(e.what()));
        return;
    }

    signal_->Clear();
    bandAborted_ = false;
    // The buttons stay disabled, and Cancel and the close box ignored, from the first band to
    // the last: between two bands no input may close the dialog or start another worker.
    const ButtonHold hold(*this);
    for (const auto& r : list.Records) {
        // Offset 0: both channels of an imported band are equal.
        StartBand(r[0], r[1], r[2], r[3], 0.0, false);
        // Wait for the band while the GUI keeps serving the worker's progress reports;
        // DeleteThread ends the wait.
        QEventLoop wait;
        importWait_ = &wait;
        wait.exec();
        importWait_ = nullptr;
        if (bandAborted_) {
            return; // the previous signal is back and the dialog closed
        }
    }
    Commit(list.Level);
}
