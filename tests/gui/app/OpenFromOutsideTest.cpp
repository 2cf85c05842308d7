// Files opened from outside the program: named on its command line, as a file manager or the
// desktop menu starts it, and dropped on the main window. Both take the way of File Open: the
// same checks, the same messages, and a refused file changes nothing.

#include "tests/gui/app/MainformFixture.h"

#include "tests/gui/UserInput.h"

#include "gui/app/CommandLine.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QMimeData>
#include <QProcess>
#include <QTest>
#include <QUrl>
#include <QWindow>
#include <qpa/qplatformdrag.h>
#include <qpa/qwindowsysteminterface.h>

#include <memory>
#include <utility>

namespace {

using guitest::MessageBoxCatcher;
using guitest::ReadBytes;
using userinput::WaitUntil;
using zembrel::SignalBase;

const SignalBase kStereoTone = guitest::Tone(16000.0, 0.25, 2, 16, 500.0, 1000.0, 12000.0);

TEST(CommandLine, TakesOneFileOrAnInformationOption) {
    struct Case {
        QStringList arguments;
        std::optional<int> exitStatus;
        QString inMessage;
    };
    const std::vector<Case> cases = {
        {{}, std::nullopt, ""},
        {{"--version"}, 0, ZEMBREL_VERSION},
        {{"--help"}, 0, "FILE.wav"},
        {{"--help-all"}, 0, "FILE.wav"},
        {{"a.wav", "b.wav", "c.wav"}, 2, "not expected: b.wav c.wav"},
        {{"--frequency=1000"}, 2, "frequency"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments.join(' ').toStdString());
        const CommandLine line = ReadCommandLine(QStringList{"zembrel"} + c.arguments);
        EXPECT_EQ(line.ExitStatus, c.exitStatus);
        EXPECT_TRUE(c.inMessage.isEmpty() ? line.Message.isEmpty()
                                          : line.Message.contains(c.inMessage))
            << line.Message.toStdString();
        EXPECT_TRUE(line.File.isEmpty());
    }
}

// On a terminal without a display, where the toolkit cannot start, they still answer.
TEST(CommandLine, HelpAndVersionNeedNoDisplay) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        environment.remove(name);
    }
    for (const auto& [option, answer] :
         {std::pair{"--help", "FILE.wav"}, {"-v", ZEMBREL_VERSION}}) {
        SCOPED_TRACE(option);
        QProcess program;
        program.setProcessEnvironment(environment);
        program.start(ZEMBREL_PATH, {option});
        ASSERT_TRUE(program.waitForFinished(20000));
        EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(program.exitCode(), 0) << program.readAllStandardError().toStdString();
        EXPECT_TRUE(program.readAllStandardOutput().contains(answer));
    }
}

class OpenFromOutside : public MainformFixture {
protected:
    void SetUp() override {
        MainformFixture::SetUp();
        guitest::WriteWav(Path("tone.wav"), kStereoTone);
        guitest::WriteWav(Path("tone.txt"), kStereoTone);
        guitest::WriteBytes(Path("text.wav"), "This is a text file, not a sound.");
        startupFile_ = ReadBytes(form->TempFileName());
    }

    QString Path(const QString& name) const { return temp.Path() + "/" + name; }

    // What File Open says about fileName in the fixture's window: the reference for the
    // other ways of opening it.
    QStringList FileOpenMessages(const QString& fileName) {
        form->OpenDialog1 = [fileName] { return fileName; };
        MessageBoxCatcher boxes;
        form->Open1->trigger();
        return boxes.Texts();
    }

    static void ExpectOpened(const TMainform& window, const QString& fileName) {
        EXPECT_EQ(window.GroupCaption().toStdString(), fileName.toStdString());
        EXPECT_EQ(window.Signal()->Channels, 2);
        EXPECT_EQ(window.Signal()->SampleCount, kStereoTone.SampleCount);
        EXPECT_TRUE(window.Chart2->isVisible());
        EXPECT_EQ(ReadBytes(window.TempFileName()), ReadBytes(fileName));
    }

    // The signal every window starts with: 1 s of mono silence at 44100 Hz.
    void ExpectStartUpSignal(const TMainform& window) const {
        EXPECT_EQ(window.GroupCaption(), "New Signal");
        EXPECT_EQ(window.Signal()->Channels, 1);
        EXPECT_EQ(window.Signal()->SampleCount, 44100);
        EXPECT_EQ(*std::max_element(window.Signal()->Mono.begin(), window.Signal()->Mono.end()),
                  0.0);
        EXPECT_EQ(ReadBytes(window.TempFileName()), startupFile_);
    }

    // A window started as main() starts it, with commandLine.
    std::unique_ptr<TMainform> Start(const CommandLine& commandLine) {
        MessageBoxCatcher startupMessage; // "No sounddevice installed" where there is none
        return StartMainWindow(commandLine, DialogFactories());
    }

    // The windows and the tests change the working folder; later tests start from the same one.
    void TearDown() override { QDir::setCurrent(startFolder_); }

    QByteArray startupFile_;
    const QString startFolder_ = QDir::currentPath();
};

TEST_F(OpenFromOutside, FileOnTheCommandLineOpensFromTheFolderTheProgramStartedIn) {
    // The window makes its own folder the current one; the name must be taken before that.
    QDir::setCurrent(temp.Path());
    const CommandLine line = ReadCommandLine({"zembrel", "./tone.wav"});
    ASSERT_FALSE(line.ExitStatus.has_value());
    EXPECT_EQ(line.File.toStdString(), Path("tone.wav").toStdString());

    auto window = Start(line);
    MessageBoxCatcher boxes;
    ASSERT_TRUE(WaitUntil([&] { return window->GroupCaption() != "New Signal"; }));
    ExpectOpened(*window, Path("tone.wav"));
    EXPECT_TRUE(boxes.Texts().isEmpty()) << boxes.Texts().join('\n').toStdString();
}

TEST_F(OpenFromOutside, RefusedFileOnTheCommandLineSaysWhatFileOpenSaysAndKeepsTheStartUpSignal) {
    for (const QString name : {"text.wav", "tone.txt", "missing.wav"}) {
        SCOPED_TRACE(name.toStdString());
        const QStringList expected = FileOpenMessages(Path(name));
        ASSERT_EQ(expected.size(), 1);

        auto window = Start(ReadCommandLine({"zembrel", Path(name)}));
        MessageBoxCatcher boxes;
        ASSERT_TRUE(WaitUntil([&] { return !boxes.Texts().isEmpty(); }));
        EXPECT_EQ(boxes.Texts(), expected);
        ExpectStartUpSignal(*window);
    }
}

// The main window as a drop target, driven through the window system's own drag and drop
// calls, as a file manager's drag reaches it.
class DropOnMainWindow : public OpenFromOutside {
protected:
    static std::unique_ptr<QMimeData> Urls(const QList<QUrl>& urls) {
        auto data = std::make_unique<QMimeData>();
        data->setUrls(urls);
        return data;
    }
    std::unique_ptr<QMimeData> File(const QString& name) const {
        return Urls({QUrl::fromLocalFile(Path(name))});
    }

    // Drags data over the waveform, with every action offered as a file manager offers them;
    // Shift proposes a move. Returns the action the window took, Qt::IgnoreAction for none.
    Qt::DropAction DragAndDrop(const QMimeData& data, Qt::KeyboardModifiers modifiers = {}) {
        QWindow* window = form->windowHandle();
        const QPoint at = form->Chart1->mapTo(form.get(), form->Chart1->rect().center());
        const Qt::DropActions offered = Qt::CopyAction | Qt::MoveAction | Qt::LinkAction;
        const QPlatformDragQtResponse drag = QWindowSystemInterface::handleDrag(
            window, &data, at, offered, Qt::LeftButton, modifiers);
        const QPlatformDropQtResponse drop =
            QWindowSystemInterface::handleDrop(window, &data, at, offered, Qt::NoButton, modifiers);
        EXPECT_EQ(drag.isAccepted(), drop.isAccepted());
        return drop.isAccepted() ? drop.acceptedAction() : Qt::IgnoreAction;
    }
};

TEST_F(DropOnMainWindow, WavFileIsCopiedInAsWithFileOpen) {
    MessageBoxCatcher boxes;
    // A move would let the file manager delete the file after the drop.
    EXPECT_EQ(DragAndDrop(*File("tone.wav"), Qt::ShiftModifier), Qt::CopyAction);
    ASSERT_TRUE(WaitUntil([&] { return form->GroupCaption() != "New Signal"; }));
    ExpectOpened(*form, Path("tone.wav"));
    EXPECT_TRUE(boxes.Texts().isEmpty()) << boxes.Texts().join('\n').toStdString();
}

TEST_F(DropOnMainWindow, BrokenWavFileIsRefusedWithFileOpensMessage) {
    const QStringList expected = FileOpenMessages(Path("text.wav"));
    ASSERT_EQ(expected.size(), 1);
    MessageBoxCatcher boxes;
    EXPECT_EQ(DragAndDrop(*File("text.wav")), Qt::CopyAction);
    ASSERT_TRUE(WaitUntil([&] { return !boxes.Texts().isEmpty(); }));
    EXPECT_EQ(boxes.Texts(), expected);
    ExpectStartUpSignal(*form);
}

TEST_F(DropOnMainWindow, AnythingButOneLocalWavFileIsIgnored) {
    auto text = std::make_unique<QMimeData>();
    text->setText(Path("tone.wav"));
    struct Case {
        const char* what;
        std::unique_ptr<QMimeData> data;
        const char* status; // why, in the status line
    };
    Case cases[] = {
        {"a file of another name", File("tone.txt"),
         "tone.txt is no WAV file (*.wav) and cannot be opened."},
        {"two WAV files",
         Urls({QUrl::fromLocalFile(Path("tone.wav")), QUrl::fromLocalFile(Path("tone.wav"))}),
         "Only one file can be dropped here at a time."},
        {"a WAV file on the web", Urls({QUrl("https://example.org/tone.wav")}),
         "Only a file on this computer can be dropped here."},
        {"a file name as text", std::move(text), "Only a WAV file (*.wav) can be dropped here."},
    };
    const QStringList refused = FileOpenMessages(Path("text.wav"));
    MessageBoxCatcher boxes;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(DragAndDrop(*c.data), Qt::IgnoreAction);
        EXPECT_EQ(form->StatusText(), c.status);
    }
    // A file that is taken opens after the drop, in order: once the broken one dropped last
    // has been refused, anything the ignored drops started would have shown its message.
    EXPECT_EQ(DragAndDrop(*File("text.wav")), Qt::CopyAction);
    ASSERT_TRUE(WaitUntil([&] { return !boxes.Texts().isEmpty(); }));
    EXPECT_EQ(boxes.Texts(), refused);
    ExpectStartUpSignal(*form);
}

} // namespace
