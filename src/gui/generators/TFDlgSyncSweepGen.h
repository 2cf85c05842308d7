#pragma once

#include "gui/generators/GeneratorDialog.h"

#include "core/generators/SyncSweep.h"

class QLabel;
class QLineEdit;
class QPushButton;

// "Synchronized Sweep Generator": the measurement sweep of zembrel-cli sync-sweep as the
// current signal, in its rate, bits and channels; the signal's length becomes the sweep's real
// length (which follows from rounding L so that f1 L is whole) plus the silence before and
// after it. The real length is shown while the fields are typed; parameters that cannot make a
// sweep bring the core's text in the error window.
class TFDlgSyncSweepGen : public GeneratorDialog {
    Q_OBJECT

public:
    TFDlgSyncSweepGen(QWidget* owner, QString tempFileName, TMainform* mainform,
                      zembrel::SignalBase* signal);

    zembrel::SyncSweepInput Input() const;

    void ShowRealLength();
    void Button2Click(); // OK
    void Button1Click(); // Cancel

    QLineEdit* start_f = nullptr;  // Hz, 0 < f1 < f2
    QLineEdit* stop_f = nullptr;   // Hz, f2 <= fs/2
    QLineEdit* length = nullptr;   // s, requested
    QLineEdit* fade_in = nullptr;  // ms, half-Hann
    QLineEdit* fade_out = nullptr; // ms, half-Hann
    QLineEdit* pre = nullptr;      // s of silence before the sweep
    QLineEdit* post = nullptr;     // s of silence after the sweep
    QLineEdit* lev = nullptr;      // dBFS, <= 0
    QLabel* RealLength = nullptr;
    QPushButton* Button1 = nullptr;
    QPushButton* Button2 = nullptr;
};
