#include "gui/analysis/TFDlgFrequencyAnalysis.h"

#include "gui/analysis/AnalyserRadioGroup.h"
#include "gui/analysis/LevelChart.h"

#include "gui/app/ChartExport.h"

#include "core/analysis/ChannelLevels.h"
#include "core/analysis/FFT.h"
#include "core/analysis/SineCalibration.h"
#include "core/signal/SignalBase.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

constexpr int kDefaultLength = 5;              // "32768"
constexpr int kDefaultWindow = 3;              // "Blackman Harris"
constexpr double kLowestLogFrequency = 10.0;   // Hz, left end of the logarithmic axis
constexpr double kLogLabelIncrement = 30000.0; // Hz between axis labels on the logarithmic axis

// The fixed grid of the logarithmic axis: 28 frequencies in Hz; the labelled ones carry the
// left shift of their text in pixels of the designed chart, the others 0.
struct GridLine {
    double frequency;
    int labelShift;
};
constexpr GridLine kLogGrid[] = {
    {20, 5},    {30, 0},   {40, 0},   {50, 5},    {60, 0},    {70, 0},     {80, 0},
    {90, 0},    {100, 7},  {200, 7},  {300, 0},   {400, 0},   {500, 7},    {600, 0},
    {700, 0},   {800, 0},  {900, 0},  {1000, 12}, {2000, 12}, {3000, 0},   {4000, 0},
    {5000, 12}, {6000, 0}, {7000, 0}, {8000, 0},  {9000, 0},  {10000, 16}, {20000, 16},
};
// Rows of the designed chart: top of every line, bottom of an unlabelled and of a labelled
// line, which is also the top of the label text.
constexpr int kGridTop = 6;
constexpr int kShortLineBottom = 260;
constexpr int kLongLineBottom = 266;
// Right margin of the plot on the logarithmic axis, so that "20000" fits.
constexpr int kLogRightMargin = 24;

// The readout's and the marker's numbers.
QString Hz(double f) {
    return QString::number(f, 'f', 2);
}
QString Db(double level) {
    return QString::number(level, 'f', 2);
}

QString BlockCountText(int blocks, int length) {
    return blocks == 1
               ? QStringLiteral("1 block of %1 samples").arg(length)
               : QStringLiteral("%1 blocks of %2 samples, 50 % overlap").arg(blocks).arg(length);
}

} // namespace

TFDlgFrequencyAnalysis::TFDlgFrequencyAnalysis(QWidget* owner, zembrel::SignalBase* signal)
    : QDialog(owner), signal_(signal) {
    setWindowTitle(QStringLiteral("Frequency Analyser"));
    setModal(true);

    Chart1 = new LevelChart(this);
    Chart1->setObjectName(QStringLiteral("Chart1"));
    Chart1->setFixedSize(kChartWidth, kChartHeight);
    LineSeries1 = Chart1->Series();
    linearLabelPadding_ = Chart1->xAxis->labelPadding();
    Chart1->AfterDraw = [this](QPainter& canvas) { Chart1AfterDraw(canvas); };

    Bevel1 = new QFrame(this);
    Bevel1->setFrameShape(QFrame::HLine);
    Bevel1->setFrameShadow(QFrame::Sunken);

    GroupBox1 = new QGroupBox(QStringLiteral("FFT Parameters"), this);
    Label1 = new QLabel(QStringLiteral("FFT Length:"), GroupBox1);
    len = new QComboBox(GroupBox1);
    len->setObjectName(QStringLiteral("len"));
    len->addItems({QStringLiteral("1024"), QStringLiteral("2048"), QStringLiteral("4096"),
                   QStringLiteral("8192"), QStringLiteral("16384"), QStringLiteral("32768"),
                   QStringLiteral("65536")});
    Label2 = new QLabel(QStringLiteral("Window:"), GroupBox1);
    win = new QComboBox(GroupBox1);
    win->setObjectName(QStringLiteral("win"));
    win->addItems({QStringLiteral("Hanning"), QStringLiteral("Hamming"), QStringLiteral("Blackman"),
                   QStringLiteral("Blackman Harris"), QStringLiteral("Rectangular")});
    Label1->setBuddy(len);
    Label2->setBuddy(win);
    auto* parameters = new QGridLayout(GroupBox1);
    parameters->addWidget(Label1, 0, 0);
    parameters->addWidget(len, 0, 1);
    parameters->addWidget(Label2, 1, 0);
    parameters->addWidget(win, 1, 1);
    Average = new QCheckBox(QStringLiteral("&Average over the whole signal"), GroupBox1);
    Average->setObjectName(QStringLiteral("Average"));
    BlockCount = new QLabel(GroupBox1);
    BlockCount->setObjectName(QStringLiteral("BlockCount"));
    // Room for the longest count (180 s at 48 kHz in blocks of 1024), so that ticking Average
    // does not widen the dialog and move its controls under the mouse.
    BlockCount->setMinimumWidth(BlockCount->fontMetrics().horizontalAdvance(
        BlockCountText(16874, zembrel::AnalyserFftLength(6))));
    parameters->addWidget(Average, 2, 0, 1, 2);
    parameters->addWidget(BlockCount, 3, 0, 1, 2);
    SineCalibrated = new QCheckBox(QStringLiteral("Sine-&calibrated levels (dBFS)"), GroupBox1);
    SineCalibrated->setObjectName(QStringLiteral("SineCalibrated"));
    SineCalibrated->setToolTip(
        QStringLiteral("Corrects the window's coherent gain: a sine reads its peak level in dBFS "
                       "in every window"));
    parameters->addWidget(SineCalibrated, 4, 0, 1, 2);

    Readout = new QLabel(this);
    Readout->setObjectName(QStringLiteral("Readout"));
    Readout->setMinimumWidth(kChartWidth);
    PeakMarker = new QCPItemTracer(Chart1); // on the series once it has data (MarkPeak)
    PeakMarker->setStyle(QCPItemTracer::tsCircle);
    PeakMarker->setSize(7);
    // Green: apart from the blue and red lines, and never blended into the grid's grey.
    PeakMarker->setPen(QPen(QColor(0x00, 0x80, 0x00), 1.5));
    PeakLabel = new QCPItemText(Chart1);
    PeakLabel->position->setParentAnchor(PeakMarker->position);
    PeakLabel->setClipToAxisRect(false);
    PeakLabel->setColor(QColor(0x00, 0x80, 0x00));
    PeakMarker->setVisible(false); // until there is a spectrum to mark
    PeakLabel->setVisible(false);

    faxis = new AnalyserRadioGroup(QStringLiteral("Frequency Axis Settings"),
                                   {QStringLiteral("linear"), QStringLiteral("logarithmic")}, this);
    faxis->setObjectName(QStringLiteral("faxis"));
    ChannelSelGroup = new AnalyserRadioGroup(
        QStringLiteral("Select Channel"), {QStringLiteral("Left"), QStringLiteral("Right")}, this);
    ChannelSelGroup->setObjectName(QStringLiteral("ChannelSelGroup"));

    BClose = new QPushButton(QStringLiteral("Close"), this);
    BClose->setObjectName(QStringLiteral("BClose"));
    BSave = new QPushButton(QStringLiteral("&Save..."), this);
    BSave->setObjectName(QStringLiteral("BSave"));
    BSave->setAutoDefault(false);
    auto* buttons = new QVBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(BSave);
    buttons->addWidget(BClose);

    auto* controls = new QHBoxLayout;
    controls->addWidget(GroupBox1);
    controls->addWidget(faxis);
    controls->addWidget(ChannelSelGroup);
    controls->addStretch(1);
    controls->addLayout(buttons);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Chart1);
    layout->addWidget(Readout);
    layout->addWidget(Bevel1);
    layout->addLayout(controls);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    // Initial state, before any handler is connected.
    win->setCurrentIndex(kDefaultWindow);
    len->setCurrentIndex(kDefaultLength);
    const double nyquist = signal_->SampleRate / 2.0;
    Chart1->SetHomeRanges(QCPRange(0.0, nyquist), QCPRange(-100.0, 0.0));
    Chart1->FrequencyTicks()->SetEnd(nyquist);
    Chart1->LevelTicks()->SetEnd(0.0);
    if (signal_->IsStereo()) {
        ChannelSelGroup->setEnabled(true);
    } else {
        ChannelSelGroup->setEnabled(false);
        Chart1->yAxis->setLabel(QStringLiteral("Amplitude [dB]"));
    }

    connect(len, &QComboBox::currentIndexChanged, this, &TFDlgFrequencyAnalysis::lenChange);
    connect(win, &QComboBox::currentIndexChanged, this, &TFDlgFrequencyAnalysis::winChange);
    connect(ChannelSelGroup, &AnalyserRadioGroup::Click, this,
            &TFDlgFrequencyAnalysis::ChannelSelGroupClick);
    connect(faxis, &AnalyserRadioGroup::Click, this, &TFDlgFrequencyAnalysis::faxisClick);
    connect(BClose, &QPushButton::clicked, this, &TFDlgFrequencyAnalysis::BCloseClick);
    connect(BSave, &QPushButton::clicked, this, &TFDlgFrequencyAnalysis::BSaveClick);
    connect(Average, &QCheckBox::toggled, this, &TFDlgFrequencyAnalysis::CalcSpectrum);
    connect(SineCalibrated, &QCheckBox::toggled, this, &TFDlgFrequencyAnalysis::CalcSpectrum);
    connect(Chart1, &LevelChart::Hovered, this, &TFDlgFrequencyAnalysis::ShowReadout);
    connect(Chart1, &LevelChart::HoverEnded, Readout, &QLabel::clear);
    // Every zoom, pan and change of axis replots.
    connect(Chart1, &QCustomPlot::beforeReplot, this, &TFDlgFrequencyAnalysis::ShowPeakIfInPlot);
}

TFDlgFrequencyAnalysis::~TFDlgFrequencyAnalysis() {
    Chart1->AfterDraw = nullptr;
    LineSeries1->data()->clear();
}

int TFDlgFrequencyAnalysis::FftLength() const {
    return zembrel::AnalyserFftLength(len->currentIndex());
}

void TFDlgFrequencyAnalysis::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // Each opening starts from "Left" with a fresh spectrum; returning to the dialog from
    // another application does not.
    if (!event->spontaneous()) {
        FormActivate();
    }
}

void TFDlgFrequencyAnalysis::FormActivate() {
    BClose->setFocus();
    ChannelSelGroup->SetItemIndex(0);
    CalcSpectrum();
}

void TFDlgFrequencyAnalysis::lenChange() {
    CalcSpectrum();
}

void TFDlgFrequencyAnalysis::winChange() {
    CalcSpectrum();
}

void TFDlgFrequencyAnalysis::ChannelSelGroupClick() {
    CalcSpectrum();
}

void TFDlgFrequencyAnalysis::faxisClick() {
    SetUpFrequencyAxis();
    MarkPeak(); // its text goes to the side with more room on the new axis
    Chart1->replot();
}

void TFDlgFrequencyAnalysis::BCloseClick() {
    close();
}

void TFDlgFrequencyAnalysis::CalcSpectrum() {
    const int n = FftLength();
    // The dialog is modal and nothing changes the signal while it is open, so the transform
    // reads the channel in place; it uses only the first N samples.
    const int channel = signal_->IsStereo() ? ChannelSelGroup->ItemIndex() : 0;
    std::vector<double> levels;
    if (Average->isChecked()) {
        zembrel::AveragedLevels averaged =
            zembrel::AverageChannelLevels(*signal_, n, win->currentIndex(), channel);
        blocks_ = averaged.Blocks;
        levels = std::move(averaged.Levels);
    } else {
        blocks_ = 1;
        levels = zembrel::ChannelLevels(*signal_, n, win->currentIndex(), channel);
    }
    if (SineCalibrated->isChecked()) {
        const double calibration = zembrel::SineCalibrationDb(win->currentIndex(), n);
        for (double& level : levels) {
            level += calibration;
        }
    }
    DrawSpectrum(n, levels.data());
    BlockCount->setText(BlockCountText(blocks_, n));
}

void TFDlgFrequencyAnalysis::MarkPeak() {
    if (levels_.empty()) {
        return;
    }
    const int peak = zembrel::PeakBin(levels_);
    const double f = zembrel::BinFrequency(signal_->SampleRate, length_, peak);
    // Not before: a tracer placed on a series without data warns that the graph has none.
    PeakMarker->setGraph(LineSeries1);
    PeakMarker->setGraphKey(f);
    // The text below the marker (the peak is often at the top), on the side with more room.
    const bool leftHalf =
        f < Chart1->xAxis->range().center() ||
        (Chart1->xAxis->scaleType() == QCPAxis::stLogarithmic &&
         f < std::sqrt(Chart1->xAxis->range().lower * Chart1->xAxis->range().upper));
    PeakLabel->position->setCoords(leftHalf ? 6 : -6, 6); // pixels from the marker
    PeakLabel->setPositionAlignment((leftHalf ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignTop);
    PeakLabel->setText(QStringLiteral("%1 Hz, %2 dB").arg(Hz(f), Db(levels_[peak])));
    peak_ = QPointF(f, levels_[peak]);
    ShowPeakIfInPlot();
}

void TFDlgFrequencyAnalysis::ShowPeakIfInPlot() {
    // Within the plot area, or on its edge (a 0 dB sine reads a hair above 0 dB): beyond it
    // the marker would be drawn on the axes and its text over the labels.
    const QRectF plot = QRectF(Chart1->axisRect()->rect()).adjusted(-1.0, -1.0, 1.0, 1.0);
    const QPointF at(Chart1->xAxis->coordToPixel(peak_.x()),
                     Chart1->yAxis->coordToPixel(peak_.y()));
    const bool inPlot =
        !levels_.empty() && Chart1->xAxis->range().contains(peak_.x()) && plot.contains(at);
    PeakMarker->setVisible(inPlot);
    PeakLabel->setVisible(inPlot);
}

void TFDlgFrequencyAnalysis::ShowReadout(const QPoint& pos) {
    if (levels_.empty() || !Chart1->axisRect()->rect().contains(pos)) {
        Readout->clear();
        return;
    }
    // At full view one pixel spans tens of bins: the highest of the bins whose frequency lies
    // in the pixel's span is read, so a peak is never passed over; zoomed in, where a pixel
    // is narrower than a bin, the bin nearest the pixel's centre.
    const double binWidth = zembrel::BinFrequency(signal_->SampleRate, length_, 1);
    const int last = static_cast<int>(levels_.size()) - 1;
    const auto binAt = [&](double x) {
        const double bins = Chart1->xAxis->pixelToCoord(x) / binWidth;
        return std::isfinite(bins) ? std::clamp(bins, 0.0, static_cast<double>(last)) : 0.0;
    };
    int bin = static_cast<int>(std::lround(binAt(pos.x())));
    const int first = static_cast<int>(std::ceil(binAt(pos.x() - 0.5)));
    const int end = static_cast<int>(std::ceil(binAt(pos.x() + 0.5)));
    for (int k = first; k < end; ++k) {
        if (levels_[k] > levels_[bin]) {
            bin = k;
        }
    }
    Readout->setText(
        QStringLiteral("Frequency: %1 Hz    Level: %2 dB")
            .arg(Hz(zembrel::BinFrequency(signal_->SampleRate, length_, bin)), Db(levels_[bin])));
}

QString TFDlgFrequencyAnalysis::SaveTo(const QString& fileName) {
    if (QFileInfo(fileName).suffix().compare(QLatin1String("csv"), Qt::CaseInsensitive) != 0) {
        if (!IsChartImageName(fileName)) {
            return QStringLiteral("the name must end in .csv, .png or .svg");
        }
        return SaveChartImage(Chart1, fileName);
    }
    return SaveTextFile(fileName,
                        zembrel::SpectrumRows(signal_->SampleRate, length_, levels_, ',', true));
}

void TFDlgFrequencyAnalysis::BSaveClick() {
    const QString title = QStringLiteral("Save Spectrum");
    const ExportName name = AskExportName(this, title,
                                          {QStringLiteral("CSV file of the levels (*.csv)"),
                                           QStringLiteral("PNG image of the chart (*.png)"),
                                           QStringLiteral("SVG image of the chart (*.svg)")});
    if (!name.FileName.isEmpty()) {
        ReportExportFailure(this, title, name.FileName, SaveTo(name.FileName));
    }
}

void TFDlgFrequencyAnalysis::DrawSpectrum(int n, const double* levels) {
    const int half = n / 2;
    // The series is replaced below, not emptied first: the axis set-up replots, and a replot
    // of an empty series with the marker on it warns that the graph has no data.
    Chart1->yAxis->setRange(-100.0, 0.0); // levels outside are clipped by the chart
    SetUpFrequencyAxis();

    QVector<QCPGraphData> points(half);
    for (int k = 0; k < half; ++k) {
        points[k] = QCPGraphData(zembrel::BinFrequency(signal_->SampleRate, n, k), levels[k]);
    }
    LineSeries1->data()->set(points, true);
    levels_.assign(levels, levels + half);
    length_ = n;
    MarkPeak();

    const bool right = signal_->IsStereo() && ChannelSelGroup->ItemIndex() == 1;
    LineSeries1->setPen(QPen(right ? QColor(0xFF, 0x00, 0x00) : QColor(0x00, 0x00, 0xFF)));
    if (!signal_->IsStereo()) {
        Chart1->yAxis->setLabel(QStringLiteral("Amplitude [dB]"));
    } else if (right) {
        Chart1->yAxis->setLabel(QStringLiteral("Amplitude Right Channel [dB]"));
    } else {
        Chart1->yAxis->setLabel(QStringLiteral("Amplitude Left Channel [dB]"));
    }
    Chart1->replot();
}

void TFDlgFrequencyAnalysis::SetUpFrequencyAxis() {
    QCPAxis* axis = Chart1->xAxis;
    QCPAxisRect* plot = Chart1->axisRect();
    const double nyquist = signal_->SampleRate / 2.0;
    if (faxis->ItemIndex() == 1) {
        axis->setScaleType(QCPAxis::stLogarithmic);
        // Labels 30000 Hz apart: below 60 kHz sample rate the axis carries none of its own and
        // the grid drawn after each paint labels it.
        auto ticker = QSharedPointer<QCPAxisTickerFixed>::create();
        ticker->setTickStep(kLogLabelIncrement);
        ticker->setScaleStrategy(QCPAxisTickerFixed::ssNone);
        axis->setTicker(ticker);
        axis->setSubTicks(false);
        // The grid's rows assume the axis at row 260 of the designed chart, its labels below
        // and room on the right for the last label; the axis title goes below the labels.
        const double sx = Chart1->width() / static_cast<double>(kChartWidth);
        const double sy = Chart1->height() / static_cast<double>(kChartHeight);
        plot->setAutoMargins(QCP::msLeft | QCP::msTop);
        QMargins margins = plot->margins();
        margins.setBottom(Chart1->height() - qRound(kShortLineBottom * sy));
        margins.setRight(qRound(kLogRightMargin * sx));
        plot->setMargins(margins);
        axis->setLabelPadding(qRound((kLongLineBottom - kShortLineBottom) * sy) +
                              QFontMetrics(GridFont()).height());
        Chart1->SetHomeRanges(QCPRange(kLowestLogFrequency, nyquist), Chart1->yAxis->range());
        Chart1->SetMouseInteraction(false);
    } else {
        axis->setScaleType(QCPAxis::stLinear);
        axis->setTicker(Chart1->FrequencyTicks()); // labels 0 ... fs/2, fs/2 included
        axis->setSubTicks(true);
        plot->setAutoMargins(QCP::msAll);
        axis->setLabelPadding(linearLabelPadding_);
        Chart1->SetHomeRanges(QCPRange(0.0, nyquist), Chart1->yAxis->range());
        Chart1->SetMouseInteraction(true);
    }
}

QFont TFDlgFrequencyAnalysis::GridFont() const {
    QFont font = Chart1->font();
    font.setPixelSize(11); // 8 points at 96 dpi
    return font;
}

void TFDlgFrequencyAnalysis::Chart1AfterDraw(QPainter& canvas) {
    if (faxis->ItemIndex() != 1) {
        return;
    }
    // The rows and shifts are those of the designed chart, scaled to the chart's size.
    const double sx = Chart1->width() / static_cast<double>(kChartWidth);
    const double sy = Chart1->height() / static_cast<double>(kChartHeight);
    const int top = qRound(kGridTop * sy);
    const int shortBottom = qRound(kShortLineBottom * sy);
    const int longBottom = qRound(kLongLineBottom * sy);

    QPen pen(QColor(0x80, 0x80, 0x80), 1, Qt::DotLine);
    pen.setCosmetic(true);
    canvas.setPen(pen);
    canvas.setBrush(Qt::NoBrush);
    canvas.setBackgroundMode(Qt::TransparentMode);
    canvas.setFont(GridFont());
    const int textHeight = canvas.fontMetrics().height();

    for (const GridLine& line : kLogGrid) {
        const int x = qRound(Chart1->xAxis->coordToPixel(line.frequency));
        const bool labelled = line.labelShift > 0;
        canvas.setPen(pen);
        canvas.drawLine(x, top, x, labelled ? longBottom : shortBottom);
        if (labelled) {
            const QString text = QString::number(static_cast<int>(line.frequency));
            const int left = x - qRound(line.labelShift * sx);
            canvas.setPen(Qt::black);
            canvas.drawText(QRect(left, longBottom, 4 * textHeight, textHeight),
                            Qt::AlignLeft | Qt::AlignTop, text);
        }
    }
}
