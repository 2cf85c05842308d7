// The program driven as a user drives it: menus by their mnemonics, fields typed into,
// Return and Escape, and mouse clicks, all through the window system while the dialogs run
// their real exec().

#include "tests/gui/UserInput.h"
#include "tests/gui/app/MainformFixture.h"

#include "core/generators/FinishSignal.h"
#include "core/signal/SignalBase.h"
#include "gui/app/DialogFactories.h"
#include "gui/generators/TFProcessState.h"

#include "core/signal/WavFileRead.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSettings>

namespace {

using guitest::ReadBytes;
using zembrel::SignalBase;
using namespace userinput;

class DrivenByUser : public MainformFixture {
protected:
    void SetUp() override { MakeForm(InstalledDialogs()); }

    // A committed 440 Hz tone that every cancelled or refused command must leave in place.
    void CommitTone() {
        SignalBase tone = guitest::Tone(44100.0, 1.0, 1, 16, 440.0, 0.0, 9000.0);
        zembrel::FinishSignal(tone, -10.0); // whole numbers, as the playback file holds them
        Commit(tone);
        before_ = *form->Signal();
        fileBefore_ = ReadBytes(form->TempFileName());
        largestPlotted_ = guitest::LargestValue(form->LineSeries1);
    }
    void ExpectToneInMemoryViewAndFile() const {
        EXPECT_EQ(form->Signal()->Mono, before_.Mono);
        EXPECT_EQ(ReadBytes(form->TempFileName()), fileBefore_);
        EXPECT_EQ(form->Chart1->PointCount(), before_.SampleCount);
        EXPECT_EQ(guitest::LargestValue(form->LineSeries1), largestPlotted_);
    }

    template <class Widget> static Widget* Child(QWidget* dialog, const char* name) {
        auto* child = dialog->findChild<Widget*>(QString::fromLatin1(name));
        EXPECT_NE(child, nullptr) << name;
        return child;
    }

    static void Fill(QWidget* dialog,
                     const std::vector<std::pair<const char*, const char*>>& fields) {
        for (const auto& [name, text] : fields) {
            TypeInto(Child<QLineEdit>(dialog, name), text);
        }
    }

    ModalWatchdog watchdog{8000};
    SignalBase before_;
    QByteArray fileBefore_;
    double largestPlotted_ = 0.0;
};

// Presses Cancel of the progress window with the mouse as soon as the bar shows a percentage
// above 0. The click comes while the bar is updated, so the worker is still waiting in that
// report and has not finished behind the test's back, however fast it is.
class CancelAtFirstReport : public QObject {
public:
    CancelAtFirstReport() { qApp->installEventFilter(this); }
    ~CancelAtFirstReport() override { qApp->removeEventFilter(this); }
    bool clicked = false;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* window = qobject_cast<TFProcessState*>(watched);
        if (window != nullptr && event->type() == QEvent::Show && !clicked) {
            connect(window->ProgressBar1, &QProgressBar::valueChanged, this, [this, window](int v) {
                if (v >= 1 && !clicked) {
                    clicked = true;
                    Click(window->Button1);
                }
            });
        }
        return false;
    }
};

// Every dialog that computes on a worker: values typed, the run started by Return or by a
// button, Cancel of the progress window pressed with the mouse while the dialog waits modally.
struct WorkerJourney {
    const char* name;
    const char* menu; // mnemonic letters
    std::vector<std::pair<const char*, const char*>> fields;
    const char* startButton; // nullptr: Return
    bool importList = false;
};

void PrintTo(const WorkerJourney& j, std::ostream* os) {
    *os << j.name;
}

class WorkerJourneys : public DrivenByUser, public testing::WithParamInterface<WorkerJourney> {};

TEST_P(WorkerJourneys, CancelOfTheProgressWindowBringsThePreviousSignalBack) {
    const WorkerJourney& j = GetParam();
    CommitTone();
    const QString list = temp.Path() + "/long_band.txt";
    guitest::WriteBytes(list, "Level 0 dB\n1;1;20000;0.01;1\n2;100;200;1;1\n");

    CancelAtFirstReport cancel;
    OnNextModal([&](QWidget* dialog) {
        Fill(dialog, j.fields);
        if (j.importList) {
            OnNextModal([&](QWidget* fileDialog) {
                TypeInto(Child<QLineEdit>(fileDialog, "fileNameEdit"), list);
                Press(Qt::Key_Return);
            });
        }
        if (j.startButton) {
            Click(Child<QPushButton>(dialog, j.startButton));
        } else {
            Press(Qt::Key_Return);
        }
    });
    ChooseMenu(j.menu);
    ASSERT_TRUE(WaitUntil([] { return QApplication::activeModalWidget() == nullptr; }, 30000));

    EXPECT_TRUE(cancel.clicked);
    EXPECT_EQ(form->StatusText(), "Calculation abortet.");
    ExpectToneInMemoryViewAndFile();
}

const std::vector<std::pair<const char*, const char*>> kLongBand = {
    {"f_start", "1"}, {"f_stop", "20000"}, {"step", "0.01"}};

INSTANTIATE_TEST_SUITE_P(
    Dialogs, WorkerJourneys,
    testing::Values(WorkerJourney{"FunctionGenerator", "GFS", {{"frequ", "1"}}, nullptr},
                    WorkerJourney{"PinkNoise", "GNP", kLongBand, nullptr},
                    WorkerJourney{"WhiteNoiseOk", "GNW", kLongBand, nullptr},
                    WorkerJourney{
                        "WhiteNoiseAddBand",
                        "GNW",
                        {{"f_start", "1"}, {"f_stop", "20000"}, {"step", "0.01"}, {"ampl", "1"}},
                        "BAddBand"},
                    WorkerJourney{"WhiteNoiseImport", "GNW", {}, "BImport", true}),
    [](const testing::TestParamInfo<WorkerJourney>& info) { return info.param.name; });

// Return presses OK in the dialogs that compute at once; Escape is Cancel.
struct OkJourney {
    const char* name;
    const char* menu;
    std::vector<std::pair<const char*, const char*>> fields;
    double crossings; // rising zero crossings per second of the result, from the typed values
};

void PrintTo(const OkJourney& j, std::ostream* os) {
    *os << j.name;
}

class ReturnAndEscape : public DrivenByUser, public testing::WithParamInterface<OkJourney> {};

TEST_P(ReturnAndEscape, ReturnCommitsAndEscapeRestores) {
    const OkJourney& j = GetParam();
    CommitTone();
    form->SetStatusText("before");
    OnNextModal([&](QWidget* dialog) {
        Fill(dialog, j.fields);
        Press(Qt::Key_Escape);
    });
    ChooseMenu(j.menu);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_EQ(form->StatusText(), "before");
    ExpectToneInMemoryViewAndFile();

    OnNextModal([&](QWidget* dialog) {
        Fill(dialog, j.fields);
        Press(Qt::Key_Return);
    });
    ChooseMenu(j.menu);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_EQ(form->StatusText(), "Calculation finished.");
    const auto& mono = form->Signal()->Mono;
    EXPECT_NEAR(*std::max_element(mono.begin(), mono.end()), 32767.0, 2.0);
    std::vector<std::int16_t> samples;
    for (double v : mono) {
        samples.push_back(static_cast<std::int16_t>(v));
    }
    EXPECT_NEAR(guitest::Analyse(samples, 44100).frequency, j.crossings, 0.01 * j.crossings);
    EXPECT_EQ(ReadBytes(form->TempFileName()).size(), fileBefore_.size());
    EXPECT_NE(ReadBytes(form->TempFileName()), fileBefore_);
}

INSTANTIATE_TEST_SUITE_P(
    Dialogs, ReturnAndEscape,
    testing::Values(
        OkJourney{"Sine", "GS", {{"frequ", "1000"}, {"ampl", "1"}}, 1000.0},
        OkJourney{"AmplitudeModulation", "GFA", {{"carrier_f", "1000"}, {"mod_f", "100"}}, 1000.0},
        OkJourney{"FrequencyModulation", "GFM", {{"carrier_f", "1000"}, {"mod_f", "100"}}, 1000.0},
        // A linear sweep passes (100 + 1000) / 2 periods in its second.
        OkJourney{"FrequencySweep", "GFW", {{"start_f", "100"}, {"stop_f", "1000"}}, 550.0},
        OkJourney{"SineWithPnPhase", "GNS", {{"frequ", "1000"}, {"ampl", "1"}}, 1000.0}),
    [](const testing::TestParamInfo<OkJourney>& info) { return info.param.name; });

// Values typed into the editable lists are taken as typed, a value chosen from a list is taken
// too, and Return presses OK in both parameter dialogs.
TEST_F(DrivenByUser, SignalParametersTakeTypedValuesAndReturnPressesOk) {
    bool changeShown = false;
    OnNextModal([&](QWidget* show) {
        OnNextModal([&](QWidget* change) {
            changeShown = true;
            TypeInto(Child<QComboBox>(change, "frequ"), "3200");
            TypeInto(Child<QComboBox>(change, "len"), "12");
            Click(Child<QComboBox>(change, "CNumChan"));
            Press(Qt::Key_Down);
            Press(Qt::Key_Return);
            Press(Qt::Key_Return);
        });
        Click(Child<QPushButton>(show, "Button1"));
        EXPECT_EQ(Child<QLabel>(show, "fs")->text(), "3200.0");
        Press(Qt::Key_Return);
    });
    ChooseMenu("PS");
    EXPECT_TRUE(changeShown);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    const SignalBase& s = *form->Signal();
    EXPECT_EQ(s.SampleRate, 3200.0);
    EXPECT_EQ(s.Duration, 12.0);
    EXPECT_EQ(s.Channels, 2);
    EXPECT_EQ(form->StatusText(), "Parameters changed.");
}

// Under "Raw Data files (*.dat)" nothing is written, whatever the name.
TEST_F(DrivenByUser, SaveUnderTheRawDataFilterWritesNothing) {
    CommitTone();
    OnNextModal([&](QWidget* dialog) {
        auto* fileDialog = qobject_cast<QFileDialog*>(dialog);
        ASSERT_NE(fileDialog, nullptr);
        fileDialog->setDirectory(temp.Path());
        Click(Child<QComboBox>(dialog, "fileTypeCombo"));
        Press(Qt::Key_Down);
        Press(Qt::Key_Return);
        EXPECT_EQ(fileDialog->selectedNameFilter(), "Raw Data files (*.dat)");
        TypeInto(Child<QLineEdit>(dialog, "fileNameEdit"), "signal");
        Press(Qt::Key_Return);
    });
    Press(Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_EQ(form->StatusText(), "File not saved.");
    EXPECT_EQ(QDir(temp.Path()).entryList({"signal*"}, QDir::Files), QStringList());
}

// The file dialogs start in the home folder, then in the folder last used for that kind of
// file, also in the next run of the program.
TEST_F(DrivenByUser, FileDialogsOpenInTheFolderLastUsed) {
    QSettings().clear();
    QString opened;
    OnNextModal([&](QWidget* dialog) {
        opened = qobject_cast<QFileDialog*>(dialog)->directory().absolutePath();
        TypeInto(Child<QLineEdit>(dialog, "fileNameEdit"), temp.Path() + "/kept.wav");
        Press(Qt::Key_Return);
    });
    Press(Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(opened, QDir::homePath());
    EXPECT_EQ(form->StatusText(), "File saved.");

    form.reset(); // the next run
    MakeForm(InstalledDialogs());
    for (const char* menu : {"FO", "GS"}) { // Open, then the sine list's Import
        OnNextModal([&](QWidget* dialog) {
            if (auto* fileDialog = qobject_cast<QFileDialog*>(dialog)) {
                opened = fileDialog->directory().absolutePath();
                Press(Qt::Key_Escape);
                return;
            }
            OnNextModal([&](QWidget* fileDialog) {
                opened = qobject_cast<QFileDialog*>(fileDialog)->directory().absolutePath();
                Press(Qt::Key_Escape);
            });
            Click(Child<QPushButton>(dialog, "BImport"));
            Press(Qt::Key_Escape);
        });
        ChooseMenu(menu);
        // WAV files come from the folder used before; lists have a folder of their own.
        EXPECT_EQ(opened, QString(menu) == "FO" ? temp.Path() : QDir::homePath()) << menu;
    }
}

// A new signal whose playback file cannot be written is not taken: memory, view and file keep
// the previous one and the user is told. Holds for a generator and for a parameter change.
TEST_F(DrivenByUser, ASignalThatCannotBeWrittenLeavesThePreviousOne) {
    CommitTone();
    guitest::FileSizeLimit limit(64 * 1024); // below the 88 kB of one second at 44.1 kHz
    guitest::MessageBoxCatcher boxes;
    OnNextModal([&](QWidget* dialog) {
        Fill(dialog, {{"frequ", "1000"}, {"ampl", "1"}});
        Press(Qt::Key_Return);
    });
    ChooseMenu("GS");
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    ExpectToneInMemoryViewAndFile();

    OnNextModal([&](QWidget* show) {
        OnNextModal([&](QWidget* change) {
            TypeInto(Child<QComboBox>(change, "frequ"), "48000"); // 96 kB
            Press(Qt::Key_Return); // refused after a message; the dialog stays open
            EXPECT_TRUE(change->isVisible());
            Press(Qt::Key_Escape);
        });
        Click(Child<QPushButton>(show, "Button1"));
        Press(Qt::Key_Escape);
    });
    ChooseMenu("PS");
    ExpectToneInMemoryViewAndFile();
    EXPECT_NE(form->StatusText(), "Parameters changed.");
    ASSERT_EQ(boxes.Texts().size(), 2);
    for (const QString& text : boxes.Texts()) {
        EXPECT_TRUE(text.contains("could not be written")) << text.toStdString();
    }
}

// When the playback file cannot be read back on Cancel, the partial sums do not stay behind a
// view of the old waveform: the signal is silent in its format, shown so and written so.
TEST_F(DrivenByUser, AFailedRestoreLeavesAShownSilentSignal) {
    CommitTone();
    guitest::MessageBoxCatcher boxes;
    OnNextModal([&](QWidget* dialog) {
        Fill(dialog, {{"frequ", "1000"}, {"ampl", "1"}});
        Click(Child<QPushButton>(dialog, "BAddSine"));
        ASSERT_TRUE(QFile::remove(form->TempFileName()));
        Press(Qt::Key_Escape);
    });
    ChooseMenu("GS");
    const SignalBase& s = *form->Signal();
    EXPECT_EQ(s.SampleCount, before_.SampleCount);
    EXPECT_TRUE(std::all_of(s.Mono.begin(), s.Mono.end(), [](double v) { return v == 0.0; }));
    EXPECT_EQ(guitest::LargestValue(form->LineSeries1), 0.0);
    zembrel::WavFileRead file(form->TempFileName().toStdString());
    EXPECT_EQ(SignalBase(file).Mono, s.Mono);
    ASSERT_EQ(boxes.Texts().size(), 1);
    EXPECT_TRUE(boxes.Texts()[0].contains("silent")) << boxes.Texts()[0].toStdString();
}

// Logs each change of a widget's enabled state as "on" or "off"; lives as long as the widget.
class EnabledLog : public QObject {
public:
    EnabledLog(QWidget* widget, QStringList* states) : QObject(widget), states_(states) {
        widget->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::EnabledChange) {
            *states_ << (static_cast<QWidget*>(watched)->isEnabled() ? "on" : "off");
        }
        return false;
    }

private:
    QStringList* states_;
};

// While an imported list of bands is computed, the dialog's buttons come back only at the end,
// never between two bands.
TEST_F(DrivenByUser, ImportKeepsTheButtonsDisabledFromTheFirstBandToTheLast) {
    const QString list = temp.Path() + "/bands.txt";
    guitest::WriteBytes(list, "Level -3 dB\n1;100;200;1;1\n2;300;400;1;1\n3;500;600;1;1\n");
    QStringList okStates;
    OnNextModal([&](QWidget* dialog) {
        new EnabledLog(Child<QPushButton>(dialog, "BOK"), &okStates);
        OnNextModal([&](QWidget* fileDialog) {
            TypeInto(Child<QLineEdit>(fileDialog, "fileNameEdit"), list);
            Press(Qt::Key_Return);
        });
        Click(Child<QPushButton>(dialog, "BImport"));
    });
    ChooseMenu("GNW");
    EXPECT_EQ(form->StatusText(), "Calculation finished.");
    EXPECT_EQ(okStates, QStringList({"off", "on"}));
}

} // namespace
