#include "gui/measure/TFDlgSweepResponse.h"

#include "gui/analysis/LevelChart.h"
#include "gui/app/ChartExport.h"
#include "gui/app/FileDialogFolder.h"
#include "gui/app/SlotGuard.h"
#include "gui/generators/ParameterForm.h"
#include "gui/generators/TFProcessState.h"
#include "gui/measure/MeasureWorker.h"
#include "gui/measure/SweepCharts.h"
#include "gui/measure/SweepFields.h"

#include "core/generators/StringToDoubleConverter.h"
#include "core/measure/PulsePlayRecord.h"
#include "core/measure/RecordingFile.h"
#include "core/measure/ResponseRows.h"
#include "core/measure/SweepDeconvolution.h"
#include "core/measure/SweepJson.h"
#include "core/signal/AudioFileWrite.h"
#include "core/signal/WavError.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

#include <chrono>
#include <cmath>

namespace {

const QString kTitle = QStringLiteral("Sweep Response");

// s the sound server may take beyond the sweep before the live measurement gives up.
constexpr double kServerTimeoutS = 10.0;
// s recorded after the sweep's last sample, for the device's latency.
constexpr double kTailS = 0.5;

constexpr int kSmoothings[] = {0, 1, 3, 6, 12, 24, 48};

double Number(const QLineEdit* edit) {
    return zembrel::StringToDoubleConverter(edit->text().toStdString()).Value();
}

const QString kCsvResponseFilter = QStringLiteral("CSV file of the frequency response (*.csv)");
const QString kCsvDistortionFilter = QStringLiteral("CSV file of the harmonic distortion (*.csv)");

} // namespace

TFDlgSweepResponse::TFDlgSweepResponse(QWidget* owner, zembrel::SignalBase* /*signal*/)
    : QDialog(owner),
      ShowMessage([this](const QString& text) { QMessageBox::warning(this, kTitle, text); }) {
    setWindowTitle(kTitle);
    setModal(true);

    Charts = new SweepCharts(this);
    Readout = new QLabel(this);
    Readout->setObjectName(QStringLiteral("Readout"));
    Results = new QLabel(QStringLiteral("No measurement yet."), this);
    Results->setObjectName(QStringLiteral("Results"));
    Results->setTextInteractionFlags(Qt::TextSelectableByMouse);
    Warning = new QLabel(this);
    Warning->setObjectName(QStringLiteral("Warning"));
    Warning->setStyleSheet(QStringLiteral("color: #c00000; font-weight: bold"));

    // The sweep's defaults are those of zembrel-cli measure.
    ParameterForm sweep(this, QStringLiteral("Sweep"));
    start_f = sweep.AddEdit("start_f", QStringLiteral("Start Frequency:"), QStringLiteral("20"),
                            QStringLiteral("Hz"));
    stop_f = sweep.AddEdit("stop_f", QStringLiteral("Stop Frequency:"), QStringLiteral("20000"),
                           QStringLiteral("Hz"));
    length = sweep.AddEdit("length", QStringLiteral("Length:"), QStringLiteral("5"),
                           QStringLiteral("s"));
    lev = sweep.AddEdit("lev", QStringLiteral("Level:"), QStringLiteral("-6"),
                        QStringLiteral("dBFS"));
    rate = sweep.AddEdit("rate", QStringLiteral("Sample Rate:"), QString(), QStringLiteral("Hz"));
    rate->setPlaceholderText(QStringLiteral("of the recording"));
    rate->setToolTip(QStringLiteral("Empty: the recording's rate, or the output device's when "
                                    "measuring live"));
    BLoadSweep = MakeButton(sweep.Group(), "BLoadSweep", QStringLiteral("Load &JSON..."));
    BLoadSweep->setToolTip(QStringLiteral("The parameters zembrel-cli sync-sweep --json printed"));
    sweep.AddField(BLoadSweep, QString());

    ParameterForm edges(this, QStringLiteral("Fades and Silence"));
    fade_in = edges.AddEdit("fade_in", QStringLiteral("Fade-in:"), QStringLiteral("0"),
                            QStringLiteral("ms"));
    fade_out = edges.AddEdit("fade_out", QStringLiteral("Fade-out:"), QStringLiteral("0"),
                             QStringLiteral("ms"));
    pre = edges.AddEdit("pre", QStringLiteral("Silence Before:"), QStringLiteral("0.5"),
                        QStringLiteral("s"));
    post = edges.AddEdit("post", QStringLiteral("Silence After:"), QStringLiteral("0.5"),
                         QStringLiteral("s"));

    // Wide enough for the rate's placeholder and for a rate such as "192000".
    const int fieldWidth = rate->fontMetrics().horizontalAdvance(rate->placeholderText()) + 16;
    for (QLineEdit* edit : {start_f, stop_f, length, lev, rate, fade_in, fade_out, pre, post}) {
        edit->setMinimumWidth(fieldWidth);
    }

    ParameterForm source(this, QStringLiteral("Recording"));
    RecordingFile = new QLineEdit;
    RecordingFile->setObjectName(QStringLiteral("RecordingFile"));
    RecordingFile->setMinimumWidth(220);
    source.AddField(RecordingFile, QStringLiteral("&File:"));
    BBrowse = MakeButton(source.Group(), "BBrowse", QStringLiteral("&Browse..."));
    source.AddField(BBrowse, QStringLiteral(""));
    Smoothing = new QComboBox;
    Smoothing->setObjectName(QStringLiteral("Smoothing"));
    Smoothing->addItem(QStringLiteral("none"));
    for (int n : kSmoothings) {
        if (n > 0) {
            Smoothing->addItem(QStringLiteral("1/%1 octave").arg(n));
        }
    }
    source.AddField(Smoothing, QStringLiteral("Smoo&thing:"));

    BAnalyse = MakeButton(this, "BAnalyse", QStringLiteral("&Analyse File"));
    BMeasure = MakeButton(this, "BMeasure", QStringLiteral("Measure &Live"));
    BSave = MakeButton(this, "BSave", QStringLiteral("&Save..."));
    BClose = MakeButton(this, "BClose", QStringLiteral("Close"));
    for (QPushButton* button : {BLoadSweep, BBrowse, BAnalyse, BMeasure, BSave, BClose}) {
        button->setAutoDefault(false);
    }
    BSave->setEnabled(false);

    ConnectGuarded(BBrowse, &QPushButton::clicked, this, &TFDlgSweepResponse::BBrowseClick);
    ConnectGuarded(BLoadSweep, &QPushButton::clicked, this, &TFDlgSweepResponse::BLoadSweepClick);
    ConnectGuarded(BAnalyse, &QPushButton::clicked, this, &TFDlgSweepResponse::BAnalyseClick);
    ConnectGuarded(BMeasure, &QPushButton::clicked, this, &TFDlgSweepResponse::BMeasureClick);
    ConnectGuarded(BSave, &QPushButton::clicked, this, &TFDlgSweepResponse::BSaveClick);
    connect(BClose, &QPushButton::clicked, this, &TFDlgSweepResponse::reject);
    connect(Smoothing, &QComboBox::currentIndexChanged, this,
            Guarded(this, [this] { SmoothingChange(); }));
    connect(Charts, &SweepCharts::Readout, Readout, &QLabel::setText);

    auto* buttons = new QVBoxLayout;
    for (QPushButton* button : {BAnalyse, BMeasure, BSave}) {
        buttons->addWidget(button);
    }
    buttons->addStretch(1);
    buttons->addWidget(BClose);
    auto* controls = new QHBoxLayout;
    controls->addWidget(sweep.Group());
    controls->addWidget(edges.Group());
    controls->addWidget(source.Group(), 1);
    controls->addLayout(buttons);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Results);
    layout->addWidget(Warning);
    layout->addWidget(Charts, 1);
    layout->addWidget(Readout);
    layout->addLayout(controls);
    Readout->setMinimumHeight(Readout->fontMetrics().height());
    Warning->hide();
}

TFDlgSweepResponse::~TFDlgSweepResponse() {
    if (worker_) {
        // Only when the program ends during a measurement: stop it and let the worker end,
        // serving its progress reports meanwhile.
        worker_->disconnect(this);
        worker_->RequestStop();
        while (!worker_->wait(10)) {
            QCoreApplication::processEvents();
        }
    }
}

zembrel::SyncSweepInput TFDlgSweepResponse::SweepInput() const {
    return SweepFields{start_f, stop_f, length, fade_in, fade_out, pre, post, lev}.Read(
        rate->text().trimmed().isEmpty() ? 0.0 : Number(rate));
}

int TFDlgSweepResponse::SmoothingN() const {
    return kSmoothings[Smoothing->currentIndex()];
}

void TFDlgSweepResponse::BBrowseClick() {
    const QString fileName = QFileDialog::getOpenFileName(
        this, QStringLiteral("Open Recording"), FileDialogFolder(FileKind::Wav),
        QStringLiteral("Audio files (*.wav *.flac *.aif *.aiff *.rf64 *.w64);;All files (*)"));
    if (!fileName.isEmpty()) {
        RememberFileDialogFolder(FileKind::Wav, fileName);
        RecordingFile->setText(QDir::toNativeSeparators(fileName));
    }
}

void TFDlgSweepResponse::BLoadSweepClick() {
    const QString fileName = QFileDialog::getOpenFileName(
        this, QStringLiteral("Load Sweep Parameters"), FileDialogFolder(FileKind::Wav),
        QStringLiteral("Sweep parameters (*.json);;All files (*)"));
    if (!fileName.isEmpty()) {
        RememberFileDialogFolder(FileKind::Wav, fileName);
        LoadSweepJson(fileName);
    }
}

bool TFDlgSweepResponse::LoadSweepJson(const QString& fileName) {
    zembrel::SyncSweepInput input;
    try {
        input = zembrel::ReadSweepJson(QFile::encodeName(fileName).toStdString());
    } catch (const std::runtime_error& e) {
        ShowMessage(QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(fileName),
                                                 QString::fromStdString(e.what())));
        return false;
    }
    SweepFields{start_f, stop_f, length, fade_in, fade_out, pre, post, lev}.Show(input);
    rate->setText(QString::number(input.RateHz, 'g', 10));
    return true;
}

void TFDlgSweepResponse::BAnalyseClick() {
    const std::string path =
        QDir::fromNativeSeparators(RecordingFile->text().trimmed()).toStdString();
    if (path.empty()) {
        ShowMessage(QStringLiteral("Choose the recording file first."));
        return;
    }
    const zembrel::SyncSweepInput input = SweepInput();
    zembrel::DeconvolutionOptions options;
    options.Smoothing = SmoothingN();
    Start(QStringLiteral("Analysing..."),
          [path, input, options](MeasureWorker& worker, Outcome& out) {
              zembrel::RecordingSamples recording = zembrel::ReadRecordingFile(path);
              worker.Report(30);
              zembrel::SyncSweepInput sweep = input;
              if (sweep.RateHz == 0.0) {
                  sweep.RateHz = recording.RateHz;
              }
              out.sweep.emplace(sweep);
              if (worker.StopRequested()) {
                  return;
              }
              out.response = zembrel::SweepDeconvolution::Analyse(
                  recording.Samples, recording.RateHz, *out.sweep, options);
              out.recording = std::move(recording.Samples);
              out.rateHz = recording.RateHz;
              worker.Report(100);
          });
}

void TFDlgSweepResponse::BMeasureClick() {
    const zembrel::SyncSweepInput input = SweepInput();
    zembrel::DeconvolutionOptions options;
    options.Smoothing = SmoothingN();
    Start(QStringLiteral("Measuring..."), [input, options](MeasureWorker& worker, Outcome& out) {
        zembrel::SyncSweepInput sweep = input;
        if (sweep.RateHz == 0.0) {
            // The output device's own rate: the sound server then does not resample.
            sweep.RateHz = 48000.0;
            for (const zembrel::AudioDevice& device :
                 zembrel::PulsePlayRecord::ListDevices(kServerTimeoutS).Outputs) {
                if (device.IsDefault && device.RateHz > 0.0) {
                    sweep.RateHz = device.RateHz;
                }
            }
        }
        out.sweep.emplace(sweep);
        const std::vector<double> play = out.sweep->Samples();
        const double seconds = static_cast<double>(play.size()) / sweep.RateHz + kTailS;
        const auto begin = std::chrono::steady_clock::now();
        int shown = 0;
        // Asked every 0.1 s while the sweep plays: the stop flag, and the time gone as progress.
        const auto stop = [&] {
            const std::chrono::duration<double> gone = std::chrono::steady_clock::now() - begin;
            const int percent = std::min(95, static_cast<int>(gone.count() / seconds * 95.0));
            if (percent != shown && !worker.StopRequested()) {
                shown = percent;
                worker.Report(percent);
            }
            return worker.StopRequested();
        };
        out.recording =
            zembrel::PulsePlayRecord::Run(play, sweep.RateHz, std::string(), std::string(), kTailS,
                                          seconds + kServerTimeoutS, stop);
        out.rateHz = sweep.RateHz;
        out.response =
            zembrel::SweepDeconvolution::Analyse(out.recording, out.rateHz, *out.sweep, options);
        worker.Report(100);
    });
}

void TFDlgSweepResponse::SmoothingChange() {
    if (!last_ || Busy()) {
        return;
    }
    // The kept recording again, with the new smoothing: no file is read and nothing played.
    auto recording = std::make_shared<Outcome>();
    recording->recording = last_->recording;
    recording->rateHz = last_->rateHz;
    recording->sweep = last_->sweep;
    zembrel::DeconvolutionOptions options;
    options.Smoothing = SmoothingN();
    Start(QStringLiteral("Analysing..."),
          [recording, options](MeasureWorker& worker, Outcome& out) {
              out.recording = std::move(recording->recording);
              out.rateHz = recording->rateHz;
              out.sweep = recording->sweep;
              out.response = zembrel::SweepDeconvolution::Analyse(out.recording, out.rateHz,
                                                                  *out.sweep, options);
              worker.Report(100);
          });
}

void TFDlgSweepResponse::Start(const QString& title,
                               std::function<void(MeasureWorker&, Outcome&)> job) {
    pending_ = std::make_unique<Outcome>();
    processState_ = std::make_unique<TFProcessState>(this);
    processState_->setWindowTitle(title);
    processState_->show();
    Outcome* out = pending_.get();
    worker_ = std::make_unique<MeasureWorker>(
        [job = std::move(job), out](MeasureWorker& worker) { job(worker, *out); },
        processState_.get());
    processState_->SetCalcThread(worker_.get());
    connect(worker_.get(), &QThread::finished, this, Guarded(this, [this] { WorkerEnded(); }),
            Qt::QueuedConnection);
    for (QWidget* widget : {static_cast<QWidget*>(BAnalyse), static_cast<QWidget*>(BMeasure),
                            static_cast<QWidget*>(BSave), static_cast<QWidget*>(BBrowse),
                            static_cast<QWidget*>(BLoadSweep), static_cast<QWidget*>(Smoothing),
                            static_cast<QWidget*>(BClose)}) {
        widget->setEnabled(false);
    }
    worker_->start();
}

void TFDlgSweepResponse::WorkerEnded() {
    worker_->wait();
    const bool stopped = worker_->StopRequested();
    const QString failure = worker_->Failure();
    const bool finished = worker_->Progress() == 100;
    worker_.reset();
    processState_.reset();
    for (QWidget* widget : {static_cast<QWidget*>(BAnalyse), static_cast<QWidget*>(BMeasure),
                            static_cast<QWidget*>(BBrowse), static_cast<QWidget*>(BLoadSweep),
                            static_cast<QWidget*>(Smoothing), static_cast<QWidget*>(BClose)}) {
        widget->setEnabled(true);
    }
    BSave->setEnabled(result_.has_value());
    std::unique_ptr<Outcome> outcome = std::move(pending_);
    if (stopped) {
        Readout->setText(QStringLiteral("Cancelled; the results on show are those before."));
        return;
    }
    if (!failure.isEmpty() || !finished) {
        ShowMessage(failure.isEmpty() ? QStringLiteral("The measurement did not finish.")
                                      : failure);
        return;
    }
    result_ = std::move(outcome->response);
    last_ = std::move(outcome);
    BSave->setEnabled(true);
    ShowResult();
}

void TFDlgSweepResponse::ShowResult() {
    const zembrel::SweepResponse& r = *result_;
    QString text = QStringLiteral("Latency: %1 samples (%2 ms)")
                       .arg(r.LatencySamples)
                       .arg(r.LatencyMs, 0, 'f', 3);
    if (!r.NoiseFloorDb) {
        text += QStringLiteral("    Noise floor: none (no silence before the sweep)");
    } else if (!std::isfinite(*r.NoiseFloorDb)) {
        // Nothing but zeros before the sweep: a digital loop-back.
        text += QStringLiteral("    Noise floor: digital silence");
    } else {
        text += QStringLiteral("    Noise floor: %1 dBFS RMS").arg(*r.NoiseFloorDb, 0, 'f', 1);
    }
    double worst = -INFINITY;
    for (const zembrel::DistortionPoint& p : r.Distortion) {
        if (std::isfinite(p.ThdDb)) {
            worst = std::max(worst, p.ThdDb);
        }
    }
    if (std::isfinite(worst)) {
        text += QStringLiteral("    Highest THD: %1 dB").arg(worst, 0, 'f', 1);
    }
    Results->setText(text);
    Warning->setText(r.Clipped ? QStringLiteral("The recording reached full scale: it may have "
                                                "clipped, and the distortion is then the "
                                                "recording's.")
                               : QString());
    Warning->setVisible(r.Clipped);
    Charts->Show(&*result_);
}

QString TFDlgSweepResponse::SaveTo(const QString& fileName, CsvKind kind) {
    if (!result_) {
        return QStringLiteral("there is no measurement to save");
    }
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    if (IsChartImageName(fileName)) {
        return SaveChartImage(Charts->CurrentChart(), fileName);
    }
    if (suffix == QLatin1String("wav")) {
        const std::vector<double> impulse(result_->Impulse.begin(), result_->Impulse.end());
        zembrel::AudioWriteOptions options;
        options.Bits = 32;
        options.Float = true;
        try {
            zembrel::AudioFileWrite(QFile::encodeName(fileName).toStdString(), {impulse.data()},
                                    static_cast<std::int64_t>(impulse.size()), result_->RateHz, 1.0,
                                    options);
        } catch (const zembrel::WavError& e) {
            return QString::fromStdString(e.Reason());
        }
        return QString();
    }
    if (suffix != QLatin1String("csv")) {
        return QStringLiteral("the name must end in .csv, .png, .svg or .wav");
    }
    const std::string rows = kind == CsvKind::Response
                                 ? zembrel::ResponseCsv(result_->Response)
                                 : zembrel::DistortionCsv(result_->Distortion);
    return SaveTextFile(fileName, rows);
}

void TFDlgSweepResponse::BSaveClick() {
    const ExportName name =
        AskExportName(this, QStringLiteral("Save Sweep Response"),
                      {kCsvResponseFilter, kCsvDistortionFilter,
                       QStringLiteral("PNG image of the chart on show (*.png)"),
                       QStringLiteral("SVG image of the chart on show (*.svg)"),
                       QStringLiteral("Impulse response, 32-bit float WAV (*.wav)")});
    if (name.FileName.isEmpty()) {
        return;
    }
    const CsvKind kind =
        name.Filter == kCsvDistortionFilter ? CsvKind::Distortion : CsvKind::Response;
    const QString error = SaveTo(name.FileName, kind);
    if (!error.isEmpty()) {
        ShowMessage(ExportFailedText(name.FileName, error));
    }
}

void TFDlgSweepResponse::reject() {
    if (worker_) {
        // Escape and Close during a measurement cancel it; the window stays until it has ended.
        worker_->RequestStop();
        return;
    }
    QDialog::reject();
}

void TFDlgSweepResponse::closeEvent(QCloseEvent* event) {
    if (worker_) {
        event->ignore();
        worker_->RequestStop();
        return;
    }
    QDialog::closeEvent(event);
}
