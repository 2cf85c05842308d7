#pragma once

#include "core/generators/SineComb.h"

#include <optional>
#include <vector>

namespace zembrel {

class SignalBase;

// A line spacing found in a list of frequencies: frequency m is First + m * Spacing.
struct EqualSpacing {
    double First;
    double Spacing; // may be negative: the list descends
};

// The spacing of frequencies that lie on one comb, in list order: every frequency may deviate
// from First + m * Spacing by so little that its phase is off by at most 1e-7 rad after
// duration seconds (the decimals of a text file written from such a comb do). Fewer than two
// frequencies, equal ones or any other list give nothing.
std::optional<EqualSpacing> FindEqualSpacing(const std::vector<double>& frequencies,
                                             double duration);

// Adds one sine per record {frequency, amplitude} with a drawn phase, in record order, the
// same phase in both channels: Right is set to the new Left, as SineGenerator's pseudo-noise
// form without offset does. When the records of non-zero amplitude are many and lie on one comb
// in list order, they are evaluated with FFTs from the same draws in the same order; otherwise,
// and with PerSample, one sine pass is added per record.
void AddPseudoNoiseList(SignalBase& signal, const std::vector<std::vector<double>>& records,
                        SynthesisMethod method = SynthesisMethod::Automatic);

} // namespace zembrel
