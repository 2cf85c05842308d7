#include "gui/analysis/TFDlgDistortion.h"

#include "gui/analysis/AnalyserRadioGroup.h"
#include "gui/analysis/ReadoutGrid.h"
#include "gui/app/ChartExport.h"
#include "gui/generators/ParameterForm.h"

#include "core/analysis/ReadingRows.h"
#include "core/analysis/StatisticsText.h"
#include "core/generators/StringToDoubleConverter.h"
#include "core/signal/SignalBase.h"

#include <QComboBox>
#include <QGridLayout>

#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QProgressBar>
#include <QPromise>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>
#include <cmath>
#include <exception>
#include <new>

namespace {

using zembrel::ReadingStatus;

constexpr int kHarmonicRows = 9; // H2 ... H10

// A core text with the system's decimal separator, as the statistics show their figures.
QString Local(const std::string& text) {
    return QString::fromStdString(text).replace(QLatin1Char('.'), QLocale::system().decimalPoint());
}

QString Figure(ReadingStatus status, double value, int decimals, const char* unit) {
    return Local(zembrel::ReadingFigure(status, value, decimals, unit));
}

QString Fixed(double value, int decimals) {
    return Local(zembrel::FixedText(value, decimals));
}

const char* const kSettingsError = "The fundamental must be empty (found as the strongest tone) or "
                                   "above 0 Hz, and the band needs 0 Hz <= from < to, from below "
                                   "half the sample rate.";

} // namespace

TFDlgDistortion::TFDlgDistortion(QWidget* owner, zembrel::SignalBase* signal)
    : QDialog(owner), signal_(signal) {
    setWindowTitle(QStringLiteral("Distortion"));
    setModal(true);

    ParameterForm settings(this, QStringLiteral("Measurement"));
    Fundamental = settings.AddEdit("Fundamental", QStringLiteral("&Fundamental:"), QString(),
                                   QStringLiteral("Hz"));
    Fundamental->setPlaceholderText(QStringLiteral("strongest tone"));
    Fundamental->setToolTip(
        QStringLiteral("Empty: the strongest tone in the band is taken as the fundamental"));
    const zembrel::DistortionSettings defaults;
    BandLow =
        settings.AddEdit("BandLow", QStringLiteral("Band &from:"),
                         Local(zembrel::FixedText(defaults.BandLow, 0)), QStringLiteral("Hz"));
    BandHigh =
        settings.AddEdit("BandHigh", QStringLiteral("Band &to:"),
                         Local(zembrel::FixedText(defaults.BandHigh, 0)), QStringLiteral("Hz"));
    BandHigh->setToolTip(QStringLiteral("Limited to half the sample rate"));
    ThdConvention = new QComboBox(this);
    ThdConvention->setObjectName(QStringLiteral("ThdConvention"));
    ThdConvention->addItems({QStringLiteral("relative to the fundamental"),
                             QStringLiteral("relative to the total RMS")});
    settings.AddField(ThdConvention, QStringLiteral("T&HD:"));

    SelectChannel = new AnalyserRadioGroup(QStringLiteral("Channel"),
                                           {QStringLiteral("Left"), QStringLiteral("Right")}, this);
    SelectChannel->setObjectName(QStringLiteral("SelectChannel"));
    SelectChannel->SetItemIndex(0);
    SelectChannel->setEnabled(signal_->IsStereo());

    Harmonics = new QTableWidget(kHarmonicRows, 4, this);
    Harmonics->setObjectName(QStringLiteral("Harmonics"));
    Harmonics->setHorizontalHeaderLabels({QStringLiteral("Harmonic"),
                                          QStringLiteral("Frequency [Hz]"),
                                          QStringLiteral("Level [dBc]"), QStringLiteral("[%]")});
    Harmonics->verticalHeader()->setVisible(false);
    Harmonics->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Harmonics->setSelectionMode(QAbstractItemView::NoSelection);
    Harmonics->setFocusPolicy(Qt::NoFocus);
    Harmonics->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    Harmonics->verticalHeader()->setDefaultSectionSize(Harmonics->fontMetrics().height() + 6);
    Harmonics->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Harmonics->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Harmonics->setFixedHeight(Harmonics->horizontalHeader()->sizeHint().height() +
                              kHarmonicRows * Harmonics->verticalHeader()->defaultSectionSize() +
                              2 * Harmonics->frameWidth());
    Harmonics->setMinimumWidth(420);

    auto* figures = new QGroupBox(QStringLiteral("Readings"), this);
    ReadoutGrid grid(figures);
    grid.Layout()->setColumnStretch(1, 1);
    ToneValue = grid.Add("ToneValue", QStringLiteral("Fundamental:"));
    ThdValue = grid.Add("ThdValue", QStringLiteral("THD:"));
    ThdNValue = grid.Add("ThdNValue", QStringLiteral("THD+N:"));
    BandValue = grid.Add("BandValue", QStringLiteral("Band:"));
    SinadValue = grid.Add("SinadValue", QStringLiteral("SINAD:"));
    NoiseFloorValue = grid.Add("NoiseFloorValue", QStringLiteral("Noise floor:"));
    ImdValue = grid.Add("ImdValue", QStringLiteral("IMD:"));
    DcValue = grid.Add("DcValue", QStringLiteral("DC:"));
    CrestValue = grid.Add("CrestValue", QStringLiteral("Crest factor:"));
    // Room for the longest THD text in either convention, so that the window keeps its size
    // when readings arrive and no text is cut.
    int thdWidth = 0;
    for (const auto convention :
         {zembrel::ThdConvention::RelativeToFundamental, zembrel::ThdConvention::RelativeToTotal}) {
        thdWidth =
            std::max(thdWidth, ThdValue->fontMetrics().horizontalAdvance(
                                   QStringLiteral("100.00000 % (-100.00 dB), ") +
                                   QString::fromLatin1(zembrel::ThdConventionText(convention))));
    }
    ThdValue->setMinimumWidth(thdWidth);
    Warning = new QLabel(figures);
    Warning->setObjectName(QStringLiteral("Warning"));
    Warning->setStyleSheet(QStringLiteral("color: #b00000"));
    Warning->setWordWrap(true);
    grid.Layout()->addWidget(Warning, grid.Rows(), 0, 1, 2);

    Status = new QLabel(this);
    Status->setObjectName(QStringLiteral("Status"));
    Status->setWordWrap(true);
    Progress = new QProgressBar(this);
    Progress->setObjectName(QStringLiteral("Progress"));
    Progress->setTextVisible(false);
    Progress->setMaximumHeight(Status->fontMetrics().height());
    Progress->setVisible(false);

    BMeasure = MakeButton(this, "BMeasure", QStringLiteral("&Measure"));
    BSave = MakeButton(this, "BSave", QStringLiteral("&Save..."));
    BClose = MakeButton(this, "BClose", QStringLiteral("Close"));
    BMeasure->setDefault(true);
    BSave->setAutoDefault(false);
    BClose->setAutoDefault(false);
    BSave->setEnabled(false);

    auto* side = new QVBoxLayout;
    side->addWidget(settings.Group());
    side->addWidget(SelectChannel);
    side->addStretch(1);
    side->addWidget(BMeasure);
    side->addWidget(BSave);
    side->addWidget(BClose);
    auto* main = new QVBoxLayout;
    main->addWidget(Harmonics);
    main->addWidget(figures);
    main->addWidget(Status);
    main->addWidget(Progress);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(main, 1);
    layout->addLayout(side);

    connect(BMeasure, &QPushButton::clicked, this, &TFDlgDistortion::BMeasureClick);
    connect(BSave, &QPushButton::clicked, this, &TFDlgDistortion::BSaveClick);
    connect(BClose, &QPushButton::clicked, this, &TFDlgDistortion::BCloseClick);
    connect(SelectChannel, &AnalyserRadioGroup::Click, this, &TFDlgDistortion::SelectChannelClick);
    connect(ThdConvention, &QComboBox::currentIndexChanged, this,
            &TFDlgDistortion::SelectChannelClick);
    connect(&watcher_, &QFutureWatcher<Outcome>::finished, this, &TFDlgDistortion::Finished);
    connect(&watcher_, &QFutureWatcher<Outcome>::progressRangeChanged, Progress,
            &QProgressBar::setRange);
    connect(&watcher_, &QFutureWatcher<Outcome>::progressValueChanged, Progress,
            &QProgressBar::setValue);

    BMeasureClick();
}

TFDlgDistortion::~TFDlgDistortion() {
    watcher_.waitForFinished();
}

zembrel::ThdConvention TFDlgDistortion::Convention() const {
    return ThdConvention->currentIndex() == 1 ? zembrel::ThdConvention::RelativeToTotal
                                              : zembrel::ThdConvention::RelativeToFundamental;
}

void TFDlgDistortion::BMeasureClick() {
    if (Measuring()) {
        return;
    }
    const auto number = [](const QLineEdit* edit) {
        return zembrel::StringToDoubleConverter(edit->text().trimmed().toStdString()).Value();
    };
    zembrel::DistortionSettings settings;
    if (!Fundamental->text().trimmed().isEmpty()) {
        settings.Fundamental = number(Fundamental);
    }
    settings.BandLow = number(BandLow);
    settings.BandHigh = number(BandHigh);
    settings.ClipLevel = zembrel::ClipLevelOf(signal_->Bits, false);
    const zembrel::DistortionSettingsCheck check =
        zembrel::CheckDistortionSettings(settings, signal_->SampleRate);
    if (!check.Valid()) {
        readings_.clear();
        BSave->setEnabled(false);
        ClearFigures(QString());
        Status->setText(QString::fromLatin1(kSettingsError));
        (check.Fundamental ? BandLow : Fundamental)->setFocus();
        return;
    }

    std::vector<std::vector<double>> channels;
    try {
        channels = zembrel::NormalizedChannels(*signal_);
    } catch (const std::bad_alloc&) {
        Status->setText(QStringLiteral("Not enough memory for the readings."));
        return;
    }
    const double rate = signal_->SampleRate;
    BMeasure->setEnabled(false);
    BSave->setEnabled(false);
    Status->setText(QStringLiteral("Measuring..."));
    Progress->setRange(0, static_cast<int>(channels.size()));
    Progress->setValue(0);
    Progress->setVisible(true);
    watcher_.setFuture(QtConcurrent::run(
        [](QPromise<Outcome>& promise, std::vector<std::vector<double>> samples, double fs,
           zembrel::DistortionSettings s) {
            Outcome outcome;
            promise.setProgressRange(0, static_cast<int>(samples.size()));
            try {
                for (std::size_t c = 0; c < samples.size(); ++c) {
                    outcome.Readings.push_back(zembrel::ReadChannel(samples[c], fs, s));
                    samples[c] = std::vector<double>(); // its memory back at once
                    promise.setProgressValue(static_cast<int>(c + 1));
                }
            } catch (const std::bad_alloc&) {
                outcome.Failure = QStringLiteral("Not enough memory for the readings.");
            } catch (const std::exception& e) {
                outcome.Failure = QStringLiteral("The readings failed: %1").arg(e.what());
            }
            promise.addResult(std::move(outcome));
        },
        std::move(channels), rate, settings));
}

void TFDlgDistortion::Finished() {
    Progress->setVisible(false);
    BMeasure->setEnabled(true);
    const Outcome outcome = watcher_.future().resultCount() > 0 ? watcher_.result() : Outcome{};
    if (!outcome.Failure.isEmpty() || outcome.Readings.empty()) {
        readings_.clear();
        ClearFigures(QString());
        Status->setText(outcome.Failure.isEmpty() ? QStringLiteral("The readings failed.")
                                                  : outcome.Failure);
        return;
    }
    readings_ = outcome.Readings;
    Status->clear();
    BSave->setEnabled(true);
    ShowChannel(signal_->IsStereo() ? SelectChannel->ItemIndex() : 0);
}

void TFDlgDistortion::SelectChannelClick() {
    if (!readings_.empty()) {
        ShowChannel(signal_->IsStereo() ? SelectChannel->ItemIndex() : 0);
    }
}

void TFDlgDistortion::ClearFigures(const QString& reason) {
    Harmonics->clearContents();
    for (QLabel* label : {ToneValue, ThdValue, ThdNValue, BandValue, SinadValue, NoiseFloorValue,
                          ImdValue, DcValue, CrestValue}) {
        label->setText(reason);
    }
    Warning->clear();
}

void TFDlgDistortion::ShowChannel(int channel) {
    const zembrel::ChannelReadings& r = readings_.at(static_cast<std::size_t>(channel));
    const zembrel::ThdConvention convention = Convention();
    ClearFigures(QString());

    const bool harmonics = r.Harmonics.Status == ReadingStatus::Ok;
    for (int i = 0;
         harmonics && i < static_cast<int>(r.Harmonics.Harmonics.size()) && i < kHarmonicRows;
         ++i) {
        const zembrel::HarmonicReading& h = r.Harmonics.Harmonics[static_cast<std::size_t>(i)];
        const QString cells[] = {QStringLiteral("H%1").arg(h.Number), Fixed(h.Frequency, 1),
                                 Fixed(h.LevelDbc, 2), Fixed(h.Percent, 5)};
        for (int column = 0; column < 4; ++column) {
            auto* item = new QTableWidgetItem(cells[column]);
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            if (!h.InBand) {
                item->setForeground(palette().color(QPalette::Disabled, QPalette::Text));
                item->setToolTip(QStringLiteral("Outside the band: not counted in THD"));
            }
            Harmonics->setItem(i, column, item);
        }
    }

    ToneValue->setText(
        r.Tone.Status == ReadingStatus::Ok
            ? Fixed(r.Tone.Frequency, 3) + QStringLiteral(" Hz, ") +
                  Figure(ReadingStatus::Ok, 10.0 * std::log10(r.Tone.Power), 2, "dBFS RMS")
            : Figure(r.Tone.Status, 0.0, 0, ""));
    ThdValue->setText(harmonics
                          ? Fixed(r.Harmonics.Percent(convention), 5) + QStringLiteral(" % (") +
                                Figure(ReadingStatus::Ok, r.Harmonics.Db(convention), 2, "dB") +
                                QStringLiteral("), ") +
                                QString::fromLatin1(zembrel::ThdConventionText(convention))
                          : Figure(r.Harmonics.Status, 0.0, 0, ""));
    const bool thdN = r.ThdN.Status == ReadingStatus::Ok;
    ThdNValue->setText(thdN ? Figure(ReadingStatus::Ok, r.ThdN.ThdNDb, 2, "dB") +
                                  QStringLiteral(" (") + Fixed(r.ThdN.ThdNPercent, 5) +
                                  QStringLiteral(" %)")
                            : Figure(r.ThdN.Status, 0.0, 0, ""));
    BandValue->setText(thdN ? Local(zembrel::ThdNBandText(r.ThdN)) : QString());
    SinadValue->setText(Figure(r.ThdN.Status, r.ThdN.SinadDb, 2, "dB"));
    NoiseFloorValue->setText(Figure(r.ThdN.Status, r.ThdN.NoiseFloorDbfs, 2, "dBFS"));
    ImdValue->setText(
        r.Imd.Status == ReadingStatus::Ok
            ? QString::fromLatin1(zembrel::TwinToneOf(r.Imd.Standard).Name).toUpper() +
                  QStringLiteral(": ") + Fixed(r.Imd.Percent, 5) + QStringLiteral(" % (") +
                  Figure(ReadingStatus::Ok, r.Imd.Db, 2, "dB") + QStringLiteral(")")
            : Figure(r.Imd.Status, 0.0, 0, ""));
    DcValue->setText(Fixed(r.Dc * 100.0, 4) + QStringLiteral(" % of full scale"));
    CrestValue->setText(Figure(r.Crest.Status, r.Crest.Db, 2, "dB"));
    if (r.ClippedSamples > 0) {
        Warning->setText(
            QStringLiteral("%1 samples at full scale in runs: the signal looks clipped.")
                .arg(static_cast<qulonglong>(r.ClippedSamples)));
    }
}

std::vector<std::string> TFDlgDistortion::ChannelNames() const {
    if (readings_.size() == 2) {
        return {"left", "right"};
    }
    return {"mono"};
}

QString TFDlgDistortion::SaveTo(const QString& fileName) const {
    if (readings_.empty()) {
        return QStringLiteral("there are no readings");
    }
    return SaveTextFile(fileName, zembrel::ReadingsCsv(readings_, ChannelNames(), Convention()));
}

void TFDlgDistortion::BSaveClick() {
    const QString title = QStringLiteral("Save Readings");
    const ExportName name =
        AskExportName(this, title, {QStringLiteral("CSV file of the readings (*.csv)")});
    if (!name.FileName.isEmpty()) {
        ReportExportFailure(this, title, name.FileName, SaveTo(name.FileName));
    }
}

void TFDlgDistortion::BCloseClick() {
    close();
}
