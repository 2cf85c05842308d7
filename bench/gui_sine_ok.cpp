// OK of the sine generator on the largest signal (180 s, 48 kHz, stereo): synthesis, scaling,
// the playback file and the redraw, until the window is idle again. Runs offscreen.
#include "app/TMainform.h"
#include "generators/TFDlgSineGen.h"
#include "signal/SignalBase.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QLineEdit>
#include <QTemporaryDir>

namespace {

void BM_SineOkOnLargestSignal(benchmark::State& state) {
    QTemporaryDir temp;
    qputenv("TEMP", temp.path().toLocal8Bit());
    TMainform form;
    form.show();
    *form.Signal() = zembrel::SignalBase(48000.0, 180.0, 16, 32768, 2);
    QApplication::processEvents();
    for (auto _ : state) {
        form.Signal()->Clear();
        TFDlgSineGen dialog(nullptr, form.TempFileName(), &form, form.Signal());
        dialog.frequ->setText("1000");
        dialog.ampl->setText("1");
        dialog.PhaseOffset->setText("90");
        dialog.BOKClick();
        QApplication::processEvents();
    }
}

BENCHMARK(BM_SineOkOnLargestSignal)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
