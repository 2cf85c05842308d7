// A sound output that fails while it plays is reported. CTest runs this suite in a process of
// its own: it starts a private PulseAudio server, plays into it and ends the server.

#include "tests/gui/GuiTestSupport.h"

#include "gui/app/SoundOutput.h"

#include <gtest/gtest.h>

#include <QAudioDevice>
#include <QMediaDevices>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <QTest>

namespace {

TEST(SoundServerLoss, TheEndOfTheSoundServerWhilePlayingIsReported) {
    if (QStandardPaths::findExecutable(QStringLiteral("pulseaudio")).isEmpty()) {
        GTEST_SKIP() << "pulseaudio is not installed";
    }
    QTemporaryDir runtime;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
    env.insert(QStringLiteral("PULSE_RUNTIME_PATH"), runtime.path() + "/pulse");
    env.remove(QStringLiteral("PULSE_SERVER"));
    const auto run = [&env](const QStringList& args) {
        QProcess p;
        p.setProcessEnvironment(env);
        p.start(QStringLiteral("pulseaudio"), args);
        return p.waitForFinished(10000) && p.exitCode() == 0;
    };
    ASSERT_TRUE(run({"--daemonize=yes", "-n", "--exit-idle-time=-1", "--system=false",
                     "--load=module-native-protocol-unix",
                     "--load=module-null-sink sink_name=zembrel_loss"}));
    // Before the first use of the sound output in this process.
    qputenv("PULSE_SERVER", QFile::encodeName("unix:" + runtime.path() + "/pulse/native"));
    ASSERT_TRUE(QTest::qWaitFor([] { return !QMediaDevices::audioOutputs().isEmpty(); }, 5000));

    guitest::ScopedTempEnv temp;
    const QString file = temp.Path() + "/tone.wav";
    guitest::WriteWav(file, guitest::Tone(44100.0, 1.0, 1, 16, 440.0, 0.0, 1000.0));
    SoundOutput sound;
    QStringList failures;
    QObject::connect(&sound, &SoundOutput::Failed, [&](const QString& why) { failures << why; });
    sound.Play(file, true);
    ASSERT_TRUE(QTest::qWaitFor([&] { return sound.IsSounding(); }, 5000));
    QTest::qWait(200);
    EXPECT_TRUE(failures.isEmpty());

    ASSERT_TRUE(run({"--kill"}));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !failures.isEmpty(); }, 5000));
    EXPECT_EQ(failures, QStringList{"the sound output stopped with an error"});
}

} // namespace
