// File New, Open and Save of the main window, with good and broken files.

#include "tests/gui/app/MainformFixture.h"

#include "gui/app/WaveformChart.h"

#include "core/signal/SignalBase.h"

#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QTimer>

namespace {

using guitest::ReadBytes;
using guitest::Tone;
using zembrel::SignalBase;

// The bytes the WAV writer makes of signal, for comparing files.
QByteArray CanonicalBytes(const SignalBase& signal, const QString& folder) {
    const QString name = folder + "/canonical.wav";
    guitest::WriteWav(name, signal);
    QByteArray bytes = ReadBytes(name);
    QFile::remove(name);
    return bytes;
}

QByteArray WavHeader(int channels, int bits, int rate, int dataBytes) {
    QByteArray h;
    auto u32 = [&h](quint32 v) {
        for (int i = 0; i < 4; ++i) {
            h.append(char((v >> (8 * i)) & 0xFF));
        }
    };
    auto u16 = [&h](quint16 v) {
        h.append(char(v & 0xFF));
        h.append(char(v >> 8));
    };
    const int block = channels * bits / 8;
    h.append("RIFF");
    u32(36 + dataBytes);
    h.append("WAVEfmt ");
    u32(16);
    u16(1);
    u16(quint16(channels));
    u32(quint32(rate));
    u32(quint32(rate * block));
    u16(quint16(block));
    u16(quint16(bits));
    h.append("data");
    u32(quint32(dataBytes));
    return h;
}

class FileCommands : public MainformFixture {
protected:
    QString Path(const QString& name) const { return temp.Path() + "/" + name; }

    // Everything a refused or failed command must leave as it was.
    struct Snapshot {
        SignalBase signal;
        QByteArray playbackFile;
        QString caption;
        int points;
        bool stereoView;
    };
    Snapshot Take() const {
        return {*form->Signal(), ReadBytes(form->TempFileName()), form->GroupCaption(),
                form->Chart1->PointCount(), form->Chart2->isVisible()};
    }
    void ExpectUnchanged(const Snapshot& before) const {
        EXPECT_EQ(form->Signal()->Channels, before.signal.Channels);
        EXPECT_EQ(form->Signal()->SampleRate, before.signal.SampleRate);
        EXPECT_EQ(form->Signal()->Mono, before.signal.Mono);
        EXPECT_EQ(form->Signal()->Left, before.signal.Left);
        EXPECT_EQ(ReadBytes(form->TempFileName()), before.playbackFile);
        EXPECT_EQ(form->GroupCaption(), before.caption);
        EXPECT_EQ(form->Chart1->PointCount(), before.points);
        EXPECT_EQ(form->Chart2->isVisible(), before.stereoView);
    }
};

TEST_F(FileCommands, NewMakesSilenceInTheCurrentFormat) {
    Commit(Tone(8000.0, 0.5, 2, 16, 440.0, 880.0, 9000.0));
    form->SetGroupCaption("/some/file.wav");
    form->New1->trigger();

    const SignalBase& s = *form->Signal();
    EXPECT_EQ(s.SampleRate, 8000.0);
    EXPECT_EQ(s.Duration, 0.5);
    EXPECT_EQ(s.Channels, 2);
    EXPECT_EQ(s.Bits, 16);
    EXPECT_EQ(s.SampleCount, 4000);
    EXPECT_EQ(*std::max_element(s.Left.begin(), s.Left.end()), 0.0);
    EXPECT_EQ(*std::max_element(s.Right.begin(), s.Right.end()), 0.0);
    EXPECT_EQ(form->GroupCaption(), "New Signal");
    EXPECT_EQ(form->StatusText(), "New signal created.");
    EXPECT_EQ(ReadBytes(form->TempFileName()),
              CanonicalBytes(SignalBase(8000.0, 0.5, 16, 32768, 2), temp.Path()));
    EXPECT_EQ(guitest::LargestValue(form->LineSeries1), 0.0) << "view redrawn";
    EXPECT_EQ(guitest::LargestValue(form->LineSeries2), 0.0);
}

TEST_F(FileCommands, NewTakesTheFormatChosenInTheParameterDisplay) {
    DialogFactories dialogs;
    int shown = 0;
    dialogs.ShowParameters1 = [&](QString, TMainform*, SignalBase* signal) {
        ++shown;
        // What a format change there does: replace the shared signal.
        *signal = Tone(22050.0, 2.0, 2, 8, 100.0, 100.0, 50.0);
        auto dialog = std::make_unique<QDialog>();
        QTimer::singleShot(0, dialog.get(), &QDialog::accept);
        return dialog;
    };
    form->SetDialogs(dialogs);
    form->New1Click();
    EXPECT_EQ(shown, 1);
    const SignalBase& s = *form->Signal();
    EXPECT_EQ(s.SampleRate, 22050.0);
    EXPECT_EQ(s.Duration, 2.0);
    EXPECT_EQ(s.Channels, 2);
    EXPECT_EQ(s.Bits, 8);
    EXPECT_EQ(s.NormValue, 128);
    EXPECT_EQ(ReadBytes(form->TempFileName()),
              CanonicalBytes(SignalBase(22050.0, 2.0, 8, 128, 2), temp.Path()));
    EXPECT_EQ(form->StatusText(), "New signal created.");
}

TEST_F(FileCommands, OpenStereoFileSwitchesToTwoChartsAndNamesTheFile) {
    const SignalBase tone = Tone(16000.0, 0.25, 2, 16, 500.0, 1000.0, 12000.0);
    for (const QString& name : {QString("stereo.wav"), QString("UPPER.WAV")}) {
        SCOPED_TRACE(name.toStdString());
        form->New1Click();
        form->SetStatusText("before");
        guitest::WriteWav(Path(name), tone);
        form->OpenDialog1 = [&] { return Path(name); };
        guitest::MessageBoxCatcher boxes;
        form->Open1->trigger();

        EXPECT_TRUE(boxes.Texts().isEmpty());
        const SignalBase& s = *form->Signal();
        EXPECT_EQ(s.Channels, 2);
        EXPECT_EQ(s.SampleRate, 16000.0);
        EXPECT_EQ(s.SampleCount, 4000);
        EXPECT_EQ(s.Left[100], std::trunc(tone.Left[100]));
        EXPECT_EQ(s.Right[100], std::trunc(tone.Right[100]));
        EXPECT_EQ(form->GroupCaption(), Path(name));
        EXPECT_EQ(form->StatusText(), "before") << "Open writes no status";
        EXPECT_TRUE(form->Chart2->isVisible());
        EXPECT_EQ(form->Chart1->yAxis->label(), "Amplitude L");
        EXPECT_EQ(form->Chart2->yAxis->label(), "Amplitude R");
        EXPECT_EQ(form->Chart2->PointCount(), 4000);
        EXPECT_EQ(ReadBytes(form->TempFileName()), ReadBytes(Path(name)));
    }
}

TEST_F(FileCommands, OpenRefusesWhatItCannotTakeAndSaysWhy) {
    Commit(Tone(8000.0, 0.5, 1, 16, 440.0, 0.0, 5000.0));
    form->SetGroupCaption("kept");
    const QByteArray goodWav =
        CanonicalBytes(Tone(8000.0, 0.1, 1, 16, 440.0, 0.0, 100.0), temp.Path());
    QDir(temp.Path()).mkdir("folder.wav");

    struct Case {
        QString name;
        QByteArray contents; // null: not written
        QString reason;      // a part of the message
    };
    const std::vector<Case> cases = {
        {"good-but-named.txt", goodWav, "not a WAV file"},
        {"text.wav", QByteArray("This is a text file, not a sound."), "RIFF"},
        {"24bit.wav", WavHeader(1, 24, 44100, 300) + QByteArray(300, '\0'), "24 bits"},
        {"fourchannels.wav", WavHeader(4, 16, 44100, 800) + QByteArray(800, '\0'), "4 channels"},
        // What the window cannot hold is named, with the program that reads it.
        {"hires.wav", WavHeader(2, 24, 96000, 600) + QByteArray(600, '\0'),
         "24-bit PCM, 96000 Hz, stereo; zembrel-cli reads it"},
        {"empty.wav", QByteArray(""), "not a WAV file"},
        {"missing.wav", QByteArray(), "cannot open"},
        {"folder.wav", QByteArray(), ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name.toStdString());
        if (!c.contents.isNull()) {
            guitest::WriteBytes(Path(c.name), c.contents);
        }
        const Snapshot before = Take();
        form->OpenDialog1 = [&] { return Path(c.name); };
        guitest::MessageBoxCatcher boxes;
        form->Open1->trigger();
        ASSERT_EQ(boxes.Texts().size(), 1);
        const QString message = boxes.Texts()[0];
        EXPECT_TRUE(message.contains(c.name)) << message.toStdString();
        EXPECT_TRUE(message.contains(c.reason, Qt::CaseInsensitive)) << message.toStdString();
        ExpectUnchanged(before);
    }
}

TEST_F(FileCommands, CancelledDialogsDoNothing) {
    Commit(Tone(8000.0, 0.5, 1, 16, 440.0, 0.0, 5000.0));
    form->SetStatusText("untouched");
    const Snapshot before = Take();
    form->OpenDialog1 = [] { return QString(); };
    form->SaveDialog1 = [] { return QString(); };
    guitest::MessageBoxCatcher boxes;
    form->Open1Click();
    form->Save1Click();
    EXPECT_TRUE(boxes.Texts().isEmpty());
    EXPECT_EQ(form->StatusText(), "untouched");
    ExpectUnchanged(before);
}

TEST_F(FileCommands, SaveWritesWavFilesOnlyAndReportsTheResult) {
    const SignalBase tone = Tone(11025.0, 0.5, 1, 8, 300.0, 0.0, 100.0);
    Commit(tone);
    struct Case {
        QString name;
        bool saved;
    };
    for (const Case& c : {Case{"out.wav", true}, Case{"OUT2.WAV", true}, Case{"raw.dat", false},
                          Case{"noextension", false}}) {
        SCOPED_TRACE(c.name.toStdString());
        form->SetGroupCaption("caption");
        form->SaveDialog1 = [&] { return Path(c.name); };
        guitest::MessageBoxCatcher boxes;
        form->Save1->trigger();
        EXPECT_TRUE(boxes.Texts().isEmpty());
        if (c.saved) {
            EXPECT_EQ(form->StatusText(), "File saved.");
            EXPECT_EQ(form->GroupCaption(), Path(c.name));
            EXPECT_EQ(ReadBytes(Path(c.name)), CanonicalBytes(tone, temp.Path()));
        } else {
            EXPECT_EQ(form->StatusText(), "File not saved.");
            EXPECT_EQ(form->GroupCaption(), "caption");
            EXPECT_FALSE(QFileInfo::exists(Path(c.name)));
        }
    }
}

TEST_F(FileCommands, FailedSaveSaysWhyAndLeavesAnExistingFileIntact) {
    Commit(Tone(44100.0, 1.0, 2, 16, 440.0, 440.0, 20000.0));
    form->SetGroupCaption("caption");

    // A folder that does not exist.
    form->SaveDialog1 = [&] { return Path("no/such/folder/x.wav"); };
    {
        guitest::MessageBoxCatcher boxes;
        form->Save1Click();
        ASSERT_EQ(boxes.Texts().size(), 1);
        EXPECT_TRUE(boxes.Texts()[0].contains("x.wav")) << boxes.Texts()[0].toStdString();
        EXPECT_TRUE(boxes.Texts()[0].contains("No such file or directory"))
            << boxes.Texts()[0].toStdString();
    }
    EXPECT_EQ(form->StatusText(), "File not saved.");
    EXPECT_EQ(form->GroupCaption(), "caption");

    // A disk that fills up halfway: the file size limit makes every write beyond 64 KiB fail
    // as a full disk would. The signal needs 176 KB.
    const QByteArray old = "an older file of the same name";
    guitest::WriteBytes(Path("existing.wav"), old);
    form->SaveDialog1 = [&] { return Path("existing.wav"); };
    form->SetStatusText("");
    QStringList texts;
    {
        guitest::FileSizeLimit limit(64 * 1024);
        guitest::MessageBoxCatcher boxes;
        form->Save1Click();
        texts = boxes.Texts();
    }

    ASSERT_EQ(texts.size(), 1);
    EXPECT_TRUE(texts[0].contains("existing.wav")) << texts[0].toStdString();
    EXPECT_EQ(form->StatusText(), "File not saved.");
    EXPECT_EQ(form->GroupCaption(), "caption");
    EXPECT_EQ(ReadBytes(Path("existing.wav")), old);
    EXPECT_EQ(QDir(temp.Path()).entryList(QDir::Files), QStringList({"existing.wav"}))
        << "no half-written file is left behind";
}

TEST_F(FileCommands, SaveDialogOffersWavAndRawFiltersAndTheNameSignal) {
    const SignalBase tone = Tone(8000.0, 0.1, 1, 16, 440.0, 0.0, 1000.0);
    Commit(tone);
    QStringList filters;
    QString suggested;
    QString suffix;
    guitest::AnswerNextModal([&](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        filters = dialog->nameFilters();
        suffix = dialog->defaultSuffix();
        if (auto* edit = dialog->findChild<QLineEdit*>()) {
            suggested = edit->text();
        }
        dialog->selectFile(Path("typed"));
        static_cast<QDialog*>(dialog)->accept(); // QFileDialog's own accept is protected
    });
    form->Save1Click();
    EXPECT_EQ(filters, QStringList({"Windows-PCM files (*.wav)", "Raw Data files (*.dat)"}));
    EXPECT_EQ(suffix, "wav");
    EXPECT_EQ(suggested, "signal");
    EXPECT_EQ(form->StatusText(), "File saved.");
    EXPECT_EQ(ReadBytes(Path("typed.wav")), CanonicalBytes(tone, temp.Path()));
}

TEST_F(FileCommands, OpenDialogOffersWavFiles) {
    QStringList filters;
    guitest::AnswerNextModal([&](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        filters = dialog->nameFilters();
        dialog->reject();
    });
    const Snapshot before = Take();
    form->Open1Click();
    EXPECT_EQ(filters, QStringList({"Windows-PCM files (*.wav)"}));
    ExpectUnchanged(before);
}

} // namespace
