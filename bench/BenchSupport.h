#pragma once

#include "core/generators/CalculationProtocol.h"
#include "core/generators/FinishSignal.h"
#include "core/generators/SineGenerator.h"
#include "core/signal/SignalBase.h"

namespace bench {

// A worker's observer that never stops it and ignores its reports.
struct Silent : zembrel::CalculationObserver {
    bool StopRequested() const override { return false; }
    void Report(int) override {}
};

// The largest signal the parameter dialog allows (180 s, 48 kHz, stereo, 16 bit) holding
// something to measure: a 1 kHz tone whose right channel leads by 90 degrees and a 7 kHz tone
// 20 dB lower, scaled to -3 dB. Made once per program.
inline zembrel::SignalBase& LargestToneSignal() {
    static zembrel::SignalBase signal = [] {
        zembrel::SignalBase s(48000.0, 180.0, 16, 32768, 2);
        zembrel::SineGenerator(s, 1000.0, 1.0, 0.0, 90.0);
        zembrel::SineGenerator(s, 7000.0, 0.1, 0.0);
        zembrel::FinishSignal(s, -3.0);
        return s;
    }();
    return signal;
}

} // namespace bench
