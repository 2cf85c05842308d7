#pragma once

#include <QDialog>
#include <QFont>
#include <QPointF>

#include <vector>

class AnalyserRadioGroup;
class QCheckBox;
class QComboBox;
class QCPItemText;
class QCPItemTracer;
class QCPGraph;
class QFrame;
class QGroupBox;
class QLabel;
class QPainter;
class QPushButton;
class LevelChart;

namespace zembrel {
class SignalBase;
}

// "Frequency Analyser": the level spectrum of one channel of the current signal, in dB over
// frequency. A change of FFT length, window or channel recomputes the spectrum at once; the
// frequency axis switches between linear and logarithmic without recomputing. The signal is
// only read, and only while a spectrum is computed.
//
// Beside that: a readout of the bin under the mouse, a marker on the highest bin with its
// frequency and level, an average of the whole signal (Welch, off at first, so a single block
// is what shows first) with the number of blocks it took, and "Save..." for the levels as CSV
// or the chart as a PNG or SVG image. A sine-calibrated scale (off at first) corrects the
// window's coherent gain, so that a sine reads its peak level in dBFS whatever the window.
class TFDlgFrequencyAnalysis : public QDialog {
    Q_OBJECT

public:
    // The chart's designed size; the logarithmic grid's rows and label shifts are given for it
    // and scaled to the chart's actual size.
    static constexpr int kChartWidth = 545;
    static constexpr int kChartHeight = 300;

    // owner: none in this program; signal: the current signal, not owned, outlives the dialog.
    TFDlgFrequencyAnalysis(QWidget* owner, zembrel::SignalBase* signal);
    ~TFDlgFrequencyAnalysis() override;

    // The FFT length N = 2^(len index + 10): 1024 ... 65536.
    int FftLength() const;

    void FormActivate();
    void lenChange();
    void winChange();
    void ChannelSelGroupClick();
    void faxisClick();
    void Chart1AfterDraw(QPainter& canvas);
    void BCloseClick();

    void CalcSpectrum();
    // levels: N/2 values in dB.
    void DrawSpectrum(int n, const double* levels);

    // The readout of the highest bin in the chart's pixel column x (of the bin nearest to it
    // where a pixel is narrower than a bin); empty outside the plot.
    void ShowReadout(const QPoint& pos);
    // Writes the shown levels (".csv") or the chart (".png", ".svg") to fileName; an empty
    // result, or why nothing was written.
    QString SaveTo(const QString& fileName);
    void BSaveClick();

    // The levels on show (dB, bins 0 ... N/2 - 1) and the blocks they were averaged over.
    const std::vector<double>& Levels() const { return levels_; }
    int Blocks() const { return blocks_; }

    QGroupBox* GroupBox1 = nullptr; // "FFT Parameters"
    QLabel* Label1 = nullptr;       // "FFT Length:"
    QComboBox* len = nullptr;
    QLabel* Label2 = nullptr; // "Window:"
    QComboBox* win = nullptr;
    AnalyserRadioGroup* faxis = nullptr;
    AnalyserRadioGroup* ChannelSelGroup = nullptr;
    LevelChart* Chart1 = nullptr;
    QCPGraph* LineSeries1 = nullptr;
    QFrame* Bevel1 = nullptr;
    QPushButton* BClose = nullptr;
    QCheckBox* Average = nullptr; // "Average over the whole signal"
    // Off: the analyser's levels, normalised for noise. On: every level raised by the window's
    // SineCalibrationDb, so a sine of -6 dBFS peak reads -6.0 dB in every window.
    QCheckBox* SineCalibrated = nullptr;
    QLabel* BlockCount = nullptr;
    QLabel* Readout = nullptr; // the bin under the mouse
    QPushButton* BSave = nullptr;
    QCPItemTracer* PeakMarker = nullptr;
    QCPItemText* PeakLabel = nullptr;

protected:
    void showEvent(QShowEvent* event) override;

private:
    // Bottom axis range, scale, labels and mouse interaction for the chosen frequency axis.
    void SetUpFrequencyAxis();
    // The font of the logarithmic grid's labels.
    QFont GridFont() const;

    // Puts the marker on the highest bin.
    void MarkPeak();
    // Shows the marker and its text only while the peak lies in the plot area.
    void ShowPeakIfInPlot();

    zembrel::SignalBase* signal_;
    int linearLabelPadding_ = 0; // pixels between the bottom axis and its title
    std::vector<double> levels_;
    int length_ = 0;
    int blocks_ = 1;
    QPointF peak_; // the marked bin: Hz, dB
};
