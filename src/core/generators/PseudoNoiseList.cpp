#include "core/generators/PseudoNoiseList.h"

#include "core/generators/SineGenerator.h"
#include "core/signal/SignalBase.h"

#include <algorithm>
#include <cmath>

namespace zembrel {

std::optional<EqualSpacing> FindEqualSpacing(const std::vector<double>& frequencies,
                                             double duration) {
    const std::size_t count = frequencies.size();
    if (count < 2) {
        return std::nullopt;
    }
    const double first = frequencies.front();
    const double spacing = (frequencies.back() - first) / static_cast<double>(count - 1);
    if (!(spacing != 0.0) || !std::isfinite(spacing)) {
        return std::nullopt;
    }
    const double tolerance = 1e-7 / (2.0 * SineGenerator::Pi * std::max(duration, 1e-300));
    for (std::size_t m = 0; m < count; ++m) {
        const double expected = first + static_cast<double>(m) * spacing;
        if (!(std::abs(frequencies[m] - expected) <= tolerance)) {
            return std::nullopt;
        }
    }
    return EqualSpacing{first, spacing};
}

void AddPseudoNoiseList(SignalBase& signal, const std::vector<std::vector<double>>& records,
                        SynthesisMethod method) {
    // Records of amplitude 0 add nothing wherever they lie (a list ending in a line break has
    // one); they only draw their phase.
    std::vector<double> frequencies;
    for (const auto& record : records) {
        if (record[1] != 0.0) {
            frequencies.push_back(record[0]);
        }
    }
    std::optional<EqualSpacing> comb;
    if (method == SynthesisMethod::Automatic &&
        FastSineCombPays(static_cast<long long>(frequencies.size()))) {
        comb = FindEqualSpacing(frequencies, signal.SampleCount * signal.SamplePeriod);
    }
    if (!comb) {
        for (const auto& record : records) {
            SineGenerator(signal, record[0], record[1]);
        }
        return;
    }
    SineComb lines;
    lines.RightCopiesLeft = true;
    lines.Amplitudes.reserve(frequencies.size());
    lines.PhasesLeft.reserve(frequencies.size());
    for (const auto& record : records) {
        const double phi =
            2.0 * SineGenerator::Pi * SineGenerator::PseudoNoisePhase() * (1.0 / 360.0);
        if (record[1] != 0.0) {
            lines.Amplitudes.push_back(record[1]);
            lines.PhasesLeft.push_back(phi);
        }
    }
    lines.First = comb->First;
    lines.Spacing = comb->Spacing;
    if (lines.Spacing < 0.0) {
        // A descending list is the same comb read from its top line.
        lines.First += static_cast<double>(lines.Lines() - 1) * lines.Spacing;
        lines.Spacing = -lines.Spacing;
        std::reverse(lines.Amplitudes.begin(), lines.Amplitudes.end());
        std::reverse(lines.PhasesLeft.begin(), lines.PhasesLeft.end());
    }
    AddSineComb(signal, lines);
}

} // namespace zembrel
