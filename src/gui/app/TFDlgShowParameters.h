#pragma once

#include <QDialog>
#include <QString>

#include <functional>

class QLabel;
class QPushButton;
class TMainform;

namespace zembrel {
class SignalBase;
}

// "Signal Parameters": shows the format of the current signal; "Change" opens the dialog that
// replaces it by a silent signal of another format.
class TFDlgShowParameters : public QDialog {
    Q_OBJECT

public:
    TFDlgShowParameters(QWidget* owner, QString tempFileName, TMainform* mainform,
                        zembrel::SignalBase* signal);

    void FormActivate(); // refresh from the signal
    void Button1Click(); // Change
    void Button2Click(); // OK

    // Runs the change dialog modally; replaceable so tests can drive it.
    std::function<void(QDialog&)> RunChangeDialog;

    QLabel* NumChan = nullptr;
    QLabel* res = nullptr;
    QLabel* fs = nullptr;
    QLabel* t_sample = nullptr;
    QLabel* t_file = nullptr;
    QLabel* Label6 = nullptr;
    QLabel* norm = nullptr;
    QLabel* n = nullptr;
    QPushButton* Button1 = nullptr;
    QPushButton* Button2 = nullptr;

protected:
    bool event(QEvent* e) override;

private:
    QString tempFileName_;
    TMainform* mainform_;
    zembrel::SignalBase* signal_;
};
