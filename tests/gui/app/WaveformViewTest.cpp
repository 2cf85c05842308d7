// The waveform view: what ShowSignal draws, the layout by channel count, zoom and scroll
// arithmetic of the buttons, and the mouse rules.

#include "tests/gui/app/MainformFixture.h"

#include "gui/app/WaveformChart.h"

#include "core/signal/SignalBase.h"

#include <QGroupBox>
#include <QMouseEvent>
#include <QPushButton>

namespace {

using guitest::Tone;
using zembrel::SignalBase;

constexpr double kEps = 1e-9;

void ExpectRange(const QCPRange& range, double lower, double upper) {
    EXPECT_NEAR(range.lower, lower, kEps);
    EXPECT_NEAR(range.upper, upper, kEps);
}

void Drag(WaveformChart* chart, QPoint from, QPoint to, Qt::MouseButton button) {
    auto send = [chart, button](QEvent::Type type, QPoint at, Qt::MouseButtons buttons) {
        QMouseEvent event(type, QPointF(at), QPointF(chart->mapToGlobal(at)), button, buttons,
                          Qt::NoModifier);
        QApplication::sendEvent(chart, &event);
    };
    send(QEvent::MouseButtonPress, from, button);
    send(QEvent::MouseMove, (from + to) / 2, button);
    send(QEvent::MouseMove, to, button);
    send(QEvent::MouseButtonRelease, to, Qt::NoButton);
}

class WaveformView : public MainformFixture {
protected:
    void SetUp() override {
        MainformFixture::SetUp();
        form->resize(800, 600);
        QApplication::processEvents();
    }
    // Lays the charts out for their current size, as a paint would, so pixel positions map
    // to axis values.
    void Layout() {
        form->Chart1->replot();
        form->Chart2->replot();
    }
};

TEST_F(WaveformView, EverySampleUpToTenSecondsAndEveryTenthAbove) {
    struct Case {
        double duration;
        int points;
        int step;
    };
    for (const Case& c : {Case{0.5, 2000, 1}, Case{10.0, 40000, 1}, Case{10.5, 4200, 10}}) {
        SCOPED_TRACE(c.duration);
        const SignalBase s = Tone(4000.0, c.duration, 2, 16, 3.0, 7.0, 20000.0);
        Commit(s);
        ASSERT_EQ(form->Chart1->PointCount(), c.points);
        ASSERT_EQ(form->Chart2->PointCount(), c.points);
        for (int k : {0, 1, c.points / 2, c.points - 1}) {
            const int i = k * c.step;
            const auto left = form->LineSeries1->data()->at(k);
            const auto right = form->LineSeries2->data()->at(k);
            EXPECT_NEAR(left->key, i * s.SamplePeriod, kEps);
            EXPECT_EQ(left->value, s.Left[i]);
            EXPECT_NEAR(right->key, i * s.SamplePeriod, kEps);
            EXPECT_EQ(right->value, s.Right[i]);
        }
        ExpectRange(form->Chart1->TimeRange(), 0.0, c.duration);
        ExpectRange(form->Chart2->TimeRange(), 0.0, c.duration);
    }
}

TEST_F(WaveformView, AmplitudeAxisShowsTheWholeRangeOfTheBitDepth) {
    Commit(SignalBase(8000.0, 0.5, 8, 128, 2));
    ExpectRange(form->Chart1->AmplitudeRange(), 0.0, 256.0);
    ExpectRange(form->Chart2->AmplitudeRange(), 0.0, 256.0);
    Commit(SignalBase(8000.0, 0.5, 16, 32768, 1));
    ExpectRange(form->Chart1->AmplitudeRange(), -32768.0, 32768.0);
}

TEST_F(WaveformView, ZoomButtonsWorkOnTheTimeAxisAroundTheCentre) {
    form->BZoomIn->click();
    ExpectRange(form->Chart1->TimeRange(), 0.25, 0.75);
    ExpectRange(form->Chart1->AmplitudeRange(), -32768.0, 32768.0);
    form->BZoomOut->click();
    ExpectRange(form->Chart1->TimeRange(), 0.125, 0.875); // not the former 0..1
    ExpectRange(form->Chart1->AmplitudeRange(), -32768.0, 32768.0);
    form->BZoomOutFull->click();
    ExpectRange(form->Chart1->TimeRange(), 0.0, 1.0);
    form->BZoomOut->click();
    ExpectRange(form->Chart1->TimeRange(), -0.25, 1.25);
    form->BZoomOutFull->click();
    form->BZoomOutFull->click(); // nothing to undo: stays
    ExpectRange(form->Chart1->TimeRange(), 0.0, 1.0);
}

TEST_F(WaveformView, UndoZoomReturnsToTheRangesOfTheFirstZoomEvenAfterANewSignal) {
    form->BZoomIn->click();
    form->BZoomIn->click();
    Commit(Tone(8000.0, 2.0, 1, 8, 10.0, 0.0, 100.0));
    ExpectRange(form->Chart1->TimeRange(), 0.0, 2.0);
    form->BZoomOutFull->click();
    ExpectRange(form->Chart1->TimeRange(), 0.0, 1.0);
    ExpectRange(form->Chart1->AmplitudeRange(), -32768.0, 32768.0); // saved with the 16-bit view
}

TEST_F(WaveformView, ScrollMovesByATenthWhilePointsLieBeyondTheEdge) {
    form->BScrollRight->click();
    ExpectRange(form->Chart1->TimeRange(), 0.0, 1.0); // last point inside: nothing
    form->BScrollLeft->click();
    ExpectRange(form->Chart1->TimeRange(), 0.0, 1.0); // first point at 0 is not before 0

    form->BZoomIn->click();
    form->BScrollRight->click();
    ExpectRange(form->Chart1->TimeRange(), 0.3, 0.8);
    form->BScrollLeft->click();
    ExpectRange(form->Chart1->TimeRange(), 0.25, 0.75);

    int steps = 0;
    for (; steps < 20; ++steps) {
        const QCPRange before = form->Chart1->TimeRange();
        form->BScrollRight->click();
        if (form->Chart1->TimeRange() == before) {
            break;
        }
    }
    // 0.75 -> 1.0 in five steps: the last one passes the last point (at 44099 / 44100 s).
    EXPECT_EQ(steps, 5);
    ExpectRange(form->Chart1->TimeRange(), 0.5, 1.0);
}

TEST_F(WaveformView, StereoButtonsActOnBothChartsEachOnItsOwnRange) {
    Commit(Tone(8000.0, 1.0, 2, 16, 3.0, 7.0, 20000.0));
    form->Chart2->SetTimeRange(0.0, 0.5);
    form->BZoomIn->click();
    ExpectRange(form->Chart1->TimeRange(), 0.25, 0.75);
    ExpectRange(form->Chart2->TimeRange(), 0.125, 0.375);
    form->BScrollRight->click();
    ExpectRange(form->Chart1->TimeRange(), 0.3, 0.8);
    ExpectRange(form->Chart2->TimeRange(), 0.15, 0.4);
    form->BZoomOutFull->click();
    ExpectRange(form->Chart1->TimeRange(), 0.0, 1.0);
    ExpectRange(form->Chart2->TimeRange(), 0.0, 0.5);
}

TEST_F(WaveformView, LayoutFollowsTheChannelCountAndTheWindowSize) {
    for (const QSize size : {QSize(800, 600), QSize(1000, 700)}) {
        form->resize(size);
        QApplication::processEvents();
        const int cw = form->centralWidget()->width();
        const int ch = form->centralWidget()->height();
        SCOPED_TRACE(QString("%1 x %2").arg(cw).arg(ch).toStdString());

        Commit(SignalBase(8000.0, 0.5, 16, 32768, 2));
        EXPECT_EQ(form->GroupBox1->geometry(), QRect(10, 20, cw - 20, ch - 110));
        const int half = (ch - 150) / 2;
        EXPECT_EQ(form->Chart1->geometry(), QRect(15, 30, cw - 50, half));
        EXPECT_EQ(form->Chart2->geometry(), QRect(15, half + 30, cw - 50, half));
        EXPECT_TRUE(form->Chart2->isVisible());
        EXPECT_EQ(form->Chart1->yAxis->label(), "Amplitude L");
        EXPECT_EQ(form->Chart2->yAxis->label(), "Amplitude R");
        EXPECT_EQ(form->Chart1->xAxis->label(), "Time [s]");
        EXPECT_EQ(form->Chart2->xAxis->label(), "Time [s]");
        EXPECT_EQ(form->GAudioControl->pos(), QPoint(10, 20 + ch - 110 + 10));
        EXPECT_EQ(form->GWaveformControl->pos(), QPoint(145, 20 + ch - 110 + 10));

        Commit(SignalBase(8000.0, 0.5, 16, 32768, 1));
        EXPECT_FALSE(form->Chart2->isVisible());
        EXPECT_EQ(form->Chart1->geometry(), QRect(15, 30, cw - 50, ch - 150));
        EXPECT_EQ(form->Chart1->yAxis->label(), "Amplitude");
        // The button groups stay fully inside the window.
        EXPECT_LE(form->GAudioControl->geometry().bottom(), ch);
        EXPECT_LE(form->GWaveformControl->geometry().bottom(), ch);
        EXPECT_LT(form->GAudioControl->geometry().right(), form->GWaveformControl->x());
    }
    // A resize alone re-arranges a stereo view.
    Commit(SignalBase(8000.0, 0.5, 16, 32768, 2));
    form->resize(900, 640);
    QApplication::processEvents();
    const int ch = form->centralWidget()->height();
    EXPECT_EQ(form->Chart2->y(), (ch - 150) / 2 + 30);
}

TEST_F(WaveformView, ButtonsCarryTheirHints) {
    const std::vector<std::pair<QPushButton*, QString>> hints = {
        {form->BPlay, "Play Sound"},
        {form->BPlayLoop, "Play Sound in Loop"},
        {form->BStopPlaying, "Stop Playing Sound"},
        {form->BZoomIn, "Zoom In (+25%)"},
        {form->BZoomOut, "Zoom Out (-25%)"},
        {form->BZoomOutFull, "Zoom Out Full"},
        {form->BScrollLeft, "Scroll left"},
        {form->BScrollRight, "Scroll right"}};
    for (const auto& [button, hint] : hints) {
        EXPECT_EQ(button->toolTip(), hint);
        EXPECT_TRUE(button->isVisible()) << hint.toStdString();
    }
    EXPECT_EQ(form->GAudioControl->title(), "Audio Control");
    EXPECT_EQ(form->GWaveformControl->title(), "Waveform Control");
    EXPECT_EQ(form->Chart1->toolTip(), "Waveform (zoom with mouse)");
    EXPECT_EQ(form->LineSeries1->name(), "LineSeries1");
}

TEST_F(WaveformView, MouseRectangleZoomsDownRightUndoesOtherwiseIgnoresSmallDrags) {
    Layout();
    WaveformChart* chart = form->Chart1;
    const QRect plot = chart->axisRect()->rect();
    const QPoint from = plot.topLeft() + QPoint(100, 50);
    const QPoint to = from + QPoint(200, 100);
    const double t0 = chart->xAxis->pixelToCoord(from.x());
    const double t1 = chart->xAxis->pixelToCoord(to.x());

    // Too small in one direction or both: nothing happens.
    for (const QPoint size : {QPoint(16, 100), QPoint(200, 16), QPoint(10, 10)}) {
        Drag(chart, from, from + size, Qt::LeftButton);
        ExpectRange(chart->TimeRange(), 0.0, 1.0);
    }
    Drag(chart, from, to, Qt::LeftButton);
    ExpectRange(chart->TimeRange(), t0, t1);
    ExpectRange(chart->AmplitudeRange(), -32768.0, 32768.0);
    EXPECT_GT(t0, 0.0);
    EXPECT_LT(t1, 1.0);

    // Any other direction of the same size undoes the zoom.
    for (const QPoint end :
         {from - QPoint(40, 40), from + QPoint(-40, 40), from + QPoint(40, -40)}) {
        Drag(chart, from, to, Qt::LeftButton);
        Drag(chart, from, end, Qt::LeftButton);
        ExpectRange(chart->TimeRange(), 0.0, 1.0);
    }
}

TEST_F(WaveformView, MouseZoomActsOnOneChartButResetsBothAmplitudes) {
    Commit(Tone(8000.0, 1.0, 2, 16, 3.0, 7.0, 20000.0));
    Layout();
    form->Chart1->SetAmplitudeRange(-5.0, 5.0);
    const QPoint from = form->Chart2->axisRect()->rect().topLeft() + QPoint(50, 10);
    Drag(form->Chart2, from, from + QPoint(100, 40), Qt::LeftButton);

    ExpectRange(form->Chart1->TimeRange(), 0.0, 1.0);
    EXPECT_GT(form->Chart2->TimeRange().lower, 0.0);
    EXPECT_LT(form->Chart2->TimeRange().upper, 1.0);
    ExpectRange(form->Chart1->AmplitudeRange(), -32768.0, 32768.0);
    ExpectRange(form->Chart2->AmplitudeRange(), -32768.0, 32768.0);
}

TEST_F(WaveformView, RightDragPansTheTimeAxisOnly) {
    Layout();
    WaveformChart* chart = form->Chart1;
    const QPoint from = chart->axisRect()->rect().center();
    const double shift =
        chart->xAxis->pixelToCoord(from.x()) - chart->xAxis->pixelToCoord(from.x() - 100);
    Drag(chart, from, from + QPoint(-100, 60), Qt::RightButton);
    ExpectRange(chart->TimeRange(), shift, 1.0 + shift);
    ExpectRange(chart->AmplitudeRange(), -32768.0, 32768.0);
    EXPECT_FALSE(chart->HasZoomToUndo()) << "panning is no zoom";
}

} // namespace
