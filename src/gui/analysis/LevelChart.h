#pragma once

#include "gui/app/ChartAxes.h"
#include "gui/app/ChartDrag.h"

#include <qcustomplot.h>

#include <QPoint>

#include <functional>
#include <optional>

class QPainter;

// The chart of the spectrum analyser: frequency in Hz on the bottom axis, level in dB on the
// left axis, one line series. Values are labelled as whole numbers with 4 minor ticks between
// labels.
//
// While mouse interaction is enabled: dragging the left button over a rectangle more than 16
// pixels wide and high from upper left to lower right zooms to it, such a drag in any other
// direction returns to the ranges before the first zoom; dragging with the right button pans
// both axes. SetHomeRanges() forgets any zoom.
class LevelChart : public QCustomPlot {
    Q_OBJECT

public:
    explicit LevelChart(QWidget* parent = nullptr);

    QCPGraph* Series() const { return series_; }

    void SetMouseInteraction(bool enabled);
    bool MouseInteraction() const { return mouseEnabled_; }

    // Sets both ranges and drops the ranges saved for undoing a zoom.
    void SetHomeRanges(const QCPRange& frequency, const QCPRange& level);

    void ZoomToRect(const QRect& pixels);
    void UndoZoom();
    bool Zoomed() const { return saved_.has_value(); }

    // Called after every paint of the chart with a painter on the chart's own pixels.
    std::function<void(QPainter&)> AfterDraw;

    // The linear tickers of both axes; each labels the end it is given (SetEnd).
    const QSharedPointer<EndLabelledTicker>& FrequencyTicks() const { return frequencyTicks_; }
    const QSharedPointer<EndLabelledTicker>& LevelTicks() const { return levelTicks_; }

signals:
    // The mouse moved over the chart without a button held (pos in the chart's pixels), or left.
    void Hovered(const QPoint& pos);
    void HoverEnded();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    struct Ranges {
        QCPRange frequency;
        QCPRange level;
    };

    QCPGraph* series_ = nullptr;
    bool mouseEnabled_ = true;
    std::optional<Ranges> saved_;
    ChartDrag drag_{this};
    QSharedPointer<EndLabelledTicker> frequencyTicks_;
    QSharedPointer<EndLabelledTicker> levelTicks_;
};
