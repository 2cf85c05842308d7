// Running out of memory is a message, not the end of the program. CTest runs this suite in a
// process of its own, whose address space the test limits (RLIMIT_AS) to a little more than it
// uses, so that the largest signal cannot be made.

#include "tests/gui/UserInput.h"
#include "tests/gui/app/MainformFixture.h"

#include "core/generators/FinishSignal.h"
#include "core/signal/SignalBase.h"
#include "gui/app/DialogFactories.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>

#include <fstream>
#include <string>
#include <sys/resource.h>

namespace {

using namespace userinput;
using zembrel::SignalBase;

// Bytes of address space in use now.
unsigned long AddressSpaceInUse() {
    std::ifstream status("/proc/self/status");
    std::string key;
    unsigned long kib = 0;
    while (status >> key) {
        if (key == "VmSize:") {
            status >> kib;
            break;
        }
        status.ignore(1 << 12, '\n');
    }
    return kib * 1024;
}

// While it lives, the process can take only headroom more bytes of address space.
class AddressSpaceLimit {
public:
    explicit AddressSpaceLimit(unsigned long headroom) {
        getrlimit(RLIMIT_AS, &saved_);
        rlimit limit = saved_;
        limit.rlim_cur = AddressSpaceInUse() + headroom;
        EXPECT_EQ(setrlimit(RLIMIT_AS, &limit), 0);
    }
    ~AddressSpaceLimit() { setrlimit(RLIMIT_AS, &saved_); }

private:
    rlimit saved_ = {};
};

class MemoryExhaustion : public MainformFixture {
protected:
    void SetUp() override { MakeForm(InstalledDialogs()); }
};

TEST_F(MemoryExhaustion, TheLargestSignalAndFileAreRefusedWithAMessage) {
    SignalBase tone = guitest::Tone(44100.0, 1.0, 1, 16, 440.0, 0.0, 9000.0);
    zembrel::FinishSignal(tone, -10.0);
    Commit(tone);
    const QByteArray file = guitest::ReadBytes(form->TempFileName());
    // 180 s, 48 kHz, stereo: 34.6 MB on disk, 138 MB in memory.
    const QString large = temp.Path() + "/large.wav";
    guitest::WriteWav(large, SignalBase(48000.0, 180.0, 16, 32768, 2));
    const auto expectUnchanged = [&] {
        EXPECT_EQ(form->Signal()->Mono, tone.Mono);
        EXPECT_EQ(form->Chart1->PointCount(), tone.SampleCount);
        EXPECT_EQ(guitest::ReadBytes(form->TempFileName()), file);
    };

    ModalWatchdog watchdog(15000);
    QStringList messages;
    {
        AddressSpaceLimit limit(64ul << 20);
        guitest::MessageBoxCatcher boxes;
        OnNextModal([&](QWidget* show) {
            OnNextModal([&](QWidget* change) {
                TypeInto(change->findChild<QComboBox*>("frequ"), "48000");
                TypeInto(change->findChild<QComboBox*>("len"), "180");
                Click(change->findChild<QComboBox*>("CNumChan"));
                Press(Qt::Key_Down);
                Press(Qt::Key_Return);
                Press(Qt::Key_Return); // refused after a message; the dialog stays open
                Press(Qt::Key_Escape);
            });
            Click(show->findChild<QPushButton*>("Button1"));
            Press(Qt::Key_Escape);
        });
        ChooseMenu("PS");
        expectUnchanged();

        OnNextModal([&](QWidget* dialog) {
            TypeInto(dialog->findChild<QLineEdit*>("fileNameEdit"), large);
            Press(Qt::Key_Return);
        });
        Press(Qt::Key_O, Qt::ControlModifier);
        expectUnchanged();
        messages = boxes.Texts();
    }
    ASSERT_EQ(messages.size(), 2) << messages.join(" | ").toStdString();
    EXPECT_TRUE(messages[0].contains("not enough memory")) << messages[0].toStdString();
    EXPECT_TRUE(messages[1].contains("too large")) << messages[1].toStdString();

    // The program goes on: with memory back, the same file opens.
    OnNextModal([&](QWidget* dialog) {
        TypeInto(dialog->findChild<QLineEdit*>("fileNameEdit"), large);
        Press(Qt::Key_Return);
    });
    Press(Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(form->Signal()->SampleCount, 8640000);
    EXPECT_EQ(form->GroupCaption(), large);
}

} // namespace
