// The waveform view of the main window: building the charts and button groups, drawing a
// signal, the layout by channel count, zooming and scrolling.

#include "gui/app/ButtonIcons.h"
#include "gui/app/SlotGuard.h"
#include "gui/app/TMainform.h"
#include "gui/app/WaveformChart.h"

#include "core/signal/SignalBase.h"

#include <QEvent>
#include <QFrame>
#include <QGroupBox>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>

using zembrel::SignalBase;

namespace {

// Geometry of the button groups below the charts, in pixels.
constexpr int kButtonWidth = 32;
constexpr int kButtonHeight = 28;
constexpr int kButtonGap = 4;
constexpr int kGroupPadding = 8;
constexpr int kGroupTitleHeight = 20;
constexpr int kGroupHeight = kGroupTitleHeight + kButtonHeight + kGroupPadding;

// Signals longer than this (s) are drawn with every tenth sample only.
constexpr double kEverySampleUpTo = 10.0;

QPushButton* AddButton(QGroupBox* group, int index, const QIcon& icon, const QString& hint) {
    auto* button = new QPushButton(group);
    button->setIcon(icon);
    button->setIconSize(QSize(20, 20));
    button->setToolTip(hint);
    button->setFocusPolicy(Qt::TabFocus);
    button->setGeometry(kGroupPadding + index * (kButtonWidth + kButtonGap), kGroupTitleHeight,
                        kButtonWidth, kButtonHeight);
    return button;
}

int GroupWidth(int buttons) {
    return 2 * kGroupPadding + buttons * kButtonWidth + (buttons - 1) * kButtonGap;
}

// The amplitude axis always shows the whole range of the bit depth, in file units.
QCPRange AmplitudeRangeOf(const SignalBase& signal) {
    return signal.Bits == 8 ? QCPRange(0.0, 256.0) : QCPRange(-32768.0, 32768.0);
}

} // namespace

void TMainform::BuildView() {
    client_ = new QWidget(this);
    setCentralWidget(client_);
    client_->installEventFilter(this);
    setMinimumSize(420, 320);

    StatusBar1 = statusBar();
    StatusBar1->setSizeGripEnabled(true);

    Bevel1 = new QFrame(client_);
    Bevel1->setFrameShape(QFrame::HLine);
    Bevel1->setFrameShadow(QFrame::Sunken);

    GroupBox1 = new QGroupBox(QStringLiteral("New Signal"), client_);
    Chart1 = new WaveformChart(GroupBox1);
    Chart2 = new WaveformChart(GroupBox1);
    Chart2->hide();
    LineSeries1 = Chart1->Series();
    LineSeries2 = Chart2->Series();
    connect(Chart1, &WaveformChart::Zoomed, this, &TMainform::ChartZoom);
    connect(Chart2, &WaveformChart::Zoomed, this, &TMainform::ChartZoom);
}

void TMainform::BuildButtons() {
    GAudioControl = new QGroupBox(QStringLiteral("Audio Control"), client_);
    GAudioControl->resize(GroupWidth(3), kGroupHeight);
    BPlay = AddButton(GAudioControl, 0, PlayIcon(), QStringLiteral("Play Sound"));
    BPlayLoop = AddButton(GAudioControl, 1, PlayLoopIcon(), QStringLiteral("Play Sound in Loop"));
    BStopPlaying = AddButton(GAudioControl, 2, StopIcon(), QStringLiteral("Stop Playing Sound"));
    ConnectGuarded(BPlay, &QPushButton::clicked, this, &TMainform::BPlayClick);
    ConnectGuarded(BPlayLoop, &QPushButton::clicked, this, &TMainform::BPlayLoopClick);
    ConnectGuarded(BStopPlaying, &QPushButton::clicked, this, &TMainform::BStopPlayingClick);

    GWaveformControl = new QGroupBox(QStringLiteral("Waveform Control"), client_);
    GWaveformControl->resize(GroupWidth(5), kGroupHeight);
    BZoomIn = AddButton(GWaveformControl, 0, ZoomInIcon(), QStringLiteral("Zoom In (+25%)"));
    BZoomOut = AddButton(GWaveformControl, 1, ZoomOutIcon(), QStringLiteral("Zoom Out (-25%)"));
    BZoomOutFull =
        AddButton(GWaveformControl, 2, ZoomOutFullIcon(), QStringLiteral("Zoom Out Full"));
    BScrollLeft = AddButton(GWaveformControl, 3, ScrollLeftIcon(), QStringLiteral("Scroll left"));
    BScrollRight =
        AddButton(GWaveformControl, 4, ScrollRightIcon(), QStringLiteral("Scroll right"));
    ConnectGuarded(BZoomIn, &QPushButton::clicked, this, &TMainform::BZoomInClick);
    ConnectGuarded(BZoomOut, &QPushButton::clicked, this, &TMainform::BZoomOutClick);
    ConnectGuarded(BZoomOutFull, &QPushButton::clicked, this, &TMainform::BZoomOutFullClick);
    ConnectGuarded(BScrollLeft, &QPushButton::clicked, this, &TMainform::BScrollLeftClick);
    ConnectGuarded(BScrollRight, &QPushButton::clicked, this, &TMainform::BScrollRightClick);

    Timer1 = new QTimer(this);
    connect(Timer1, &QTimer::timeout, this, &TMainform::Timer1Timer);
}

void TMainform::SetGroupCaption(const QString& caption) {
    GroupBox1->setTitle(caption);
}

QString TMainform::GroupCaption() const {
    return GroupBox1->title();
}

std::vector<WaveformChart*> TMainform::ShownCharts() const {
    switch (Signal()->Channels) {
    case 1:
        return {Chart1};
    case 2:
        return {Chart1, Chart2};
    default:
        return {};
    }
}

void TMainform::ShowSignal(const SignalBase* signal) {
    Chart1->ClearPoints();
    Chart2->ClearPoints();
    if (signal->Channels != 1 && signal->Channels != 2) {
        return;
    }
    const bool stereo = signal->Channels == 2;
    const QCPRange amplitude = AmplitudeRangeOf(*signal);
    const int step = signal->Duration <= kEverySampleUpTo ? 1 : 10;
    const int count = signal->SampleCount;
    Chart1->SetPoints(stereo ? signal->Left.data() : signal->Mono.data(), count,
                      signal->SamplePeriod, step);
    if (stereo) {
        Chart2->SetPoints(signal->Right.data(), count, signal->SamplePeriod, step);
    }
    for (WaveformChart* chart : stereo ? std::vector{Chart1, Chart2} : std::vector{Chart1}) {
        chart->SetAmplitudeRange(amplitude.lower, amplitude.upper);
        chart->SetTimeRange(0.0, signal->Duration);
    }
    Chart1->replot(QCustomPlot::rpQueuedReplot);
    Chart2->replot(QCustomPlot::rpQueuedReplot);
}

bool TMainform::eventFilter(QObject* watched, QEvent* event) {
    if (watched == client_ && event->type() == QEvent::Resize) {
        FormResize();
    }
    return QMainWindow::eventFilter(watched, event);
}

void TMainform::FormResize() {
    if (ready_) {
        ArrangeCharts();
    } else {
        PlaceChartsMono(client_->width(), client_->height());
        Chart2->hide();
    }
}

// Geometry shared by both layouts. The client area is the part of the window between the
// menu bar and the status bar.
void TMainform::PlaceChartsMono(int clientWidth, int clientHeight) {
    const int cw = clientWidth;
    const int ch = clientHeight;
    Bevel1->setGeometry(0, 0, cw, 2);
    GroupBox1->setGeometry(10, 20, cw - 20, ch - 110);
    Chart1->setGeometry(15, 30, cw - 50, ch - 150);
    const int buttonsTop = GroupBox1->y() + GroupBox1->height() + 10;
    GAudioControl->move(10, buttonsTop);
    GWaveformControl->move(145, buttonsTop);
}

void TMainform::ArrangeCharts() {
    const int cw = client_->width();
    const int ch = client_->height();
    switch (Signal()->Channels) {
    case 1:
        PlaceChartsMono(cw, ch);
        Chart2->hide();
        Chart1->yAxis->setLabel(QStringLiteral("Amplitude"));
        Chart1->xAxis->setLabel(QStringLiteral("Time [s]"));
        break;
    case 2: {
        PlaceChartsMono(cw, ch);
        const int half = (ch - 150) / 2;
        Chart1->resize(cw - 50, half);
        Chart1->yAxis->setLabel(QStringLiteral("Amplitude L"));
        Chart2->setGeometry(15, half + 30, cw - 50, half);
        Chart2->yAxis->setLabel(QStringLiteral("Amplitude R"));
        Chart2->show();
        break;
    }
    default:
        return;
    }
    Chart1->replot(QCustomPlot::rpQueuedReplot);
    Chart2->replot(QCustomPlot::rpQueuedReplot);
}

void TMainform::ChartZoom() {
    // Zooming acts on the time axis only: the amplitude axis returns to its full range.
    const QCPRange amplitude = AmplitudeRangeOf(*Signal());
    for (WaveformChart* chart : ShownCharts()) {
        chart->SetAmplitudeRange(amplitude.lower, amplitude.upper);
        chart->replot(QCustomPlot::rpQueuedReplot);
    }
}

void TMainform::BZoomInClick() {
    for (WaveformChart* chart : ShownCharts()) {
        chart->ZoomByPercent(125.0);
    }
}

void TMainform::BZoomOutClick() {
    for (WaveformChart* chart : ShownCharts()) {
        chart->ZoomByPercent(75.0);
    }
}

void TMainform::BZoomOutFullClick() {
    for (WaveformChart* chart : ShownCharts()) {
        chart->UndoZoom();
    }
}

void TMainform::BScrollLeftClick() {
    for (WaveformChart* chart : ShownCharts()) {
        chart->ScrollTime(-1);
    }
}

void TMainform::BScrollRightClick() {
    for (WaveformChart* chart : ShownCharts()) {
        chart->ScrollTime(+1);
    }
}
