// Soak: 1,000 start/cancel cycles of the pink-noise worker through its dialog, opened from the
// menu as a user does; each run is cancelled at its first progress report. Reports the growth
// of the resident memory from cycle 100 (after warm-up) to the last cycle. Outside the test run
// because of its length; run: build/bench/zembrel_bench_gui_noise_soak.

#include "bench/GuiBenchSupport.h"

#include "gui/app/DialogFactories.h"
#include "gui/generators/TFDlgPinkNoise.h"
#include "gui/generators/TFProcessState.h"

#include <QLineEdit>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

#include <fstream>
#include <string>

namespace {

double ResidentMiB() {
    std::ifstream status("/proc/self/status");
    std::string key;
    double kib = 0.0;
    while (status >> key) {
        if (key == "VmRSS:") {
            status >> kib;
            break;
        }
        status.ignore(1 << 12, '\n');
    }
    return kib / 1024.0;
}

// Presses Cancel of every progress window at its first report.
class CancelAtFirstReport : public QObject {
protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (auto* w = qobject_cast<TFProcessState*>(watched); w && event->type() == QEvent::Show) {
            connect(w->ProgressBar1, &QProgressBar::valueChanged, w, [w](int v) {
                if (v >= 1) {
                    w->Button1->click();
                }
            });
        }
        return false;
    }
};

void BM_PinkStartCancelCycles(benchmark::State& state) {
    QTemporaryDir temp;
    qputenv("TEMP", temp.path().toLocal8Bit());
    // Without a sound server the window starts with a message box; it is answered.
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            box->accept();
        }
    });
    answer.start(20);
    TMainform form(InstalledDialogs());
    form.show();
    CancelAtFirstReport cancel;
    qApp->installEventFilter(&cancel);
    const int cycles = static_cast<int>(state.range(0));
    double warm = 0.0;
    int aborted = 0;
    for (auto _ : state) {
        for (int i = 0; i < cycles; ++i) {
            QTimer::singleShot(0, [] {
                auto* d = qobject_cast<TFDlgPinkNoise*>(QApplication::activeModalWidget());
                if (d == nullptr) {
                    return;
                }
                d->f_start->setText("20");
                d->f_stop->setText("20000");
                d->step->setText("1");
                d->BOK->click();
            });
            form.PinkNoise->trigger(); // returns when the dialog has closed
            aborted += form.StatusText() == "Calculation abortet." ? 1 : 0;
            if (i == 99) {
                warm = ResidentMiB();
            }
        }
    }
    qApp->removeEventFilter(&cancel);
    const double last = ResidentMiB();
    state.counters["cycles_aborted"] = aborted;
    state.counters["rss_after_100_MiB"] = warm;
    state.counters["rss_at_end_MiB"] = last;
    state.counters["rss_growth_percent"] = 100.0 * (last - warm) / warm;
}

BENCHMARK(BM_PinkStartCancelCycles)->Arg(1000)->Iterations(1)->Unit(benchmark::kSecond);

} // namespace

int main(int argc, char** argv) {
    return bench::RunGuiBenchmarks(argc, argv);
}
