#pragma once

#include "core/generators/SyncSweep.h"

#include <string>

namespace zembrel {

class CalculationObserver;
class SignalBase;
enum class GeneratorStatus;

// The synchronized sweep as a signal of the desktop program. The signal keeps its rate, bits,
// channels and norm value; its length becomes the sweep's real length with the silence before
// and after it (SyncSweep::TotalSamples() samples), which must fit the 180 s a signal holds.
// Every channel carries the same sweep, scaled by FinishSignal so that its peak lies at the
// level (dB re NormValue), as every generator's.

// Empty when input (its RateHz is ignored) makes a sweep at rateHz that a signal can hold, else
// the text for the user: SyncSweep's refusal, or the length that does not fit.
std::string CheckSyncSweepSignal(const SyncSweepInput& input, double rateHz);

// Checks as above (Invalid: the signal is untouched), then replaces the signal's samples and
// length with the sweep: Finished, or Stopped when observer asked before it began.
GeneratorStatus GenerateSyncSweep(SignalBase& signal, const SyncSweepInput& input,
                                  CalculationObserver& observer);

} // namespace zembrel
