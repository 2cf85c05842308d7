#include "gui/app/TFDlgChangeParameters.h"
#include "gui/app/TFDlgShowParameters.h"
#include "tests/gui/app/MainformFixture.h"

#include "core/signal/SignalBase.h"
#include "core/signal/WavFileRead.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>

using zembrel::SignalBase;

namespace {

class ParameterDialogs : public MainformFixture {
protected:
    std::unique_ptr<TFDlgChangeParameters> OpenChange() {
        auto d = std::make_unique<TFDlgChangeParameters>(nullptr, form->TempFileName(), form.get(),
                                                         form->Signal());
        d->ShowErrorMessage = [this](const QString& text) { errors.append(text); };
        return d;
    }

    static void Set(TFDlgChangeParameters& d, const QString& bits, const QString& rate,
                    const QString& length, const QString& norm, const QString& channels) {
        d.res->setCurrentText(bits);
        d.frequ->setEditText(rate);
        d.len->setEditText(length);
        d.norm->setEditText(norm);
        d.CNumChan->setCurrentText(channels);
    }

    QStringList errors;
};

TEST_F(ParameterDialogs, ChangeDialogAlwaysOpensWithTheDefaultFormat) {
    Commit(SignalBase(8000.0, 2.0, 8, 100, 2));
    auto d = OpenChange();
    EXPECT_EQ(d->windowTitle(), "Change Signal Parameters");
    EXPECT_EQ(d->res->currentText(), "16");
    EXPECT_EQ(d->frequ->currentText(), "44100");
    EXPECT_EQ(d->len->currentText(), "1.0");
    EXPECT_EQ(d->norm->currentText(), "32768");
    EXPECT_EQ(d->CNumChan->currentText(), "1");
    EXPECT_EQ(d->frequ->count(), 10);
    EXPECT_EQ(d->len->count(), 12);
}

TEST_F(ParameterDialogs, ChecksEachFieldAndEmptiesTheOnesInError) {
    struct Case {
        const char *bits, *rate, *length, *norm;
        bool rateBad, lengthBad, normBad;
    };
    const Case cases[] = {
        {"16", "48000", "180", "32768", false, false, false},
        {"16", "48000.1", "1.0", "32768", true, false, false},
        {"16", "0", "0", "32768", true, true, false},
        {"16", "44100", "180.5", "32769", false, true, true},
        {"8", "44100", "1.0", "128", false, false, false},
        {"8", "44100", "1.0", "129", false, false, true},
        {"16", "44100", "0,5", "0", false, true, true},
        {"16", "nan", "inf", "x", true, true, true},
        {"16", "1e999", "1.0", "32768", true, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.rate) + " Hz " + c.length + " s norm " + c.norm);
        errors.clear();
        auto d = OpenChange();
        Set(*d, c.bits, c.rate, c.length, c.norm, "1");
        d->Button2Click();
        const bool anyBad = c.rateBad || c.lengthBad || c.normBad;
        EXPECT_EQ(errors.size(), anyBad ? 1 : 0);
        if (anyBad) {
            EXPECT_EQ(errors[0], TFDlgChangeParameters::ErrorText);
            EXPECT_EQ(d->frequ->currentText().isEmpty(), c.rateBad);
            EXPECT_EQ(d->len->currentText().isEmpty(), c.lengthBad);
            EXPECT_EQ(d->norm->currentText().isEmpty(), c.normBad);
            EXPECT_NE(d->result(), QDialog::Accepted);
        } else {
            EXPECT_EQ(d->result(), QDialog::Accepted);
        }
    }
}

TEST_F(ParameterDialogs, OkReplacesTheSignalBySilenceOfTheNewFormatAndCommitsIt) {
    Commit(guitest::Tone(44100.0, 1.0, 1, 16, 440.0, 0.0, 1000.0));
    form->SetGroupCaption("/some/file.wav");
    auto d = OpenChange();
    Set(*d, "8", "22050 Hz", "0.5", "100", "2");
    d->Button2Click();
    ASSERT_TRUE(errors.isEmpty());
    const SignalBase& s = *form->Signal();
    EXPECT_EQ(s.SampleRate, 22050.0);
    EXPECT_EQ(s.Duration, 0.5);
    EXPECT_EQ(s.Bits, 8);
    EXPECT_EQ(s.NormValue, 100);
    EXPECT_EQ(s.Channels, 2);
    EXPECT_EQ(s.SampleCount, 11025);
    for (double v : s.Left) {
        ASSERT_EQ(v, 0.0);
    }
    EXPECT_EQ(form->StatusText(), "Parameters changed.");
    EXPECT_EQ(form->GroupCaption(), "New Signal");
    zembrel::WavFileRead reader(form->TempFileName().toStdString());
    EXPECT_EQ(reader.Channels(), 2);
    EXPECT_EQ(reader.Bits(), 8);
    EXPECT_EQ(reader.Frames(), 11025);

    // A fractional rate is kept as it is.
    auto fractional = OpenChange();
    Set(*fractional, "16", "44100.5", "1.0", "32768", "1");
    fractional->Button2Click();
    EXPECT_EQ(form->Signal()->SampleRate, 44100.5);
}

TEST_F(ParameterDialogs, CancelChangesNothing) {
    const SignalBase before = *form->Signal();
    auto d = OpenChange();
    Set(*d, "8", "8000", "2.0", "100", "2");
    d->Button1Click();
    EXPECT_EQ(d->result(), QDialog::Rejected);
    EXPECT_EQ(form->Signal()->SampleRate, before.SampleRate);
    EXPECT_EQ(form->Signal()->Channels, 1);
}

TEST_F(ParameterDialogs, DisplayShowsTheFormatAndFollowsAChange) {
    Commit(SignalBase(32075.0, 0.5, 8, 100, 1));
    TFDlgShowParameters show(nullptr, form->TempFileName(), form.get(), form->Signal());
    EXPECT_EQ(show.windowTitle(), "Signal Parameters");
    EXPECT_EQ(show.NumChan->text(), "1");
    EXPECT_EQ(show.res->text(), "8");
    EXPECT_EQ(show.fs->text(), "32075.0");
    EXPECT_EQ(show.t_sample->text(), "0.000031177");
    EXPECT_EQ(show.t_file->text(), "0.5");
    EXPECT_EQ(show.Label6->text(), "Normvalue 8 Bit:");
    EXPECT_EQ(show.norm->text(), "100");
    EXPECT_EQ(show.n->text(), "16037");

    // "Change" to stereo 16 bit: the display refreshes and the main window shows two charts.
    show.RunChangeDialog = [this](QDialog& dialog) {
        auto& change = static_cast<TFDlgChangeParameters&>(dialog);
        change.ShowErrorMessage = [this](const QString& text) { errors.append(text); };
        change.CNumChan->setCurrentText("2");
        change.Button2Click();
    };
    show.Button1Click();
    EXPECT_TRUE(errors.isEmpty());
    EXPECT_EQ(show.NumChan->text(), "2");
    EXPECT_EQ(show.Label6->text(), "Normvalue 16 Bit:");
    EXPECT_EQ(show.fs->text(), "44100.0");
    EXPECT_TRUE(form->Chart2->isVisible());
}

TEST_F(ParameterDialogs, FileNewGoesThroughTheDisplayAndBuildsSilenceInTheChangedFormat) {
    DialogFactories dialogs = InstalledDialogs();
    dialogs.ShowParameters1 = [this](QString temp, TMainform* main, SignalBase* signal) {
        auto show = std::make_unique<TFDlgShowParameters>(nullptr, temp, main, signal);
        show->RunChangeDialog = [this](QDialog& dialog) {
            auto& change = static_cast<TFDlgChangeParameters&>(dialog);
            change.ShowErrorMessage = [this](const QString& text) { errors.append(text); };
            change.frequ->setEditText("8000");
            change.Button2Click();
        };
        // The display is modal; "Change", then "OK", as a user would.
        QTimer::singleShot(0, show.get(), [s = show.get()] {
            s->Button1Click();
            s->Button2Click();
        });
        return std::unique_ptr<QDialog>(std::move(show));
    };
    form->SetDialogs(dialogs);
    Commit(guitest::Tone(44100.0, 1.0, 1, 16, 440.0, 0.0, 1000.0));
    form->New1Click();
    EXPECT_TRUE(errors.isEmpty());
    EXPECT_EQ(form->Signal()->SampleRate, 8000.0);
    EXPECT_EQ(form->Signal()->SampleCount, 8000);
    EXPECT_EQ(form->StatusText(), "New signal created.");
    EXPECT_EQ(form->GroupCaption(), "New Signal");
}

} // namespace
