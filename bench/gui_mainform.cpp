// Response times of the main window's commands on the largest signal the parameter dialog
// allows: 180 s at 48000 Hz, stereo, 16 bit (8,640,000 samples per channel, a 34,560,044-byte
// WAV file). Each figure is one command from its start to the charts drawn again.
//
// Runs offscreen; playback is measured only when a sound server answers.

#include "gui/app/TMainform.h"
#include "gui/app/WaveformChart.h"

#include "core/signal/SignalBase.h"
#include "core/signal/WavFileWrite.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QFile>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>

#include <cmath>
#include <memory>

namespace {

QTemporaryDir* benchFolder = nullptr;

zembrel::SignalBase LargestSignal() {
    zembrel::SignalBase s(48000.0, 180.0, 16, 32768, 2);
    for (int i = 0; i < s.SampleCount; ++i) {
        const double t = i * s.SamplePeriod;
        s.Left[i] = std::trunc(20000.0 * std::sin(2.0 * M_PI * 997.0 * t));
        s.Right[i] = std::trunc(12000.0 * std::sin(2.0 * M_PI * 61.0 * t));
    }
    return s;
}

QString LargestFile() {
    static const QString name = [] {
        const QString path = benchFolder->filePath("largest.wav");
        zembrel::WavFileWrite(QFile::encodeName(path).toStdString(), ".wav", LargestSignal());
        return path;
    }();
    return name;
}

// Answers the start-up message of a machine without sound output.
void AcceptMessageBoxes() {
    auto* timer = new QTimer(qApp);
    QObject::connect(timer, &QTimer::timeout, [] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            box->accept();
        }
    });
    timer->start(20);
}

// A window whose menu items open no dialogs, so File New runs without the parameter display.
std::unique_ptr<TMainform> ShownForm() {
    auto form = std::make_unique<TMainform>(DialogFactories());
    form->resize(800, 600);
    form->show();
    QApplication::processEvents();
    return form;
}

// A shown window with the largest file opened, or nothing when no sound server answers.
std::unique_ptr<TMainform> ShownFormWithLargestOpen(benchmark::State& state) {
    auto form = ShownForm();
    if (form->SoundDevices() == 0) {
        state.SkipWithError("no sound server answers");
        return nullptr;
    }
    form->OpenDialog1 = [] { return LargestFile(); };
    form->Open1Click();
    return form;
}

void DrawCharts(TMainform& form) {
    form.Chart1->replot();
    form.Chart2->replot();
}

void BM_ShowSignalLargest(benchmark::State& state) {
    auto form = ShownForm();
    *form->Signal() = LargestSignal();
    form->ArrangeCharts();
    for (auto _ : state) {
        form->ShowSignal(form->Signal());
        DrawCharts(*form);
    }
    state.counters["points_per_chart"] = form->Chart1->PointCount();
}
BENCHMARK(BM_ShowSignalLargest)->Unit(benchmark::kMillisecond)->Iterations(10);

void BM_FileOpenLargest(benchmark::State& state) {
    const QString file = LargestFile();
    auto form = ShownForm();
    form->OpenDialog1 = [&] { return file; };
    for (auto _ : state) {
        form->Open1Click();
        DrawCharts(*form);
    }
    if (form->Signal()->SampleCount != 8640000 || form->GroupCaption() != file) {
        state.SkipWithError("the file was not opened");
    }
}
BENCHMARK(BM_FileOpenLargest)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_FileNewLargest(benchmark::State& state) {
    auto form = ShownForm();
    *form->Signal() = zembrel::SignalBase(48000.0, 180.0, 16, 32768, 2);
    form->ArrangeCharts();
    for (auto _ : state) {
        form->New1Click();
        DrawCharts(*form);
    }
}
BENCHMARK(BM_FileNewLargest)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_FileSaveLargest(benchmark::State& state) {
    auto form = ShownForm();
    *form->Signal() = LargestSignal();
    const QString target = benchFolder->filePath("saved.wav");
    form->SaveDialog1 = [&] { return target; };
    for (auto _ : state) {
        form->Save1Click();
    }
    if (form->StatusText() != "File saved.") {
        state.SkipWithError("the file was not saved");
    }
}
BENCHMARK(BM_FileSaveLargest)->Unit(benchmark::kMillisecond)->Iterations(5);

// The part of Play that holds up the window.
void BM_PlayLargest(benchmark::State& state) {
    auto form = ShownFormWithLargestOpen(state);
    if (!form) {
        return;
    }
    for (auto _ : state) {
        form->BPlayClick();
    }
    form->BStopPlayingClick();
}
BENCHMARK(BM_PlayLargest)->Unit(benchmark::kMillisecond)->Iterations(5);

// From the click on Play to the samples handed to the sound output; the window keeps serving
// events meanwhile, as the samples are read on a worker thread.
void BM_PlayLargestUntilSounding(benchmark::State& state) {
    auto form = ShownFormWithLargestOpen(state);
    if (!form) {
        return;
    }
    for (auto _ : state) {
        form->BPlayClick();
        while (!form->Sound().IsSounding()) {
            QApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
        }
    }
    form->BStopPlayingClick();
}
BENCHMARK(BM_PlayLargestUntilSounding)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_ExitWithLargest(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        auto form = ShownForm();
        form->OpenDialog1 = [] { return LargestFile(); };
        form->Open1Click();
        DrawCharts(*form);
        state.ResumeTiming();
        form->Exit1Click();
        form.reset();
    }
}
BENCHMARK(BM_ExitWithLargest)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QTemporaryDir folder;
    benchFolder = &folder;
    qputenv("TEMP", QFile::encodeName(folder.path()));
    QApplication app(argc, argv);
    AcceptMessageBoxes();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
