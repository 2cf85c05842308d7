#pragma once

#include "core/generators/SyncSweep.h"

class QLineEdit;

// The fields of a synchronized sweep that both the sweep generator dialog and the Sweep Response
// window show, in one place: what they mean and how they are read.
struct SweepFields {
    QLineEdit* Start;   // Hz
    QLineEdit* Stop;    // Hz
    QLineEdit* Length;  // s
    QLineEdit* FadeIn;  // ms
    QLineEdit* FadeOut; // ms
    QLineEdit* Pre;     // s of silence before
    QLineEdit* Post;    // s of silence after
    QLineEdit* Level;   // dBFS

    // The sweep they describe at rate, the numbers read as every generator dialog reads them.
    zembrel::SyncSweepInput Read(double rate) const;
    // Shows input's values in the shortest form that reads back the same.
    void Show(const zembrel::SyncSweepInput& input) const;
};
