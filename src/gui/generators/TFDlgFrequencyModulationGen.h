#pragma once

#include "gui/generators/GeneratorDialog.h"

class QLineEdit;
class QPushButton;

// "Frequency Modulation Generator": sin(2 pi fc t + m sin(2 pi fm t)) in every channel, scaled
// to the level.
class TFDlgFrequencyModulationGen : public GeneratorDialog {
    Q_OBJECT

public:
    TFDlgFrequencyModulationGen(QWidget* owner, QString tempFileName, TMainform* mainform,
                                zembrel::SignalBase* signal);

    static const QString ErrorText;

    // Runs when the dialog becomes the active window: when it is first shown and again each
    // time the error window closes. Focus on the carrier; the carrier and modulation
    // frequencies empty and the index "1" again. The level keeps its text.
    void FormActivate();
    void BOkClick();
    void BCancelClick();

    QLineEdit* carrier_f = nullptr; // Hz, 0 < fc <= fs/2
    QLineEdit* mod_f = nullptr;     // Hz, fm > 0
    QLineEdit* mod_index = nullptr; // peak phase deviation in radians, m > 0
    QLineEdit* lev = nullptr;       // dB, <= 0
    QPushButton* BOk = nullptr;
    QPushButton* BCancel = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
};
