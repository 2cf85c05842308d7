#pragma once

#include "gui/app/ChartAxes.h"
#include "gui/app/ChartDrag.h"

#include <qcustomplot.h>

#include <QPoint>
#include <QRect>

#include <optional>

// One waveform chart: time in seconds on the bottom axis, the sample value in file units on the
// left axis, one line series. The chart keeps the points it was given and nothing else about the
// signal.
//
// Zooming: by percentage (buttons) or by dragging a rectangle with the left mouse button from
// upper left to lower right; both emit Zoomed(). The ranges in force before the first zoom since
// the last undo are kept, and UndoZoom() returns to them. Dragging with the right mouse button
// pans the time axis only. A right click without a pan (or the keyboard's menu key) opens a
// context menu whose "Save Image..." writes the chart as a PNG or SVG file. The axes label their
// ends: the signal's last second and the top of the amplitude range.
class WaveformChart : public QCustomPlot {
    Q_OBJECT

public:
    explicit WaveformChart(QWidget* parent = nullptr);

    QCPGraph* Series() const { return series_; }

    // Replaces the plotted points by samples[0], samples[step], ... below count, each at
    // x = index * period (s).
    void SetPoints(const double* samples, int count, double period, int step);
    void ClearPoints();
    int PointCount() const;

    void SetTimeRange(double lower, double upper);
    void SetAmplitudeRange(double lower, double upper);
    QCPRange TimeRange() const { return xAxis->range(); }
    QCPRange AmplitudeRange() const { return yAxis->range(); }

    // Percentage zoom on both axes around the centre of the visible range: with
    // delta = (Max - Min) * (percent - 100) / 100 the range becomes [Min + delta, Max - delta].
    // 125 halves the visible span, 75 widens it by half.
    void ZoomByPercent(double percent);

    // Zooms to a rectangle given in widget pixels.
    void ZoomToRect(const QRect& pixels);

    // Back to the ranges saved at the first zoom since the last undo; nothing when there was
    // no zoom since. Does not emit Zoomed().
    void UndoZoom();
    bool HasZoomToUndo() const { return saved_.has_value(); }

    // Shifts the time range by a tenth of its span, right (+1) or left (-1), but only while
    // plotted points lie beyond that edge. Returns whether the range moved.
    bool ScrollTime(int direction);

signals:
    // Raised after every zoom, by mouse or by percentage.
    void Zoomed();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void ShowContextMenu(const QPoint& globalPos);

    struct Ranges {
        QCPRange time;
        QCPRange amplitude;
    };

    void SaveRangesForUndo();

    QCPGraph* series_ = nullptr;
    std::optional<Ranges> saved_;

    ChartDrag drag_{this};
    QCPRange panStartRange_;
    QPoint rightPress_;
    QSharedPointer<EndLabelledTicker> timeTicks_;
    QSharedPointer<EndLabelledTicker> amplitudeTicks_;
};
