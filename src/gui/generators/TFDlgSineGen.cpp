#include "gui/generators/TFDlgSineGen.h"

#include "core/generators/FrequencyListFile.h"
#include "core/generators/InputMessages.h"
#include "core/generators/InputRules.h"
#include "core/generators/SineGenerator.h"
#include "core/generators/ToneInputRules.h"
#include "core/signal/SignalBase.h"
#include "gui/app/LocalPath.h"
#include "gui/app/TMainform.h"
#include "gui/generators/ParameterForm.h"

#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

using zembrel::SignalBase;

const QString TFDlgSineGen::ErrorText = QString::fromLatin1(zembrel::kSineErrorText);

namespace {

QLineEdit* Edit(QWidget* parent, const char* name, const QString& text) {
    auto* edit = new QLineEdit(text, parent);
    edit->setObjectName(QString::fromLatin1(name));
    return edit;
}

QPushButton* Button(QWidget* parent, const char* name, const QString& caption) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoDefault(false);
    return button;
}

// One row of a grid: caption, edit, unit.
void Row(QGridLayout* grid, int row, const QString& caption, QWidget* field, const QString& unit) {
    grid->addWidget(new QLabel(caption), row, 0);
    grid->addWidget(field, row, 1);
    if (!unit.isEmpty()) {
        grid->addWidget(new QLabel(unit), row, 2);
    }
}

} // namespace

TFDlgSineGen::TFDlgSineGen(QWidget* owner, QString tempFileName, TMainform* mainform,
                           SignalBase* signal)
    : GeneratorDialog(owner, std::move(tempFileName), mainform, signal) {
    setWindowTitle(QStringLiteral("Sine Generator"));

    auto* sineGroup = new QGroupBox(QStringLiteral("Sine Parameters"), this);
    auto* grid = new QGridLayout(sineGroup);
    Label11 = new QLabel(QStringLiteral("Sine  #:"), sineGroup);
    Label11->setObjectName(QStringLiteral("Label11"));
    Label2 = new QLabel(QStringLiteral("1"), sineGroup);
    Label2->setObjectName(QStringLiteral("Label2"));
    grid->addWidget(Label11, 0, 0);
    grid->addWidget(Label2, 0, 1);
    frequ = Edit(sineGroup, "frequ", QString());
    ampl = Edit(sineGroup, "ampl", QString());
    deg = Edit(sineGroup, "deg", QString());
    PhaseOffset = Edit(sineGroup, "PhaseOffset", QStringLiteral("0"));
    Row(grid, 1, QStringLiteral("Frequency:"), frequ, QStringLiteral("Hz"));
    Row(grid, 2, QStringLiteral("Amplitude:"), ampl, QStringLiteral("V"));
    Row(grid, 3, QStringLiteral("Phase:"), deg, QStringLiteral("DEG"));
    Row(grid, 4, QStringLiteral("L/R Phase Offset:"), PhaseOffset, QStringLiteral("DEG"));
    PhaseOffset->setEnabled(signal->Channels == 2);

    auto* levelGroup = new QGroupBox(QStringLiteral("Signal Parameter"), this);
    auto* levelGrid = new QGridLayout(levelGroup);
    lev = Edit(levelGroup, "lev", QStringLiteral("0"));
    Row(levelGrid, 0, QStringLiteral("Level:"), lev, QStringLiteral("dB"));

    BAddSine = Button(this, "BAddSine", QStringLiteral("Add Sine..."));
    BImport = Button(this, "BImport", QStringLiteral("Import..."));
    BImport->setToolTip(QStringLiteral("Reads signal data from file"));
    BOK = Button(this, "BOK", QStringLiteral("OK"));
    BCancel = Button(this, "BCancel", QStringLiteral("Cancel"));
    connect(BAddSine, &QPushButton::clicked, this, &TFDlgSineGen::BAddSineClick);
    connect(BImport, &QPushButton::clicked, this, &TFDlgSineGen::BImportClick);
    connect(BOK, &QPushButton::clicked, this, &TFDlgSineGen::BOKClick);
    connect(BCancel, &QPushButton::clicked, this, &TFDlgSineGen::BCancelClick);
    SetOkButton(BOK);

    PlaceBesideButtons(this, {sineGroup, levelGroup}, {BAddSine, BImport, BOK, BCancel});

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

void TFDlgSineGen::AddSineFromFields(double f, double a, double p, double offset) {
    zembrel::AddSine(*signal_, {f, a, p, offset});
}

void TFDlgSineGen::BAddSineClick() {
    const double f = ReadNumber(frequ);
    const double a = ReadNumber(ampl);
    const double p = ReadNumber(deg);
    const double offset = ReadNumber(PhaseOffset);

    const zembrel::SineCheck check = zembrel::CheckSine({f, a, p, offset}, signal_->SampleRate);
    const bool badFrequency = !check.Frequency;
    const bool badAmplitude = !check.Amplitude;
    const bool badPhase = !check.Phase;
    const bool badOffset = !check.Offset;
    if (badFrequency || badAmplitude || badPhase || badOffset) {
        ShowError(ErrorText, {{badAmplitude, NumberRange(QStringLiteral("Amplitude"))},
                              {badPhase, NumberRange(QStringLiteral("Phase"))},
                              {badOffset, NumberRange(QStringLiteral("L/R Phase Offset"))}});
        for (auto [bad, edit] : {std::pair{badFrequency, frequ},
                                 {badAmplitude, ampl},
                                 {badPhase, deg},
                                 {badOffset, PhaseOffset}}) {
            if (bad) {
                edit->clear();
            }
        }
        frequ->setFocus();
        return;
    }
    ++counter_;
    Label2->setText(QString::number(counter_));
    AddSineFromFields(f, a, p, offset);
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
    const std::pair<bool, QLineEdit*> checks[] = {
        {!check.Frequency, frequ}, {!check.Level, lev},          {!check.Amplitude, ampl},
        {!check.Phase, deg},       {!check.Offset, PhaseOffset},
    };
    bool invalid = false;
    for (const auto& [bad, edit] : checks) {
        invalid = invalid || bad;
    }
    if (invalid) {
        ShowError(ErrorText, {{checks[2].first, NumberRange(QStringLiteral("Amplitude"))},
                              {checks[3].first, NumberRange(QStringLiteral("Phase"))},
                              {checks[4].first, NumberRange(QStringLiteral("L/R Phase Offset"))}});
        for (const auto& [bad, edit] : checks) {
            if (bad) {
                edit->clear();
            }
        }
        return;
    }
    AddSineFromFields(f, a, p, offset);
    Commit(level);
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
    if (RunSynthesis([&] { zembrel::AddSineList(*signal_, list); })) {
        Commit(list.Level);
    }
}
