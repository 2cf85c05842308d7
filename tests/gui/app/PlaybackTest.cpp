// Playback through a real sound server: the test command runs a private PulseAudio server with a
// null sink, and these tests record the sink's monitor while the main window plays.

#include "tests/gui/app/MainformFixture.h"

#include "gui/app/SoundOutput.h"

#include "core/signal/WavError.h"

#include <QProcess>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using guitest::Analyse;
using guitest::PeakOf;
using guitest::SinkRecorder;
using guitest::Tone;

namespace {

constexpr double kAmplitude = 16384.0; // -6 dB of 16-bit full scale
constexpr int kSilence = 100;          // recorded magnitude below which we call it silent

class Playback : public MainformFixture {
protected:
    void SetUp() override {
        const QString why = SinkRecorder::Unavailable();
        if (!why.isEmpty()) {
            GTEST_SKIP() << why.toStdString();
        }
        MainformFixture::SetUp();
        ASSERT_GT(form->SoundDevices(), 0);
    }

    // Records for ms milliseconds after a loop was started and returns what came out.
    std::vector<std::int16_t> RecordSilenceCheck(SinkRecorder& recorder) {
        QTest::qWait(150); // sound already in the server's buffers may still come out
        recorder.Discard();
        recorder.Record(400);
        return recorder.Take();
    }
};

TEST_F(Playback, OneSecondToneComesOutWholeAtItsFrequencyAndLevel) {
    Commit(Tone(44100.0, 1.0, 1, 16, 1000.0, 0.0, kAmplitude));
    SinkRecorder recorder(1);
    ASSERT_TRUE(recorder.Start());

    form->BPlay->click();
    EXPECT_EQ(form->StatusText(), "Playing sound...");
    EXPECT_TRUE(form->Timer1->isActive());
    EXPECT_EQ(form->Timer1->interval(), 1000);
    recorder.Record(1700);

    const auto stats = Analyse(recorder.Take(), SinkRecorder::kRate);
    ASSERT_TRUE(stats.found);
    EXPECT_NEAR(stats.length, 1.0, 0.05);
    EXPECT_NEAR(stats.frequency, 1000.0, 5.0);
    EXPECT_NEAR(stats.peak, kAmplitude, 0.05 * kAmplitude);
    // The timer has marked the end of the single playback.
    EXPECT_EQ(form->StatusText(), "Playing sound stopped.");
    EXPECT_FALSE(form->Timer1->isActive());
}

TEST_F(Playback, StereoChannelsKeepTheirOwnContents) {
    Commit(Tone(44100.0, 0.5, 2, 16, 1000.0, 250.0, kAmplitude));
    SinkRecorder recorder(2);
    ASSERT_TRUE(recorder.Start());
    form->BPlay->click();
    recorder.Record(1200);
    const auto samples = recorder.Take();

    const auto left = Analyse(guitest::Channel(samples, 2, 0), SinkRecorder::kRate);
    const auto right = Analyse(guitest::Channel(samples, 2, 1), SinkRecorder::kRate);
    ASSERT_TRUE(left.found);
    ASSERT_TRUE(right.found);
    EXPECT_NEAR(left.frequency, 1000.0, 5.0);
    EXPECT_NEAR(right.frequency, 250.0, 5.0);
    EXPECT_NEAR(left.length, 0.5, 0.05);
    EXPECT_NEAR(right.length, 0.5, 0.05);
    EXPECT_NEAR(left.peak, kAmplitude, 0.05 * kAmplitude);
}

TEST_F(Playback, EightBitFileIsCentredAndScaled) {
    // 8-bit samples are centred on 128; an amplitude of 64 is half of full scale.
    Commit(Tone(22050.0, 0.5, 1, 8, 1000.0, 0.0, 64.0));
    SinkRecorder recorder(1);
    ASSERT_TRUE(recorder.Start());
    form->BPlay->click();
    recorder.Record(1200);

    const auto samples = recorder.Take();
    const auto stats = Analyse(samples, SinkRecorder::kRate);
    ASSERT_TRUE(stats.found);
    EXPECT_NEAR(stats.length, 0.5, 0.05);
    EXPECT_NEAR(stats.frequency, 1000.0, 5.0);
    EXPECT_NEAR(stats.peak, 64.0 * 256.0, 0.06 * 64.0 * 256.0);
    // No offset: outside the tone the output is silent, not a DC step at 128.
    std::vector<std::int16_t> tail(samples.end() - SinkRecorder::kRate / 10, samples.end());
    EXPECT_LT(PeakOf(tail), kSilence);
}

TEST_F(Playback, LoopRepeatsUntilStopSilencesIt) {
    Commit(Tone(44100.0, 0.25, 1, 16, 1000.0, 0.0, kAmplitude));
    SinkRecorder recorder(1);
    ASSERT_TRUE(recorder.Start());

    form->BPlayLoop->click();
    EXPECT_EQ(form->StatusText(), "Playing sound...");
    EXPECT_FALSE(form->Timer1->isActive());
    recorder.Record(1200);
    const auto looping = Analyse(recorder.Take(), SinkRecorder::kRate);
    ASSERT_TRUE(looping.found);
    EXPECT_GT(looping.length, 0.9); // more than three periods of 0.25 s
    EXPECT_NEAR(looping.frequency, 1000.0, 5.0);
    // The sound server names the stream after the program.
    QProcess pactl;
    pactl.start(QStringLiteral("pactl"), {QStringLiteral("list"), QStringLiteral("sink-inputs")});
    ASSERT_TRUE(pactl.waitForFinished(5000));
    EXPECT_TRUE(pactl.readAllStandardOutput().contains("application.name = \"Zembrel\""));

    form->BStopPlaying->click();
    EXPECT_EQ(form->StatusText(), "Playing sound stopped.");
    EXPECT_LT(PeakOf(RecordSilenceCheck(recorder)), kSilence);
}

TEST_F(Playback, PlayAfterRewriteOfTheFilePlaysTheNewContents) {
    Commit(Tone(44100.0, 0.3, 1, 16, 1000.0, 0.0, kAmplitude));
    SinkRecorder recorder(1);
    ASSERT_TRUE(recorder.Start());
    form->BPlay->click();
    recorder.Record(800);
    EXPECT_NEAR(Analyse(recorder.Take(), SinkRecorder::kRate).frequency, 1000.0, 5.0);

    // Same file name, new contents.
    Commit(Tone(44100.0, 0.3, 1, 16, 2000.0, 0.0, kAmplitude));
    form->BPlay->click();
    recorder.Record(800);
    EXPECT_NEAR(Analyse(recorder.Take(), SinkRecorder::kRate).frequency, 2000.0, 5.0);
}

TEST_F(Playback, PlayingAgainRestartsSoundAndTimer) {
    Commit(Tone(44100.0, 1.0, 1, 16, 1000.0, 0.0, kAmplitude));
    SinkRecorder recorder(1);
    ASSERT_TRUE(recorder.Start());
    form->BPlay->click();
    recorder.Record(500);
    form->BPlay->click();
    // 1.2 s after the first start the first timer would have fired; the restarted one has not.
    recorder.Record(700);
    EXPECT_EQ(form->StatusText(), "Playing sound...");
    recorder.Record(900);
    EXPECT_EQ(form->StatusText(), "Playing sound stopped.");
    const auto stats = Analyse(recorder.Take(), SinkRecorder::kRate);
    EXPECT_NEAR(stats.length, 1.5, 0.06); // half of the first run, then the whole second one
}

TEST_F(Playback, TimerMarksTheEndOfSinglePlaybackOnlyAndLeavesALoopRunning) {
    Commit(Tone(44100.0, 0.5, 1, 16, 1000.0, 0.0, kAmplitude));
    SinkRecorder recorder(1);
    ASSERT_TRUE(recorder.Start());
    form->BPlay->click();
    form->BPlayLoop->click();
    recorder.Record(900);
    EXPECT_EQ(form->StatusText(), "Playing sound stopped.");
    recorder.Discard();
    recorder.Record(300);
    EXPECT_GT(PeakOf(recorder.Take()), kAmplitude / 2); // the loop goes on
    form->BStopPlaying->click();
}

TEST_F(Playback, TimerIntervalIsTheDurationInWholeMilliseconds) {
    struct Case {
        double rate;
        double duration;
        int interval; // 0: no timer runs
    };
    for (const Case& c :
         {Case{44100.0, 2.5, 2500}, Case{8000.0, 0.0999, 99}, Case{44100.0, 0.0005, 0}}) {
        SCOPED_TRACE(c.duration);
        Commit(zembrel::SignalBase(c.rate, c.duration, 16, 32768, 1));
        form->SetStatusText(QString());
        form->BPlay->click();
        EXPECT_EQ(form->StatusText(), "Playing sound...");
        EXPECT_EQ(form->Timer1->isActive(), c.interval > 0);
        if (c.interval > 0) {
            EXPECT_EQ(form->Timer1->interval(), c.interval);
        }
        form->BStopPlaying->click();
    }
    // Below 1 ms the status is never reset by the timer.
    Commit(zembrel::SignalBase(44100.0, 0.0005, 16, 32768, 1));
    form->BPlay->click();
    QTest::qWait(100);
    EXPECT_EQ(form->StatusText(), "Playing sound...");
}

// Commands that replace the signal stop the sound first and leave the status alone; Save
// does not stop it.
TEST_F(Playback, NewOpenAndGeneratorsStopTheSoundButSaveDoesNot) {
    const QString other = temp.Path() + "/other.wav";
    guitest::WriteWav(other, Tone(44100.0, 0.2, 1, 16, 500.0, 0.0, kAmplitude));
    const QString saved = temp.Path() + "/saved.wav";

    DialogFactories dialogs;
    dialogs.Sine = [](QString, TMainform*, zembrel::SignalBase*) {
        auto dialog = std::make_unique<QDialog>();
        QTimer::singleShot(0, dialog.get(), &QDialog::reject);
        return dialog;
    };
    form->SetDialogs(dialogs);
    form->OpenDialog1 = [&] { return other; };
    form->SaveDialog1 = [&] { return saved; };

    struct Command {
        const char* name;
        std::function<void()> run;
        bool stops;
    };
    const std::vector<Command> commands = {
        {"New", [&] { form->New1Click(); }, true},
        {"Open", [&] { form->Open1Click(); }, true},
        {"Generator", [&] { form->SineClick(); }, true},
        {"Save", [&] { form->Save1Click(); }, false},
    };
    SinkRecorder recorder(1);
    ASSERT_TRUE(recorder.Start());
    for (const Command& command : commands) {
        SCOPED_TRACE(command.name);
        Commit(Tone(44100.0, 0.25, 1, 16, 1000.0, 0.0, kAmplitude));
        form->BPlayLoop->click();
        recorder.Record(300);
        command.run();
        const int peak = PeakOf(RecordSilenceCheck(recorder));
        if (command.stops) {
            EXPECT_LT(peak, kSilence);
        } else {
            EXPECT_GT(peak, kAmplitude / 2);
        }
    }
    form->BStopPlaying->click();
}

TEST_F(Playback, UnreadablePlaybackFileIsReportedAndStatusStays) {
    ASSERT_TRUE(QFile::remove(form->TempFileName()));
    guitest::MessageBoxCatcher boxes;
    form->BPlay->click();
    ASSERT_EQ(boxes.Texts().size(), 1);
    EXPECT_TRUE(boxes.Texts()[0].contains("could not be played")) << boxes.Texts()[0].toStdString();
    EXPECT_EQ(form->StatusText(), "Playing sound...");
}

TEST(SoundOutputTest, PlayRefusesWhatIsNoWavFile) {
    guitest::ScopedTempEnv temp;
    SoundOutput sound;
    EXPECT_THROW(sound.Play(temp.Path() + "/missing.wav", false), zembrel::WavError);
    guitest::WriteBytes(temp.Path() + "/text.wav", QByteArray("just some text, no RIFF"));
    EXPECT_THROW(sound.Play(temp.Path() + "/text.wav", false), zembrel::WavError);
    EXPECT_FALSE(sound.IsPlaying());
}

} // namespace
