#pragma once

#include "gui/generators/GeneratorDialog.h"

#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;

namespace zembrel {
struct PnSineCheck;
}

// "Sine with pn_phase Generator": adds one sine at a time into the shared signal, each with a
// phase drawn from the process-wide phase generator, then scales the sum to the level; or
// imports a list of frequencies and amplitudes. Everything runs on the GUI thread.
class TFDlgSineNoiseGen : public GeneratorDialog {
    Q_OBJECT

public:
    TFDlgSineNoiseGen(QWidget* owner, QString tempFileName, TMainform* mainform,
                      zembrel::SignalBase* signal);

    void BAddSineClick();
    void BOKClick();
    void BImportClick();
    void BCancelClick();

    // The import file chooser; returns an empty string when the user cancels. Replaceable so
    // the import runs without a real file dialog.
    std::function<QString()> OpenDialog1;

    int SineCount() const { return counter_; }

    QLabel* Label11 = nullptr;
    QLabel* Label7 = nullptr;
    QLineEdit* frequ = nullptr;
    QLineEdit* ampl = nullptr;
    QLineEdit* PhaseOffset = nullptr;
    QLineEdit* lev = nullptr;
    QPushButton* BAddSine = nullptr;
    QPushButton* BImport = nullptr;
    QPushButton* BOK = nullptr;
    QPushButton* BCancel = nullptr;

protected:
    void showEvent(QShowEvent* event) override;

private:
    // Shows the error text and empties every field in error.
    void RefuseSine(const zembrel::PnSineCheck& check);
    int counter_ = 1;
};
