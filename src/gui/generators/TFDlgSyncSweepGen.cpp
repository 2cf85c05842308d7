#include "gui/generators/TFDlgSyncSweepGen.h"

#include "core/generators/Generate.h"
#include "core/generators/SyncSweepSignal.h"
#include "core/signal/SignalBase.h"
#include "gui/generators/ParameterForm.h"
#include "gui/measure/SweepFields.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>
#include <stdexcept>

using zembrel::SignalBase;

TFDlgSyncSweepGen::TFDlgSyncSweepGen(QWidget* owner, QString tempFileName, TMainform* mainform,
                                     SignalBase* signal)
    : GeneratorDialog(owner, std::move(tempFileName), mainform, signal) {
    setWindowTitle(QStringLiteral("Synchronized Sweep Generator"));

    // The defaults of zembrel-cli measure; the stop frequency at most half the signal's rate.
    const double stop = std::min(20000.0, signal_->SampleRate / 2.0);
    ParameterForm form(this, QStringLiteral("Synchronized Sweep Parameters"));
    start_f = form.AddEdit("start_f", QStringLiteral("Start Frequency:"), QStringLiteral("20"),
                           QStringLiteral("Hz"));
    stop_f = form.AddEdit("stop_f", QStringLiteral("Stop Frequency:"), QString::number(stop),
                          QStringLiteral("Hz"));
    length =
        form.AddEdit("length", QStringLiteral("Length:"), QStringLiteral("5"), QStringLiteral("s"));
    fade_in = form.AddEdit("fade_in", QStringLiteral("Fade-in:"), QStringLiteral("0"),
                           QStringLiteral("ms"));
    fade_out = form.AddEdit("fade_out", QStringLiteral("Fade-out:"), QStringLiteral("0"),
                            QStringLiteral("ms"));
    pre = form.AddEdit("pre", QStringLiteral("Silence Before:"), QStringLiteral("0.5"),
                       QStringLiteral("s"));
    post = form.AddEdit("post", QStringLiteral("Silence After:"), QStringLiteral("0.5"),
                        QStringLiteral("s"));
    lev =
        form.AddEdit("lev", QStringLiteral("Level:"), QStringLiteral("-6"), QStringLiteral("dBFS"));
    RealLength = form.Label("RealLength");
    // Room for the longest text, so that typing does not resize the dialog.
    RealLength->setMinimumWidth(RealLength->fontMetrics().horizontalAdvance(
        QStringLiteral("888.888 s, 888.888 s with the silence")));
    form.AddField(RealLength, QStringLiteral("Real Length:"));

    Button2 = MakeButton(this, "Button2", QStringLiteral("OK"));
    Button1 = MakeButton(this, "Button1", QStringLiteral("Cancel"));
    OnClick(Button2, &TFDlgSyncSweepGen::Button2Click);
    OnClick(Button1, &TFDlgSyncSweepGen::Button1Click);
    SetOkButton(Button2);
    PlaceBesideButtons(this, {form.Group()}, {Button2, Button1}, FormSize::Fixed);

    for (QLineEdit* edit : {start_f, stop_f, length, fade_in, fade_out, pre, post, lev}) {
        connect(edit, &QLineEdit::textChanged, this, &TFDlgSyncSweepGen::ShowRealLength);
    }
    ShowRealLength();
    start_f->setFocus();
}

zembrel::SyncSweepInput TFDlgSyncSweepGen::Input() const {
    return SweepFields{start_f, stop_f, length, fade_in, fade_out, pre, post, lev}.Read(
        signal_->SampleRate);
}

void TFDlgSyncSweepGen::ShowRealLength() {
    try {
        const zembrel::SyncSweep sweep(Input());
        RealLength->setText(QStringLiteral("%1 s, %2 s with the silence")
                                .arg(sweep.LengthS(), 0, 'f', 3)
                                .arg(sweep.TotalSamples() / signal_->SampleRate, 0, 'f', 3));
    } catch (const std::invalid_argument&) {
        RealLength->setText(QStringLiteral("-"));
    }
}

void TFDlgSyncSweepGen::Button2Click() {
    const zembrel::SyncSweepInput input = Input();
    const std::string refusal = zembrel::CheckSyncSweepSignal(input, signal_->SampleRate);
    if (!refusal.empty()) {
        ShowError(QString::fromStdString(refusal));
        return;
    }
    Commit(zembrel::GenerateSyncSweep(*signal_, input, OnGuiThread()));
}

void TFDlgSyncSweepGen::Button1Click() {
    reject();
}
