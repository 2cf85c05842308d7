// The Distortion window and the statistics' loudness rows, opened from the Analyser menu and
// driven through the window system while they run their real exec().

#include "tests/gui/UserInput.h"
#include "tests/gui/app/MainformFixture.h"

#include "gui/analysis/TFDlgDistortion.h"
#include "gui/analysis/TFDlgFrequencyAnalysis.h"
#include "gui/analysis/TFDlgStatistics.h"
#include "gui/app/DialogFactories.h"

#include "core/signal/SignalBase.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableWidget>

#include <cmath>
#include <numbers>

namespace {

using namespace userinput;
using zembrel::SignalBase;

// A 16-bit mono tone of f Hz at peak amplitude (full scale 1) with its third harmonic h3 times
// the fundamental's amplitude, rounded to whole samples.
SignalBase ToneWithH3(double rate, double seconds, double f, double amplitude, double h3) {
    SignalBase s(rate, seconds, 16, 32768, 1);
    for (std::int32_t i = 0; i < s.SampleCount; ++i) {
        const double w = 2.0 * std::numbers::pi * f * i / rate;
        s.Mono[i] = std::round(32767.0 * amplitude * (std::sin(w) + h3 * std::sin(3.0 * w)));
    }
    return s;
}

// The number that stands before unit in text ("... (-40.00 dB), ..." -> -40), NaN when none.
double NumberBefore(const QString& text, const QString& unit) {
    QString plain = text;
    plain.replace(QLocale::system().decimalPoint(), QStringLiteral("."));
    const QRegularExpression number(QStringLiteral("(-?[0-9]+(\\.[0-9]+)?) ") +
                                    QRegularExpression::escape(unit) + QStringLiteral("\\b"));
    const QRegularExpressionMatch match = number.match(plain);
    return match.hasMatch() ? match.captured(1).toDouble() : std::nan("");
}

class ReadingsWindows : public MainformFixture {
protected:
    void SetUp() override {
        DialogFactories dialogs;
        dialogs.Statistics1 = AnalyserDialog<TFDlgStatistics>();
        dialogs.Distortion1 = AnalyserDialog<TFDlgDistortion>();
        dialogs.Frequency1 = AnalyserDialog<TFDlgFrequencyAnalysis>();
        MakeForm(std::move(dialogs));
    }

    // Opens Analyser > Distortion with Alt+A, D and runs steps once its readings are on show.
    void InDistortionWindow(const std::function<void(TFDlgDistortion*)>& steps) {
        bool seen = false;
        OnNextModal([&](QWidget* modal) {
            auto* d = qobject_cast<TFDlgDistortion*>(modal);
            ASSERT_NE(d, nullptr);
            ASSERT_TRUE(WaitUntil([d] { return !d->Measuring(); }));
            seen = true;
            steps(d);
            Click(d->BClose);
        });
        ChooseMenu("AD");
        ASSERT_TRUE(WaitUntil([] { return QApplication::activeModalWidget() == nullptr; }));
        EXPECT_TRUE(seen);
    }

    ModalWatchdog watchdog{20000};
};

// THD of a tone with only H3: 20 log10(h3) relative to the fundamental, and
// 20 log10(h3 / sqrt(1 + h3^2)) relative to the total RMS.
TEST_F(ReadingsWindows, DistortionShowsTheThdOfAKnownToneAndSavesItsRows) {
    const double h3 = 0.01; // -40 dBc
    Commit(ToneWithH3(48000.0, 1.0, 997.0, 0.5, h3));
    const QString csv = temp.Path() + "/readings.csv";

    InDistortionWindow([&](TFDlgDistortion* d) {
        EXPECT_NEAR(NumberBefore(d->ToneValue->text(), "Hz"), 997.0, 0.01);
        EXPECT_NEAR(NumberBefore(d->ThdValue->text(), "dB"), 20.0 * std::log10(h3), 0.1);
        EXPECT_TRUE(d->ThdValue->text().contains("relative to the fundamental"));
        ASSERT_NE(d->Harmonics->item(1, 2), nullptr);
        EXPECT_EQ(d->Harmonics->item(1, 0)->text(), "H3");
        EXPECT_NEAR(d->Harmonics->item(1, 2)->text().toDouble(), -40.0, 0.1);
        EXPECT_TRUE(d->BandValue->text().contains("22 ... 20000 Hz, notch"))
            << d->BandValue->text().toStdString();
        EXPECT_EQ(d->ImdValue->text(), "no two-tone signal");

        // The other convention, chosen with the keyboard in the list.
        Click(d->ThdConvention);
        Press(Qt::Key_Down);
        Press(Qt::Key_Return);
        EXPECT_NEAR(NumberBefore(d->ThdValue->text(), "dB"),
                    20.0 * std::log10(h3 / std::sqrt(1.0 + h3 * h3)), 0.1);
        EXPECT_TRUE(d->ThdValue->text().contains("relative to the total RMS"));

        // The name typed without its extension: the dialog adds the filter's.
        OnNextModal([&](QWidget* fileDialog) {
            TypeInto(fileDialog->findChild<QLineEdit*>("fileNameEdit"), csv.chopped(4));
            Press(Qt::Key_Return);
        });
        Click(d->BSave);
    });

    QFile file(csv);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts);
    ASSERT_FALSE(lines.isEmpty());
    EXPECT_EQ(lines[0], "channel,reading,frequency_hz,value,unit,note");
    double thdDb = std::nan("");
    int harmonicRows = 0;
    for (const QString& line : lines) {
        const QStringList cells = line.split(',');
        if (cells.size() >= 5 && cells[1] == "THD" && cells[4] == "dB") {
            thdDb = cells[3].toDouble();
            EXPECT_TRUE(line.endsWith("\"relative to the total RMS (IEC 60268-3)\"") ||
                        line.endsWith("relative to the total RMS (IEC 60268-3)"))
                << line.toStdString();
        }
        harmonicRows += cells.size() >= 2 && cells[1].startsWith('H') ? 1 : 0;
    }
    EXPECT_NEAR(thdDb, 20.0 * std::log10(h3 / std::sqrt(1.0 + h3 * h3)), 0.1);
    EXPECT_EQ(harmonicRows, 2 * 9); // H2 ... H10 in dBc and %
}

TEST_F(ReadingsWindows, DistortionOfSilenceAndOfRefusedSettingsIsSaidInWords) {
    Commit(SignalBase(48000.0, 0.5, 16, 32768, 2));
    InDistortionWindow([&](TFDlgDistortion* d) {
        for (const QLabel* value :
             {d->ToneValue, d->ThdValue, d->ThdNValue, d->SinadValue, d->CrestValue}) {
            EXPECT_EQ(value->text(), "no signal") << value->objectName().toStdString();
        }
        EXPECT_EQ(d->Harmonics->item(0, 2), nullptr);

        // A band that starts above half the sample rate is refused before anything is read.
        TypeInto(d->BandLow, "30000");
        Press(Qt::Key_Return);
        EXPECT_FALSE(d->Measuring());
        EXPECT_TRUE(d->Status->text().contains("band")) << d->Status->text().toStdString();
        EXPECT_FALSE(d->BSave->isEnabled());
    });
}

TEST_F(ReadingsWindows, StatisticsAddLoudnessTruePeakCrestFactorAndDc) {
    // EBU Tech 3341: a stereo 1 kHz sine at -23 dBFS reads -23.0 LUFS.
    const double amplitude = 32767.0 * std::pow(10.0, -23.0 / 20.0);
    Commit(guitest::Tone(48000.0, 4.0, 2, 16, 1000.0, 1000.0, amplitude));
    bool seen = false;
    OnNextModal([&](QWidget* modal) {
        auto* d = qobject_cast<TFDlgStatistics*>(modal);
        ASSERT_NE(d, nullptr);
        ASSERT_TRUE(WaitUntil([d] { return d->LoudnessShown(); }));
        seen = true;
        EXPECT_EQ(d->Integrated->text(),
                  QString("-23.0 LUFS").replace('.', QLocale::system().decimalPoint()));
        EXPECT_NEAR(NumberBefore(d->MomentaryMax->text(), "LUFS"), -23.0, 0.1);
        EXPECT_NEAR(NumberBefore(d->ShortTermMax->text(), "LUFS"), -23.0, 0.1);
        EXPECT_NEAR(NumberBefore(d->Range->text(), "LU"), 0.0, 0.1);
        EXPECT_NEAR(NumberBefore(d->TruePeak->text(), "dBTP"), -23.0, 0.1);
        EXPECT_NEAR(NumberBefore(d->CrestDb->text(), "dB"), 3.01, 0.02);
        EXPECT_EQ(d->DcLevel->text(), "none");
        // The specified rows stay as they were.
        EXPECT_EQ(d->Label5->text(), "Crest Factor:");
        Click(d->Button1);
    });
    ChooseMenu("AS");
    ASSERT_TRUE(WaitUntil([] { return QApplication::activeModalWidget() == nullptr; }));
    EXPECT_TRUE(seen);
}

TEST_F(ReadingsWindows, StatisticsOfAShortOrSilentSignalSayWhy) {
    struct Case {
        SignalBase signal;
        const char* integrated;
        const char* shortTerm;
        const char* truePeak;
    };
    const Case cases[] = {
        {SignalBase(48000.0, 1.0, 16, 32768, 1), "no signal", "too short", "no signal"},
        {guitest::Tone(48000.0, 0.2, 1, 16, 1000.0, 0.0, 10000.0), "too short", "too short",
         nullptr},
    };
    for (const Case& c : cases) {
        Commit(c.signal);
        OnNextModal([&](QWidget* modal) {
            auto* d = qobject_cast<TFDlgStatistics*>(modal);
            ASSERT_NE(d, nullptr);
            ASSERT_TRUE(WaitUntil([d] { return d->LoudnessShown(); }));
            EXPECT_EQ(d->Integrated->text(), c.integrated);
            EXPECT_EQ(d->ShortTermMax->text(), c.shortTerm);
            if (c.truePeak) {
                EXPECT_EQ(d->TruePeak->text(), c.truePeak);
            }
            Press(Qt::Key_Escape);
        });
        ChooseMenu("AS");
        ASSERT_TRUE(WaitUntil([] { return QApplication::activeModalWidget() == nullptr; }));
    }
}

// A sine of -6 dBFS peak on a bin centre reads about -9.0 dB with Blackman-Harris on the
// analyser's scale; sine-calibrated it reads -6.0 dB in every window.
TEST_F(ReadingsWindows, SineCalibratedSpectrumReadsTheSinesPeakLevelInEveryWindow) {
    const double f = 683.0 * 48000.0 / 32768.0; // bin 683 of the default length
    Commit(guitest::Tone(48000.0, 1.0, 1, 16, f, 0.0, 32768.0 * std::pow(10.0, -6.0 / 20.0)));
    bool seen = false;
    OnNextModal([&](QWidget* modal) {
        auto* d = qobject_cast<TFDlgFrequencyAnalysis*>(modal);
        ASSERT_NE(d, nullptr);
        seen = true;
        const auto highest = [d] {
            return *std::max_element(d->Levels().begin(), d->Levels().end());
        };
        EXPECT_FALSE(d->SineCalibrated->isChecked());
        EXPECT_LT(highest(), -8.5); // Blackman-Harris, the default window
        Click(d->SineCalibrated);
        ASSERT_TRUE(d->SineCalibrated->isChecked());
        for (int window = 0; window < d->win->count(); ++window) {
            Click(d->win);
            Press(Qt::Key_Home);
            for (int i = 0; i < window; ++i) {
                Press(Qt::Key_Down);
            }
            Press(Qt::Key_Return);
            ASSERT_EQ(d->win->currentIndex(), window);
            EXPECT_NEAR(highest(), -6.0, 0.05) << d->win->currentText().toStdString();
        }
        Click(d->SineCalibrated);
        EXPECT_NEAR(highest(), -6.0, 0.05); // rectangular on a bin centre needs no correction
        Click(d->BClose);
    });
    ChooseMenu("AF");
    ASSERT_TRUE(WaitUntil([] { return QApplication::activeModalWidget() == nullptr; }));
    EXPECT_TRUE(seen);
}

} // namespace
