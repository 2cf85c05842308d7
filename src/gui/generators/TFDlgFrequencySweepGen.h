#pragma once

#include "gui/generators/GeneratorDialog.h"

class QComboBox;
class QLineEdit;
class QPushButton;

// "Frequency Sweep Generator": a sine whose frequency moves from the start to the stop
// frequency over the whole signal along one of six characteristics, in every channel, scaled
// to the level.
class TFDlgFrequencySweepGen : public GeneratorDialog {
    Q_OBJECT

public:
    TFDlgFrequencySweepGen(QWidget* owner, QString tempFileName, TMainform* mainform,
                           zembrel::SignalBase* signal);

    static const QString ErrorText;

    // Runs when the dialog becomes the active window: when it is first shown and again each
    // time the error window closes. Focus on the start frequency; both frequencies empty, the
    // level "0" and the characteristic "lin" again.
    void FormActivate();
    void Button2Click(); // OK
    void Button1Click(); // Cancel

    QLineEdit* start_f = nullptr; // Hz, 0 < f1 <= fs/2
    QLineEdit* stop_f = nullptr;  // Hz, 0 < f2 <= fs/2; below f1 for a falling sweep
    QComboBox* type = nullptr;    // the characteristic, index as in zembrel::SweepCharacteristic
    QLineEdit* lev = nullptr;     // dB, <= 0
    QPushButton* Button1 = nullptr;
    QPushButton* Button2 = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
};
