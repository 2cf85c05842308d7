#pragma once

#include "core/generators/FinishSignal.h"
#include "core/signal/SignalBase.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace zembrel::test {

// The agreement the FFT evaluation owes the per-sample sum of the same lines: before scaling
// within 1e-9 of the peak; after FinishSignal no sample more than one unit off and at most
// 0.1 % of the samples different at all. Both signals are scaled in place.
inline void ExpectFastMatchesReference(SignalBase& fast, SignalBase& reference,
                                       double level = -1.0) {
    double peak = 0.0;
    double worst = 0.0;
    for (std::size_t ch = 0; ch < fast.ChannelArrays().size(); ++ch) {
        const auto& a = *fast.ChannelArrays()[ch];
        const auto& b = *reference.ChannelArrays()[ch];
        ASSERT_EQ(a.size(), b.size());
        for (std::size_t i = 0; i < a.size(); ++i) {
            peak = std::max(peak, std::abs(b[i]));
            worst = std::max(worst, std::abs(a[i] - b[i]));
        }
    }
    ASSERT_GT(peak, 0.0);
    EXPECT_LE(worst, 1e-9 * peak) << "worst " << worst << " peak " << peak;

    FinishSignal(fast, level);
    FinishSignal(reference, level);
    long differing = 0;
    long total = 0;
    for (std::size_t ch = 0; ch < fast.ChannelArrays().size(); ++ch) {
        const auto& a = *fast.ChannelArrays()[ch];
        const auto& b = *reference.ChannelArrays()[ch];
        for (std::size_t i = 0; i < a.size(); ++i) {
            ASSERT_LE(std::abs(a[i] - b[i]), 1.0) << "sample " << i;
            differing += a[i] != b[i];
            ++total;
        }
    }
    EXPECT_LE(differing, total / 1000) << differing << " of " << total;
}

} // namespace zembrel::test
