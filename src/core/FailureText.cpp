#include "core/FailureText.h"

#include <array>
#include <cstddef>
#include <utility>

namespace zembrel {

namespace {

constexpr std::array kFailureTexts = {
    std::pair{Failure::OutOfMemory, "not enough memory"},
    std::pair{Failure::Unknown, "an unknown error occurred"},
};

// Indexed by the failure: every failure has its row, in the order of the enum.
constexpr bool InEnumOrder() {
    for (std::size_t i = 0; i < kFailureTexts.size(); ++i) {
        if (static_cast<std::size_t>(kFailureTexts[i].first) != i) {
            return false;
        }
    }
    return kFailureTexts.size() == static_cast<std::size_t>(Failure::Unknown) + 1;
}
static_assert(InEnumOrder());

} // namespace

const char* FailureText(Failure failure) {
    const auto index = static_cast<std::size_t>(failure);
    return index < kFailureTexts.size() ? kFailureTexts[index].second : kFailureTexts.back().second;
}

} // namespace zembrel
