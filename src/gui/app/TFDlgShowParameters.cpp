#include "gui/app/TFDlgShowParameters.h"

#include "core/signal/SignalBase.h"
#include "gui/app/SlotGuard.h"
#include "gui/app/TFDlgChangeParameters.h"
#include "gui/app/TMainform.h"
#include "gui/generators/ParameterForm.h"

#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

using zembrel::SignalBase;

TFDlgShowParameters::TFDlgShowParameters(QWidget* owner, QString tempFileName, TMainform* mainform,
                                         SignalBase* signal)
    : QDialog(owner), RunChangeDialog([](QDialog& d) { d.exec(); }),
      tempFileName_(std::move(tempFileName)), mainform_(mainform), signal_(signal) {
    setWindowTitle(QStringLiteral("Signal Parameters"));

    ParameterForm form(this, QStringLiteral("Global Parameters"));
    form.Group()->setObjectName(QStringLiteral("GroupBox1"));
    const auto value = [&form](const char* name) {
        QLabel* label = form.Label(name);
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        label->setMinimumWidth(110);
        return label;
    };
    NumChan = value("NumChan");
    res = value("res");
    fs = value("fs");
    t_sample = value("t_sample");
    t_file = value("t_file");
    norm = value("norm");
    Label6 = form.Label("Label6", QStringLiteral("Normvalue 16 Bit:"));
    form.AddField(NumChan, QStringLiteral("Number of Channels:"));
    form.AddField(res, QStringLiteral("Resolution:"), QStringLiteral("Bit"));
    form.AddField(fs, QStringLiteral("Sampling Frequency:"), QStringLiteral("Hz"));
    form.AddField(t_sample, QStringLiteral("Sampling Period:"), QStringLiteral("s"));
    form.AddField(t_file, QStringLiteral("File Length:"), QStringLiteral("s"));
    form.AddField(norm, Label6);
    // The sample count is kept for the record but shares its place with the norm value, which
    // covers it.
    n = value("n");
    n->hide();

    Button1 = MakeButton(this, "Button1", QStringLiteral("Change"));
    Button2 = MakeButton(this, "Button2", QStringLiteral("OK"));
    // Return in the dialog presses OK; a button the user has tabbed to takes Return itself.
    Button2->setDefault(true);
    ConnectGuarded(Button1, &QPushButton::clicked, this, &TFDlgShowParameters::Button1Click);
    ConnectGuarded(Button2, &QPushButton::clicked, this, &TFDlgShowParameters::Button2Click);
    PlaceAboveButtons(this, form.Group(), {Button1, Button2});

    FormActivate();
}

bool TFDlgShowParameters::event(QEvent* e) {
    if (e->type() == QEvent::WindowActivate) {
        FormActivate();
    }
    return QDialog::event(e);
}

void TFDlgShowParameters::FormActivate() {
    const SignalBase& s = *signal_;
    NumChan->setText(QString::number(s.Channels));
    res->setText(QString::number(s.Bits));
    fs->setText(QString::number(s.SampleRate, 'f', 1));
    t_sample->setText(QString::number(s.SamplePeriod, 'f', 9));
    t_file->setText(QString::number(s.Duration, 'f', 1));
    n->setText(QString::number(s.SampleCount));
    if (s.Bits == 16) {
        Label6->setText(QStringLiteral("Normvalue 16 Bit:"));
    } else if (s.Bits == 8) {
        Label6->setText(QStringLiteral("Normvalue 8 Bit:"));
    }
    norm->setText(QString::number(s.NormValue));
}

void TFDlgShowParameters::Button1Click() {
    {
        TFDlgChangeParameters change(nullptr, tempFileName_, mainform_, signal_);
        RunChangeDialog(change);
    }
    FormActivate();
    mainform_->ArrangeCharts();
    // Back from the change, the next Return closes the window (the mouse left the focus on
    // Change).
    Button2->setFocus();
}

void TFDlgShowParameters::Button2Click() {
    accept();
}
