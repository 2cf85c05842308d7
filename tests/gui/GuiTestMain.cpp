#include <gtest/gtest.h>

#include "gui/app/ZembrelApplication.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>

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
    return RUN_ALL_TESTS();
}
