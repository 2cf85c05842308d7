#include "gui/app/FileDialogFolder.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

namespace {

QString Key(FileKind kind) {
    switch (kind) {
    case FileKind::Wav:
        return QStringLiteral("folders/wav");
    case FileKind::List:
        return QStringLiteral("folders/list");
    case FileKind::Export:
        break;
    }
    return QStringLiteral("folders/export");
}

} // namespace

QString FileDialogFolder(FileKind kind) {
    const QString folder = QSettings().value(Key(kind)).toString();
    if (!folder.isEmpty() && QFileInfo(folder).isDir()) {
        return folder;
    }
    return QDir::homePath();
}

void RememberFileDialogFolder(FileKind kind, const QString& chosenFile) {
    if (chosenFile.isEmpty()) {
        return;
    }
    QSettings().setValue(Key(kind), QFileInfo(chosenFile).absolutePath());
}
