#pragma once

#include "gui/generators/GeneratorDialog.h"

class QComboBox;
class QLineEdit;
class QPushButton;

// "Multitone Generator": tones of equal amplitude a fraction of an octave apart, each on a bin
// centre of the analysis length so that its spectrum has no leakage, with phases that keep the
// crest factor low (Newman or Schroeder; random phases for comparison), at a peak level, in the
// current signal's format, through GenerateMultitone. The status line reports the crest factor
// of the tone made.
class TFDlgMultitone : public GeneratorDialog {
    Q_OBJECT

public:
    TFDlgMultitone(QWidget* owner, QString tempFileName, TMainform* mainform,
                   zembrel::SignalBase* signal);

    void BOKClick();
    void BCancelClick();

    // The crest factor of the last tone made, dB.
    double CrestFactorDb() const { return crestFactorDb_; }

    QLineEdit* f_low = nullptr;     // Hz, "20" at first
    QLineEdit* f_high = nullptr;    // Hz, "20000" at first
    QLineEdit* perOctave = nullptr; // tones per octave, 1 ... 12, "3" at first
    QComboBox* length = nullptr;    // analysis length 2^10 ... 2^20, 65536 at first
    QComboBox* phases = nullptr;    // Newman, Schroeder, random
    QLineEdit* lev = nullptr;       // dB re full scale, <= 0, "-1" at first
    QPushButton* BOK = nullptr;
    QPushButton* BCancel = nullptr;

private:
    double crestFactorDb_ = 0.0;
};
