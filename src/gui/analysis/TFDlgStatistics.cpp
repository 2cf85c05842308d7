#include "gui/analysis/TFDlgStatistics.h"

#include "gui/analysis/AnalyserRadioGroup.h"

#include "core/analysis/SignalStatistics.h"
#include "core/analysis/StatisticsText.h"
#include "core/signal/SignalBase.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QVBoxLayout>

#include <cmath>

TFDlgStatistics::TFDlgStatistics(QWidget* owner, zembrel::SignalBase* signal)
    : QDialog(owner), signal_(signal) {
    setWindowTitle(QStringLiteral("Statistics"));
    setModal(true);

    GroupBox1 = new QGroupBox(QStringLiteral("Signal Statistics"), this);
    auto* grid = new QGridLayout(GroupBox1);
    grid->setColumnMinimumWidth(1, 90);
    int row = 0;
    auto addRow = [&](QLabel*& caption, const QString& text, QLabel*& value,
                      QLabel** unit = nullptr, const QString& unitText = QStringLiteral("%")) {
        caption = new QLabel(text, GroupBox1);
        caption->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        value = new QLabel(GroupBox1);
        value->setTextInteractionFlags(Qt::TextSelectableByMouse);
        grid->addWidget(caption, row, 0);
        grid->addWidget(value, row, 1);
        if (unit) {
            *unit = new QLabel(unitText, GroupBox1);
            grid->addWidget(*unit, row, 2);
        }
        ++row;
    };
    addRow(Label1, QStringLiteral("Max Sample Value:"), Label6);
    addRow(Label2, QStringLiteral("Min Sample Value:"), Label7);
    addRow(Label3, QStringLiteral("DC Offset:"), Label8, &Label13);
    addRow(Label12, QStringLiteral("Arithmetic Mean Value:"), Label9);
    addRow(Label4, QStringLiteral("Average RMS Value:"), Label10);
    addRow(Label5, QStringLiteral("Crest Factor:"), Label11);
    // Beside those: peak and RMS relative to the format's full scale, as audio tools quote them.
    addRow(LabelPeakCaption, QStringLiteral("Peak Level:"), PeakLevel, &LabelPeakUnit,
           QStringLiteral("dBFS"));
    addRow(LabelRmsCaption, QStringLiteral("RMS Level:"), RmsLevel, &LabelRmsUnit,
           QStringLiteral("dBFS"));
    PeakLevel->setObjectName(QStringLiteral("PeakLevel"));
    RmsLevel->setObjectName(QStringLiteral("RmsLevel"));
    Label6->setObjectName(QStringLiteral("Label6"));
    Label7->setObjectName(QStringLiteral("Label7"));
    Label8->setObjectName(QStringLiteral("Label8"));
    Label9->setObjectName(QStringLiteral("Label9"));
    Label10->setObjectName(QStringLiteral("Label10"));
    Label11->setObjectName(QStringLiteral("Label11"));

    SelectChannel = new AnalyserRadioGroup(QStringLiteral("Channel"),
                                           {QStringLiteral("Left"), QStringLiteral("Right")}, this);
    SelectChannel->setObjectName(QStringLiteral("SelectChannel"));
    Button1 = new QPushButton(QStringLiteral("Close"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setDefault(true);

    auto* side = new QVBoxLayout;
    side->addWidget(SelectChannel);
    side->addStretch(1);
    side->addWidget(Button1);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(GroupBox1, 1);
    layout->addLayout(side);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    SelectChannel->SetItemIndex(0);
    SelectChannel->setEnabled(signal_->IsStereo());
    ShowFigures(0);

    connect(SelectChannel, &AnalyserRadioGroup::Click, this, &TFDlgStatistics::SelectChannelClick);
    connect(Button1, &QPushButton::clicked, this, &TFDlgStatistics::Button1Click);
}

void TFDlgStatistics::SelectChannelClick() {
    ShowFigures(SelectChannel->ItemIndex());
}

void TFDlgStatistics::Button1Click() {
    close();
}

void TFDlgStatistics::ShowFigures(int channel) {
    {
        const zembrel::SignalStatistics statistics(*signal_);
        MinValue = statistics.Minimum(channel);
        MaxValue = statistics.Maximum(channel);
        MeanValue = statistics.Mean(channel);
        RMSValue = statistics.RMS(channel);
        DCOffsetValue = statistics.DCOffset(channel);
        CrestFactorValue = statistics.CrestFactor(channel);
        PeakDbfsValue = statistics.PeakDbfs(channel);
        RmsDbfsValue = statistics.RmsDbfs(channel);
    }
    const QString point = QLocale::system().decimalPoint();
    Label6->setText(FormatWhole(MaxValue));
    Label7->setText(FormatWhole(MinValue));
    Label8->setText(FormatFixed(DCOffsetValue, 3, point));
    Label9->setText(FormatFixed(MeanValue, 3, point));
    Label10->setText(FormatFixed(RMSValue, 1, point));
    Label11->setText(FormatFixed(CrestFactorValue, 3, point));
    // A channel that never leaves the centre has no level: minus infinity.
    const auto decibels = [&point](double value) {
        return std::isfinite(value) ? FormatFixed(value, 2, point) : QStringLiteral("-\u221E");
    };
    PeakLevel->setText(decibels(PeakDbfsValue));
    RmsLevel->setText(decibels(RmsDbfsValue));
}

QString TFDlgStatistics::FormatFixed(double value, int decimals, const QString& decimalPoint) {
    return QString::fromStdString(zembrel::FixedText(value, decimals))
        .replace(QLatin1Char('.'), decimalPoint);
}

QString TFDlgStatistics::FormatWhole(double value) {
    return QString::fromStdString(zembrel::WholeText(value));
}
