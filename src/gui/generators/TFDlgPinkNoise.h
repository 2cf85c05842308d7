#pragma once

#include "gui/generators/GeneratorDialog.h"

class QLineEdit;
class QPushButton;

// "Pink Noise Generator": one band of equally spaced sines with pseudo-random phases and
// amplitudes 1/sqrt(f), so that the power falls 3.01 dB per octave; computed by the noise
// worker, then scaled to the level. The fields start afresh every time the dialog becomes the
// active window.
class TFDlgPinkNoise : public GeneratorDialog {
    Q_OBJECT

public:
    TFDlgPinkNoise(QWidget* owner, QString tempFileName, TMainform* mainform,
                   zembrel::SignalBase* signal);

    // Focus on f_start; f_start, f_stop and step empty, PhaseOffset and lev "0".
    void FormActivate();
    void BOKClick();
    void Button1Click();
    void DeleteThread() override;

    QLineEdit* f_start = nullptr;
    QLineEdit* f_stop = nullptr;
    QLineEdit* step = nullptr;
    QLineEdit* PhaseOffset = nullptr;
    QLineEdit* lev = nullptr;
    QPushButton* BOK = nullptr;
    QPushButton* Button1 = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    double level_ = 0.0;  // dB
    double start_ = 0.0;  // Hz
    double stop_ = 0.0;   // Hz
    double step_ = 0.0;   // Hz
    double offset_ = 0.0; // degrees
    bool otherWindowHadFocus_ = false;
};
