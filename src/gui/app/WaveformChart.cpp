#include "gui/app/WaveformChart.h"

#include "gui/app/ChartExport.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QMouseEvent>

namespace {

QSharedPointer<EndLabelledTicker> SetUpAxis(QCPAxis* axis, const QString& title, int subTicks) {
    axis->setLabel(title);
    auto ticker = QSharedPointer<EndLabelledTicker>::create(subTicks);
    axis->setTicker(ticker);
    axis->setSubTicks(true);
    axis->setTickLabels(true);
    axis->setBasePen(Qt::NoPen);
    return ticker;
}

// A right click that moved less than this is a click for the context menu, not a pan.
constexpr int kClickPixels = 4;

} // namespace

WaveformChart::WaveformChart(QWidget* parent) : QCustomPlot(parent) {
    setBackground(Qt::white);
    axisRect()->setBackground(Qt::white);
    axisRect()->setMinimumMargins(EndLabelMargins());
    timeTicks_ = SetUpAxis(xAxis, QStringLiteral("Time [s]"), 9);
    amplitudeTicks_ = SetUpAxis(yAxis, QStringLiteral("Amplitude"), 4);
    SetTimeRange(0.0, 1.0);
    SetAmplitudeRange(-32768.0, 32768.0);

    series_ = addGraph();
    series_->setName(QStringLiteral("LineSeries1"));
    series_->setPen(QPen(QColor(0, 0, 255)));
    series_->setAdaptiveSampling(true);
    series_->setAntialiased(false);

    // Mouse handling is our own (rectangle rule, time-only panning), so QCustomPlot's built-in
    // interactions stay off.
    setInteractions(QCP::Interactions());
    setToolTip(QStringLiteral("Waveform (zoom with mouse)"));
    setMinimumSize(40, 40);
}

void WaveformChart::SetPoints(const double* samples, int count, double period, int step) {
    QVector<QCPGraphData> points;
    if (step < 1) {
        step = 1;
    }
    points.reserve(count > 0 ? (count + step - 1) / step : 0);
    for (int i = 0; i < count; i += step) {
        points.append(QCPGraphData(static_cast<double>(i) * period, samples[i]));
    }
    series_->data()->set(points, true);
}

void WaveformChart::ClearPoints() {
    series_->data()->clear();
}

int WaveformChart::PointCount() const {
    return series_->data()->size();
}

void WaveformChart::SetTimeRange(double lower, double upper) {
    xAxis->setRange(lower, upper);
    timeTicks_->SetEnd(upper);
}

void WaveformChart::SetAmplitudeRange(double lower, double upper) {
    yAxis->setRange(lower, upper);
    amplitudeTicks_->SetEnd(upper);
}

void WaveformChart::SaveRangesForUndo() {
    if (!saved_) {
        saved_ = Ranges{xAxis->range(), yAxis->range()};
    }
}

void WaveformChart::ZoomByPercent(double percent) {
    SaveRangesForUndo();
    for (QCPAxis* axis : {xAxis, yAxis}) {
        const QCPRange r = axis->range();
        const double delta = (r.upper - r.lower) * (percent - 100.0) / 100.0;
        axis->setRange(r.lower + delta, r.upper - delta);
    }
    replot(rpQueuedReplot);
    emit Zoomed();
}

void WaveformChart::ZoomToRect(const QRect& pixels) {
    SaveRangesForUndo();
    xAxis->setRange(xAxis->pixelToCoord(pixels.left()), xAxis->pixelToCoord(pixels.right()));
    yAxis->setRange(yAxis->pixelToCoord(pixels.bottom()), yAxis->pixelToCoord(pixels.top()));
    replot(rpQueuedReplot);
    emit Zoomed();
}

void WaveformChart::UndoZoom() {
    if (!saved_) {
        return;
    }
    xAxis->setRange(saved_->time);
    yAxis->setRange(saved_->amplitude);
    saved_.reset();
    replot(rpQueuedReplot);
}

bool WaveformChart::ScrollTime(int direction) {
    const auto data = series_->data();
    if (data->isEmpty()) {
        return false;
    }
    const QCPRange r = xAxis->range();
    const double step = 0.1 * (r.upper - r.lower);
    const double firstX = data->constBegin()->key;
    const double lastX = (data->constEnd() - 1)->key;
    if (direction > 0 && lastX > r.upper) {
        xAxis->setRange(r.lower + step, r.upper + step);
    } else if (direction < 0 && firstX < r.lower) {
        xAxis->setRange(r.lower - step, r.upper - step);
    } else {
        return false;
    }
    replot(rpQueuedReplot);
    return true;
}

void WaveformChart::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) {
        rightPress_ = event->position().toPoint();
    }
    if (drag_.Press(*event)) {
        panStartRange_ = xAxis->range();
    }
    event->accept();
}

void WaveformChart::mouseMoveEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    if (const auto anchor = drag_.Move(pos)) {
        // The range follows the mouse: the time under the press point stays under the cursor.
        const double shift = xAxis->pixelToCoord(anchor->x()) - xAxis->pixelToCoord(pos.x());
        xAxis->setRange(panStartRange_.lower + shift, panStartRange_.upper + shift);
        replot(rpQueuedReplot);
    }
    event->accept();
}

void WaveformChart::mouseReleaseEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    // A right click without a pan opens the context menu.
    const bool menu =
        event->button() == Qt::RightButton && (pos - rightPress_).manhattanLength() < kClickPixels;
    const ChartDrag::Gesture gesture = drag_.Release(*event);
    if (gesture.action == ChartDrag::Action::ZoomToRect) {
        ZoomToRect(gesture.rect);
    } else if (gesture.action == ChartDrag::Action::UndoZoom) {
        UndoZoom();
    }
    event->accept();
    if (menu) {
        ShowContextMenu(mapToGlobal(pos));
    }
}

void WaveformChart::contextMenuEvent(QContextMenuEvent* event) {
    // The mouse opens the menu on release (the right button also pans); the keyboard here.
    if (event->reason() != QContextMenuEvent::Mouse) {
        ShowContextMenu(event->globalPos());
    }
    event->accept();
}

void WaveformChart::ShowContextMenu(const QPoint& globalPos) {
    QMenu menu(this);
    menu.addAction(QStringLiteral("Save &Image..."), this,
                   [this] { ExportChartImage(this, this); });
    menu.exec(globalPos);
}
