#include "gui/generators/TFDlgErrorMsg.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QTextEdit>
#include <QVBoxLayout>

TFDlgErrorMsg::TFDlgErrorMsg(QWidget* owner, const QString& message) : QDialog(owner) {
    setWindowTitle(QStringLiteral("Error Message"));
    setWindowIcon(style()->standardIcon(QStyle::SP_MessageBoxWarning));

    RichEdit1 = new QTextEdit(this);
    RichEdit1->setObjectName(QStringLiteral("RichEdit1"));
    RichEdit1->setReadOnly(true);
    RichEdit1->setAcceptRichText(false);
    RichEdit1->setPlainText(message);
    RichEdit1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    RichEdit1->setLineWrapMode(QTextEdit::NoWrap);
    // Return closes the window through the default button instead of reaching the text box.
    RichEdit1->setFocusPolicy(Qt::NoFocus);

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(48, 48));
    Image1->setAlignment(Qt::AlignTop | Qt::AlignHCenter);

    Button1 = new QPushButton(QStringLiteral("OK"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setDefault(true);
    connect(Button1, &QPushButton::clicked, this, &TFDlgErrorMsg::Button1Click);

    auto* row = new QHBoxLayout;
    row->addWidget(RichEdit1, 1);
    row->addWidget(Image1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Button1);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row, 1);
    layout->addLayout(buttons);
    resize(420, 200);
}

void TFDlgErrorMsg::Show(const QString& message) {
    TFDlgErrorMsg dialog(nullptr, message);
    dialog.exec();
}

void TFDlgErrorMsg::Button1Click() {
    accept();
}
