// The analysis dialogs on the largest signal (180 s, 48 kHz, stereo, 16 bit), offscreen:
// a change of the FFT length to 65536 until the chart is drawn, a change of channel at that
// length, the average over the whole signal at 65536 (about 260 blocks per channel) until the
// chart is drawn, one mouse move over the chart with its readout, and the statistics dialog
// from construction (figures on display) and per channel switch.
#include "bench/BenchSupport.h"
#include "bench/GuiBenchSupport.h"
#include "gui/analysis/AnalyserRadioGroup.h"
#include "gui/analysis/LevelChart.h"
#include "gui/analysis/TFDlgFrequencyAnalysis.h"
#include "gui/analysis/TFDlgStatistics.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QRadioButton>
#include <QTest>
#include <QWindow>

namespace {

void BM_LengthChangeTo65536(benchmark::State& state) {
    TFDlgFrequencyAnalysis dialog(nullptr, &bench::LargestToneSignal());
    dialog.show();
    QApplication::processEvents();
    for (auto _ : state) {
        state.PauseTiming();
        dialog.len->setCurrentIndex(5);
        QApplication::processEvents();
        state.ResumeTiming();
        dialog.len->setCurrentIndex(6); // computes, fills and replots the chart
        QApplication::processEvents();  // paints it
    }
}
BENCHMARK(BM_LengthChangeTo65536)->Unit(benchmark::kMillisecond)->Iterations(20);

void BM_ChannelChangeAt65536(benchmark::State& state) {
    TFDlgFrequencyAnalysis dialog(nullptr, &bench::LargestToneSignal());
    dialog.show();
    dialog.len->setCurrentIndex(6);
    QApplication::processEvents();
    int channel = 0;
    for (auto _ : state) {
        channel = 1 - channel;
        dialog.ChannelSelGroup->Item(channel)->click();
        QApplication::processEvents();
    }
}
BENCHMARK(BM_ChannelChangeAt65536)->Unit(benchmark::kMillisecond)->Iterations(20);

void BM_AverageAt65536(benchmark::State& state) {
    TFDlgFrequencyAnalysis dialog(nullptr, &bench::LargestToneSignal());
    dialog.show();
    dialog.len->setCurrentIndex(6);
    QApplication::processEvents();
    for (auto _ : state) {
        state.PauseTiming();
        dialog.Average->setChecked(false);
        QApplication::processEvents();
        state.ResumeTiming();
        dialog.Average->setChecked(true); // averages, fills and replots the chart
        QApplication::processEvents();    // paints it
    }
    state.counters["blocks"] = dialog.Blocks();
}
BENCHMARK(BM_AverageAt65536)->Unit(benchmark::kMillisecond)->Iterations(10);

// One mouse move across the chart through the window system, readout included (no replot).
void BM_HoverReadout(benchmark::State& state) {
    TFDlgFrequencyAnalysis dialog(nullptr, &bench::LargestToneSignal());
    dialog.show();
    dialog.len->setCurrentIndex(6);
    QApplication::processEvents();
    const QRect plot = dialog.Chart1->axisRect()->rect();
    int x = plot.left();
    for (auto _ : state) {
        x = x + 7 > plot.right() ? plot.left() : x + 7;
        QTest::mouseMove(dialog.windowHandle(),
                         dialog.Chart1->mapTo(&dialog, QPoint(x, plot.center().y())));
        QApplication::processEvents();
    }
    if (dialog.Readout->text().isEmpty()) {
        state.SkipWithError("no readout");
    }
}
BENCHMARK(BM_HoverReadout)->Unit(benchmark::kMicrosecond)->Iterations(500);

void BM_StatisticsDialogOpens(benchmark::State& state) {
    for (auto _ : state) {
        TFDlgStatistics dialog(nullptr, &bench::LargestToneSignal());
        benchmark::DoNotOptimize(dialog.RMSValue);
    }
}
BENCHMARK(BM_StatisticsDialogOpens)->Unit(benchmark::kMillisecond)->Iterations(20);

void BM_StatisticsChannelSwitch(benchmark::State& state) {
    TFDlgStatistics dialog(nullptr, &bench::LargestToneSignal());
    dialog.show();
    QApplication::processEvents();
    int channel = 0;
    for (auto _ : state) {
        channel = 1 - channel;
        dialog.SelectChannel->Item(channel)->click();
        QApplication::processEvents();
    }
}
BENCHMARK(BM_StatisticsChannelSwitch)->Unit(benchmark::kMillisecond)->Iterations(20);

} // namespace

int main(int argc, char** argv) {
    return bench::RunGuiBenchmarks(argc, argv);
}
