#pragma once

#include <QDialog>
#include <QString>

#include <functional>

class QComboBox;
class QPushButton;
class TMainform;

namespace zembrel {
class SignalBase;
}

// "Change Signal Parameters": replaces the current signal by a silent one of the chosen format.
// It always opens with 16 bit, 44100 Hz, 1.0 s, norm 32768 and one channel.
class TFDlgChangeParameters : public QDialog {
    Q_OBJECT

public:
    TFDlgChangeParameters(QWidget* owner, QString tempFileName, TMainform* mainform,
                          zembrel::SignalBase* signal);

    static const QString ErrorText;

    void Button1Click(); // Cancel
    void Button2Click(); // OK

    // Replaceable error window, so tests can answer it without a modal loop.
    std::function<void(const QString&)> ShowErrorMessage;

    QComboBox* res = nullptr;
    QComboBox* frequ = nullptr;
    QComboBox* len = nullptr;
    QComboBox* norm = nullptr;
    QComboBox* CNumChan = nullptr;
    QPushButton* Button1 = nullptr;
    QPushButton* Button2 = nullptr;

private:
    QString tempFileName_;
    TMainform* mainform_;
    zembrel::SignalBase* signal_;
};
