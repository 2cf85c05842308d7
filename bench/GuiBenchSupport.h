#pragma once

#include "core/signal/SignalBase.h"
#include "gui/app/TMainform.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDialog>
#include <QTemporaryDir>

#include <functional>

namespace bench {

// Runs the registered benchmarks in an offscreen application.
inline int RunGuiBenchmarks(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

// OK of a generator dialog on the largest signal (180 s, 48 kHz, stereo) of a shown main
// window: a fresh dialog per iteration, as the menu command opens it, filled and confirmed by
// enterAndOk; timed until the window is idle again.
template <class Dialog>
void RunDialogOk(benchmark::State& state, const std::function<void(Dialog&)>& enterAndOk) {
    QTemporaryDir temp;
    qputenv("TEMP", temp.path().toLocal8Bit());
    TMainform form;
    form.show();
    *form.Signal() = zembrel::SignalBase(48000.0, 180.0, 16, 32768, 2);
    QApplication::processEvents();
    for (auto _ : state) {
        form.Signal()->Clear();
        Dialog dialog(nullptr, form.TempFileName(), &form, form.Signal());
        enterAndOk(dialog);
        QApplication::processEvents();
        if (dialog.result() != QDialog::Accepted) {
            state.SkipWithError("the dialog refused its input");
        }
    }
}

} // namespace bench
