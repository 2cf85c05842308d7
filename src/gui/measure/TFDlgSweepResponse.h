#pragma once

#include "core/generators/SyncSweep.h"
#include "core/measure/SweepResponse.h"

#include <QDialog>

#include <functional>

#include <memory>
#include <optional>
#include <vector>

class MeasureWorker;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class SweepCharts;
class TFProcessState;

namespace zembrel {
class SignalBase;
}

// "Sweep Response": what a device did to a synchronized sweep. The sweep is given by its
// parameters (the fields, as zembrel-cli sync-sweep takes them, or loaded from what its --json
// printed); the recording comes from a file
// of any format the audio file reader takes ("Analyse File") or is made at once by playing the
// sweep on the default output while recording the default input ("Measure Live"). The
// deconvolution's results show as charts (magnitude, harmonic distortion, impulse response),
// with the latency, the noise floor and a clipping warning above them; "Save..." writes the
// response or the distortion as CSV, the chart on show as PNG or SVG, or the impulse response
// as a 32-bit float WAV.
//
// Reading, deconvolving and the live measurement run on a worker thread beside a progress
// window whose Cancel stops the work (the live measurement within 0.1 s, a file between its
// reading and its deconvolution) and keeps the results on show. Refusals (a recording of
// another rate, too short, silent; parameters that cannot make a sweep) come in a message with
// the core's text. The current signal is not used.
class TFDlgSweepResponse : public QDialog {
    Q_OBJECT

public:
    TFDlgSweepResponse(QWidget* owner, zembrel::SignalBase* signal);
    ~TFDlgSweepResponse() override;

    // The sweep as the fields give it; RateHz 0 when the rate field is empty (the recording's
    // or the output device's rate is then taken).
    zembrel::SyncSweepInput SweepInput() const;
    // 0 (none), 1, 3, 6, 12, 24 or 48: 1/N octave.
    int SmoothingN() const;

    void BBrowseClick();
    void BLoadSweepClick();
    // Fills the sweep's fields from what zembrel-cli sync-sweep --json printed; false (and a
    // message naming the file) when it cannot be read.
    bool LoadSweepJson(const QString& fileName);
    void BAnalyseClick();
    void BMeasureClick();
    void SmoothingChange();
    void BSaveClick();

    enum class CsvKind { Response, Distortion };
    // Writes the results to fileName by its extension: ".csv" (the rows of kind), ".png" or
    // ".svg" (the chart on show), ".wav" (the impulse response, 32-bit float). An empty result,
    // or why nothing was written.
    QString SaveTo(const QString& fileName, CsvKind kind = CsvKind::Response);

    bool Busy() const { return worker_ != nullptr; }
    const std::optional<zembrel::SweepResponse>& Result() const { return result_; }
    TFProcessState* ProcessState() const { return processState_.get(); }

    // Replaceable message window, so tests can read what it would say.
    std::function<void(const QString&)> ShowMessage;

    QLineEdit* start_f = nullptr;  // Hz, f1
    QLineEdit* stop_f = nullptr;   // Hz, f2 <= rate / 2
    QLineEdit* length = nullptr;   // s, requested
    QLineEdit* lev = nullptr;      // dBFS, <= 0
    QLineEdit* rate = nullptr;     // Hz; empty: the recording's or the device's
    QLineEdit* fade_in = nullptr;  // ms
    QLineEdit* fade_out = nullptr; // ms
    QLineEdit* pre = nullptr;      // s of silence before the sweep
    QLineEdit* post = nullptr;     // s of silence after the sweep
    QLineEdit* RecordingFile = nullptr;
    QComboBox* Smoothing = nullptr;
    QPushButton* BLoadSweep = nullptr;
    QPushButton* BBrowse = nullptr;
    QPushButton* BAnalyse = nullptr;
    QPushButton* BMeasure = nullptr;
    QPushButton* BSave = nullptr;
    QPushButton* BClose = nullptr;
    SweepCharts* Charts = nullptr;
    QLabel* Results = nullptr; // latency, noise floor, highest THD
    QLabel* Warning = nullptr; // clipping
    QLabel* Readout = nullptr; // the point under the mouse

protected:
    void reject() override;
    void closeEvent(QCloseEvent* event) override;

private:
    // What a job hands back; written by the worker, read after it has ended.
    struct Outcome {
        std::vector<double> recording;
        double rateHz = 0.0;
        std::optional<zembrel::SyncSweep> sweep;
        zembrel::SweepResponse response;
    };

    void Start(const QString& title, std::function<void(MeasureWorker&, Outcome&)> job);
    void WorkerEnded();
    void ShowResult();

    std::unique_ptr<TFProcessState> processState_;
    std::unique_ptr<MeasureWorker> worker_;
    std::unique_ptr<Outcome> pending_;
    // The last recording and its sweep, kept so that another smoothing needs no new recording.
    std::unique_ptr<Outcome> last_;
    std::optional<zembrel::SweepResponse> result_;
};
