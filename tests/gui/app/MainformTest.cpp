// The main window's start-up state, menu, About box, dialog hand-over and the life cycle of
// the temporary playback file.

#include "tests/gui/app/MainformFixture.h"

#include "tests/gui/UserInput.h"

#include "gui/app/UserGuideWindow.h"
#include "gui/app/WaveformChart.h"

#include "core/signal/SignalBase.h"

#include <QAction>
#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPixmap>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <QUrl>

#include <sys/stat.h>

namespace {

using zembrel::SignalBase;

// The caption as the menu shows it: the & that marks the mnemonic is not part of it.
QString Shown(const QAction* action) {
    return QString(action->text()).remove(QLatin1Char('&'));
}

QStringList Captions(const QMenu* menu) {
    QStringList captions;
    for (const QAction* action : menu->actions()) {
        captions << (action->isSeparator() ? QStringLiteral("-") : Shown(action));
    }
    return captions;
}

using MainformStartup = MainformFixture;

TEST_F(MainformStartup, WindowShowsTheSilentStartupSignal) {
    EXPECT_EQ(form->windowTitle(), "Zembrel V1.74");
    EXPECT_EQ(form->size(), QSize(800, 600));
    EXPECT_TRUE(form->Ready());
    EXPECT_EQ(form->GroupCaption(), "New Signal");
    EXPECT_EQ(form->StatusText(), "");
    EXPECT_FALSE(form->Timer1->isActive());

    const SignalBase& s = *form->Signal();
    EXPECT_EQ(s.SampleRate, 44100.0);
    EXPECT_EQ(s.Duration, 1.0);
    EXPECT_EQ(s.Channels, 1);
    EXPECT_EQ(s.Bits, 16);
    EXPECT_EQ(s.NormValue, 32768);
    ASSERT_EQ(s.SampleCount, 44100);
    EXPECT_EQ(*std::max_element(s.Mono.begin(), s.Mono.end()), 0.0);
    EXPECT_EQ(*std::min_element(s.Mono.begin(), s.Mono.end()), 0.0);

    EXPECT_EQ(form->Chart1->PointCount(), 44100);
    EXPECT_TRUE(form->Chart1->isVisible());
    EXPECT_FALSE(form->Chart2->isVisible());
    EXPECT_EQ(form->AppDirectory(), QCoreApplication::applicationDirPath());
}

TEST_F(MainformStartup, PlaybackFileLivesInAPrivateFolderInsideTemp) {
    const QFileInfo file(form->TempFileName());
    EXPECT_EQ(file.fileName(), "$$zembrel$$.wav");
    const QFileInfo folder(file.absolutePath());
    EXPECT_EQ(QFileInfo(folder.absolutePath()).canonicalFilePath(),
              QFileInfo(temp.Path()).canonicalFilePath());
    struct stat st = {};
    ASSERT_EQ(::stat(QFile::encodeName(folder.absoluteFilePath()).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u) << "the folder must be the owner's alone";

    // The start-up signal as a canonical 16-bit mono file of 1.0 s.
    const QByteArray bytes = guitest::ReadBytes(form->TempFileName());
    EXPECT_EQ(bytes.size(), 88244);
    EXPECT_TRUE(bytes.startsWith("RIFF"));
}

TEST(MainformLifeCycle, EachWindowHasItsOwnFolderAndRemovesItAtTheEnd) {
    guitest::ScopedTempEnv temp;
    guitest::MessageBoxCatcher startupMessages; // when no sound server runs
    auto first = std::make_unique<TMainform>();
    auto second = std::make_unique<TMainform>();
    const QString firstFolder = QFileInfo(first->TempFileName()).absolutePath();
    const QString secondFolder = QFileInfo(second->TempFileName()).absolutePath();
    EXPECT_NE(firstFolder, secondFolder);
    EXPECT_TRUE(QFileInfo::exists(first->TempFileName()));
    EXPECT_TRUE(QFileInfo::exists(second->TempFileName()));

    first.reset();
    EXPECT_FALSE(QFileInfo::exists(firstFolder));
    EXPECT_TRUE(QFileInfo::exists(second->TempFileName())) << "the other copy's file survives";
    second.reset();
    EXPECT_FALSE(QFileInfo::exists(secondFolder));
    EXPECT_TRUE(QDir(temp.Path()).isEmpty());
}

TEST(MainformLifeCycle, WithoutUsableTempTheSystemTemporaryFolderIsUsed) {
    for (const QByteArray& value : {QByteArray(), QByteArray("/nonexistent/zembrel-temp")}) {
        SCOPED_TRACE(value.toStdString());
        guitest::ScopedTempEnv restore;
        if (value.isEmpty()) {
            qunsetenv("TEMP");
        } else {
            qputenv("TEMP", value);
        }
        guitest::MessageBoxCatcher startupMessage;
        TMainform form;
        const QFileInfo folder(QFileInfo(form.TempFileName()).absolutePath());
        EXPECT_EQ(QFileInfo(folder.absolutePath()).canonicalFilePath(),
                  QFileInfo(QDir::tempPath()).canonicalFilePath());
        EXPECT_TRUE(QFileInfo::exists(form.TempFileName()));
    }
}

TEST(MainformLifeCycle, RelativeTempMeansTheFolderTheProgramStartedIn) {
    guitest::ScopedTempEnv restore;
    QTemporaryDir start;
    const QString before = QDir::currentPath();
    QDir::setCurrent(start.path());
    qputenv("TEMP", "relative-temp");
    ASSERT_TRUE(QDir(start.path()).mkdir("relative-temp"));
    {
        guitest::MessageBoxCatcher startupMessage;
        TMainform form; // moves the working folder to the program's folder
        EXPECT_TRUE(QFileInfo(form.TempFileName()).isAbsolute());
        EXPECT_TRUE(form.TempFileName().startsWith(start.path() + "/relative-temp/"));
        EXPECT_TRUE(QFileInfo::exists(form.TempFileName()));
    }
    EXPECT_TRUE(QDir(start.path() + "/relative-temp").isEmpty());
    QDir::setCurrent(before);
}

TEST(MainformLifeCycle, ExitClosesTheWindowAndTheFolderGoesWithIt) {
    guitest::ScopedTempEnv temp;
    guitest::MessageBoxCatcher startupMessage;
    auto form = std::make_unique<TMainform>();
    form->show();
    const QString folder = QFileInfo(form->TempFileName()).absolutePath();
    form->Exit1->trigger();
    EXPECT_FALSE(form->isVisible());
    EXPECT_FALSE(form->Ready());
    form.reset();
    EXPECT_FALSE(QFileInfo::exists(folder));
}

TEST_F(MainformStartup, MenuCarriesEveryItemWithItsCaption) {
    const QList<QAction*> top = form->menuBar()->actions();
    QStringList titles;
    for (const QAction* a : top) {
        titles << Shown(a);
    }
    EXPECT_EQ(titles, QStringList({"File", "Generator", "Analyser", "Parameters", "Info"}));

    EXPECT_EQ(Captions(form->File1), QStringList({"New", "Open...", "Save...", "-", "Exit"}));
    EXPECT_EQ(Captions(form->Generator1),
              QStringList({"Sine...", "Function", "Noise", "Test Tones"}));
    EXPECT_EQ(
        Captions(form->Function),
        QStringList({"Square / Triangle / Sawtooth...", "Amplitude Modulation...",
                     "Frequency Modulation...", "Frequency Sweep...", "Synchronized Sweep..."}));
    EXPECT_EQ(Captions(form->Noise),
              QStringList({"Sine with pn-phase...", "White Noise...", "Pink Noise..."}));
    EXPECT_EQ(Captions(form->TestTones),
              QStringList({"AES17 997 Hz...", "Twin Tone (IMD)...", "Multitone..."}));
    EXPECT_EQ(Captions(form->Analyser1),
              QStringList({"Frequency...", "Statistics...", "Distortion...", "Sweep Response..."}));
    EXPECT_EQ(Captions(form->Parameters1), QStringList({"Signal Parameters..."}));
    EXPECT_EQ(Captions(form->Info1), QStringList({"About Zembrel...", "User Guide"}));

    EXPECT_EQ(form->New1->shortcut(), QKeySequence("Ctrl+N"));
    EXPECT_EQ(form->Open1->shortcut(), QKeySequence("Ctrl+O"));
    EXPECT_EQ(form->Save1->shortcut(), QKeySequence("Ctrl+S"));
    EXPECT_EQ(form->Exit1->shortcut(), QKeySequence("Ctrl+Q"));
}

TEST_F(MainformStartup, ItemsAreEnabledExactlyWhenTheirDialogExists) {
    const std::vector<QAction*> dialogItems = {form->Sine,
                                               form->FunctionGen,
                                               form->AmplitudeModulation,
                                               form->FrequencyModulation,
                                               form->FrequencySweep,
                                               form->SynchronizedSweep,
                                               form->Sinepnphase,
                                               form->BandNoise,
                                               form->PinkNoise,
                                               form->Frequency1,
                                               form->Statistics1,
                                               form->Distortion1,
                                               form->Aes17Tone,
                                               form->TwinTone,
                                               form->Multitone,
                                               form->SweepResponse1,
                                               form->ShowParameters1};
    DialogFactories none;
    form->SetDialogs(none);
    for (QAction* item : dialogItems) {
        EXPECT_FALSE(item->isEnabled()) << item->text().toStdString();
    }
    DialogFactories some;
    some.PinkNoise = [](QString, TMainform*, SignalBase*) { return std::make_unique<QDialog>(); };
    some.Statistics1 = [](SignalBase*) { return std::make_unique<QDialog>(); };
    form->SetDialogs(some);
    for (QAction* item : dialogItems) {
        const bool expected = item == form->PinkNoise || item == form->Statistics1;
        EXPECT_EQ(item->isEnabled(), expected) << item->text().toStdString();
    }
    for (QAction* item : {form->New1, form->Open1, form->Save1, form->Exit1, form->AboutZembrel1}) {
        EXPECT_TRUE(item->isEnabled()) << item->text().toStdString();
    }
}

TEST_F(MainformStartup, AboutBoxNamesTheProgramAndVersion) {
    QString text;
    bool modal = false;
    guitest::AnswerNextModal([&](QWidget* box) {
        modal = box->isModal();
        for (const QLabel* label : box->findChildren<QLabel*>()) {
            text += label->text() + "\n";
        }
        static_cast<QDialog*>(box)->accept();
    });
    form->AboutZembrel1->trigger();
    EXPECT_TRUE(modal);
    EXPECT_TRUE(text.contains("Zembrel")) << text.toStdString();
    EXPECT_TRUE(text.contains("1.74")) << text.toStdString();
}

// From the build, the guide of the source tree: its text, its tables and its pictures.
TEST_F(MainformStartup, UserGuideOpensBesideTheMainWindowOnce) {
    userinput::ChooseMenu("IU");
    userinput::VisitAnotherProgram(form.get()); // back to the main window, and again
    userinput::ChooseMenu("IU");
    const QList<UserGuideWindow*> windows = form->findChildren<UserGuideWindow*>();
    ASSERT_EQ(windows.size(), 1);
    const UserGuideWindow& guide = *windows[0];
    EXPECT_TRUE(guide.isVisible());
    EXPECT_FALSE(guide.isModal());
    EXPECT_EQ(guide.Text->source(), QUrl::fromLocalFile(UserGuideWindow::FindGuide()));
    EXPECT_TRUE(guide.Text->toPlainText().startsWith("Zembrel user guide"));
    const QVariant picture = guide.Text->document()->resource(QTextDocument::ImageResource,
                                                              QUrl("images/frequency-sweep.png"));
    EXPECT_FALSE(picture.value<QImage>().isNull() && picture.value<QPixmap>().isNull());
}

// A stand-in for a generator dialog: notes what it was given and what it found.
struct DialogProbe {
    int constructed = 0;
    int destroyed = 0;
    bool shownModally = false;
    QString tempFileName;
    TMainform* mainform = nullptr;
    SignalBase* signal = nullptr;
    double peakSeen = -1.0;
};

class ProbeDialog : public QDialog {
public:
    explicit ProbeDialog(DialogProbe& probe) : probe_(probe) {
        ++probe_.constructed;
        QTimer::singleShot(0, this, [this] {
            probe_.shownModally = isVisible() && QApplication::activeModalWidget() == this;
            reject();
        });
    }
    ~ProbeDialog() override { ++probe_.destroyed; }

private:
    DialogProbe& probe_;
};

double PeakOf(const SignalBase& s) {
    double peak = 0.0;
    for (const auto* channel : s.ChannelArrays()) {
        for (double v : *channel) {
            peak = std::max(peak, std::abs(v));
        }
    }
    return peak;
}

TEST_F(MainformStartup, GeneratorItemClearsTheSignalAndRunsItsDialogModally) {
    Commit(guitest::Tone(8000.0, 0.5, 2, 16, 440.0, 440.0, 1000.0));
    const QByteArray fileBefore = guitest::ReadBytes(form->TempFileName());
    DialogProbe probe;
    GeneratorDialogFactory factory = [&](QString name, TMainform* mainform, SignalBase* signal) {
        probe.tempFileName = name;
        probe.mainform = mainform;
        probe.signal = signal;
        probe.peakSeen = PeakOf(*signal);
        return std::make_unique<ProbeDialog>(probe);
    };
    DialogFactories dialogs;
    dialogs.Sine = dialogs.FunctionGen = dialogs.AmplitudeModulation = dialogs.FrequencyModulation =
        dialogs.FrequencySweep = dialogs.Sinepnphase = dialogs.BandNoise = dialogs.PinkNoise =
            factory;
    form->SetDialogs(dialogs);

    int runs = 0;
    for (QAction* item :
         {form->Sine, form->FunctionGen, form->AmplitudeModulation, form->FrequencyModulation,
          form->FrequencySweep, form->Sinepnphase, form->BandNoise, form->PinkNoise}) {
        SCOPED_TRACE(item->text().toStdString());
        Commit(guitest::Tone(8000.0, 0.5, 2, 16, 440.0, 440.0, 1000.0));
        probe = DialogProbe();
        item->trigger();
        ++runs;
        EXPECT_EQ(probe.constructed, 1);
        EXPECT_EQ(probe.destroyed, 1);
        EXPECT_TRUE(probe.shownModally);
        EXPECT_EQ(probe.tempFileName, form->TempFileName());
        EXPECT_EQ(probe.mainform, form.get());
        EXPECT_EQ(probe.signal, form->Signal());
        EXPECT_EQ(probe.peakSeen, 0.0) << "the dialog gets the signal cleared";
        // Format kept; the view and the playback file still hold the former signal.
        EXPECT_EQ(form->Signal()->Channels, 2);
        EXPECT_EQ(form->Signal()->SampleRate, 8000.0);
        EXPECT_EQ(form->Signal()->SampleCount, 4000);
        EXPECT_EQ(guitest::ReadBytes(form->TempFileName()), fileBefore);
        EXPECT_NEAR(guitest::LargestValue(form->LineSeries1), 1000.0, 1.0);
    }
    EXPECT_EQ(runs, 8);
}

TEST_F(MainformStartup, AnalyserAndParameterItemsLeaveTheSignalAlone) {
    const SignalBase tone = guitest::Tone(8000.0, 0.5, 1, 16, 440.0, 0.0, 1000.0);
    Commit(tone);
    DialogProbe probe;
    DialogFactories dialogs;
    dialogs.Frequency1 = dialogs.Statistics1 = [&](SignalBase* signal) {
        probe.signal = signal;
        probe.peakSeen = PeakOf(*signal);
        return std::make_unique<ProbeDialog>(probe);
    };
    dialogs.ShowParameters1 = [&](QString name, TMainform* mainform, SignalBase* signal) {
        probe.tempFileName = name;
        probe.mainform = mainform;
        probe.signal = signal;
        probe.peakSeen = PeakOf(*signal);
        return std::make_unique<ProbeDialog>(probe);
    };
    form->SetDialogs(dialogs);
    for (QAction* item : {form->Frequency1, form->Statistics1, form->ShowParameters1}) {
        SCOPED_TRACE(item->text().toStdString());
        probe = DialogProbe();
        item->trigger();
        EXPECT_EQ(probe.constructed, 1);
        EXPECT_EQ(probe.destroyed, 1);
        EXPECT_TRUE(probe.shownModally);
        EXPECT_EQ(probe.signal, form->Signal());
        EXPECT_NEAR(probe.peakSeen, 1000.0, 1.0);
        EXPECT_EQ(form->Signal()->Mono, tone.Mono);
    }
    EXPECT_EQ(probe.mainform, form.get());
    EXPECT_EQ(probe.tempFileName, form->TempFileName());
}

// The program's own wiring: each item with a dialog in this build opens that dialog class, and
// closing a generator without OK leaves the signal as committed.
TEST(MainformDialogs, InstalledItemsOpenTheirDialogs) {
    guitest::ScopedTempEnv temp;
    std::unique_ptr<TMainform> owner;
    {
        guitest::MessageBoxCatcher startupMessage;
        owner = std::make_unique<TMainform>();
    }
    TMainform& form = *owner;
    form.show();
    // Whole numbers, as the playback file holds them, so a restore from it gives them back.
    SignalBase tone = guitest::Tone(8000.0, 0.5, 1, 16, 440.0, 0.0, 1000.0);
    for (double& v : tone.Mono) {
        v = std::trunc(v);
    }
    ASSERT_TRUE(form.Document().Commit(SignalBase(tone), {}, &form));

    const std::vector<std::pair<QAction*, const char*>> items = {
        {form.Sine, "TFDlgSineGen"},
        {form.FunctionGen, "TFDlgFunctionGen"},
        {form.AmplitudeModulation, "TFDlgAmplitudeModulationGen"},
        {form.FrequencyModulation, "TFDlgFrequencyModulationGen"},
        {form.FrequencySweep, "TFDlgFrequencySweepGen"},
        {form.Sinepnphase, "TFDlgSineNoiseGen"},
        {form.BandNoise, "TFDlgBandNoiseGen"},
        {form.PinkNoise, "TFDlgPinkNoise"},
        {form.Frequency1, "TFDlgFrequencyAnalysis"},
        {form.Statistics1, "TFDlgStatistics"},
        {form.ShowParameters1, "TFDlgShowParameters"}};
    int opened = 0;
    for (const auto& [item, className] : items) {
        SCOPED_TRACE(className);
        if (!item->isEnabled()) {
            continue;
        }
        QString shown;
        guitest::AnswerNextModal([&](QWidget* modal) {
            shown = modal->metaObject()->className();
            static_cast<QDialog*>(modal)->reject();
        });
        item->trigger();
        EXPECT_EQ(shown, className);
        EXPECT_EQ(form.Signal()->SampleCount, tone.SampleCount);
        EXPECT_EQ(form.Signal()->Mono, tone.Mono);
        ++opened;
    }
    EXPECT_GE(opened, 5) << "sine, function, both analysers and the parameter display exist";
}

} // namespace
