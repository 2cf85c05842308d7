#pragma once

#include <QTabWidget>

#include <array>

class LevelChart;
class QCPGraph;
class QCPItemText;
class QCPItemTracer;

namespace zembrel {
struct SweepResponse;
}

// The three charts of a sweep measurement on tabs: the magnitude response and the harmonic
// distortion (H2 ... H5 and THD, dB re the fundamental) over a logarithmic frequency axis, and
// the linear impulse response over time (ms from its arrival). Each chart zooms and pans as the
// spectrum analyser's does; the point under the mouse is marked and read out (Readout), and the
// impulse response's peak carries a marker with the latency.
class SweepCharts : public QTabWidget {
    Q_OBJECT

public:
    explicit SweepCharts(QWidget* parent = nullptr);

    // Shows response, which the caller keeps alive while it is shown; null empties the charts.
    void Show(const zembrel::SweepResponse* response);

    LevelChart* CurrentChart() const;

    // The text for the point of chart nearest to pos (the chart's pixels); empty outside its
    // plot or without data.
    QString ReadoutAt(LevelChart* chart, const QPoint& pos);

    LevelChart* Magnitude = nullptr;
    LevelChart* Distortion = nullptr;
    LevelChart* Impulse = nullptr;
    std::array<QCPGraph*, 4> Harmonics{}; // H2 ... H5
    QCPGraph* Thd = nullptr;
    QCPItemTracer* PeakMarker = nullptr;
    QCPItemText* PeakLabel = nullptr;

signals:
    // The readout for the point under the mouse; empty when the mouse left the plot.
    void Readout(const QString& text);

private:
    void Hover(LevelChart* chart, const QPoint& pos);
    void ShowMagnitude();
    void ShowDistortion();
    void ShowImpulse();

    const zembrel::SweepResponse* response_ = nullptr;
    std::array<QCPItemTracer*, 3> hoverMarkers_{};
};
