#pragma once

#include <qcustomplot.h>

#include <optional>

// Room around the plot for the end labels: QCustomPlot leaves out a tick label that would reach
// past the widget's edge, so the right end of the bottom axis and the top end of the left axis
// need half a label of margin.
inline QMargins EndLabelMargins() {
    return QMargins(2, 8, 24, 2);
}

// Axis ticks as QCustomPlot chooses them, with a fixed number of minor ticks between two
// labels, and a label at the end of the axis (0 dB, the last second, the top frequency) when
// that end is in view: QCustomPlot's own steps rarely land on it. A regular tick closer to the
// end than half a step gives way to it, so the two labels do not overlap.
class EndLabelledTicker : public QCPAxisTicker {
public:
    explicit EndLabelledTicker(int subTicks) : subTicks_(subTicks) {}

    // The value that always gets a label while it is visible; none: plain ticks.
    void SetEnd(std::optional<double> end) { end_ = end; }

protected:
    int getSubTickCount(double) override { return subTicks_; }
    QVector<double> createTickVector(double tickStep, const QCPRange& range) override;

private:
    int subTicks_;
    std::optional<double> end_;
};
