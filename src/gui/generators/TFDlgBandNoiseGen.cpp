#include "gui/generators/TFDlgBandNoiseGen.h"
#include "gui/generators/ParameterForm.h"

#include "core/generators/FrequencyListFile.h"
#include "core/generators/InputMessages.h"
#include "core/generators/InputRules.h"
#include "core/generators/NoiseGenerator.h"
#include "core/generators/NoiseInputRules.h"
#include "core/signal/SignalBase.h"
#include "gui/app/LocalPath.h"
#include "gui/app/TMainform.h"
#include "gui/generators/NoiseDialogFields.h"
#include "gui/generators/TNoiseCalcThread.h"

#include <QEventLoop>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QMessageBox>
#include <QVBoxLayout>

using namespace noisedialog;

const QString TFDlgBandNoiseGen::ErrorText = QString::fromLatin1(zembrel::kNoiseErrorText);

TFDlgBandNoiseGen::TFDlgBandNoiseGen(QWidget* owner, QString tempFileName, TMainform* mainform,
                                     zembrel::SignalBase* signal)
    : GeneratorDialog(owner, std::move(tempFileName), mainform, signal) {
    setWindowTitle(QStringLiteral("White Noise Generator"));

    auto* bandGroup = new QGroupBox(QStringLiteral("White Noise Parameters"), this);
    auto* grid = new QGridLayout(bandGroup);
    Label11 = new QLabel(QStringLiteral("Band  #:"), bandGroup);
    Label11->setObjectName(QStringLiteral("Label11"));
    LNumBand = new QLabel(QStringLiteral("1"), bandGroup);
    LNumBand->setObjectName(QStringLiteral("LNumBand"));
    grid->addWidget(Label11, 0, 0);
    grid->addWidget(LNumBand, 0, 1);
    f_start = Edit(bandGroup, "f_start");
    f_stop = Edit(bandGroup, "f_stop");
    step = Edit(bandGroup, "step");
    ampl = Edit(bandGroup, "ampl");
    PhaseOffset = Edit(bandGroup, "PhaseOffset", QStringLiteral("0"));
    Row(grid, QStringLiteral("Start Frequency:"), f_start, QStringLiteral("Hz"));
    Row(grid, QStringLiteral("Stop Frequency:"), f_stop, QStringLiteral("Hz"));
    Row(grid, QStringLiteral("Stepsize:"), step, QStringLiteral("Hz"));
    Row(grid, QStringLiteral("Amplitude:"), ampl, QStringLiteral("V"));
    Row(grid, QStringLiteral("L/R Phase Offset:"), PhaseOffset, QStringLiteral("DEG"));
    PhaseOffset->setEnabled(signal->Channels == 2);

    auto* levelGroup = new QGroupBox(QStringLiteral("Signal Parameter"), this);
    auto* levelGrid = new QGridLayout(levelGroup);
    lev = Edit(levelGroup, "lev", QStringLiteral("0"));
    Row(levelGrid, QStringLiteral("Level:"), lev, QStringLiteral("dB"));

    BAddBand = Button(this, "BAddBand", QStringLiteral("Add Band..."));
    BImport = Button(this, "BImport", QStringLiteral("Import..."));
    BImport->setToolTip(QStringLiteral("Reads signal data from file"));
    BOK = Button(this, "BOK", QStringLiteral("OK"));
    BCancel = Button(this, "BCancel", QStringLiteral("Cancel"));
    connect(BAddBand, &QPushButton::clicked, this, &TFDlgBandNoiseGen::BAddBandClick);
    connect(BImport, &QPushButton::clicked, this, &TFDlgBandNoiseGen::BImportClick);
    connect(BOK, &QPushButton::clicked, this, &TFDlgBandNoiseGen::BOKClick);
    connect(BCancel, &QPushButton::clicked, this, &TFDlgBandNoiseGen::BCancelClick);
    SetOkButton(BOK);

    PlaceBesideButtons(this, {bandGroup, levelGroup}, {BAddBand, BImport, BOK, BCancel});

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
    const auto checks = {std::pair{!check.Start, f_start},  std::pair{!check.Stop, f_stop},
                         std::pair{!check.Step, step},      std::pair{!check.Level, lev},
                         std::pair{!check.Amplitude, ampl}, std::pair{!check.Offset, PhaseOffset}};
    if (AnyInvalid(checks)) {
        ShowError(ErrorText, {{!check.Amplitude, NumberRange(QStringLiteral("Amplitude"))},
                              {!check.Offset, NumberRange(QStringLiteral("L/R Phase Offset"))}});
        EmptyInvalid(checks);
        return false;
    }
    return true;
}

void TFDlgBandNoiseGen::StartBand(double start, double stop, double stepSize, double amplitude,
                                  double offset, bool finalBand) {
    finalBand_ = finalBand;
    StartCalculation(
        [&](TFProcessState* processState) {
            return std::make_unique<TNoiseCalcThread>(true, start, stop, stepSize, amplitude,
                                                      offset, signal_, &Progress, 0, processState);
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
    if (Progress != 100) {
        // Stopped with Cancel in the progress window: every band of this dialog is discarded.
        bandAborted_ = true;
        AbortCalculation();
    } else if (finalBand_) {
        ReleaseWorker();
        Commit(level_);
    } else {
        mainform_->SetStatusText(QStringLiteral("Calculation of frequency band finished."));
        ReleaseWorker();
    }
    if (importWait_) {
        importWait_->quit();
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
