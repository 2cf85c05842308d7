#include "gui/app/TFDlgChangeParameters.h"

#include "core/FailureText.h"
#include "core/signal/SignalBase.h"
#include "core/signal/SignalFormatRules.h"
#include "gui/app/TMainform.h"
#include "gui/generators/TFDlgErrorMsg.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

using zembrel::SignalBase;

const QString TFDlgChangeParameters::ErrorText =
    QString::fromLatin1(zembrel::kSignalFormatErrorText);

namespace {

QComboBox* Combo(QWidget* parent, const char* name, bool editable, const QStringList& items,
                 int selected) {
    auto* box = new QComboBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setEditable(editable);
    box->addItems(items);
    box->setCurrentIndex(selected);
    if (editable) {
        box->setInsertPolicy(QComboBox::NoInsert);
        // What is typed is taken as typed: no completion from the list ("3200" must not become
        // "32000"). Choosing from the list still works.
        box->setCompleter(nullptr);
    }
    return box;
}

} // namespace

TFDlgChangeParameters::TFDlgChangeParameters(QWidget* owner, QString tempFileName,
                                             TMainform* mainform, SignalBase* signal)
    : QDialog(owner), ShowErrorMessage(&TFDlgErrorMsg::Show),
      tempFileName_(std::move(tempFileName)), mainform_(mainform), signal_(signal) {
    setWindowTitle(QStringLiteral("Change Signal Parameters"));

    auto* group = new QGroupBox(QStringLiteral("Set Global Parameters"), this);
    group->setObjectName(QStringLiteral("GroupBox1"));
    auto* grid = new QGridLayout(group);
    res = Combo(group, "res", false, {QStringLiteral("8"), QStringLiteral("16")}, 1);
    frequ = Combo(
        group, "frequ", true,
        {"4000", "6000", "8000", "11025", "16000", "22050", "32000", "32075", "44100", "48000"}, 8);
    len = Combo(group, "len", true,
                {"0.5", "1.0", "2.0", "5.0", "10.0", "20.0", "30.0", "40.0", "50.0", "60.0",
                 "120.0", "180.0"},
                1);
    norm = Combo(group, "norm", true, {"120", "128", "30000", "32768"}, 3);
    CNumChan = Combo(group, "CNumChan", false, {QStringLiteral("1"), QStringLiteral("2")}, 0);
    const std::tuple<QString, QComboBox*, QString> rows[] = {
        {QStringLiteral("Resolution:"), res, QStringLiteral("Bit")},
        {QStringLiteral("Sampling Frequency:"), frequ, QStringLiteral("Hz")},
        {QStringLiteral("File Length:"), len, QStringLiteral("s")},
        {QStringLiteral("Normvalue 0dB:"), norm, QString()},
        {QStringLiteral("Number of Channels:"), CNumChan, QString()},
    };
    int row = 0;
    for (const auto& [caption, box, unit] : rows) {
        grid->addWidget(new QLabel(caption, group), row, 0);
        grid->addWidget(box, row, 1);
        grid->addWidget(new QLabel(unit, group), row, 2);
        ++row;
    }

    Button1 = new QPushButton(QStringLiteral("Cancel"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setAutoDefault(false); // Return presses OK even when Cancel has the focus
    Button2 = new QPushButton(QStringLiteral("OK"), this);
    Button2->setObjectName(QStringLiteral("Button2"));
    Button2->setDefault(true);
    connect(Button1, &QPushButton::clicked, this, &TFDlgChangeParameters::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TFDlgChangeParameters::Button2Click);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Button2);
    buttons->addWidget(Button1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addLayout(buttons);
}

void TFDlgChangeParameters::Button1Click() {
    reject();
}

void TFDlgChangeParameters::Button2Click() {
    const zembrel::SignalFormatInput input = zembrel::ReadSignalFormat(
        res->currentText().toStdString(), frequ->currentText().toStdString(),
        len->currentText().toStdString(), norm->currentText().toStdString(),
        CNumChan->currentText().toStdString());
    const zembrel::SignalFormatErrors errors = zembrel::CheckSignalFormat(input);
    if (errors.Any()) {
        // The fields in error are emptied first, then the message is shown once.
        if (errors.SampleRate) {
            frequ->setEditText(QString());
        }
        if (errors.Duration) {
            len->setEditText(QString());
        }
        if (errors.NormValue) {
            norm->setEditText(QString());
        }
        ShowErrorMessage(ErrorText);
        return;
    }
    std::unique_ptr<SignalBase> fresh;
    try {
        fresh = std::make_unique<SignalBase>(input.SampleRate, input.Duration, input.Bits,
                                             static_cast<int>(input.NormValue), input.Channels);
    } catch (const std::bad_alloc&) {
        QMessageBox::warning(
            this, windowTitle(),
            QStringLiteral("There is %1 for a signal of this format. The signal is unchanged.")
                .arg(QString::fromLatin1(zembrel::FailureText(zembrel::Failure::OutOfMemory))));
        return;
    }
    // The playback file first: when it cannot be written, signal, view and file stay as they
    // were and the dialog stays open.
    if (!mainform_->WriteTempFile(*fresh, QStringLiteral("The signal is unchanged."))) {
        return;
    }
    *signal_ = std::move(*fresh);
    mainform_->ShowSignal(signal_);
    mainform_->SetStatusText(QStringLiteral("Parameters changed."));
    mainform_->SetGroupCaption(QStringLiteral("New Signal"));
    accept();
}
