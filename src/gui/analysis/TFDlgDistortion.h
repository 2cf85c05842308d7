#pragma once

#include "core/analysis/SignalReadings.h"

#include <QDialog>
#include <QFuture>
#include <QFutureWatcher>
#include <QString>

#include <string>
#include <vector>

class AnalyserRadioGroup;
class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTableWidget;

namespace zembrel {
class SignalBase;
}

// "Distortion": the distortion and noise readings of each channel of the current signal, as the
// core reads them (ReadChannel): the fundamental (found as the strongest tone in the band, or
// typed), the harmonics H2 ... H10 in dBc and %, THD in the chosen convention of IEC 60268-3,
// THD+N and SINAD in the band with the notch width stated, the noise floor, DC, crest factor, and
// intermodulation when the channel holds a standard's twin tone. A reading without a value shows
// the reason in words. "Save..." writes the readings of every channel as CSV.
//
// The readings run on a pool thread (a long signal takes a noticeable time), the window stays
// live meanwhile and shows their progress channel by channel. The channels are copied before the
// work starts, so the signal is only read on the GUI thread.
class TFDlgDistortion : public QDialog {
    Q_OBJECT

public:
    // owner: none in this program; signal: the current signal, not owned, outlives the dialog.
    // The readings start at once with the default settings.
    TFDlgDistortion(QWidget* owner, zembrel::SignalBase* signal);
    // Waits for readings still running.
    ~TFDlgDistortion() override;

    // Reads the settings; when they are valid, starts the readings of every channel, else says
    // in the status line what was refused.
    void BMeasureClick();
    void SelectChannelClick();
    void BSaveClick();
    void BCloseClick();

    // Writes the readings of every channel as CSV to fileName (a temporary file renamed into
    // place); an empty result, or why nothing was written.
    QString SaveTo(const QString& fileName) const;

    bool Measuring() const { return watcher_.isRunning(); }
    // The readings of the last finished measurement, one per channel (none before it).
    const std::vector<zembrel::ChannelReadings>& Readings() const { return readings_; }
    zembrel::ThdConvention Convention() const;

    QLineEdit* Fundamental = nullptr; // Hz; empty: the strongest tone in the band
    QLineEdit* BandLow = nullptr;     // Hz
    QLineEdit* BandHigh = nullptr;    // Hz
    QComboBox* ThdConvention = nullptr;
    QPushButton* BMeasure = nullptr;
    AnalyserRadioGroup* SelectChannel = nullptr;
    QTableWidget* Harmonics = nullptr; // H2 ... H10: harmonic, frequency, dBc, %
    QLabel* ToneValue = nullptr;
    QLabel* ThdValue = nullptr;
    QLabel* ThdNValue = nullptr;
    QLabel* BandValue = nullptr; // band and notch of THD+N
    QLabel* SinadValue = nullptr;
    QLabel* NoiseFloorValue = nullptr;
    QLabel* ImdValue = nullptr;
    QLabel* DcValue = nullptr;
    QLabel* CrestValue = nullptr;
    QLabel* Warning = nullptr; // clipping
    QLabel* Status = nullptr;  // measuring, refused settings, failures
    QProgressBar* Progress = nullptr;
    QPushButton* BSave = nullptr;
    QPushButton* BClose = nullptr;

private:
    struct Outcome {
        std::vector<zembrel::ChannelReadings> Readings;
        QString Failure; // why the readings could not be made; empty when they were
    };

    void Finished();
    void ShowChannel(int channel);
    void ClearFigures(const QString& reason);
    std::vector<std::string> ChannelNames() const;

    zembrel::SignalBase* signal_;
    std::vector<zembrel::ChannelReadings> readings_;
    QFutureWatcher<Outcome> watcher_;
};
