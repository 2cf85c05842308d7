#include "gui/analysis/TFDlgStatistics.h"

#include "gui/analysis/AnalyserRadioGroup.h"
#include "gui/analysis/ReadoutGrid.h"

#include "core/analysis/Distortion.h"
#include "core/analysis/ReadingRows.h"
#include "core/analysis/SignalReadings.h"
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
#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>
#include <cmath>
#include <exception>
#include <new>
#include <vector>

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
    QLabel* caption = nullptr;
    addRow(caption, QStringLiteral("Crest Factor (dB):"), CrestDb);
    addRow(caption, QStringLiteral("DC Level:"), DcLevel);
    CrestDb->setObjectName(QStringLiteral("CrestDb"));
    DcLevel->setObjectName(QStringLiteral("DcLevel"));

    LoudnessGroup = new QGroupBox(QStringLiteral("Loudness (whole signal)"), this);
    ReadoutGrid loudnessRows(LoudnessGroup);
    loudnessRows.Layout()->setColumnMinimumWidth(1, 90);
    const QString measuring = QStringLiteral("measuring...");
    Integrated = loudnessRows.Add("Integrated", QStringLiteral("Integrated Loudness:"), measuring);
    Range = loudnessRows.Add("Range", QStringLiteral("Loudness Range:"), measuring);
    MomentaryMax =
        loudnessRows.Add("MomentaryMax", QStringLiteral("Max Momentary Loudness:"), measuring);
    ShortTermMax =
        loudnessRows.Add("ShortTermMax", QStringLiteral("Max Short-term Loudness:"), measuring);
    TruePeak = loudnessRows.Add("TruePeak", QStringLiteral("True Peak:"), measuring);

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
    auto* groups = new QVBoxLayout;
    groups->addWidget(GroupBox1);
    groups->addWidget(LoudnessGroup);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(groups, 1);
    layout->addLayout(side);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    SelectChannel->SetItemIndex(0);
    SelectChannel->setEnabled(signal_->IsStereo());
    ShowFigures(0);

    connect(SelectChannel, &AnalyserRadioGroup::Click, this, &TFDlgStatistics::SelectChannelClick);
    connect(Button1, &QPushButton::clicked, this, &TFDlgStatistics::Button1Click);

    // The whole signal's loudness, from a copy of its channels on a pool thread.
    connect(&loudness_, &QFutureWatcher<LoudnessOutcome>::finished, this,
            &TFDlgStatistics::ShowLoudness);
    std::vector<std::vector<double>> channels;
    try {
        channels = zembrel::NormalizedChannels(*signal_);
    } catch (const std::bad_alloc&) {
        loudness_.setFuture(QtConcurrent::run([] {
            return LoudnessOutcome{{}, QStringLiteral("not enough memory")};
        }));
        return;
    }
    loudness_.setFuture(QtConcurrent::run(
        [](std::vector<std::vector<double>> samples, double rate) {
            LoudnessOutcome outcome;
            try {
                std::vector<const std::vector<double>*> pointers;
                for (const auto& channel : samples) {
                    pointers.push_back(&channel);
                }
                outcome.Reading = zembrel::MeasureLoudness(pointers, rate);
            } catch (const std::bad_alloc&) {
                outcome.Failure = QStringLiteral("not enough memory");
            } catch (const std::exception& e) {
                outcome.Failure = QString::fromUtf8(e.what());
            }
            return outcome;
        },
        std::move(channels), signal_->SampleRate));
}

TFDlgStatistics::~TFDlgStatistics() {
    loudness_.waitForFinished();
}

void TFDlgStatistics::ShowLoudness() {
    const LoudnessOutcome outcome = loudness_.result();
    const QString point = QLocale::system().decimalPoint();
    const auto figure = [&](zembrel::ReadingStatus status, double value, int decimals,
                            const char* unit) {
        return outcome.Failure.isEmpty()
                   ? QString::fromStdString(zembrel::ReadingFigure(status, value, decimals, unit))
                         .replace(QLatin1Char('.'), point)
                   : QStringLiteral("not measured: %1").arg(outcome.Failure);
    };
    const zembrel::Loudness& l = outcome.Reading;
    Integrated->setText(figure(l.Status, l.IntegratedLufs, 1, "LUFS"));
    Range->setText(figure(l.Status, l.RangeLu, 1, "LU"));
    MomentaryMax->setText(figure(l.MomentaryStatus, l.MomentaryMaxLufs, 1, "LUFS"));
    ShortTermMax->setText(figure(l.ShortTermStatus, l.ShortTermMaxLufs, 1, "LUFS"));
    TruePeak->setText(figure(l.PeakStatus, l.TruePeakDbtp, 2, "dBTP"));
    loudnessShown_ = true;
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

    // The crest factor in dB and the DC level as the readings give them.
    const std::vector<double> samples =
        zembrel::NormalizedChannels(*signal_).at(signal_->IsStereo() ? channel : 0);
    const zembrel::CrestFactor crest = zembrel::MeasureCrestFactor(samples.data(), samples.size());
    const double dc = zembrel::MeasureDc(samples.data(), samples.size());
    const auto local = [&point](const std::string& text) {
        return QString::fromStdString(text).replace(QLatin1Char('.'), point);
    };
    CrestDb->setText(local(zembrel::ReadingFigure(crest.Status, crest.Db, 2, "dB")));
    // The smallest mean whole samples can have is one step over the count; below half of it
    // the mean is rounding of the sum, and the channel has no DC.
    const double step = 1.0 / ((signal_->Bits == 8 ? 128.0 : 32768.0) *
                               std::max<double>(1.0, static_cast<double>(samples.size())));
    DcLevel->setText(
        std::fabs(dc) < 0.5 * step
            ? QStringLiteral("none")
            : local(zembrel::ReadingFigure(zembrel::ReadingStatus::Ok,
                                           20.0 * std::log10(std::fabs(dc)), 2, "dBFS")));
}

QString TFDlgStatistics::FormatFixed(double value, int decimals, const QString& decimalPoint) {
    return QString::fromStdString(zembrel::FixedText(value, decimals))
        .replace(QLatin1Char('.'), decimalPoint);
}

QString TFDlgStatistics::FormatWhole(double value) {
    return QString::fromStdString(zembrel::WholeText(value));
}
