#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>

class QTextBrowser;

// The user guide, guide.md with its pictures, in a window of its own beside the main window:
// formatted text, pictures in place, links to the web opened in the browser.
class UserGuideWindow : public QDialog {
    Q_OBJECT

public:
    // guide: the path of guide.md, as FindGuide gives it.
    UserGuideWindow(const QString& guide, QWidget* parent = nullptr);

    // Where the guide is looked for, in this order: installed beside the program
    // (<prefix>/share/doc/zembrel/guide.md for <prefix>/bin/zembrel), then in the source tree
    // the program was built from (docs/guide.md), for a program run from its build folder.
    static QStringList GuidePlaces();
    // The first of GuidePlaces that exists; empty when none does.
    static QString FindGuide();

    QTextBrowser* Text = nullptr;
};
