// OK of the three modulation generators on the largest signal (180 s, 48 kHz, stereo):
// synthesis, scaling, the playback file and the redraw, until the window is idle again. Runs
// offscreen.
#include "bench/GuiBenchSupport.h"
#include "gui/generators/TFDlgAmplitudeModulationGen.h"
#include "gui/generators/TFDlgFrequencyModulationGen.h"
#include "gui/generators/TFDlgFrequencySweepGen.h"

#include <QComboBox>
#include <QLineEdit>

namespace {

void BM_AmplitudeModulationOk(benchmark::State& state) {
    bench::RunDialogOk<TFDlgAmplitudeModulationGen>(state, [](TFDlgAmplitudeModulationGen& d) {
        d.carrier_f->setText("1000");
        d.mod_f->setText("10");
        d.mod_index->setText("0.8");
        d.PhaseOffset->setText("90");
        d.BOKClick();
    });
}

void BM_FrequencyModulationOk(benchmark::State& state) {
    bench::RunDialogOk<TFDlgFrequencyModulationGen>(state, [](TFDlgFrequencyModulationGen& d) {
        d.carrier_f->setText("1000");
        d.mod_f->setText("10");
        d.mod_index->setText("5");
        d.BOkClick();
    });
}

void BM_FrequencySweepOk(benchmark::State& state) {
    const int characteristic = static_cast<int>(state.range(0));
    bench::RunDialogOk<TFDlgFrequencySweepGen>(state, [characteristic](TFDlgFrequencySweepGen& d) {
        d.start_f->setText("20");
        d.stop_f->setText("24000");
        d.type->setCurrentIndex(characteristic);
        d.Button2Click();
    });
}

BENCHMARK(BM_AmplitudeModulationOk)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_FrequencyModulationOk)->Unit(benchmark::kMillisecond)->Iterations(3);
// lin, exp, exp10 and bi-quad: the cheapest and the dearest shapes.
BENCHMARK(BM_FrequencySweepOk)
    ->Arg(0)
    ->Arg(1)
    ->Arg(2)
    ->Arg(5)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

} // namespace

int main(int argc, char** argv) {
    return bench::RunGuiBenchmarks(argc, argv);
}
