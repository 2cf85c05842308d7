// The test tones of the Generator menu, chosen and filled in as a user does, committed into the
// current signal's format.

#include "tests/gui/UserInput.h"
#include "tests/gui/app/MainformFixture.h"

#include "gui/app/DialogFactories.h"
#include "gui/generators/TFDlgMultitone.h"
#include "gui/generators/TFDlgTwinTone.h"

#include "core/analysis/SignalReadings.h"
#include "core/signal/WavFileRead.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QRegularExpression>

#include <algorithm>
#include <cmath>

namespace {

using namespace userinput;
using zembrel::SignalBase;

class TestToneDialogs : public MainformFixture {
protected:
    void SetUp() override { MakeForm(InstalledDialogs()); }

    static double PeakDbfs(const SignalBase& s) {
        double peak = 0.0;
        for (const zembrel::SampleArray* array : s.ChannelArrays()) {
            for (std::int32_t i = 0; i < s.SampleCount; ++i) {
                peak = std::max(peak, std::fabs((*array)[i]));
            }
        }
        return 20.0 * std::log10(peak / 32768.0);
    }

    ModalWatchdog watchdog{20000};
};

TEST_F(TestToneDialogs, TwinToneOfTheChosenStandardIsCommittedAtItsTotalPeakLevel) {
    Commit(SignalBase(48000.0, 1.0, 16, 32768, 2));
    OnNextModal([&](QWidget* dialog) {
        auto* d = qobject_cast<TFDlgTwinTone*>(dialog);
        ASSERT_NE(d, nullptr);
        // DIN, the second of the list, picked with the keyboard.
        Click(d->Standard);
        Press(Qt::Key_Down);
        Press(Qt::Key_Return);
        EXPECT_TRUE(d->Standard->currentText().startsWith("DIN (250 Hz + 8 kHz, 4:1)"))
            << d->Standard->currentText().toStdString();
        TypeInto(d->lev, "-6");
        Press(Qt::Key_Return);
    });
    ChooseMenu("GTT");
    ASSERT_TRUE(WaitUntil([] { return QApplication::activeModalWidget() == nullptr; }));

    EXPECT_EQ(form->StatusText(), "Calculation finished.");
    const SignalBase& s = *form->Signal();
    EXPECT_EQ(s.Channels, 2);
    EXPECT_EQ(s.SampleRate, 48000.0);
    EXPECT_NEAR(PeakDbfs(s), -6.0, 0.01);
    const zembrel::ChannelReadings r =
        zembrel::ReadChannel(zembrel::NormalizedChannels(s)[1], s.SampleRate, {});
    ASSERT_EQ(r.Imd.Status, zembrel::ReadingStatus::Ok);
    EXPECT_EQ(r.Imd.Standard, zembrel::ImdStandard::Din);
    // What the playback file holds is what memory holds.
    zembrel::WavFileRead file(form->TempFileName().toStdString());
    ASSERT_EQ(file.Frames(), s.SampleCount);
    std::vector<double> left(static_cast<std::size_t>(file.Frames()));
    std::vector<double> right(left.size());
    file.ReadSamples(left.data(), right.data());
    EXPECT_TRUE(std::equal(right.begin(), right.end(), s.Right.begin()));
}

TEST_F(TestToneDialogs, MultitoneReportsItsCrestFactorAndRefusedFieldsAreEmptied) {
    Commit(SignalBase(48000.0, 2.0, 16, 32768, 1));
    QStringList errorTexts;
    OnNextModal([&](QWidget* dialog) {
        auto* d = qobject_cast<TFDlgMultitone*>(dialog);
        ASSERT_NE(d, nullptr);
        d->ShowErrorMessage = [&](const QString& text) { errorTexts.append(text); };
        TypeInto(d->perOctave, "13");
        Press(Qt::Key_Return);
        ASSERT_EQ(errorTexts.size(), 1);
        EXPECT_TRUE(d->perOctave->text().isEmpty());
        EXPECT_EQ(d->f_low->text(), "20");
        TypeInto(d->perOctave, "3");
        Press(Qt::Key_Return);
    });
    ChooseMenu("GTM");
    ASSERT_TRUE(WaitUntil([] { return QApplication::activeModalWidget() == nullptr; }));

    // The default low-crest phases on third-octave tones: about 10 dB, where random phases give
    // 12 to 13 dB and zero phases 17.8 dB.
    const QRegularExpressionMatch crest =
        QRegularExpression("^Calculation finished\\. Crest factor ([0-9.]+) dB\\.$")
            .match(form->StatusText());
    ASSERT_TRUE(crest.hasMatch()) << form->StatusText().toStdString();
    EXPECT_GT(crest.captured(1).toDouble(), 8.0);
    EXPECT_LT(crest.captured(1).toDouble(), 11.0);
    EXPECT_NEAR(PeakDbfs(*form->Signal()), -1.0, 0.01);
}

} // namespace
