#include "gui/analysis/LevelChart.h"

#include <QMouseEvent>
#include <QPainter>

namespace {

QSharedPointer<EndLabelledTicker> SetUpAxis(QCPAxis* axis, const QString& title) {
    axis->setLabel(title);
    auto ticker = QSharedPointer<EndLabelledTicker>::create(4);
    axis->setTicker(ticker);
    // Whole numbers without exponent, like "#####".
    axis->setNumberFormat(QStringLiteral("f"));
    axis->setNumberPrecision(0);
    axis->setSubTicks(true);
    return ticker;
}

} // namespace

LevelChart::LevelChart(QWidget* parent) : QCustomPlot(parent) {
    setBackground(Qt::white);
    axisRect()->setBackground(Qt::white);
    axisRect()->setMinimumMargins(EndLabelMargins());
    frequencyTicks_ = SetUpAxis(xAxis, QStringLiteral("Frequency [Hz]"));
    levelTicks_ = SetUpAxis(yAxis, QStringLiteral("Amplitude [dB]"));
    setMouseTracking(true); // moves without a button feed the readout

    series_ = addGraph();
    series_->setName(QStringLiteral("LineSeries1"));
    series_->setPen(QPen(QColor(0, 0, 255)));
    series_->setLineStyle(QCPGraph::lsLine);
    series_->setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssNone));
    // Up to 32768 points on a chart a few hundred pixels wide.
    series_->setAdaptiveSampling(true);
    series_->setAntialiased(false);

    // Our own mouse rules apply (zoom rectangle direction, undo), so QCustomPlot's are off.
    setInteractions(QCP::Interactions());
}

void LevelChart::SetMouseInteraction(bool enabled) {
    mouseEnabled_ = enabled;
    if (!enabled) {
        drag_.Cancel();
    }
}

void LevelChart::SetHomeRanges(const QCPRange& frequency, const QCPRange& level) {
    xAxis->setRange(frequency);
    yAxis->setRange(level);
    saved_.reset();
}

void LevelChart::ZoomToRect(const QRect& pixels) {
    if (!saved_) {
        saved_ = Ranges{xAxis->range(), yAxis->range()};
    }
    xAxis->setRange(xAxis->pixelToCoord(pixels.left()), xAxis->pixelToCoord(pixels.right()));
    yAxis->setRange(yAxis->pixelToCoord(pixels.bottom()), yAxis->pixelToCoord(pixels.top()));
    replot();
}

void LevelChart::UndoZoom() {
    if (!saved_) {
        return;
    }
    xAxis->setRange(saved_->frequency);
    yAxis->setRange(saved_->level);
    saved_.reset();
    replot();
}

void LevelChart::paintEvent(QPaintEvent* event) {
    QCustomPlot::paintEvent(event);
    if (AfterDraw) {
        QPainter painter(this);
        AfterDraw(painter);
    }
}

void LevelChart::mousePressEvent(QMouseEvent* event) {
    event->accept();
    if (mouseEnabled_) {
        drag_.Press(*event);
    }
}

void LevelChart::leaveEvent(QEvent* event) {
    QCustomPlot::leaveEvent(event);
    emit HoverEnded();
}

void LevelChart::mouseMoveEvent(QMouseEvent* event) {
    event->accept();
    const QPoint pos = event->position().toPoint();
    if (event->buttons() == Qt::NoButton) {
        emit Hovered(pos);
    }
    if (const auto anchor = drag_.Move(pos)) {
        const double dx = xAxis->pixelToCoord(anchor->x()) - xAxis->pixelToCoord(pos.x());
        const double dy = yAxis->pixelToCoord(anchor->y()) - yAxis->pixelToCoord(pos.y());
        const QCPRange x = xAxis->range();
        const QCPRange y = yAxis->range();
        xAxis->setRange(x.lower + dx, x.upper + dx);
        yAxis->setRange(y.lower + dy, y.upper + dy);
        drag_.MoveAnchor(pos);
        replot(rpQueuedReplot);
    }
}

void LevelChart::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();
    const ChartDrag::Gesture gesture = drag_.Release(*event);
    if (gesture.action == ChartDrag::Action::ZoomToRect) {
        ZoomToRect(gesture.rect);
    } else if (gesture.action == ChartDrag::Action::UndoZoom) {
        UndoZoom();
    }
}
