#include "gui/app/ChartAxes.h"

#include <cmath>

QVector<double> EndLabelledTicker::createTickVector(double tickStep, const QCPRange& range) {
    QVector<double> ticks = QCPAxisTicker::createTickVector(tickStep, range);
    if (!end_ || !range.contains(*end_)) {
        return ticks;
    }
    const double end = *end_;
    // Within a millionth of a step counts as the same tick.
    const double same = 1e-6 * tickStep;
    QVector<double> kept;
    kept.reserve(ticks.size() + 1);
    bool placed = false;
    for (const double t : ticks) {
        if (std::abs(t - end) <= same) {
            continue;
        }
        if (std::abs(t - end) < 0.5 * tickStep) {
            continue; // would crowd the end's label
        }
        if (!placed && t > end) {
            kept.append(end);
            placed = true;
        }
        kept.append(t);
    }
    if (!placed) {
        kept.append(end);
    }
    return kept;
}
