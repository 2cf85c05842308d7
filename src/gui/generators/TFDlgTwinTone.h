#pragma once

#include "gui/generators/GeneratorDialog.h"

class QComboBox;
class QLineEdit;
class QPushButton;

// "Twin Tone Generator": the two tones of an intermodulation standard (SMPTE 60 Hz + 7 kHz 4:1,
// DIN 250 Hz + 8 kHz 4:1, CCIF 19 kHz + 20 kHz 1:1) at a total peak level, in the current
// signal's format (every channel alike), through GenerateTwinTone.
class TFDlgTwinTone : public GeneratorDialog {
    Q_OBJECT

public:
    TFDlgTwinTone(QWidget* owner, QString tempFileName, TMainform* mainform,
                  zembrel::SignalBase* signal);

    void BOKClick();
    void BCancelClick();

    QComboBox* Standard = nullptr; // in the order of TwinToneStandards(), SMPTE first
    QLineEdit* lev = nullptr;      // total peak, dB re full scale, <= 0; "-1" at first
    QPushButton* BOK = nullptr;
    QPushButton* BCancel = nullptr;
};
