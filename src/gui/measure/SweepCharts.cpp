#include "gui/measure/SweepCharts.h"

#include "gui/analysis/LevelChart.h"

#include "core/measure/SweepResponse.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// Labels of the logarithmic frequency axis, Hz: the 1-2-5 steps an audio engineer reads.
constexpr double kFrequencyLabels[] = {10,   20,   50,   100,   200,   500,
                                       1000, 2000, 5000, 10000, 20000, 50000};

// Levels of the charts are whole-number dB; the home range has this much room, dB, beyond the
// data and spans at least kMinimumSpan dB.
constexpr double kRoom = 3.0;
constexpr double kMinimumSpan = 20.0;
// dB above the distortion's highest level, for the legend.
constexpr double kLegendRoom = 20.0;
// ms of the impulse response shown after its arrival at first (zoom and pan reach the rest).
constexpr double kImpulseViewMs = 50.0;

const QColor kHarmonicColours[] = {QColor(0x00, 0x00, 0xFF), QColor(0xFF, 0x00, 0x00),
                                   QColor(0x00, 0x80, 0x00), QColor(0xC0, 0x80, 0x00)};
const QColor kMarkerColour(0x00, 0x80, 0x00);

QString LabelOf(double hz) {
    return hz >= 1000.0 ? QStringLiteral("%1k").arg(hz / 1000.0) : QString::number(hz);
}

void UseLogFrequencyAxis(LevelChart* chart) {
    QCPAxis* axis = chart->xAxis;
    axis->setScaleType(QCPAxis::stLogarithmic);
    auto ticker = QSharedPointer<QCPAxisTickerText>::create();
    for (double hz : kFrequencyLabels) {
        ticker->addTick(hz, LabelOf(hz));
    }
    ticker->setSubTickCount(0);
    axis->setTicker(ticker);
    axis->setSubTicks(false);
}

// The home range of levels: whole tens around [low, high] with some room.
QCPRange LevelRange(double low, double high) {
    if (!std::isfinite(low) || !std::isfinite(high)) {
        return QCPRange(-100.0, 0.0);
    }
    double lower = std::floor((low - kRoom) / 10.0) * 10.0;
    double upper = std::ceil((high + kRoom) / 10.0) * 10.0;
    if (upper - lower < kMinimumSpan) {
        const double centre = std::round((lower + upper) / 20.0) * 10.0;
        lower = centre - kMinimumSpan / 2.0;
        upper = centre + kMinimumSpan / 2.0;
    }
    return QCPRange(lower, upper);
}

QCPItemTracer* MakeTracer(LevelChart* chart) {
    auto* tracer = new QCPItemTracer(chart);
    tracer->setStyle(QCPItemTracer::tsCircle);
    tracer->setSize(7);
    tracer->setPen(QPen(kMarkerColour, 1.5));
    tracer->setVisible(false);
    return tracer;
}

// Index of the point whose key lies nearest to key among keys sorted ascending; -1 when empty.
int Nearest(const QCPGraph* graph, double key) {
    const auto data = graph->data();
    if (data->isEmpty()) {
        return -1;
    }
    auto it = data->findBegin(key, false);
    if (it == data->constEnd()) {
        return data->size() - 1;
    }
    int index = static_cast<int>(it - data->constBegin());
    if (index > 0 && std::abs((it - 1)->key - key) < std::abs(it->key - key)) {
        --index;
    }
    return index;
}

QString Db(double level) {
    return std::isfinite(level) ? QString::number(level, 'f', 1) : QStringLiteral("-");
}

} // namespace

SweepCharts::SweepCharts(QWidget* parent) : QTabWidget(parent) {
    setObjectName(QStringLiteral("Charts"));
    const auto make = [this](const char* name, const QString& tab, const QString& level) {
        auto* chart = new LevelChart(this);
        chart->setObjectName(QString::fromLatin1(name));
        chart->setMinimumSize(600, 300);
        chart->yAxis->setLabel(level);
        addTab(chart, tab);
        connect(chart, &LevelChart::Hovered, this,
                [this, chart](const QPoint& pos) { Hover(chart, pos); });
        connect(chart, &LevelChart::HoverEnded, this, [this] { emit Readout(QString()); });
        return chart;
    };
    Magnitude = make("Magnitude", QStringLiteral("&Magnitude"), QStringLiteral("Magnitude [dB]"));
    Distortion = make("Distortion", QStringLiteral("&Harmonic Distortion"),
                      QStringLiteral("Level re Fundamental [dB]"));
    Impulse = make("Impulse", QStringLiteral("&Impulse Response"), QStringLiteral("Amplitude"));
    UseLogFrequencyAxis(Magnitude);
    UseLogFrequencyAxis(Distortion);
    Impulse->xAxis->setLabel(QStringLiteral("Time after Arrival [ms]"));
    Impulse->xAxis->setNumberPrecision(1);
    Impulse->yAxis->setNumberPrecision(2);

    // H2 ... H5 beside the chart's own series, which carries THD in black on top.
    Thd = Distortion->Series();
    Thd->setName(QStringLiteral("THD"));
    Thd->setPen(QPen(Qt::black, 2));
    for (int n = 0; n < 4; ++n) {
        Harmonics[n] = Distortion->addGraph();
        Harmonics[n]->setName(QStringLiteral("H%1").arg(n + 2));
        Harmonics[n]->setPen(QPen(kHarmonicColours[n]));
    }
    // One row across the top of the plot, where the level range leaves room for it.
    Distortion->legend->setVisible(true);
    Distortion->legend->setFont(QFont(font().family(), 8));
    Distortion->legend->setFillOrder(QCPLegend::foColumnsFirst);
    Distortion->legend->setWrap(5);
    Distortion->axisRect()->insetLayout()->setInsetAlignment(0, Qt::AlignTop | Qt::AlignHCenter);

    hoverMarkers_ = {MakeTracer(Magnitude), MakeTracer(Distortion), MakeTracer(Impulse)};
    PeakMarker = MakeTracer(Impulse);
    PeakMarker->setPen(QPen(Qt::red, 1.5));
    PeakLabel = new QCPItemText(Impulse);
    PeakLabel->position->setParentAnchor(PeakMarker->position);
    PeakLabel->position->setCoords(8, 0); // pixels right of the marker
    PeakLabel->setPositionAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    PeakLabel->setColor(Qt::red);
    PeakLabel->setVisible(false);

    Show(nullptr);
}

LevelChart* SweepCharts::CurrentChart() const {
    return static_cast<LevelChart*>(currentWidget());
}

void SweepCharts::Show(const zembrel::SweepResponse* response) {
    response_ = response;
    for (QCPItemTracer* tracer : hoverMarkers_) {
        tracer->setGraph(nullptr);
        tracer->setVisible(false);
    }
    ShowMagnitude();
    ShowDistortion();
    ShowImpulse();
}

void SweepCharts::ShowMagnitude() {
    QVector<QCPGraphData> points;
    double low = std::numeric_limits<double>::infinity();
    double high = -low;
    if (response_ != nullptr) {
        for (const zembrel::ResponsePoint& p : response_->Response) {
            points.append(QCPGraphData(p.FrequencyHz, p.MagnitudeDb));
            low = std::min(low, p.MagnitudeDb);
            high = std::max(high, p.MagnitudeDb);
        }
    }
    Magnitude->Series()->data()->set(points, true);
    const QCPRange frequency = points.isEmpty() ? QCPRange(20.0, 20000.0)
                                                : QCPRange(points.first().key, points.last().key);
    Magnitude->SetHomeRanges(frequency, LevelRange(low, high));
    Magnitude->replot();
}

void SweepCharts::ShowDistortion() {
    std::array<QVector<QCPGraphData>, 4> harmonics;
    QVector<QCPGraphData> thd;
    double low = std::numeric_limits<double>::infinity();
    double high = -low;
    const auto extend = [&](double level) {
        if (std::isfinite(level)) {
            low = std::min(low, level);
            high = std::max(high, level);
        }
    };
    if (response_ != nullptr) {
        for (const zembrel::DistortionPoint& p : response_->Distortion) {
            for (int n = 0; n < 4; ++n) {
                // QCustomPlot breaks the line at NaN: a harmonic above the sweep's band.
                harmonics[n].append(QCPGraphData(p.FrequencyHz, p.HarmonicDb[n]));
                extend(p.HarmonicDb[n]);
            }
            thd.append(QCPGraphData(p.FrequencyHz, p.ThdDb));
            extend(p.ThdDb);
        }
    }
    for (int n = 0; n < 4; ++n) {
        Harmonics[n]->data()->set(harmonics[n], true);
    }
    Thd->data()->set(thd, true);
    const QCPRange frequency =
        thd.isEmpty() ? QCPRange(20.0, 10000.0) : QCPRange(thd.first().key, thd.last().key);
    QCPRange levels = LevelRange(low, high);
    levels.upper += kLegendRoom;
    Distortion->SetHomeRanges(frequency, levels);
    Distortion->replot();
}

void SweepCharts::ShowImpulse() {
    QVector<QCPGraphData> points;
    double peak = 0.0;
    double peakMs = 0.0;
    double leadMs = 5.0;
    if (response_ != nullptr && !response_->Impulse.empty()) {
        const double msPerSample = 1000.0 / response_->RateHz;
        leadMs = response_->ImpulseLeadSamples * msPerSample;
        points.reserve(static_cast<int>(response_->Impulse.size()));
        for (std::size_t i = 0; i < response_->Impulse.size(); ++i) {
            const double ms =
                (static_cast<double>(i) - response_->ImpulseLeadSamples) * msPerSample;
            const double value = response_->Impulse[i];
            points.append(QCPGraphData(ms, value));
            if (std::abs(value) > std::abs(peak)) {
                peak = value;
                peakMs = ms;
            }
        }
    }
    Impulse->Series()->data()->set(points, true);
    const double scale = peak != 0.0 ? std::abs(peak) * 1.1 : 1.0;
    const double end =
        points.isEmpty() ? kImpulseViewMs : std::min(points.last().key, kImpulseViewMs);
    Impulse->SetHomeRanges(QCPRange(-leadMs, end), QCPRange(-scale, scale));
    const bool marked = !points.isEmpty();
    if (marked) {
        PeakMarker->setGraph(Impulse->Series());
        PeakMarker->setGraphKey(peakMs);
        PeakLabel->setText(QStringLiteral("Arrival: %1 samples (%2 ms)")
                               .arg(response_->LatencySamples)
                               .arg(response_->LatencyMs, 0, 'f', 3));
    } else {
        PeakMarker->setGraph(nullptr);
    }
    PeakMarker->setVisible(marked);
    PeakLabel->setVisible(marked);
    Impulse->replot();
}

QString SweepCharts::ReadoutAt(LevelChart* chart, const QPoint& pos) {
    if (response_ == nullptr || !chart->axisRect()->rect().contains(pos)) {
        return QString();
    }
    const double key = chart->xAxis->pixelToCoord(pos.x());
    const int i = Nearest(chart->Series(), key);
    if (i < 0) {
        return QString();
    }
    if (chart == Magnitude) {
        const zembrel::ResponsePoint& p = response_->Response[i];
        return QStringLiteral("Frequency: %1 Hz    Magnitude: %2 dB    Phase: %3°")
            .arg(p.FrequencyHz, 0, 'f', 1)
            .arg(p.MagnitudeDb, 0, 'f', 2)
            .arg(p.PhaseDeg, 0, 'f', 1);
    }
    if (chart == Distortion) {
        const zembrel::DistortionPoint& p = response_->Distortion[i];
        QString text = QStringLiteral("Frequency: %1 Hz   ").arg(p.FrequencyHz, 0, 'f', 1);
        for (int n = 0; n < 4; ++n) {
            text += QStringLiteral(" H%1: %2").arg(n + 2).arg(Db(p.HarmonicDb[n]));
        }
        return text + QStringLiteral("    THD: %1 dB (%2 %)")
                          .arg(Db(p.ThdDb))
                          .arg(p.ThdPercent, 0, 'g', 3);
    }
    const QCPGraphData& p = *(chart->Series()->data()->constBegin() + i);
    return QStringLiteral("Time: %1 ms    Amplitude: %2")
        .arg(p.key, 0, 'f', 3)
        .arg(p.value, 0, 'g', 4);
}

void SweepCharts::Hover(LevelChart* chart, const QPoint& pos) {
    const QString text = ReadoutAt(chart, pos);
    const int which = chart == Magnitude ? 0 : chart == Distortion ? 1 : 2;
    QCPItemTracer* tracer = hoverMarkers_[which];
    if (text.isEmpty()) {
        tracer->setVisible(false);
    } else {
        tracer->setGraph(chart->Series());
        tracer->setGraphKey(chart->xAxis->pixelToCoord(pos.x()));
        tracer->setVisible(true);
    }
    chart->replot(QCustomPlot::rpQueuedReplot);
    emit Readout(text);
}
