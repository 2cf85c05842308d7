#include "gui/app/TAboutBox.h"

#include "gui/app/ButtonIcons.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

TAboutBox::TAboutBox(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("About Zembrel"));
    setModal(true);

    auto* icon = new QLabel(this);
    icon->setPixmap(ProgramIcon().pixmap(64, 64));

    auto* name = new QLabel(QStringLiteral("<b>Zembrel</b>"), this);
    name->setObjectName(QStringLiteral("ProductName"));
    auto* version = new QLabel(QStringLiteral("Version " ZEMBREL_VERSION), this);
    version->setObjectName(QStringLiteral("Version"));
    auto* about =
        new QLabel(QStringLiteral("Test-signal generator for audio work.\n"
                                  "Licensed under the GNU General Public License, version 3 "
                                  "or later."),
                   this);
    about->setWordWrap(true);

    auto* text = new QVBoxLayout;
    text->addWidget(name);
    text->addWidget(version);
    text->addWidget(about);
    auto* top = new QHBoxLayout;
    top->addWidget(icon, 0, Qt::AlignTop);
    top->addLayout(text, 1);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(buttons);
    setFixedWidth(340);
}
