#pragma once

#include <QDialog>
#include <QString>

class QLabel;
class QPushButton;
class QTextEdit;

// The modal window that reports invalid dialog input: the calling dialog's fixed error text,
// read-only, line by line, with a vertical scroll bar; a picture beside it and "OK".
class TFDlgErrorMsg : public QDialog {
    Q_OBJECT

public:
    TFDlgErrorMsg(QWidget* owner, const QString& message);

    // Creates the window with message, shows it modally and destroys it.
    static void Show(const QString& message);

    void Button1Click();

    QTextEdit* RichEdit1 = nullptr;
    QLabel* Image1 = nullptr;
    QPushButton* Button1 = nullptr;
};
