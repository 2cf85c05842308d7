// The Sweep Response window and the Synchronized Sweep generator driven as a user drives them:
// the menus by their mnemonics, fields typed into, buttons clicked, the windows in their real
// exec().

#include "tests/gui/UserInput.h"
#include "tests/gui/app/MainformFixture.h"

#include "gui/analysis/LevelChart.h"
#include "gui/generators/TFDlgErrorMsg.h"
#include "gui/generators/TFDlgSyncSweepGen.h"
#include "gui/generators/TFProcessState.h"
#include "gui/measure/SweepCharts.h"
#include "gui/measure/TFDlgSweepResponse.h"

#include "core/generators/SyncSweep.h"
#include "core/measure/PulsePlayRecord.h"
#include "core/measure/RecordingFile.h"
#include "core/signal/AudioFileWrite.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTextEdit>

#include <algorithm>
#include <cmath>

namespace {

using namespace userinput;

constexpr double kRate = 48000.0;

zembrel::SyncSweepInput TestSweep() {
    zembrel::SyncSweepInput input;
    input.StartHz = 20.0;
    input.StopHz = 20000.0;
    input.LengthS = 2.0;
    input.PreS = 0.5;
    input.PostS = 0.5;
    input.LevelDb = -6.0;
    input.RateHz = kRate;
    return input;
}

// The test sweep, delayed by delay samples and scaled by gain, as a 32-bit float WAV.
void WriteRecording(const QString& fileName, double rateHz, std::int64_t delay, double gain) {
    zembrel::SyncSweepInput input = TestSweep();
    input.RateHz = rateHz;
    const std::vector<double> sweep = zembrel::SyncSweep(input).Samples();
    std::vector<double> recorded(static_cast<std::size_t>(delay) + sweep.size(), 0.0);
    std::transform(sweep.begin(), sweep.end(), recorded.begin() + delay,
                   [gain](double x) { return gain * x; });
    zembrel::AudioWriteOptions options;
    options.Bits = 32;
    options.Float = true;
    zembrel::AudioFileWrite(fileName.toStdString(), {recorded.data()},
                            static_cast<std::int64_t>(recorded.size()), rateHz, 1.0, options);
}

class SweepWindows : public MainformFixture {
protected:
    void SetUp() override { MakeForm(InstalledDialogs()); }

    // Opens Analyser > Sweep Response, types the test sweep, runs steps in the window, closes it.
    void InWindow(const std::function<void(TFDlgSweepResponse*)>& steps) {
        bool opened = false;
        OnNextModal([&](QWidget* modal) {
            auto* window = qobject_cast<TFDlgSweepResponse*>(modal);
            ASSERT_NE(window, nullptr);
            opened = true;
            TypeInto(window->length, "2");
            TypeInto(window->lev, "-6");
            steps(window);
            ASSERT_TRUE(WaitUntil([window] { return !window->Busy(); }, 60000));
            Click(window->BClose);
        });
        ChooseMenu("AR");
        EXPECT_TRUE(opened);
        EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    }

    static void Analyse(TFDlgSweepResponse* window, const QString& file) {
        TypeInto(window->RecordingFile, file);
        Click(window->BAnalyse);
        ASSERT_TRUE(WaitUntil([window] { return !window->Busy(); }, 60000));
    }

    // The magnitude in dB at every response point from low to high Hz.
    static std::vector<double> Magnitudes(const TFDlgSweepResponse* window, double low,
                                          double high) {
        std::vector<double> levels;
        for (const zembrel::ResponsePoint& p : window->Result()->Response) {
            if (p.FrequencyHz >= low && p.FrequencyHz <= high) {
                levels.push_back(p.MagnitudeDb);
            }
        }
        return levels;
    }

    userinput::ModalWatchdog watchdog{90000};
};

// A recording of the sweep through a delay and a gain: the readout names the delay as the
// latency, the chart shows the gain flat, the mouse over the chart reads it, and Save writes the
// impulse response that was shown.
TEST_F(SweepWindows, ARecordingFileShowsItsLatencyAndAFlatMagnitude) {
    const QString file = temp.Path() + "/recording.wav";
    WriteRecording(file, kRate, 1234, 0.5);
    InWindow([&](TFDlgSweepResponse* window) {
        Analyse(window, file);
        ASSERT_TRUE(window->Result().has_value());
        EXPECT_EQ(window->Result()->LatencySamples, 1234);
        EXPECT_TRUE(window->Results->text().startsWith("Latency: 1234 samples (25.708 ms)"))
            << window->Results->text().toStdString();
        EXPECT_FALSE(window->Warning->isVisible());
        const std::vector<double> levels = Magnitudes(window, 40.0, 10000.0);
        ASSERT_GT(levels.size(), 100u);
        for (double level : levels) {
            EXPECT_NEAR(level, -6.02, 0.05);
        }
        LevelChart* chart = window->Charts->Magnitude;
        EXPECT_EQ(chart->Series()->data()->size(),
                  static_cast<int>(window->Result()->Response.size()));
        EXPECT_TRUE(chart->yAxis->range().contains(-6.02));

        // The mouse over the middle of the plot reads the point beneath it.
        const QPoint centre = chart->axisRect()->rect().center();
        QTest::mouseMove(chart->window()->windowHandle(), chart->mapTo(chart->window(), centre));
        ASSERT_TRUE(WaitUntil([window] { return !window->Readout->text().isEmpty(); }, 5000));
        EXPECT_TRUE(window->Readout->text().contains("Magnitude: -6.0"))
            << window->Readout->text().toStdString();

        const QString ir = temp.Path() + "/ir.wav";
        EXPECT_EQ(window->SaveTo(ir), QString());
        const zembrel::RecordingSamples saved = zembrel::ReadRecordingFile(ir.toStdString());
        EXPECT_EQ(saved.Samples.size(), window->Result()->Impulse.size());
        EXPECT_EQ(saved.Samples[window->Result()->ImpulseLeadSamples],
                  window->Result()->Impulse[window->Result()->ImpulseLeadSamples]);
    });
}

struct Refusal {
    const char* name;
    double fileRate;
    const char* rateField; // what the user types into the rate field
    double gain;           // 0: silent
    const char* lengthField;
    const char* expected; // part of the message
};

void PrintTo(const Refusal& r, std::ostream* os) {
    *os << r.name;
}

class SweepRefusals : public SweepWindows, public testing::WithParamInterface<Refusal> {};

TEST_P(SweepRefusals, AreNamedInAMessageAndLeaveNoResult) {
    const Refusal& r = GetParam();
    const QString file = temp.Path() + "/recording.wav";
    WriteRecording(file, r.fileRate, 100, r.gain);
    guitest::MessageBoxCatcher messages;
    InWindow([&](TFDlgSweepResponse* window) {
        TypeInto(window->rate, r.rateField);
        TypeInto(window->length, r.lengthField);
        Analyse(window, file);
        EXPECT_FALSE(window->Result().has_value());
        EXPECT_FALSE(window->BSave->isEnabled());
    });
    ASSERT_EQ(messages.Texts().size(), 1);
    EXPECT_TRUE(messages.Texts()[0].contains(r.expected)) << messages.Texts()[0].toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Window, SweepRefusals,
    testing::Values(Refusal{"AnotherRate", 44100.0, "48000", 0.5, "2",
                            "(44100 Hz) differs from the sweep's (48000 Hz)"},
                    Refusal{"TooShort", kRate, "", 0.5, "4", "shorter"},
                    Refusal{"Silent", kRate, "", 0.0, "2", "silent"},
                    Refusal{"NotASweep", kRate, "", 0.5, "0.001", "too short for one octave"}),
    [](const testing::TestParamInfo<Refusal>& info) { return info.param.name; });

// The sweep's parameters loaded from what zembrel-cli sync-sweep --json printed, through the
// window's file dialog: its rate is the sweep's, so a recording at another rate is refused.
TEST_F(SweepWindows, ASweepJsonFillsTheFieldsAndItsRateMustMatch) {
    const QString json = temp.Path() + "/sweep.json";
    guitest::WriteBytes(json, R"({"start_hz": 20, "stop_hz": 20000, "length_s": 1.93,
        "L_s": 0.3, "pre_s": 0.5, "post_s": 0.5, "level_db": -6, "rate_hz": 44100})");
    const QString file = temp.Path() + "/recording.wav";
    WriteRecording(file, kRate, 100, 0.5);
    guitest::MessageBoxCatcher messages;
    InWindow([&](TFDlgSweepResponse* window) {
        OnNextModal([&](QWidget* fileDialog) {
            TypeInto(fileDialog->findChild<QLineEdit*>("fileNameEdit"), json);
            Press(Qt::Key_Return);
        });
        Click(window->BLoadSweep);
        EXPECT_EQ(window->rate->text(), "44100");
        EXPECT_EQ(window->length->text(), "1.93");
        EXPECT_EQ(window->pre->text(), "0.5");
        Analyse(window, file);
        EXPECT_FALSE(window->Result().has_value());
    });
    ASSERT_EQ(messages.Texts().size(), 1);
    EXPECT_TRUE(messages.Texts()[0].contains("(48000 Hz) differs from the sweep's (44100 Hz)"))
        << messages.Texts()[0].toStdString();
}

bool SoundServerAnswers() {
    try {
        return !zembrel::PulsePlayRecord::ListDevices(5.0).Inputs.empty();
    } catch (const std::runtime_error&) {
        return false;
    }
}

// Through the test command's sound server, whose default input is the null sink's monitor: a
// wire with a latency, flat and clean.
TEST_F(SweepWindows, MeasuringLiveFindsALatencyAFlatMagnitudeAndNoDistortion) {
    if (!SoundServerAnswers()) {
        GTEST_SKIP() << "no sound server (scripts/sound-server.sh starts one)";
    }
    InWindow([&](TFDlgSweepResponse* window) {
        TypeInto(window->length, "3");
        Click(window->BMeasure);
        ASSERT_TRUE(WaitUntil([window] { return window->ProcessState() != nullptr; }, 5000));
        ASSERT_TRUE(WaitUntil([window] { return !window->Busy(); }, 60000));
        ASSERT_TRUE(window->Result().has_value()) << window->Readout->text().toStdString();
        EXPECT_GT(window->Result()->LatencySamples, 0);
        for (double level : Magnitudes(window, 40.0, 16000.0)) {
            EXPECT_NEAR(level, 0.0, 0.1);
        }
        for (const zembrel::DistortionPoint& p : window->Result()->Distortion) {
            EXPECT_LT(p.ThdDb, -80.0) << p.FrequencyHz;
        }
    });
}

// Cancel of the progress window, pressed with the mouse, stops the live measurement at once.
TEST_F(SweepWindows, CancelStopsALiveMeasurement) {
    if (!SoundServerAnswers()) {
        GTEST_SKIP() << "no sound server (scripts/sound-server.sh starts one)";
    }
    InWindow([&](TFDlgSweepResponse* window) {
        TypeInto(window->length, "20");
        Click(window->BMeasure);
        ASSERT_TRUE(WaitUntil(
            [window] {
                return window->ProcessState() && window->ProcessState()->ProgressBar1->value() > 0;
            },
            10000));
        QElapsedTimer clock;
        clock.start();
        Click(window->ProcessState()->Button1);
        ASSERT_TRUE(WaitUntil([window] { return !window->Busy(); }, 5000));
        EXPECT_LT(clock.elapsed(), 2000);
        EXPECT_FALSE(window->Result().has_value());
        EXPECT_TRUE(window->BMeasure->isEnabled());
    });
}

// Values typed, OK: the current signal is the sweep, as long as the dialog said; parameters that
// cannot be a sweep bring the core's text first.
TEST_F(SweepWindows, TheSweepDialogMakesTheCurrentSignalTheSweep) {
    Commit(zembrel::SignalBase(kRate, 1.0, 16, 32768, 2));
    zembrel::SyncSweepInput input;
    input.StartHz = 50.0;
    input.StopHz = 10000.0;
    input.LengthS = 1.3;
    input.PreS = 0.25;
    input.PostS = 0.125;
    input.LevelDb = -3.0;
    input.RateHz = kRate;
    const zembrel::SyncSweep sweep(input);
    QString refusal;
    QString shownLength;
    OnNextModal([&](QWidget* modal) {
        auto* dialog = qobject_cast<TFDlgSyncSweepGen*>(modal);
        ASSERT_NE(dialog, nullptr);
        TypeInto(dialog->start_f, "50");
        TypeInto(dialog->stop_f, "30000");
        OnNextModal([&](QWidget* error) {
            refusal = qobject_cast<TFDlgErrorMsg*>(error)->RichEdit1->toPlainText();
            Press(Qt::Key_Return);
        });
        Click(dialog->Button2);
        TypeInto(dialog->stop_f, "10000");
        TypeInto(dialog->length, "1.3");
        TypeInto(dialog->pre, "0.25");
        TypeInto(dialog->post, "0.125");
        TypeInto(dialog->lev, "-3");
        shownLength = dialog->RealLength->text();
        Press(Qt::Key_Return);
    });
    ChooseMenu("GFY");
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_TRUE(refusal.contains("above half the sample rate")) << refusal.toStdString();
    EXPECT_EQ(shownLength, QString("%1 s, %2 s with the silence")
                               .arg(sweep.LengthS(), 0, 'f', 3)
                               .arg(sweep.TotalSamples() / kRate, 0, 'f', 3));
    const zembrel::SignalBase& s = *form->Signal();
    EXPECT_EQ(form->StatusText(), "Calculation finished.");
    ASSERT_EQ(s.SampleCount, sweep.TotalSamples());
    EXPECT_EQ(s.Channels, 2);
    EXPECT_EQ(s.SampleRate, kRate);
    EXPECT_EQ(s.Left, s.Right);
    // Silence before, the sweep starting at 0 and peaking at -3 dB of 32768.
    EXPECT_EQ(*std::max_element(s.Left.begin(), s.Left.begin() + sweep.PreSamples()), 0.0);
    const double peak = *std::max_element(s.Left.begin(), s.Left.end());
    EXPECT_NEAR(peak, 32768.0 * std::pow(10.0, -3.0 / 20.0), 1.0);
}

} // namespace
