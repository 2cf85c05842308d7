// The two faces of one core: for the same inputs (and phase seed) zembrel-cli writes exactly the
// bytes the program saves after the generator's dialog, and reads exactly the analysers'
// numbers. Each case sets the format as the parameter dialog does, drives the dialog's buttons,
// saves with File Save and compares with the built zembrel-cli.
#include "gui/analysis/TFDlgFrequencyAnalysis.h"
#include "gui/analysis/TFDlgStatistics.h"
#include "gui/generators/TFDlgAmplitudeModulationGen.h"
#include "gui/generators/TFDlgBandNoiseGen.h"
#include "gui/generators/TFDlgFrequencyModulationGen.h"
#include "gui/generators/TFDlgFrequencySweepGen.h"
#include "gui/generators/TFDlgFunctionGen.h"
#include "gui/generators/TFDlgPinkNoise.h"
#include "gui/generators/TFDlgSineGen.h"
#include "gui/generators/TFDlgSineNoiseGen.h"
#include "tests/core/analysis/LevelRowsCheck.h"
#include "tests/gui/app/MainformFixture.h"
#include "tests/gui/generators/NoiseTestSupport.h"

#include "core/generators/FrequencySweepGenerator.h"
#include "core/generators/NoiseGenerator.h"
#include "core/generators/RandomNumberGenerator.h"
#include "core/signal/SignalBase.h"
#include "core/signal/WavFileRead.h"
#include "gui/analysis/AnalyserRadioGroup.h"
#include "gui/analysis/LevelChart.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTest>

#include <initializer_list>
#include <utility>

using zembrel::SignalBase;

namespace {

class CliMatchesDialog : public MainformFixture {
protected:
    // The format "Change Signal Parameters" would build, and the same options for zembrel-cli.
    void UseFormat(double rate, double length, int bits, int norm, int channels) {
        Commit(SignalBase(rate, length, bits, norm, channels));
        form->Signal()->Clear(); // as the main window hands it to a generator dialog
        format = {"--rate",     QString::number(rate),    "--length", QString::number(length),
                  "--bits",     QString::number(bits),    "--norm",   QString::number(norm),
                  "--channels", QString::number(channels)};
    }

    template <typename Dialog> std::unique_ptr<Dialog> Open() {
        auto d =
            std::make_unique<Dialog>(nullptr, form->TempFileName(), form.get(), form->Signal());
        d->ShowErrorMessage = [](const QString& text) { ADD_FAILURE() << text.toStdString(); };
        d->show();
        return d;
    }

    // What File Save writes once the dialog has committed its signal.
    QByteArray Saved(const QWidget& dialog) {
        QDeadlineTimer deadline(60000);
        while (dialog.isVisible() && !deadline.hasExpired()) {
            QApplication::processEvents(QEventLoop::AllEvents, 10);
        }
        EXPECT_FALSE(dialog.isVisible()) << "the dialog did not commit";
        EXPECT_EQ(form->StatusText(), "Calculation finished.");
        const QString file = temp.Path() + "/saved.wav";
        form->SaveDialog1 = [&file] { return file; };
        form->Save1Click();
        return guitest::ReadBytes(file);
    }

    // The standard output of zembrel-cli; a failed run is a test failure.
    QByteArray Cli(QStringList args, bool withFormat = true) {
        if (withFormat) {
            args += format;
        }
        QProcess cli;
        cli.start(QStringLiteral(ZEMBREL_CLI_PATH), args);
        EXPECT_TRUE(cli.waitForFinished(60000));
        EXPECT_EQ(cli.exitCode(), 0) << cli.readAllStandardError().toStdString();
        return cli.readAllStandardOutput();
    }

    QByteArray CliFile(const QStringList& args) { return Cli(args + QStringList{"-o", "-"}); }

    // Types each text into its field, as the dialog's user would before pressing a button.
    static void Set(std::initializer_list<std::pair<QLineEdit*, const char*>> fields) {
        for (const auto& [edit, text] : fields) {
            edit->setText(QString::fromLatin1(text));
        }
    }

    QStringList format;
};

TEST_F(CliMatchesDialog, Sine) {
    UseFormat(44100, 0.5, 16, 30000, 2);
    auto d = Open<TFDlgSineGen>();
    Set({{d->PhaseOffset, "45"}, {d->frequ, "1000"}, {d->ampl, "1"}, {d->deg, "30"}});
    d->BAddSineClick();
    Set({{d->frequ, "3000.5"}, {d->ampl, "0.25"}, {d->deg, "-90"}, {d->lev, "-3"}});
    d->BOKClick();
    EXPECT_EQ(Saved(*d), CliFile({"sine", "--sine", "1000,1,30", "--sine", "3000.5,0.25,-90",
                                  "--offset", "45", "--level", "-3"}));
}

TEST_F(CliMatchesDialog, Function) {
    UseFormat(48000, 1.0, 16, 32768, 2);
    auto d = Open<TFDlgFunctionGen>();
    d->function->setCurrentIndex(2);
    Set({{d->frequ, "110"}, {d->phase, "10"}, {d->PhaseOffset, "180"}, {d->lev, "-1.5"}});
    d->BStartCalculationClick();
    EXPECT_EQ(Saved(*d), CliFile({"function", "--shape", "sawtooth", "--freq", "110", "--phase",
                                  "10", "--offset", "180", "--level", "-1.5"}));
}

TEST_F(CliMatchesDialog, AmplitudeModulation) {
    UseFormat(22050, 1.0, 8, 128, 2);
    auto d = Open<TFDlgAmplitudeModulationGen>();
    Set({{d->carrier_f, "2000"},
         {d->mod_f, "50"},
         {d->mod_phase, "20"},
         {d->mod_index, "0.7"},
         {d->PhaseOffset, "90"},
         {d->lev, "-2"}});
    d->BOKClick();
    EXPECT_EQ(Saved(*d), CliFile({"am", "--carrier", "2000", "--mod", "50", "--mod-phase", "20",
                                  "--index", "0.7", "--offset", "90", "--level", "-2"}));
}

TEST_F(CliMatchesDialog, FrequencyModulation) {
    UseFormat(32000, 0.5, 16, 32768, 1);
    auto d = Open<TFDlgFrequencyModulationGen>();
    Set({{d->carrier_f, "5000"}, {d->mod_f, "300"}, {d->mod_index, "2.5"}, {d->lev, "-6"}});
    d->BOkClick();
    EXPECT_EQ(Saved(*d), CliFile({"fm", "--carrier", "5000", "--mod", "300", "--index", "2.5",
                                  "--level", "-6"}));
}

TEST_F(CliMatchesDialog, FrequencySweep) {
    UseFormat(44100, 2.0, 16, 32768, 1);
    auto d = Open<TFDlgFrequencySweepGen>();
    Set({{d->start_f, "20"}, {d->stop_f, "20000"}});
    d->type->setCurrentIndex(zembrel::SweepExp10);
    Set({{d->lev, "-0.5"}});
    d->Button2Click();
    EXPECT_EQ(Saved(*d), CliFile({"sweep", "--start", "20", "--stop", "20000", "--type", "exp10",
                                  "--level", "-0.5"}));
}

TEST_F(CliMatchesDialog, SineWithPnPhase) {
    UseFormat(44100, 1.0, 16, 32768, 2);
    zembrel::RandomNumberGenerator::Seed(4711);
    auto d = Open<TFDlgSineNoiseGen>();
    Set({{d->PhaseOffset, "90"}});
    for (const char* f : {"100", "250", "1000"}) {
        Set({{d->frequ, f}, {d->ampl, "0.5"}});
        d->BAddSineClick();
    }
    Set({{d->frequ, "4000"}, {d->ampl, "1"}, {d->lev, "-1"}});
    d->BOKClick();
    EXPECT_EQ(Saved(*d),
              CliFile({"pn-sine", "--sine", "100,0.5", "--sine", "250,0.5", "--sine", "1000,0.5",
                       "--sine", "4000", "--offset", "90", "--level", "-1", "--seed", "4711"}));
}

TEST_F(CliMatchesDialog, WhiteNoise) {
    UseFormat(48000, 1.0, 16, 32768, 2);
    zembrel::RandomNumberGenerator::Seed(99);
    auto d = Open<TFDlgBandNoiseGen>();
    Set({{d->PhaseOffset, "30"},
         {d->f_start, "200"},
         {d->f_stop, "100"},
         {d->step, "0.5"},
         {d->ampl, "0.2"}});
    d->BAddBandClick();
    noisetest::WaitForWorker(*d);
    Set({{d->f_start, "1000"},
         {d->f_stop, "5000"},
         {d->step, "3"},
         {d->ampl, "1"},
         {d->lev, "-3"}});
    d->BOKClick();
    EXPECT_EQ(Saved(*d), CliFile({"white", "--band", "200,100,0.5,0.2", "--band", "1000,5000,3",
                                  "--offset", "30", "--level", "-3", "--seed", "99"}));
}

TEST_F(CliMatchesDialog, PinkNoise) {
    UseFormat(44100, 1.0, 16, 32768, 2);
    // The dialog seeds each run with the time in whole seconds; a run within one second is
    // repeated by the command line with that second as its seed.
    for (int attempt = 0; attempt < 5; ++attempt) {
        form->Signal()->Clear();
        auto d = Open<TFDlgPinkNoise>();
        ASSERT_TRUE(QTest::qWaitForWindowActive(d.get())); // the fields are set at activation
        Set({{d->f_start, "20"},
             {d->f_stop, "20000"},
             {d->step, "1"},
             {d->PhaseOffset, "90"},
             {d->lev, "-2"}});
        const std::uint32_t before = zembrel::PinkNoiseClockSeed();
        d->BOKClick();
        const QByteArray saved = Saved(*d);
        if (zembrel::PinkNoiseClockSeed() != before) {
            continue;
        }
        EXPECT_EQ(saved,
                  CliFile({"pink", "--start", "20", "--stop", "20000", "--step", "1", "--offset",
                           "90", "--level", "-2", "--seed", QString::number(before)}));
        return;
    }
    FAIL() << "no run stayed within one second";
}

// The analysers read a file the command line wrote; both faces show the same numbers.
TEST_F(CliMatchesDialog, SpectrumAndStatistics) {
    UseFormat(44100, 1.0, 16, 32768, 2);
    const QString file = temp.Path() + "/tone.wav";
    Cli({"sine", "--sine", "997", "--sine", "5000,0.01", "--channels", "2", "--offset", "60",
         "--level", "-9", "-o", file},
        false);
    Commit(SignalBase(*std::make_unique<zembrel::WavFileRead>(file.toStdString())));

    TFDlgFrequencyAnalysis analyser(nullptr, form->Signal());
    analyser.show();
    analyser.len->setCurrentIndex(3);
    analyser.win->setCurrentIndex(1);
    analyser.ChannelSelGroup->SetItemIndex(1);
    analyser.ChannelSelGroupClick();
    const QByteArray rows = Cli(
        {"spectrum", file, "--len", "8192", "--window", "hamming", "--channel", "right", "--csv"},
        false);
    const auto* points = analyser.LineSeries1->data().data();
    std::vector<double> plotted;
    for (int k = 0; k < points->size(); ++k) {
        ASSERT_EQ(points->at(k)->key, zembrel::BinFrequency(44100.0, 8192, k)) << k;
        plotted.push_back(points->at(k)->value);
    }
    ASSERT_EQ(plotted.size(), 4096u);
    zembrel::test::ExpectSpectrumRows(rows.toStdString(), ',', true, 44100.0, 8192, plotted);

    TFDlgStatistics statistics(nullptr, form->Signal());
    statistics.SelectChannel->SetItemIndex(1);
    statistics.SelectChannelClick();
    const QString text = QString::fromUtf8(Cli({"stats", file}, false));
    const QString right = text.mid(text.indexOf("\nright\n"));
    for (QLabel* label : {statistics.Label6, statistics.Label7, statistics.Label8,
                          statistics.Label9, statistics.Label10, statistics.Label11}) {
        const QString value = label->text().replace(QLocale::system().decimalPoint(), ".");
        EXPECT_TRUE(right.contains(" " + value + "\n") || right.contains(" " + value + " %\n"))
            << value.toStdString() << "\n"
            << right.toStdString();
    }
}

} // namespace
