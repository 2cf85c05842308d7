// OK of the sine generator on the largest signal (180 s, 48 kHz, stereo): synthesis, scaling,
// the playback file and the redraw, until the window is idle again. Runs offscreen.
#include "bench/GuiBenchSupport.h"
#include "gui/generators/TFDlgSineGen.h"

#include <QLineEdit>

namespace {

void BM_SineOkOnLargestSignal(benchmark::State& state) {
    bench::RunDialogOk<TFDlgSineGen>(state, [](TFDlgSineGen& d) {
        d.frequ->setText("1000");
        d.ampl->setText("1");
        d.PhaseOffset->setText("90");
        d.BOKClick();
    });
}

BENCHMARK(BM_SineOkOnLargestSignal)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int main(int argc, char** argv) {
    return bench::RunGuiBenchmarks(argc, argv);
}
