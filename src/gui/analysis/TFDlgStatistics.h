#pragma once

#include "core/analysis/Loudness.h"

#include <QDialog>
#include <QFutureWatcher>
#include <QString>

class AnalyserRadioGroup;
class QGroupBox;
class QLabel;
class QPushButton;

namespace zembrel {
class SignalBase;
}

// "Statistics": extremes, DC offset, mean, RMS and crest factor of one channel of the current
// signal, and its peak and RMS levels in dBFS. The figures are computed when the dialog is built
// and again on every change of channel; the signal is only read.
//
// After those, per channel, the crest factor in dB and the DC level in dBFS, and in a group of
// their own the loudness of the whole signal after ITU-R BS.1770-4 / EBU R128 (integrated,
// range, maximum momentary and short-term) and its true peak. The loudness is measured on a pool
// thread from a copy of the channels, so a long signal never freezes the window; its rows say
// "measuring..." until it arrives. A reading without a value shows the reason in words.
class TFDlgStatistics : public QDialog {
    Q_OBJECT

public:
    // owner: none in this program; signal: the current signal, not owned, outlives the dialog.
    TFDlgStatistics(QWidget* owner, zembrel::SignalBase* signal);
    // Waits for a loudness measurement still running.
    ~TFDlgStatistics() override;

    void SelectChannelClick();
    void Button1Click();

    // Computes the figures of channel 0 (Mono or Left) or 1 (Right) and shows them.
    void ShowFigures(int channel);

    // value with `decimals` digits after decimalPoint, a leading '-' when negative, no
    // thousands separator. A value that rounds to zero is shown without sign.
    static QString FormatFixed(double value, int decimals, const QString& decimalPoint);
    // value truncated toward zero, as a whole number.
    static QString FormatWhole(double value);

    // The figures of the channel shown last.
    double MinValue = 0.0;
    double MaxValue = 0.0;
    double MeanValue = 0.0;
    double RMSValue = 0.0;
    double DCOffsetValue = 0.0; // percent
    double CrestFactorValue = 0.0;
    double PeakDbfsValue = 0.0; // dB relative to full scale (32768 or 128)
    double RmsDbfsValue = 0.0;

    QGroupBox* GroupBox1 = nullptr;
    QLabel* Label1 = nullptr;           // "Max Sample Value:"
    QLabel* Label6 = nullptr;           // maximum
    QLabel* Label2 = nullptr;           // "Min Sample Value:"
    QLabel* Label7 = nullptr;           // minimum
    QLabel* Label3 = nullptr;           // "DC Offset:"
    QLabel* Label8 = nullptr;           // DC offset
    QLabel* Label13 = nullptr;          // "%"
    QLabel* Label12 = nullptr;          // "Arithmetic Mean Value:"
    QLabel* Label9 = nullptr;           // mean
    QLabel* Label4 = nullptr;           // "Average RMS Value:"
    QLabel* Label10 = nullptr;          // RMS
    QLabel* Label5 = nullptr;           // "Crest Factor:"
    QLabel* Label11 = nullptr;          // crest factor
    QLabel* LabelPeakCaption = nullptr; // "Peak Level:"
    QLabel* PeakLevel = nullptr;        // dBFS, 2 decimals
    QLabel* LabelPeakUnit = nullptr;
    QLabel* LabelRmsCaption = nullptr; // "RMS Level:"
    QLabel* RmsLevel = nullptr;
    QLabel* LabelRmsUnit = nullptr;
    AnalyserRadioGroup* SelectChannel = nullptr;
    QPushButton* Button1 = nullptr;

    QLabel* CrestDb = nullptr;          // "Crest Factor (dB):", 2 decimals
    QLabel* DcLevel = nullptr;          // "DC Level:" in dBFS
    QGroupBox* LoudnessGroup = nullptr; // "Loudness (whole signal)"
    QLabel* Integrated = nullptr;       // LUFS, 1 decimal
    QLabel* Range = nullptr;            // LU
    QLabel* MomentaryMax = nullptr;     // LUFS
    QLabel* ShortTermMax = nullptr;     // LUFS
    QLabel* TruePeak = nullptr;         // dBTP, 2 decimals

    // True once the loudness rows show their figures (or why there are none).
    bool LoudnessShown() const { return loudnessShown_; }

private:
    struct LoudnessOutcome {
        zembrel::Loudness Reading;
        QString Failure;
    };
    void ShowLoudness();

    zembrel::SignalBase* signal_;
    bool loudnessShown_ = false;
    QFutureWatcher<LoudnessOutcome> loudness_;
};
