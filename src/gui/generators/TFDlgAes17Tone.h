#pragma once

#include "gui/generators/GeneratorDialog.h"

class QLineEdit;
class QPushButton;

// "AES17 Test Tone": the 997 Hz sine of AES17 at a peak level, in the current signal's format
// (every channel alike), through GenerateAes17Tone.
class TFDlgAes17Tone : public GeneratorDialog {
    Q_OBJECT

public:
    TFDlgAes17Tone(QWidget* owner, QString tempFileName, TMainform* mainform,
                   zembrel::SignalBase* signal);

    void BOKClick();
    void BCancelClick();

    QLineEdit* lev = nullptr; // dB re full scale, <= 0; "-1" at first (AES17's THD+N level)
    QPushButton* BOK = nullptr;
    QPushButton* BCancel = nullptr;
};
