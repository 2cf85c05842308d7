#pragma once

#include "gui/generators/GeneratorDialog.h"

class QComboBox;
class QLineEdit;
class QPushButton;

// "Function Generator": a band-limited square, triangle or sawtooth, summed harmonic by
// harmonic on a worker thread while the progress window shows the percentage.
class TFDlgFunctionGen : public GeneratorDialog {
    Q_OBJECT

public:
    TFDlgFunctionGen(QWidget* owner, QString tempFileName, TMainform* mainform,
                     zembrel::SignalBase* signal);

    void BStartCalculationClick();
    void BCancelFunctionGeneratorClick();
    void DeleteThread() override;

    QLineEdit* frequ = nullptr;
    QLineEdit* lev = nullptr;
    QLineEdit* phase = nullptr;
    QComboBox* function = nullptr;
    QLineEdit* PhaseOffset = nullptr;
    QPushButton* BStartCalculation = nullptr;
    QPushButton* BCancelFunctionGenerator = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
};
