#pragma once

#include "gui/generators/GeneratorDialog.h"

class QLineEdit;
class QPushButton;

// "Amplitude Modulation Generator": a carrier of amplitude 1 times a raised-sine envelope,
// scaled to the level. In a stereo signal the L/R offset shifts the right channel's envelope.
class TFDlgAmplitudeModulationGen : public GeneratorDialog {
    Q_OBJECT

public:
    TFDlgAmplitudeModulationGen(QWidget* owner, QString tempFileName, TMainform* mainform,
                                zembrel::SignalBase* signal);

    static const QString ErrorText;

    // Runs when the dialog becomes the active window: when it is first shown and again when
    // the error window closes. Puts the focus on the carrier frequency.
    void FormActivate();
    void BOKClick();
    void BCancelClick();

    QLineEdit* carrier_f = nullptr;   // Hz, 0 < fc <= fs/2
    QLineEdit* mod_f = nullptr;       // Hz, 0 <= fc - fm and fc + fm <= fs/2
    QLineEdit* mod_phase = nullptr;   // degrees
    QLineEdit* mod_index = nullptr;   // m > 0
    QLineEdit* PhaseOffset = nullptr; // degrees, stereo only
    QLineEdit* lev = nullptr;         // dB, <= 0
    QPushButton* BOK = nullptr;
    QPushButton* BCancel = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
};
