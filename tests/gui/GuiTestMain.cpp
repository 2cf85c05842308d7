#include <gtest/gtest.h>

#include "tests/gui/UserInput.h"

#include "gui/app/ZembrelApplication.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>

namespace {

// Input a test queued for a state that never came fails that test and is cancelled before the
// next test starts. A listener's failure still counts for the test that just ended.
class PendingInputCheck : public ::testing::EmptyTestEventListener {
    void OnTestEnd(const ::testing::TestInfo&) override {
        if (const int pending = userinput::CancelPendingInput(); pending > 0) {
            ADD_FAILURE() << pending << " queued input(s) still waited for their state at the end";
        }
    }
};

} // namespace

// GoogleTest with one QApplication for the whole process; widgets run offscreen unless the
// environment names another platform.
int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    // The program's settings (the folders of the file dialogs) go to a folder of this run.
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
    ZembrelApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Zembrel"));
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::UnitTest::GetInstance()->listeners().Append(new PendingInputCheck);
    return RUN_ALL_TESTS();
}
