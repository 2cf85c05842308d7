#pragma once

#include <QDialog>
#include <QFont>

class AnalyserRadioGroup;
class QComboBox;
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

protected:
    void showEvent(QShowEvent* event) override;

private:
    // Bottom axis range, scale, labels and mouse interaction for the chosen frequency axis.
    void SetUpFrequencyAxis();
    // The font of the logarithmic grid's labels.
    QFont GridFont() const;

    zembrel::SignalBase* signal_;
    int linearLabelPadding_ = 0; // pixels between the bottom axis and its title
};
