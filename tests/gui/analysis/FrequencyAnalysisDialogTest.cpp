#include "tests/gui/GuiTestSupport.h"

#include "gui/analysis/AnalyserRadioGroup.h"
#include "gui/analysis/LevelChart.h"
#include "gui/analysis/TFDlgFrequencyAnalysis.h"

#include "core/analysis/FFT.h"
#include "core/signal/SignalBase.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QImage>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <memory>
#include <set>
#include <vector>

using zembrel::SignalBase;

namespace {

// The frequency of the loudest plotted point.
double LoudestFrequency(const QCPGraph* series) {
    double best = -1e300, at = -1.0;
    for (auto it = series->data()->constBegin(); it != series->data()->constEnd(); ++it) {
        if (it->value > best) {
            best = it->value;
            at = it->key;
        }
    }
    return at;
}

std::vector<double> PlottedLevels(const QCPGraph* series) {
    std::vector<double> v;
    for (auto it = series->data()->constBegin(); it != series->data()->constEnd(); ++it) {
        v.push_back(it->value);
    }
    return v;
}

QColor PenColour(const QCPGraph* series) {
    return series->pen().color();
}

class FrequencyAnalysisDialog : public ::testing::Test {
protected:
    // Builds and shows the dialog on signal; showing runs the first calculation.
    TFDlgFrequencyAnalysis& Open(const SignalBase& s) {
        signal = s;
        dialog = std::make_unique<TFDlgFrequencyAnalysis>(nullptr, &signal);
        dialog->show();
        QApplication::processEvents();
        return *dialog;
    }

    void TearDown() override {
        if (dialog) {
            dialog->close();
        }
    }

    SignalBase signal;
    std::unique_ptr<TFDlgFrequencyAnalysis> dialog;
};

TEST_F(FrequencyAnalysisDialog, MonoSignalStartsFromTheDefaults) {
    auto& d = Open(guitest::Tone(44100.0, 1.0, 1, 16, 1000.0, 0.0, 16000.0));
    EXPECT_EQ(d.windowTitle(), "Frequency Analyser");
    EXPECT_EQ(d.len->currentText(), "32768");
    EXPECT_EQ(d.len->count(), 7);
    EXPECT_EQ(d.len->itemText(0), "1024");
    EXPECT_EQ(d.len->itemText(6), "65536");
    EXPECT_EQ(d.win->currentText(), "Blackman Harris");
    EXPECT_EQ(d.win->itemText(0), "Hanning");
    EXPECT_EQ(d.win->itemText(4), "Rectangular");
    EXPECT_EQ(d.faxis->title(), "Frequency Axis Settings");
    EXPECT_EQ(d.faxis->ItemIndex(), 0);
    EXPECT_EQ(d.faxis->Item(0)->text(), "linear");
    EXPECT_EQ(d.faxis->Item(1)->text(), "logarithmic");
    EXPECT_EQ(d.ChannelSelGroup->title(), "Select Channel");
    EXPECT_EQ(d.BClose->text(), "Close");

    // Mono: no channel choice, the plain title, a blue line.
    EXPECT_FALSE(d.ChannelSelGroup->isEnabled());
    EXPECT_EQ(d.ChannelSelGroup->ItemIndex(), 0);
    EXPECT_EQ(d.Chart1->yAxis->label(), "Amplitude [dB]");
    EXPECT_EQ(d.Chart1->xAxis->label(), "Frequency [Hz]");
    EXPECT_EQ(PenColour(d.LineSeries1), QColor(0, 0, 255));

    EXPECT_EQ(d.Chart1->xAxis->range(), QCPRange(0.0, 22050.0));
    EXPECT_EQ(d.Chart1->yAxis->range(), QCPRange(-100.0, 0.0));

    // N/2 points from 0 Hz in steps of fs/N; the Nyquist bin is not drawn.
    ASSERT_EQ(d.LineSeries1->data()->size(), 16384);
    EXPECT_EQ(d.LineSeries1->data()->constBegin()->key, 0.0);
    EXPECT_DOUBLE_EQ((d.LineSeries1->data()->constEnd() - 1)->key, 22050.0 - 44100.0 / 32768);
    EXPECT_NEAR(LoudestFrequency(d.LineSeries1), 1000.0, 44100.0 / 32768);
}

TEST_F(FrequencyAnalysisDialog, StereoChannelsHaveTheirOwnColourAndTitle) {
    auto& d = Open(guitest::Tone(44100.0, 1.0, 2, 16, 1000.0, 5000.0, 16000.0));
    EXPECT_TRUE(d.ChannelSelGroup->isEnabled());
    EXPECT_EQ(d.ChannelSelGroup->ItemIndex(), 0);
    EXPECT_EQ(d.Chart1->yAxis->label(), "Amplitude Left Channel [dB]");
    EXPECT_EQ(PenColour(d.LineSeries1), QColor(0, 0, 255));
    EXPECT_NEAR(LoudestFrequency(d.LineSeries1), 1000.0, 2.0);

    d.ChannelSelGroup->Item(1)->click();
    EXPECT_EQ(d.ChannelSelGroup->ItemIndex(), 1);
    EXPECT_EQ(d.Chart1->yAxis->label(), "Amplitude Right Channel [dB]");
    EXPECT_EQ(PenColour(d.LineSeries1), QColor(255, 0, 0));
    EXPECT_NEAR(LoudestFrequency(d.LineSeries1), 5000.0, 2.0);

    // Every showing starts again from the left channel.
    d.hide();
    d.show();
    QApplication::processEvents();
    EXPECT_EQ(d.ChannelSelGroup->ItemIndex(), 0);
    EXPECT_TRUE(d.ChannelSelGroup->Item(0)->isChecked());
    EXPECT_EQ(d.Chart1->yAxis->label(), "Amplitude Left Channel [dB]");
    EXPECT_NEAR(LoudestFrequency(d.LineSeries1), 1000.0, 2.0);
}

// The plotted levels are those of the transform of the chosen channel, length and window, for
// either bit depth and for channels shorter than the transform.
TEST_F(FrequencyAnalysisDialog, EveryChangeOfLengthWindowOrChannelRecomputes) {
    struct Case {
        const char* name;
        SignalBase s;
    };
    const Case cases[] = {
        {"stereo 16 bit", guitest::Tone(48000.0, 2.0, 2, 16, 440.0, 3000.0, 20000.0)},
        {"mono 8 bit", guitest::Tone(22050.0, 1.0, 1, 8, 700.0, 0.0, 100.0)},
        {"short, zero-padded", guitest::Tone(8000.0, 0.5, 2, 16, 300.0, 1200.0, 30000.0)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto& d = Open(c.s);
        for (int channel = 0; channel < (signal.IsStereo() ? 2 : 1); ++channel) {
            if (signal.IsStereo()) {
                d.ChannelSelGroup->Item(channel)->click();
            }
            const auto& samples =
                !signal.IsStereo() ? signal.Mono : (channel == 0 ? signal.Left : signal.Right);
            for (int lenIndex : {0, 3, 6}) {
                d.len->setCurrentIndex(lenIndex);
                for (int window : {zembrel::FFT::Hamming, zembrel::FFT::Rectangular}) {
                    d.win->setCurrentIndex(window);
                    const int n = 1024 << lenIndex;
                    ASSERT_EQ(d.FftLength(), n);
                    const zembrel::FFT expected(n, samples.data(), signal.SampleCount, signal.Bits,
                                                window, zembrel::FFT::LevelsDb);
                    const std::vector<double> want(expected.Levels().begin(),
                                                   expected.Levels().begin() + n / 2);
                    ASSERT_EQ(PlottedLevels(d.LineSeries1), want)
                        << "channel " << channel << " N " << n << " window " << window;
                    EXPECT_DOUBLE_EQ((d.LineSeries1->data()->constEnd() - 1)->key,
                                     signal.SampleRate / 2 - signal.SampleRate / n);
                }
            }
        }
        dialog.reset();
    }
}

TEST_F(FrequencyAnalysisDialog, FrequencyAxisSwitchesWithoutRecomputing) {
    auto& d = Open(guitest::Tone(44100.0, 1.0, 1, 16, 1000.0, 0.0, 16000.0));
    const auto before = PlottedLevels(d.LineSeries1);
    // Were the spectrum recomputed, this change would show.
    std::fill(signal.Mono.begin(), signal.Mono.end(), 0.0);

    d.faxis->Item(1)->click();
    EXPECT_EQ(d.faxis->ItemIndex(), 1);
    EXPECT_EQ(d.Chart1->xAxis->scaleType(), QCPAxis::stLogarithmic);
    EXPECT_EQ(d.Chart1->xAxis->range(), QCPRange(10.0, 22050.0));
    EXPECT_FALSE(d.Chart1->MouseInteraction());
    EXPECT_EQ(PlottedLevels(d.LineSeries1), before);

    d.faxis->Item(0)->click();
    EXPECT_EQ(d.Chart1->xAxis->scaleType(), QCPAxis::stLinear);
    EXPECT_EQ(d.Chart1->xAxis->range(), QCPRange(0.0, 22050.0));
    EXPECT_TRUE(d.Chart1->MouseInteraction());
    EXPECT_EQ(PlottedLevels(d.LineSeries1), before);

    // A recalculation keeps the chosen axis.
    d.faxis->Item(1)->click();
    d.len->setCurrentIndex(0);
    EXPECT_EQ(d.Chart1->xAxis->scaleType(), QCPAxis::stLogarithmic);
    EXPECT_EQ(d.Chart1->xAxis->range(), QCPRange(10.0, 22050.0));
    EXPECT_EQ(d.LineSeries1->data()->size(), 512);
}

// Columns of the chart that hold pixels of the grid's grey (RGB 808080) between rows `top`
// and `bottom`, from column `left` on.
std::set<int> GreyColumns(const QImage& image, int top, int bottom, int left = 0) {
    std::set<int> columns;
    for (int x = left; x < image.width(); ++x) {
        for (int y = top; y < bottom; ++y) {
            if (image.pixelColor(x, y) == QColor(0x80, 0x80, 0x80)) {
                columns.insert(x);
                break;
            }
        }
    }
    return columns;
}

TEST_F(FrequencyAnalysisDialog, LogarithmicAxisShowsTheFixedGrid) {
    auto& d = Open(guitest::Tone(44100.0, 1.0, 1, 16, 1000.0, 0.0, 16000.0));
    // Inside the axis rectangle the series is blue and the chart's own grid a lighter grey, so
    // the grid's colour appears only where the logarithmic grid is drawn.
    const int plotLeft = d.Chart1->axisRect()->left() + 1;
    EXPECT_TRUE(GreyColumns(d.Chart1->grab().toImage(), 10, 240, plotLeft).empty());

    d.faxis->Item(1)->click();
    const QImage log = d.Chart1->grab().toImage();
    ASSERT_EQ(log.size(),
              QSize(TFDlgFrequencyAnalysis::kChartWidth, TFDlgFrequencyAnalysis::kChartHeight));
    const auto columns = GreyColumns(log, 10, 240, plotLeft);
    EXPECT_EQ(columns.size(), 28u);
    for (double f : {20.0, 100.0, 1000.0, 20000.0}) {
        const int x = qRound(d.Chart1->xAxis->coordToPixel(f));
        EXPECT_TRUE(columns.count(x)) << f << " Hz at x = " << x;
    }
    // Labelled lines reach further down than the others.
    const int x1000 = qRound(d.Chart1->xAxis->coordToPixel(1000.0));
    const int x3000 = qRound(d.Chart1->xAxis->coordToPixel(3000.0));
    EXPECT_TRUE(GreyColumns(log.copy(x1000, 0, 1, 300), 261, 266).size() == 1);
    EXPECT_TRUE(GreyColumns(log.copy(x3000, 0, 1, 300), 261, 266).empty());
    // The label "20" starts 5 pixels left of its line, below it; the axis has no labels of
    // its own there.
    const int x20 = qRound(d.Chart1->xAxis->coordToPixel(20.0));
    bool dark = false;
    for (int x = x20 - 5; x < x20 + 10; ++x) {
        for (int y = 266; y < 280; ++y) {
            dark = dark || qGray(log.pixel(x, y)) < 100;
        }
    }
    EXPECT_TRUE(dark);

    d.faxis->Item(0)->click();
    EXPECT_TRUE(GreyColumns(d.Chart1->grab().toImage(), 10, 240, plotLeft).empty());
}

TEST_F(FrequencyAnalysisDialog, MouseZoomAndPanningOnlyOnTheLinearAxis) {
    auto& d = Open(guitest::Tone(44100.0, 1.0, 1, 16, 1000.0, 0.0, 16000.0));
    QWidget* chart = d.Chart1;
    const QCPRange x0 = d.Chart1->xAxis->range();
    const QCPRange y0 = d.Chart1->yAxis->range();
    auto drag = [&](Qt::MouseButton button, QPoint from, QPoint to) {
        QTest::mousePress(chart, button, {}, from);
        QTest::mouseMove(chart, (from + to) / 2);
        QTest::mouseMove(chart, to);
        QTest::mouseRelease(chart, button, {}, to);
        QApplication::processEvents();
    };

    // Down and right: zoom to the rectangle on both axes.
    drag(Qt::LeftButton, QPoint(150, 50), QPoint(300, 150));
    const QCPRange zx = d.Chart1->xAxis->range();
    const QCPRange zy = d.Chart1->yAxis->range();
    EXPECT_GT(zx.lower, x0.lower);
    EXPECT_LT(zx.upper, x0.upper);
    EXPECT_GT(zy.lower, y0.lower);
    EXPECT_LT(zy.upper, y0.upper);
    // The peak at 1 kHz lies left of the zoomed area: no marker on the axes.
    EXPECT_FALSE(d.PeakMarker->visible() || d.PeakLabel->visible());

    // Right button: both axes follow the mouse.
    drag(Qt::RightButton, QPoint(200, 100), QPoint(250, 130));
    EXPECT_LT(d.Chart1->xAxis->range().lower, zx.lower);
    EXPECT_GT(d.Chart1->yAxis->range().lower, zy.lower);
    EXPECT_NEAR(d.Chart1->xAxis->range().size(), zx.size(), 1e-6 * zx.size());

    // Up and left: back to the ranges before the zoom.
    drag(Qt::LeftButton, QPoint(300, 150), QPoint(150, 50));
    EXPECT_EQ(d.Chart1->xAxis->range(), x0);
    EXPECT_EQ(d.Chart1->yAxis->range(), y0);
    EXPECT_TRUE(d.PeakMarker->visible() && d.PeakLabel->visible());

    // A small drag does nothing.
    drag(Qt::LeftButton, QPoint(150, 50), QPoint(160, 200));
    EXPECT_EQ(d.Chart1->xAxis->range(), x0);

    // Logarithmic: neither zoom nor panning.
    d.faxis->Item(1)->click();
    const QCPRange lx = d.Chart1->xAxis->range();
    drag(Qt::LeftButton, QPoint(150, 50), QPoint(300, 150));
    drag(Qt::RightButton, QPoint(200, 100), QPoint(250, 130));
    EXPECT_EQ(d.Chart1->xAxis->range(), lx);
    EXPECT_EQ(d.Chart1->yAxis->range(), y0);
}

TEST_F(FrequencyAnalysisDialog, CloseButtonClosesAndTheDialogOnlyReads) {
    const SignalBase original = guitest::Tone(44100.0, 1.0, 2, 16, 1000.0, 200.0, 16000.0);
    auto& d = Open(original);
    d.ChannelSelGroup->Item(1)->click();
    d.len->setCurrentIndex(6);
    d.win->setCurrentIndex(4);
    d.faxis->Item(1)->click();
    EXPECT_TRUE(d.isVisible());
    d.BClose->click();
    EXPECT_FALSE(d.isVisible());
    EXPECT_EQ(signal.Left, original.Left);
    EXPECT_EQ(signal.Right, original.Right);
}

} // namespace
