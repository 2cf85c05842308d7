#include "gui/generators/TFDlgSineGen.h"
#include "tests/gui/app/MainformFixture.h"

#include "core/generators/FinishSignal.h"
#include "core/generators/SineGenerator.h"
#include "core/signal/SignalBase.h"
#include "core/signal/WavFileRead.h"
#include "core/signal/WavFileWrite.h"

#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QStatusBar>
#include <QTemporaryDir>

#include <algorithm>
#include <cmath>

using zembrel::SignalBase;

namespace {

double Mean(const zembrel::SampleArray& x) {
    double sum = 0.0;
    for (double v : x) {
        sum += v;
    }
    return sum / x.size();
}

double Rms(const zembrel::SampleArray& x) {
    double sum = 0.0;
    for (double v : x) {
        sum += v * v;
    }
    return std::sqrt(sum / x.size());
}

SignalBase LoadFile(const QString& name) {
    zembrel::WavFileRead reader(name.toStdString());
    return SignalBase(reader);
}

// The sine dialog as the Sine menu command opens it: on the cleared current signal.
class SineDialog : public MainformFixture {
protected:
    void SetUp() override { MainformFixture::SetUp(); }

    void Enter(TFDlgSineGen& d, const QString& f, const QString& a, const QString& p) {
        d.frequ->setText(f);
        d.ampl->setText(a);
        d.deg->setText(p);
    }
};

TEST_F(SineDialog, StartsEmptyWithCounterOneAndOffsetOnlyForStereo) {
    auto d = OpenDialog<TFDlgSineGen>(false);
    EXPECT_EQ(d->windowTitle(), "Sine Generator");
    EXPECT_EQ(d->Label2->text(), "1");
    EXPECT_EQ(d->frequ->text(), "");
    EXPECT_EQ(d->lev->text(), "0");
    EXPECT_EQ(d->PhaseOffset->text(), "0");
    EXPECT_FALSE(d->PhaseOffset->isEnabled());
    Commit(SignalBase(44100.0, 0.1, 16, 32768, 2));
    auto stereo = OpenDialog<TFDlgSineGen>(false);
    EXPECT_TRUE(stereo->PhaseOffset->isEnabled());
    EXPECT_EQ(stereo->PhaseOffset->text(), "0");
}

TEST_F(SineDialog, AddSineRejectsFrequenciesOutsideTheBandAndNonNumbers) {
    auto d = OpenDialog<TFDlgSineGen>(false);
    for (const char* bad : {"22050.5", "0", "-5", "", "abc", "nan", "inf", "1e999"}) {
        SCOPED_TRACE(bad);
        errors.clear();
        Enter(*d, bad, "1", "0");
        d->BAddSineClick();
        ASSERT_EQ(errors.size(), 1);
        EXPECT_EQ(errors[0], TFDlgSineGen::ErrorText);
        EXPECT_EQ(d->frequ->text(), "");
        EXPECT_EQ(d->ampl->text(), "1"); // only the field in error is emptied
        EXPECT_EQ(d->Label2->text(), "1");
    }
    for (double v : form->Signal()->Mono) {
        ASSERT_EQ(v, 0.0);
    }
    errors.clear();
    Enter(*d, "1000", "nan", "0");
    d->BAddSineClick();
    EXPECT_EQ(errors.size(), 1);
    EXPECT_EQ(d->ampl->text(), "");

    errors.clear();
    Enter(*d, "22050", "1", "0");
    d->BAddSineClick();
    EXPECT_TRUE(errors.isEmpty());
    EXPECT_EQ(d->Label2->text(), "2");
}

TEST_F(SineDialog, AddSineAddsAtOnceAndClearsTheSineFields) {
    auto d = OpenDialog<TFDlgSineGen>(false);
    Enter(*d, "1000", "1", "90");
    d->lev->setText("-3");
    d->BAddSineClick();
    EXPECT_EQ(form->Signal()->Mono[0], 1.0);
    EXPECT_EQ(d->Label2->text(), "2");
    EXPECT_EQ(d->frequ->text(), "");
    EXPECT_EQ(d->ampl->text(), "");
    EXPECT_EQ(d->deg->text(), "");
    EXPECT_EQ(d->lev->text(), "-3");

    // A comma is a decimal separator: 1000,5 Hz is added as 1000.5 Hz.
    SignalBase expected = *form->Signal();
    zembrel::SineGenerator(expected, 1000.5, 0.25, 0.0);
    Enter(*d, "1000,5", "0,25", "0");
    d->BAddSineClick();
    EXPECT_EQ(form->Signal()->Mono, expected.Mono);
}

TEST_F(SineDialog, OkChecksFrequencyAndLevelAndEmptiesEachFieldInError) {
    auto d = OpenDialog<TFDlgSineGen>(false);
    Enter(*d, "1000", "1", "0");
    d->BAddSineClick();
    const SignalBase afterOne = *form->Signal();

    struct Case {
        const char* f;
        const char* level;
        bool fEmptied, levelEmptied;
    };
    for (const Case& c : {Case{"1000", "3", false, true}, Case{"1000", "0.1", false, true},
                          Case{"30000", "-1", true, false}, Case{"0", "5", true, true},
                          Case{"1000", "nan", false, true}, Case{"1000", "-inf", false, true}}) {
        SCOPED_TRACE(std::string(c.f) + " Hz, " + c.level + " dB");
        errors.clear();
        Enter(*d, c.f, "1", "0");
        d->lev->setText(c.level);
        d->BOKClick();
        EXPECT_EQ(errors.size(), 1);
        EXPECT_EQ(d->frequ->text().isEmpty(), c.fEmptied);
        EXPECT_EQ(d->lev->text().isEmpty(), c.levelEmptied);
        EXPECT_EQ(form->Signal()->Mono, afterOne.Mono); // nothing added, earlier sine kept
        EXPECT_TRUE(d->isVisible() || d->result() == 0);
    }
}

TEST_F(SineDialog, OkScalesTheSumCommitsAndRedraws) {
    auto d = OpenDialog<TFDlgSineGen>(false);
    d->show();
    Enter(*d, "1000", "1", "0");
    d->BOKClick();
    EXPECT_TRUE(errors.isEmpty());
    EXPECT_EQ(d->result(), QDialog::Accepted);
    EXPECT_FALSE(d->isVisible());
    EXPECT_EQ(form->StatusText(), "Calculation finished.");

    const SignalBase& s = *form->Signal();
    EXPECT_EQ(*std::max_element(s.Mono.begin(), s.Mono.end()), 32767.0);
    EXPECT_EQ(*std::min_element(s.Mono.begin(), s.Mono.end()), -32768.0);
    EXPECT_NEAR(Mean(s.Mono), -0.499, 0.0005);
    EXPECT_NEAR(Rms(s.Mono), 23170.2, 0.05);
    EXPECT_EQ(LoadFile(form->TempFileName()).Mono, s.Mono); // the playback file holds it
}

TEST_F(SineDialog, SoxAgreesOnTheLevelsOfTheSavedSine) {
    if (QProcess::execute("sox", {"--version"}) != 0) {
        GTEST_SKIP() << "sox is not installed";
    }
    auto d = OpenDialog<TFDlgSineGen>(false);
    Enter(*d, "1000", "1", "0");
    d->BOKClick();
    QTemporaryDir dir;
    const QString file = dir.filePath("sine.wav");
    zembrel::WavFileWrite(file.toStdString(), ".wav", *form->Signal());
    QProcess sox;
    sox.start("sox", {file, "-n", "stats"});
    ASSERT_TRUE(sox.waitForFinished(10000));
    const QString out = QString::fromUtf8(sox.readAllStandardError());
    const auto field = [&out](const QString& name) {
        for (const QString& line : out.split('\n')) {
            if (line.startsWith(name)) {
                return line.mid(name.size()).trimmed().toDouble();
            }
        }
        ADD_FAILURE() << "no " << name.toStdString() << " in " << out.toStdString();
        return 0.0;
    };
    const SignalBase& s = *form->Signal();
    const double rmsDb = 20 * std::log10(Rms(s.Mono) / 32768.0);
    EXPECT_NEAR(field("RMS lev dB"), rmsDb, 0.01);
    EXPECT_NEAR(field("Pk lev dB"), 0.0, 0.01);
    EXPECT_NEAR(field("DC offset"), Mean(s.Mono) / 32768.0, 0.00001);
}

TEST_F(SineDialog, StereoOffsetMakesTheRightChannelLeadBy90Degrees) {
    Commit(SignalBase(44100.0, 0.1, 16, 32768, 2));
    auto d = OpenDialog<TFDlgSineGen>(false);
    d->PhaseOffset->setText("90");
    Enter(*d, "1000", "1", "0");
    d->BAddSineClick();
    EXPECT_EQ(form->Signal()->Left[0], 0.0);
    EXPECT_EQ(form->Signal()->Right[0], 1.0);
    EXPECT_EQ(d->PhaseOffset->text(), "90"); // kept for the next sine
    Enter(*d, "1000", "0", "0");
    d->BOKClick();
    // Left follows sin, right cos: the right channel leads by a quarter period.
    const SignalBase& s = *form->Signal();
    EXPECT_EQ(s.Right[0], 32767.0);
    for (int i = 0; i < s.SampleCount; ++i) {
        const double w = 2 * M_PI * 1000 * i / 44100.0;
        ASSERT_NEAR(s.Left[i], 32768 * std::sin(w), 1.5) << i;
        ASSERT_NEAR(s.Right[i], 32768 * std::cos(w), 1.5) << i;
    }
}

TEST_F(SineDialog, CancelAndCloseBoxRestoreTheCommittedSignal) {
    SignalBase before = guitest::Tone(44100.0, 0.1, 1, 16, 440.0, 0.0, 20000.0);
    zembrel::FinishSignal(before, -3.0); // whole numbers, as the playback file stores them
    before.NormValue = 30000;
    Commit(before);
    const QString status = form->StatusText();
    for (bool closeBox : {false, true}) {
        SCOPED_TRACE(closeBox ? "close box" : "Cancel");
        auto d = OpenDialog<TFDlgSineGen>(false);
        d->show();
        for (int i = 0; i < 3; ++i) {
            Enter(*d, "1000", "1", "0");
            d->BAddSineClick();
        }
        if (closeBox) {
            d->close();
        } else {
            d->BCancelClick();
        }
        EXPECT_FALSE(d->isVisible());
        EXPECT_EQ(d->result(), QDialog::Rejected);
        EXPECT_EQ(form->Signal()->Mono, before.Mono);
        EXPECT_EQ(form->Signal()->NormValue, 32768); // as the file stores it
        EXPECT_EQ(form->StatusText(), status);
    }
}

TEST_F(SineDialog, ImportReplacesTheEntryByTheListScaledToItsLevel) {
    auto d = OpenDialog<TFDlgSineGen>(false);
    Enter(*d, "5000", "1", "0");
    d->BAddSineClick(); // discarded by the import
    d->OpenDialog1 = [] { return QString(ZEMBREL_TEST_DATA_DIR "/sine_list.txt"); };
    d->BImportClick();
    EXPECT_EQ(d->result(), QDialog::Accepted);
    EXPECT_EQ(form->StatusText(), "Calculation finished.");

    SignalBase expected(44100.0, 1.0, 16, 32768, 1);
    zembrel::SineGenerator(expected, 1000.0, 1.0, 0.0);
    zembrel::SineGenerator(expected, 3000.0, 0.333, 90.0);
    zembrel::FinishSignal(expected, -6.0);
    EXPECT_EQ(form->Signal()->Mono, expected.Mono);
    double peak = 0.0;
    for (double v : form->Signal()->Mono) {
        peak = std::max(peak, std::abs(v));
    }
    EXPECT_NEAR(peak, 32768.0 * std::pow(10.0, -6.0 / 20.0), 1.0);
}

TEST_F(SineDialog, FailedImportNamesTheProblemAndKeepsTheSignal) {
    auto d = OpenDialog<TFDlgSineGen>(false);
    d->show();
    Enter(*d, "5000", "1", "0");
    d->BAddSineClick();
    const SignalBase withSine = *form->Signal();
    for (const char* file : {"/list_bad_token.txt", "/list_no_level.txt", "/missing.txt"}) {
        SCOPED_TRACE(file);
        guitest::MessageBoxCatcher boxes;
        d->OpenDialog1 = [file] { return QString(ZEMBREL_TEST_DATA_DIR) + file; };
        d->BImportClick();
        ASSERT_EQ(boxes.Texts().size(), 1);
        EXPECT_TRUE(boxes.Texts()[0].contains(QString(file).mid(1)))
            << boxes.Texts()[0].toStdString();
        EXPECT_EQ(form->Signal()->Mono, withSine.Mono);
        EXPECT_TRUE(d->isVisible());
    }
    EXPECT_TRUE(guitest::MessageBoxCatcher().Texts().isEmpty());
}

} // namespace
