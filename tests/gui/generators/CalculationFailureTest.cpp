// Exceptions never end the program: one that escapes a command is shown, one that ends a worker
// ends its calculation like a Cancel, with the reason.

#include "gui/generators/GeneratorDialog.h"
#include "gui/generators/WorkerThread.h"
#include "tests/gui/UserInput.h"
#include "tests/gui/app/MainformFixture.h"

#include "core/generators/FinishSignal.h"
#include "core/signal/SignalBase.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <algorithm>

#include <new>
#include <stdexcept>

namespace {

using zembrel::SignalBase;

// A worker whose calculation runs out of memory halfway.
class FailingWorker : public WorkerThread {
public:
    using WorkerThread::WorkerThread;

protected:
    void Work() override {
        *progress_ = 50;
        throw std::bad_alloc();
    }
};

// The smallest generator dialog with a worker: OK starts one, its end follows the contract.
class WorkerDialog : public GeneratorDialog {
public:
    using GeneratorDialog::GeneratorDialog;
    // An Import whose synthesis runs out of memory.
    void ImportOutOfMemory() {
        RunSynthesis([this] {
            signal_->Clear();
            throw std::bad_alloc();
        });
    }
    // OK of a dialog whose sum is a full-scale step.
    void CommitStep() {
        signal_->Mono.assign(signal_->Mono.size(), 1.0);
        Commit(0.0);
    }
    void Start() {
        StartCalculation(
            [this](TFProcessState* state) {
                return std::make_unique<FailingWorker>(&Progress, state);
            },
            false);
    }

protected:
    void DeleteThread() override {
        if (Progress == 100) {
            ReleaseWorker();
            Commit(0.0);
        } else {
            AbortCalculation();
        }
    }
};

class CalculationFailure : public MainformFixture {
protected:
    void CommitTone() {
        SignalBase tone = guitest::Tone(44100.0, 1.0, 1, 16, 440.0, 0.0, 9000.0);
        zembrel::FinishSignal(tone, -10.0);
        Commit(tone);
        before = tone;
    }
    SignalBase before;
};

TEST_F(CalculationFailure, AFailedWorkerOrImportRestoresTheSignalAndSaysWhy) {
    for (const bool import : {false, true}) {
        SCOPED_TRACE(import ? "import" : "worker");
        CommitTone();
        guitest::MessageBoxCatcher boxes;
        form->Signal()->Clear(); // as the menu does before a generator dialog
        WorkerDialog dialog(nullptr, form->TempFileName(), form.get(), form->Signal());
        dialog.show();
        import ? dialog.ImportOutOfMemory() : dialog.Start();
        ASSERT_TRUE(guitest::WaitUntilClosed(dialog));
        EXPECT_EQ(form->StatusText(),
                  "Calculation stopped: there is not enough memory for this calculation.");
        EXPECT_EQ(form->Signal()->Mono, before.Mono);
        ASSERT_EQ(boxes.Texts().size(), 1);
        EXPECT_TRUE(boxes.Texts()[0].contains("previous signal is restored"));
    }
}

// When the playback file can be neither read back nor written, the user reads one message that
// says so and what the signal is now, never "the previous signal is restored".
TEST_F(CalculationFailure, AFailedRestoreIsOneCoherentMessage) {
    for (const bool commit : {false, true}) {
        SCOPED_TRACE(commit ? "commit" : "worker");
        CommitTone();
        guitest::MessageBoxCatcher boxes;
        form->Signal()->Clear();
        WorkerDialog dialog(nullptr, form->TempFileName(), form.get(), form->Signal());
        dialog.show();
        // A folder in the file's place: it cannot be read, and no file can be renamed onto it.
        ASSERT_TRUE(QFile::remove(form->TempFileName()));
        ASSERT_TRUE(QDir().mkdir(form->TempFileName()));
        commit ? dialog.CommitStep() : dialog.Start();
        ASSERT_TRUE(guitest::WaitUntilClosed(dialog));
        ASSERT_TRUE(QDir().rmdir(form->TempFileName()));
        ASSERT_EQ(boxes.Texts().size(), 1);
        const QString text = boxes.Texts()[0];
        EXPECT_TRUE(text.contains("could not be restored")) << text.toStdString();
        EXPECT_TRUE(text.contains("now silent")) << text.toStdString();
        EXPECT_FALSE(text.contains("is restored") || text.contains("is kept"))
            << text.toStdString();
        const zembrel::SampleArray& silent = form->Signal()->Mono;
        EXPECT_EQ(silent.size(), before.Mono.size());
        EXPECT_TRUE(std::all_of(silent.begin(), silent.end(), [](double v) { return v == 0.0; }));
        EXPECT_EQ(guitest::LargestValue(form->LineSeries1), 0.0);
    }
}

// A command whose dialog cannot even be made: the error is shown, the cleared signal is back
// and the window takes the next command.
TEST_F(CalculationFailure, AnExceptionInACommandIsShownAndTheProgramGoesOn) {
    DialogFactories dialogs;
    dialogs.Sine = [](QString, TMainform*, SignalBase*) -> std::unique_ptr<QDialog> {
        throw std::runtime_error("no dialog today");
    };
    form->SetDialogs(dialogs);
    CommitTone();
    guitest::MessageBoxCatcher boxes;
    userinput::ChooseMenu("GS");
    ASSERT_TRUE(userinput::WaitUntil([&] { return !boxes.Texts().isEmpty(); }));
    EXPECT_TRUE(boxes.Texts()[0].contains("no dialog today")) << boxes.Texts()[0].toStdString();
    EXPECT_EQ(form->Signal()->Mono, before.Mono);
    EXPECT_TRUE(form->isVisible());
}

} // namespace
