#include "gui/app/UserGuideWindow.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

UserGuideWindow::UserGuideWindow(const QString& guide, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Zembrel User Guide"));
    setModal(false);
    Text = new QTextBrowser(this);
    Text->setObjectName(QStringLiteral("Text"));
    Text->setOpenExternalLinks(true);
    // Markdown by the name's ending; the pictures' paths are taken from the guide's folder.
    Text->setSource(QUrl::fromLocalFile(guide), QTextDocument::MarkdownResource);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Text);
    resize(860, 700); // the pictures are up to about 800 px wide
}

QStringList UserGuideWindow::GuidePlaces() {
    const QDir program(QCoreApplication::applicationDirPath());
    return {QDir::cleanPath(program.filePath(QStringLiteral("../share/doc/zembrel/guide.md"))),
            QStringLiteral(ZEMBREL_SOURCE_DOCS "/guide.md")};
}

QString UserGuideWindow::FindGuide() {
    for (const QString& place : GuidePlaces()) {
        if (QFileInfo(place).isFile()) {
            return place;
        }
    }
    return QString();
}
