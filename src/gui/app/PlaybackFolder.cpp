#include "gui/app/PlaybackFolder.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtGlobal>

#include <stdexcept>

namespace {

std::unique_ptr<QTemporaryDir> MakeFolderIn(const QString& parent) {
    // QTemporaryDir creates the folder atomically with mode 0700 and a random suffix.
    auto dir =
        std::make_unique<QTemporaryDir>(QDir(parent).filePath(QStringLiteral("zembrel-XXXXXX")));
    if (!dir->isValid()) {
        return nullptr;
    }
    dir->setAutoRemove(true);
    return dir;
}

} // namespace

PlaybackFolder::PlaybackFolder() {
    const QString temp = qEnvironmentVariable("TEMP");
    if (!temp.isEmpty()) {
        dir_ = MakeFolderIn(temp);
        if (!dir_) {
            qWarning("Cannot make a folder in TEMP (%s); using %s instead", qPrintable(temp),
                     qPrintable(QDir::tempPath()));
        }
    }
    if (!dir_) {
        dir_ = MakeFolderIn(QDir::tempPath());
    }
    if (!dir_) {
        throw std::runtime_error("Cannot create a temporary folder in " +
                                 QDir::tempPath().toStdString());
    }
}

PlaybackFolder::~PlaybackFolder() = default;

QString PlaybackFolder::Path() const {
    return dir_ ? dir_->path() : QString();
}

QString PlaybackFolder::FilePath() const {
    return dir_ ? dir_->filePath(QString::fromLatin1(kFileName)) : QString();
}

bool PlaybackFolder::Remove() {
    if (!dir_) {
        return true;
    }
    const bool removed = dir_->remove();
    dir_.reset();
    return removed;
}
