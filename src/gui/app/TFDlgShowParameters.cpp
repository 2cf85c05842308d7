#include "gui/app/TFDlgShowParameters.h"

#include "core/signal/SignalBase.h"
#include "gui/app/TFDlgChangeParameters.h"
#include "gui/app/TMainform.h"

#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

using zembrel::SignalBase;

TFDlgShowParameters::TFDlgShowParameters(QWidget* owner, QString tempFileName, TMainform* mainform,
                                         SignalBase* signal)
    : QDialog(owner), RunChangeDialog([](QDialog& d) { d.exec(); }),
      tempFileName_(std::move(tempFileName)), mainform_(mainform), signal_(signal) {
    setWindowTitle(QStringLiteral("Signal Parameters"));

    auto* group = new QGroupBox(QStringLiteral("Global Parameters"), this);
    group->setObjectName(QStringLiteral("GroupBox1"));
    auto* grid = new QGridLayout(group);
    const auto value = [group](const char* name) {
        auto* label = new QLabel(group);
        label->setObjectName(QString::fromLatin1(name));
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
    Label6 = new QLabel(QStringLiteral("Normvalue 16 Bit:"), group);
    Label6->setObjectName(QStringLiteral("Label6"));
    const std::tuple<QWidget*, QLabel*, QString> rows[] = {
        {new QLabel(QStringLiteral("Number of Channels:"), group), NumChan, QString()},
        {new QLabel(QStringLiteral("Resolution:"), group), res, QStringLiteral("Bit")},
        {new QLabel(QStringLiteral("Sampling Frequency:"), group), fs, QStringLiteral("Hz")},
        {new QLabel(QStringLiteral("Sampling Period:"), group), t_sample, QStringLiteral("s")},
        {new QLabel(QStringLiteral("File Length:"), group), t_file, QStringLiteral("s")},
        {Label6, norm, QString()},
    };
    int row = 0;
    for (const auto& [caption, label, unit] : rows) {
        grid->addWidget(caption, row, 0);
        grid->addWidget(label, row, 1);
        grid->addWidget(new QLabel(unit, group), row, 2);
        ++row;
    }
    // The sample count is kept for the record but shares its place with the norm value, which
    // covers it.
    n = value("n");
    n->hide();

    Button1 = new QPushButton(QStringLiteral("Change"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    // Return presses OK, also after Change was clicked and holds the focus.
    Button1->setAutoDefault(false);
    Button2 = new QPushButton(QStringLiteral("OK"), this);
    Button2->setObjectName(QStringLiteral("Button2"));
    Button2->setDefault(true);
    connect(Button1, &QPushButton::clicked, this, &TFDlgShowParameters::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TFDlgShowParameters::Button2Click);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Button1);
    buttons->addWidget(Button2);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addLayout(buttons);

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
}

void TFDlgShowParameters::Button2Click() {
    accept();
}
